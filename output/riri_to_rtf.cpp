#include "output/riri_to_rtf.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "output/colors.h"
#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"
#include "textstore/navigator.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {

bool ColourSet(std::int32_t C) { return C != clNone && C != clNoneAlt; }

// An attribute whose own colours apply (as the screen draws them).
bool CarriesColours(const TDynInfo& A) {
    return (A.Flags & dfOwn) && !(A.Color == 0 && A.BkColor == 0) && (ColourSet(A.Color) || ColourSet(A.BkColor));
}

// Every byte as RTF text: up to four characters, Len of them used.
struct TEscape {
    char S[4];
    std::uint8_t Len;
};

constexpr std::array<TEscape, 256> MakeEscapes() {
    std::array<TEscape, 256> t{};
    constexpr char hex[] = "0123456789abcdef";
    for (int b = 0; b < 256; ++b) {
        TEscape& e = t[static_cast<std::size_t>(b)];
        if (b == '\\' || b == '{' || b == '}') {
            e = {{'\\', static_cast<char>(b), 0, 0}, 2};
        } else if (b >= 0x80 || (b < 0x20 && b != '\t')) {
            e = {{'\\', '\'', hex[b >> 4], hex[b & 15]}, 4};
        } else {
            e = {{static_cast<char>(b), 0, 0, 0}, 1};
        }
    }
    return t;
}
constexpr std::array<TEscape, 256> kEscapes = MakeEscapes();

char* PutEscaped(char* P, const char* T, std::size_t N) {
    for (std::size_t i = 0; i < N; ++i) {
        const TEscape& e = kEscapes[static_cast<unsigned char>(T[i])];
        std::memcpy(P, e.S, 4);
        P += e.Len;
    }
    return P;
}

bool WantsHighlighting(TDudiRiri& M) {
    return M.WantsKeywordPass() || (M.ApplyStartStopKeys() && M.StartStopKeys.Count() > 0) || M.Highlighter();
}

// The change point index in force at Offset: the number of points at or before it.
std::int32_t PointsUpTo(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset) {
    return L.Dyn(P).CountAtMost(Offset);
}

const TDynInfo& AttrAt(const TParagraphsList& L, const ParInfo& P, std::int32_t Index) { return L.AttrBefore(P, Index); }

}  // namespace

std::string RtfEscape(std::string_view Text) {
    std::string s(Text.size() * 4, '\0');
    s.resize(static_cast<std::size_t>(PutEscaped(s.data(), Text.data(), Text.size()) - s.data()));
    return s;
}

void SaveRtfFile(TDudiRiri& Memo, const std::string& Path, const std::function<void(TPos Done, TPos Total)>& Progress) {
    TRiriToRTF rtf;
    rtf.DynFormat = true;
    rtf.RTFLeading = -1;
    rtf.SetDudiRiri(&Memo);
    if (Progress) rtf.OnProgress = [&](TRiruDaRodozetedText& S) { Progress(S.ProgressDone(), S.ProgressTotal()); };
    rtf.SaveToFile(Path);
}

std::int32_t TRiriToRTF::TColorTable::IndexOf(std::int32_t Color) const {
    for (std::size_t i = 4; i < Colors.size(); ++i)
        if (Colors[i] == Color) return static_cast<std::int32_t>(i);
    return 0;
}

void TRiriToRTF::TColorTable::Add(std::int32_t Color) {
    if (!ColourSet(Color)) return;
    for (std::size_t i = 4; i < Colors.size(); ++i)
        if (Colors[i] == Color) return;
    Colors.push_back(Color);
}

