#include "highlight/html_highlighter.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "highlight/text_scan.h"
#include "highlight/word_index.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

const THtmlElement kHtmlElements[kHtmlElementCount] = {
    {"SCRIPT", true, false},    {"A", true, true},          {"ADDRESS", true, true},   {"ACRONYM", true, true},
    {"APPLET", true, true},     {"AREA", true, true},       {"B", false, true},        {"BASE", true, false},
    {"BASEFONT", true, false},  {"BGSOUND", true, true},    {"BIG", true, true},       {"BLINK", true, true},
    {"BLOCKQUOTE", true, true}, {"BODY", true, true},       {"BR", false, false},      {"BUTTON", true, true},
    {"CAPTION", true, true},    {"CITE", true, true},       {"CENTER", true, true},    {"CODE", true, true},
    {"COL", true, true},        {"COLGROUP", true, true},   {"COMMENT", true, true},   {"DD", true, true},
    {"DEL", true, true},        {"DFN", true, true},        {"DIR", true, true},       {"DIV", true, true},
    {"DL", true, true},         {"DT", true, true},         {"EM", true, true},        {"EMBED", true, true},
    {"FIELDSET", true, true},   {"FORM", true, true},       {"FONT", true, true},      {"FRAME", true, false},
    {"FRAMESET", true, true},   {"H1", true, true},         {"H2", true, true},        {"H3", true, true},
    {"H4", true, true},         {"H5", true, true},         {"H6", true, true},        {"HEAD", false, true},
    {"HR", true, true},         {"HTML", false, true},      {"I", false, true},        {"IFRAME", true, true},
    {"ILAYER", true, true},     {"IMG", true, false},       {"INPUT", true, false},    {"INS", true, true},
    {"ISINDEX", true, true},    {"KBD", true, true},        {"KEYGEN", true, true},    {"LABEL", true, true},
    {"LAYER", true, true},      {"LEGEND", true, true},     {"LI", true, true},        {"LINK", true, true},
    {"LISTING", true, true},    {"MAP", true, true},        {"MARQUEE", true, true},   {"MENU", true, true},
    {"META", true, false},      {"MULTICOL", true, true},   {"NEXTID", true, true},    {"NOBR", true, true},
    {"NOEMBED", true, true},    {"NOFRAMES", true, true},   {"NOLAYER", true, true},   {"NOSCRIPT", true, true},
    {"OBJECT", true, true},     {"OL", true, true},         {"OPTION", true, true},    {"P", true, true},
    {"PARAM", true, true},      {"PLAINTEXT", true, true},  {"Q", true, true},         {"S", false, true},
    {"SAMP", true, true},       {"SELECT", true, true},     {"SOUND", true, true},     {"SMALL", true, true},
    {"SPACER", true, true},     {"SPAN", true, true},       {"STRIKE", true, true},    {"STRONG", true, true},
    {"STYLE", true, true},      {"SUB", true, true},        {"SUP", true, true},       {"TABLE", true, true},
    {"TBODY", true, true},      {"TD", true, true},         {"TEXTAREA", true, true},  {"TFOOT", true, true},
    {"TH", true, true},         {"THEAD", true, true},      {"TITLE", false, true},    {"TR", true, true},
    {"TT", true, true},         {"U", false, true},         {"UL", true, true},        {"VAR", true, true},
    {"WBR", true, true},        {"!DOCTYPE", true, false},
};

std::int32_t HtmlElementIndex(std::string_view UpperName) {
    static const TWordIndex names = [] {
        TWordIndex w;
        for (std::int32_t i = 0; i < kHtmlElementCount; ++i) w.Add(kHtmlElements[i].Name, i);
        return w;
    }();
    const std::vector<std::int32_t>* k = names.Find(UpperName.data(), UpperName.size(), nullptr);
    return k ? k->front() : -1;
}

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsRefChar(char C) {
    return C == '#' || C == '&' || C == '_' || (C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z');
}
bool IsHighlighterPoint(const TDynInfo& A) { return (A.Flags & dfOwn) && ContextDepth(A) < 0; }

// Where a run that the state machine starts at From ends its search: the
// first offset in [From, To) holding one of Chars, or -1.
std::int32_t FindAny(std::string_view Text, std::int32_t From, std::int32_t To, std::string_view Chars) {
    for (std::int32_t i = From; i < To; ++i)
        if (Chars.find(Text[static_cast<std::size_t>(i)]) != std::string_view::npos) return i;
    return -1;
}

}  // namespace