void TRiriToRTF::BuildColorTable(TColorTable& T, std::int32_t P1, std::int32_t P2, std::int32_t O1, std::int32_t O2) {
    TDudiRiri& m = *DudiRiri();
    T.Colors = {m.Font().Color, m.HighlightColor, m.Color, m.HighlightBackgnd};
    if (!DynFormat) return;
    for (std::int32_t p = P1; p <= P2; ++p) {
        const ParInfo& par = m.Pars.At(p);
        const std::int32_t from = p == P1 ? O1 : 0;
        const std::int32_t to = p == P2 ? O2 : par.Len();
        const std::int32_t first = PointsUpTo(m.Pars, par, from);
        const TDynInfo& a = AttrAt(m.Pars, par, first);
        if (CarriesColours(a)) {
            T.Add(a.Color);
            T.Add(a.BkColor);
        }
        const TDynView d = m.Pars.Dyn(par);
        for (std::int32_t i = first; i < d.size() && d.Offset(i) < to; ++i) {
            const TDynInfo& x = m.Pars.States[d.State(i)];
            if (!CarriesColours(x)) continue;
            T.Add(x.Color);
            T.Add(x.BkColor);
        }
    }
}

std::string TRiriToRTF::RunAttributes(std::uint8_t S, const TDynInfo& A, const TColorTable& T) const {
    TDudiRiri& m = *DudiRiri();
    const bool dyn = DynFormat && (A.Flags & dfOwn);
    const std::uint8_t eff = m.EffectiveStyle(S, dyn ? A : *DefaultAttr());
    std::string r = "\\plain";
    if (eff & fsAltFont)
        r += "\\f1\\fs" + std::to_string(2 * std::abs(m.AltFont().Size));
    else
        r += "\\f0\\fs" + std::to_string(2 * std::abs(m.Font().Size));
    if (eff & fsBold) r += "\\b";
    if (eff & fsItalic) r += "\\i";
    if (eff & fsUnderline) r += "\\ul";
    if (eff & fsStrikeOut) r += "\\strike";
    const bool highlight = eff & fsHighlight;
    if (dyn && CarriesColours(A)) {
        const std::int32_t cf = ColourSet(A.Color) ? T.IndexOf(A.Color) : (highlight ? 1 : 0);
        const std::int32_t cb = ColourSet(A.BkColor) ? T.IndexOf(A.BkColor) : (highlight ? 3 : 2);
        r += "\\cf" + std::to_string(cf) + "\\cb" + std::to_string(cb);
    } else {
        r += highlight ? "\\cf1\\cb3" : "\\cf0\\cb2";
    }
    r += ' ';
    return r;
}

void TRiriToRTF::WriteRange(TPos Start, TPos Stop, TStringList* Lines, TStream* Stream) {
    TDudiRiri* memo = DudiRiri();
    if (!memo) return;
    TDudiRiri& m = *memo;
    Start = std::clamp<TPos>(Start, 0, m.CharCount());
    Stop = std::clamp<TPos>(Stop, Start, m.CharCount());
    const std::int32_t p1 = m.Pars.ParagraphAt(Start);
    const std::int32_t p2 = std::max(p1, m.Pars.ParagraphAt(Stop));
    const auto o1 = static_cast<std::int32_t>(Start - m.Pars.StartPos(p1));
    const auto o2 = static_cast<std::int32_t>(std::min<TPos>(Stop - m.Pars.StartPos(p2), m.Pars.At(p2).Len()));
    // Highlighting the background has not reached yet is done now.
    if (DynFormat && WantsHighlighting(m)) KeywordsOverRange(m, p1, p2);
    std::uint8_t style = 0;
    if (m.StaticFormat() && Start > 0) {
        // The static style at the start runs on from the text before it.
        m.FormatThrough(p1);
        TRiriNavigator at(&m);
        at.SetPos(Start);
        style = at.StaticStyle();
    }
    BeginProgress(Stop - Start);

    TColorTable table;
    BuildColorTable(table, p1, p2, o1, o2);
    TLineWriter w(Lines, Stream);
    w.Append("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deftab720{\\fonttbl{\\f0\\fnil\\fcharset204 ");
    w.Append(RtfEscape(m.Font().Name));
    w.Append(";}{\\f1\\fnil\\fcharset204 ");
    w.Append(RtfEscape(m.AltFont().Name));
    w.Append(";}}");
    w.EndLine();
    w.Append("{\\colortbl");
    w.EndLine();
    for (const std::int32_t c : table.Colors) {
        const TRgb rgb = ResolveColor(c);
        w.Append("\\red" + std::to_string(rgb.R) + "\\green" + std::to_string(rgb.G) + "\\blue" + std::to_string(rgb.B) +
                 ";");
    }
    w.Append("}");
    if (m.Justified())
        w.Append("\\pard\\qj");
    else
        w.Append(m.Alignment() == taRightJustify ? "\\pard\\qr" : m.Alignment() == taCenter ? "\\pard\\qc" : "\\pard\\ql");
    if (RTFLeading > 0)
        w.Append("\\sl" + std::to_string(std::lround(RTFLeading * 1440.0)));
    else if (RTFLeading < 0)
        w.Append("\\sl" + std::to_string(std::lround(-RTFLeading * 240.0)) + "\\slmult1");
    const ParInfo& first = m.Pars.At(p1);
    std::string current = RunAttributes(style, DynFormat ? AttrAt(m.Pars, first, PointsUpTo(m.Pars, first, o1)) : *DefaultAttr(), table);
    w.Append(current);
    w.EndLine();

    for (std::int32_t p = p1; p <= p2; ++p) {
        const ParInfo& par = m.Pars.At(p);
        if (p > p1) w.Append("\\par ");
        WriteParagraph(w, par, p == p1 ? o1 : 0, p == p2 ? o2 : par.Len(), style, current, table);
        w.EndLine();
        if (p < p2) Progress(m.Pars.StartPos(p) + par.Len() - Start, false);
    }
    w.Append("\\par }");
    w.EndLine();
    w.Finish();
    Progress(Stop - Start, true);
}