THtmlHighlighter::THtmlHighlighter() = default;

void THtmlHighlighter::ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    if (TRiriHighlighter* sub = SubHighlighter()) sub->ScanKeywords(StartNav, StopNav, KeyBase);
}

bool THtmlHighlighter::OwnRun(const TDynInfo& A, std::int32_t KeyBase, std::int32_t& State, std::int32_t& Key) const {
    const std::int32_t d = ContextDepth(A);
    if (d < 0 || A.Contexts[d] >= 0) return false;
    Key = (A.Contexts[d] & 0x7FFF) - KeyBase;
    if (Key < 0 || Key >= kHtmlKeyCount) return false;
    State = A.Context;
    // A name run whose override entry gave it another context number is still a name run.
    const bool elementKey = Key < kHtmlElementCount || Key == khUnknownTag;
    if (elementKey && (State < hsInTag || State > hsPhpBlock)) State = hsName;
    return true;
}

bool THtmlHighlighter::ParentOf(const TDynInfo& Run, const TDynStates& States, std::uint32_t& Id) {
    if (ContextDepth(Run) != 0) return false;
    Id = static_cast<std::uint16_t>(Run.Contexts[1]) | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(Run.Contexts[2])) << 16);
    return Id < States.Count() && ContextDepth(States[Id]) < 0;
}

TDynInfo THtmlHighlighter::RunAttr(const TDynInfo& Parent, std::uint32_t ParentId, std::int32_t Depth,
                                   std::int32_t State, std::int32_t Key, const THighlightInfo& Info,
                                   std::int32_t KeyLen, std::int32_t StopLen, std::int32_t KeyBase) const {
    TDynInfo r = Parent;
    if (Depth == 0) {
        r.Contexts[1] = static_cast<std::int16_t>(ParentId & 0xFFFF);
        r.Contexts[2] = static_cast<std::int16_t>(ParentId >> 16);
    }
    r.Flags = static_cast<std::uint8_t>(Info.StyleByte() | dfOwn | dfKeyed);
    r.Nesting = (Parent.Flags & dfOwn) ? Parent.Nesting : 0;
    r.Extra = 0;
    r.Depth = static_cast<std::int8_t>(Depth);
    r.Contexts[Depth] = static_cast<std::int16_t>((Key + KeyBase) | 0x8000);
    r.Color = Info.Foreground();
    r.BkColor = Info.Background();
    r.Cursor = Info.Cursor;
    r.Context = State;
    r.KeyLen = static_cast<std::uint16_t>(std::clamp(KeyLen, 0, 255));
    r.StopLen = static_cast<std::uint16_t>(std::clamp(StopLen, 0, 255));
    return r;
}