void TRiriToRTF::WriteParagraph(TLineWriter& W, const ParInfo& P, std::int32_t O1, std::int32_t O2, std::uint8_t& Style,
                                std::string& Current, const TColorTable& T) {
    const char* t = P.Text() ? P.Text() : "";
    const TDynView d = DynFormat ? DudiRiri()->Pars.Dyn(P) : TDynView();
    const std::int32_t count = d.size();
    const bool sf = DudiRiri()->StaticFormat();
    // The change points at or before the position are passed.
    std::int32_t idx = count > 0 ? d.CountAtMost(O1 - 1) : 0;
    auto attr = [&]() -> const TDynInfo& { return DynFormat ? AttrAt(DudiRiri()->Pars, P, idx) : *DefaultAttr(); };
    auto update = [&]() {
        std::string a = RunAttributes(Style, attr(), T);
        if (a != Current) {
            W.Append(a);
            Current = std::move(a);
        }
    };
    std::int32_t pos = O1;
    for (;;) {
        bool changed = false;
        while (idx < count && d.Offset(idx) <= pos) {
            ++idx;
            changed = true;
        }
        // The styles of the run starting here (a new paragraph may start in other ones).
        if (changed || pos == O1) update();
        if (pos >= O2) break;
        const std::int32_t next = idx < count ? std::min(O2, d.Offset(idx)) : O2;
        std::int32_t end = pos;
        if (sf) {
            while (end < next && !IsStyleCode(static_cast<unsigned char>(t[end]))) ++end;
        } else {
            end = next;
        }
        if (end > pos) {
            char* out = W.Reserve(static_cast<std::size_t>(end - pos) * 4);
            W.Commit(PutEscaped(out, t + pos, static_cast<std::size_t>(end - pos)));
            pos = end;
        }
        // Style codes are not written; they switch the style of what follows.
        bool folded = false;
        while (sf && pos < next && IsStyleCode(static_cast<unsigned char>(t[pos]))) {
            Style ^= StyleCodeBit(static_cast<unsigned char>(t[pos]));
            ++pos;
            folded = true;
        }
        if (folded) update();
    }
    // Codes behind the range still switch the style the next paragraph starts in.
    if (sf) Style = FoldStyle(Style, std::string_view(t + O2, static_cast<std::size_t>(P.Len() - O2)));
}

}  // namespace tarvex