void THtmlHighlighter::PutRuns(TRiriNavigator& Nav, TRiriNavigator& StopNav, const TRun* Runs, std::size_t N,
                               std::int32_t End) {
    TDudiRiriBase& M = *Nav.Memo();
    ParInfo& par = *Nav.Par();
    const std::int32_t p = Nav.ParNb();
    const std::int32_t first = Runs[0].Offset;
    TDynInfoArray& d = M.Pars.DynForWrite(par);
    {
        // The points are sorted: those in (first, End] lie together.
        const auto from = std::upper_bound(d.begin(), d.end(), first, [](std::int32_t o, const TDynPoint& x) { return o < x.Offset; });
        const auto to = std::upper_bound(from, d.end(), End, [](std::int32_t o, const TDynPoint& x) { return o < x.Offset; });
        d.erase(std::remove_if(from, to, [&](const TDynPoint& x) { return !IsHighlighterPoint(M.Pars.States[x.State]); }), to);
    }
    for (std::size_t i = 0; i < N; ++i) {
        const std::int32_t o = Runs[i].Offset;
        const std::int32_t at = PointsAtMost(M.Pars, par, o);
        if (at > 0 && d[static_cast<std::size_t>(at - 1)].Offset == o && !IsHighlighterPoint(M.Pars.DynAttr(par, at - 1)))
            M.Pars.SetDynAttr(par, at - 1, Runs[i].Attr);
        else
            DynInsert(d, static_cast<std::size_t>(at), M.Pars.MakePoint(o, Runs[i].Attr));
    }
    for (TRiriNavigator* n : M.Navigators())
        if (n->Pos() >= M.Pars.StartPos(p) + first) n->ResetLineAndDyn();
    StopNav.SetResolved(p, End, M.Pars.StartPos(p) + End);
}

bool THtmlHighlighter::FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    // Every run of this highlighter ends where the next state begins (FindStartKey);
    // regions of the chain end in the chain.
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo) return false;
    const TDynInfo& A = AttrAtOffset(memo->Pars, *Nav.Par(), Nav.ParOffset());
    std::int32_t state = 0, key = 0;
    if (Active && OwnRun(A, KeyBase, state, key)) return false;
    if (TRiriHighlighter* sub = SubHighlighter()) return sub->FindStopKey(Nav, StopNav, KeyBase + kHtmlKeyCount);
    return false;
}

bool THtmlHighlighter::FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo) return false;
    TParagraphsList& L = memo->Pars;
    ParInfo& par = *Nav.Par();
    const std::int32_t p = Nav.ParNb();
    const std::int32_t g = Nav.ParOffset();
    const TDynInfo A = AttrAtOffset(L, par, g);
    const std::int32_t depth = ContextDepth(A);
    auto askSub = [&] {
        if (TRiriHighlighter* sub = SubHighlighter()) return sub->FindStartKey(Nav, StopNav, KeyBase + kHtmlKeyCount);
        return false;
    };
    if (depth >= 15) return false;
    std::int32_t state = hsText, key = 0;
    const bool own = OwnRun(A, KeyBase, state, key);
    if (!Active || (depth >= 0 && !own)) return askSub();
    const std::string_view text = par.View();
    const auto len = static_cast<std::int32_t>(text.size());
    const std::int32_t lo = std::max(g, StopNav.ParNb() == p ? StopNav.ParOffset() : len);
    // Runs of this highlighter share one level: the text's own, plus one.
    const std::int32_t level = own ? depth : depth + 1;
    // The state the runs lie over, found when a run is put: inside a long
    // comment or script most paragraphs put none, and walking back to where
    // it began for every paragraph made such a text take quadratic time.
    std::optional<TDynInfo> parentState;
    std::uint32_t parentId = 0;
    auto parent = [&]() -> const TDynInfo& {
        if (parentState) return *parentState;
        if (!own) {
            parentId = StateAtOffset(L, par, g);
            parentState = A;
        } else if (level == 0 && ParentOf(A, L.States, parentId)) {
            parentState = L.States[parentId];
        } else {
            parentState = StateBefore(*memo, p, g, depth);
            parentId = L.States.Intern(*parentState);
        }
        return *parentState;
    };
    auto run = [&](std::int32_t State, std::int32_t Key, const THighlightInfo& Info, std::int32_t KeyLen,
                   std::int32_t StopLen) {
        const TDynInfo& over = parent();
        return RunAttr(over, parentId, level, State, Key, Info, KeyLen, StopLen, KeyBase);
    };
    auto put1 = [&](std::int32_t At, const TDynInfo& R, std::int32_t End) {
        const TRun r{At, R};
        PutRuns(Nav, StopNav, &r, 1, End);
        return true;
    };
    auto textAttr = [&] {
        TDynInfo t = parent();
        t.KeyLen = 0;
        return t;
    };
    auto backToText = [&](std::int32_t At) { return put1(At, textAttr(), At); };
    // A closing bracket of Len characters at At, and what follows it: the
    // content of an opening SCRIPT tag, or text.
    auto close = [&](std::int32_t At, std::int32_t Len, bool Script) {
        const TRun runs[2] = {{At, run(hsClose, Script ? 0 : khUnknownTag, Bracket, Len, 1)},
                              {At + Len, Script ? run(hsScript, 0, ScriptContent, 0, 9) : textAttr()}};
        PutRuns(Nav, StopNav, runs, 2, At + Len);
        return true;
    };

    // Where a search for the end of the run in force may begin: a few
    // characters back, as an end typed just before g may have changed, but
    // never into the key that opened the run.
    // Redoing from inside that key (an edit shortened it) starts behind it,
    // as highlighting the text from scratch does.
    auto searchFrom = [&](std::int32_t Back) {
        const std::int32_t at = PointsAtMost(L, par, g);
        std::int32_t keyEnd = 0;
        if (at > 0) {
            keyEnd = L.DynOffset(par, at - 1) + L.DynAttr(par, at - 1).KeyLen;
            // "<?" and "<%" runs begin behind their "<" but count it in their key.
            if (state == hsPhpBlock || (state == hsScript && key == khServerBlock)) --keyEnd;
        }
        return std::max({keyEnd, g - Back, 0});
    };

    switch (state) {
        case hsText: {
            const std::int32_t i = FindAny(text, g, std::min(len, std::max(lo, g + 1)), "<&");
            if (i < 0) return askSub();
            if (text[static_cast<std::size_t>(i)] == '&') return put1(i, run(hsCharRef, khCharRef, SpecialChars, 1, 1), i + 1);
            if (text.substr(static_cast<std::size_t>(i), 4) == "<!--")
                return put1(i, run(hsComment, khComment, HtmlComment, 4, 3), i + 4);
            return put1(i, run(hsAfterOpen, khUnknownTag, Bracket, 1, 1), i + 1);
        }
        case hsAfterOpen: {
            if (g >= len) return false;  // the name follows on the next line
            const char c = text[static_cast<std::size_t>(g)];
            if (c == '%') return put1(g, run(hsScript, khServerBlock, PerlScript, 2, 1), g + 1);
            if (c == '?') return put1(g, run(hsPhpBlock, khPhpBlock, PerlScript, 2, 1), g + 1);
            std::int32_t e = g;
            while (e < len && !IsBlank(text[static_cast<std::size_t>(e)]) && text[static_cast<std::size_t>(e)] != '>') ++e;
            if (e == g) return put1(g, run(hsInPlainTag, khUnknownTag, HtmlTag, 0, 1), g);
            std::string_view name = text.substr(static_cast<std::size_t>(g), static_cast<std::size_t>(e - g));
            const bool closing = name[0] == '/';
            if (closing) name.remove_prefix(1);
            std::string upper;
            for (char ch : name) upper.push_back(static_cast<char>(FoldByte(static_cast<unsigned char>(ch))));
            std::int32_t k = HtmlElementIndex(upper);
            if (k >= 0 && closing && !kHtmlElements[k].EndTag) k = -1;
            if (k < 0 && XMLSyntax && !upper.empty()) k = khUnknownTag;
            if (k < 0) return put1(g, run(hsInPlainTag, khUnknownTag, UnknownTag, e - g, 1), e);
            // The name, then the rest of the tag: with attributes only for an
            // opening tag of an element that takes them.
            const bool attrs = !closing && (k < kHtmlElementCount ? kHtmlElements[k].Attributes : XMLSyntax);
            TDynInfo r = run(hsName, k, k == 0 && !closing ? ScriptTag : HtmlKeyword, e - g, 1);
            for (std::int32_t w = 0; w < Keywords().Count(); ++w) {
                const TKeyInfoLen& o = Keywords().Item(w);
                if (o.Keyword != upper) continue;
                r.Flags = static_cast<std::uint8_t>((o.Style & 0x3F) | dfOwn | dfKeyed);
                r.Color = o.Color;
                r.BkColor = o.BkColor;
                r.Context = o.Context;
                r.Cursor = o.Cursor;
                break;
            }
            const TRun runs[2] = {{g, r}, {e, run(attrs ? hsInTag : hsInPlainTag, k, HtmlTag, 0, 1)}};
            PutRuns(Nav, StopNav, runs, 2, e);
            return true;
        }
        case hsName: {
            // The rest of the tag: with attributes only for an opening tag of an element that takes them.
            std::int32_t runStart = 0;
            const std::int32_t at = PointsAtMost(L, par, g);
            if (at > 0) runStart = L.DynOffset(par, at - 1);
            const bool closing = runStart < len && text[static_cast<std::size_t>(runStart)] == '/';
            const bool attrs = !closing && (key < kHtmlElementCount ? kHtmlElements[key].Attributes : XMLSyntax);
            // Redone from inside the name (an edit left the range there): the
            // tag goes on where the name ends, as when it was found.
            std::int32_t e = runStart;
            while (e < len && !IsBlank(text[static_cast<std::size_t>(e)]) && text[static_cast<std::size_t>(e)] != '>') ++e;
            e = std::max(g, e);
            return put1(e, run(attrs ? hsInTag : hsInPlainTag, key, HtmlTag, 0, 1), e);
        }
        case hsAttrName:
        case hsAttrValue: {
            // The name or value in force ends where it ended when it was found; the tag goes on from there.
            const std::int32_t inForce = PointsAtMost(L, par, g);
            const std::int32_t s0 = std::min(g, inForce > 0 ? L.DynOffset(par, inForce - 1) : 0);
            std::int32_t end = s0;
            if (state == hsAttrValue && s0 < len && (text[static_cast<std::size_t>(s0)] == '"' || text[static_cast<std::size_t>(s0)] == '\'')) {
                const auto q = text.find(text[static_cast<std::size_t>(s0)], static_cast<std::size_t>(s0 + 1));
                end = q == std::string_view::npos ? len : static_cast<std::int32_t>(q) + 1;
            } else {
                const char* stops = state == hsAttrName ? " \t=" : " \t>";
                while (end < len && !std::strchr(stops, text[static_cast<std::size_t>(end)])) ++end;
            }
            return put1(end, run(hsInTag, key, HtmlTag, 0, 1), std::max(end, g));
        }
        case hsInTag: {
            const std::int32_t i = FindAny(text, searchFrom(1), std::min(len, std::max(lo, g + 1)), ">=");
            if (i < 0) return false;
            if (text[static_cast<std::size_t>(i)] == '>') return close(i, 1, key == 0);
            // The name before "=", then the value behind it, then the tag again.
            TRun runs[4];
            std::size_t n = 0;
            // The name reaches back to a blank, at most to where the tag's run began.
            const std::int32_t inForce = PointsAtMost(L, par, g);
            const std::int32_t runStart = std::min(g, inForce > 0 ? L.DynOffset(par, inForce - 1) : 0);
            std::int32_t ne = i;
            while (ne > runStart && IsBlank(text[static_cast<std::size_t>(ne - 1)])) --ne;
            std::int32_t ns = ne;
            while (ns > runStart && !IsBlank(text[static_cast<std::size_t>(ns - 1)])) --ns;
            if (ns < ne) {
                runs[n++] = {ns, run(hsAttrName, key, HtmlAttribute, ne - ns, 0)};
                runs[n++] = {ne, run(hsInTag, key, HtmlTag, 0, 1)};
            }
            std::int32_t vs = i + 1;
            while (vs < len && IsBlank(text[static_cast<std::size_t>(vs)])) ++vs;
            std::int32_t ve = vs;
            if (vs < len && (text[static_cast<std::size_t>(vs)] == '"' || text[static_cast<std::size_t>(vs)] == '\'')) {
                const auto close = text.find(text[static_cast<std::size_t>(vs)], static_cast<std::size_t>(vs + 1));
                ve = close == std::string_view::npos ? len : static_cast<std::int32_t>(close) + 1;
            } else {
                while (ve < len && !IsBlank(text[static_cast<std::size_t>(ve)]) && text[static_cast<std::size_t>(ve)] != '>') ++ve;
            }
            if (ve > vs) {
                runs[n++] = {vs, run(hsAttrValue, key, HtmlAttributeValue, ve - vs, 0)};
                runs[n++] = {ve, run(hsInTag, key, HtmlTag, 0, 1)};
            } else if (n == 0) {
                runs[n++] = {i + 1, run(hsInTag, key, HtmlTag, 0, 1)};
                ve = i + 1;
            }
            PutRuns(Nav, StopNav, runs, n, std::max(ve, i + 1));
            return true;
        }
        case hsInPlainTag: {
            const std::int32_t i = FindAny(text, searchFrom(1), std::min(len, std::max(lo, g + 1)), ">");
            if (i < 0) return false;
            return close(i, 1, false);
        }
        case hsClose:
            // Behind the ">" of an opening SCRIPT tag its content begins; else text.
            if (key == 0) return put1(g, run(hsScript, 0, ScriptContent, 0, 9), g);
            return backToText(g);
        case hsScript:
        case hsPhpBlock: {
            const std::string_view stop = state == hsPhpBlock ? "?>" : key == 0 ? "</SCRIPT>" : "%>";
            const auto sl = static_cast<std::int32_t>(stop.size());
            const std::size_t i = FindKey(text, static_cast<std::size_t>(searchFrom(sl)), static_cast<std::size_t>(std::min(len, lo + sl)), stop, false);
            if (i == std::string_view::npos) return false;
            return close(static_cast<std::int32_t>(i), static_cast<std::int32_t>(stop.size()), false);
        }
        case hsComment: {
            const std::size_t i = FindKey(text, static_cast<std::size_t>(searchFrom(3)), static_cast<std::size_t>(std::min(len, lo + 3)), "-->", true);
            if (i == std::string_view::npos) return false;
            return backToText(static_cast<std::int32_t>(i) + 3);
        }
        case hsCharRef: {
            // From just behind the "&": the reference may have ended before g already.
            const std::int32_t at = PointsAtMost(L, par, g);
            std::int32_t j = std::min(g, at > 0 ? L.DynOffset(par, at - 1) + 1 : 0);
            while (j < len && text[static_cast<std::size_t>(j)] != ';' && IsRefChar(text[static_cast<std::size_t>(j)])) ++j;
            if (j < len && text[static_cast<std::size_t>(j)] == ';') ++j;
            return backToText(j);
        }
        default:
            return backToText(g);
    }
}

bool THtmlHighlighter::AdjustFormatStart(TRiriNavigator& Nav) {
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo || !Active) return false;
    TParagraphsList& L = memo->Pars;
    ParInfo& par = *Nav.Par();
    std::int32_t idx = PointsAtMost(L, par, Nav.ParOffset());
    bool moved = false;
    // Back over the runs of one tag, to its "<".
    while (idx > 0) {
        std::int32_t state = 0, key = 0;
        if (!OwnRun(L.DynAttr(par, idx - 1), StartBase(), state, key)) break;
        if (state == hsText || state == hsScript || state == hsComment || state == hsPhpBlock) break;
        const std::int32_t o = L.DynOffset(par, idx - 1);
        if (o < Nav.ParOffset()) {
            Nav.SetParOffset(o);
            moved = true;
        }
        if (state == hsAfterOpen) break;
        --idx;
    }
    return moved;
}

}  // namespace tarvex
