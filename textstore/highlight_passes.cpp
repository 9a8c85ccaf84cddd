// The highlighting passes: ApplyAttribute, the keyword pass and the
// start-stop pass with the ripple of region states into later paragraphs.

#include "textstore/highlight_passes.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "textstore/highlighter.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

std::int32_t PointsBelow(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset) {
    return L.Dyn(P).CountBelow(Offset);
}
std::int32_t PointsAtMost(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset) {
    return L.Dyn(P).CountAtMost(Offset);
}
const TDynInfo& AttrAtOffset(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset) {
    return L.AttrBefore(P, PointsAtMost(L, P, Offset));
}

namespace {

// Change points that highlighters without contexts set stay when keys are redone.
bool IsHighlighterPoint(const TDynInfo& A) { return (A.Flags & dfOwn) && ContextDepth(A) < 0; }

// Deletes the key-made change points with offsets in [From, To] (To inclusive).
bool DeleteKeyPoints(TParagraphsList& L, ParInfo& P, std::int32_t From, std::int32_t To) {
    const TDynView v = L.Dyn(P);
    bool any = false;
    for (std::int32_t i = v.CountBelow(From); i < v.size() && v.Offset(i) <= To && !any; ++i)
        any = !IsHighlighterPoint(L.States[v.State(i)]);
    if (!any) return false;
    TDynInfoArray& d = L.DynForWrite(P);
    d.erase(std::remove_if(d.begin(), d.end(),
                           [&](const TDynPoint& x) {
                               return x.Offset >= From && x.Offset <= To && !IsHighlighterPoint(L.States[x.State]);
                           }),
            d.end());
    return true;
}

// Sets a paragraph's start attribute to the state at the end of the one before.
// A state without an own attribute is the default one (the rest of such a
// record means nothing), so plain text after highlighting costs no memory.
void CarryState(TParagraphsList& L, ParInfo& Prev, ParInfo& Next) {
    const TDynView d = L.Dyn(Prev);
    const std::uint32_t end = d.empty() ? L.StartState(Prev) : d.State(d.size() - 1);
    L.SetStartState(Next, (L.States[end].Flags & dfOwn) ? end : 0);
}

// The same state, shown the same way: the text behind a range that ends in
// a state of another style or colour (an HTML tag run of another kind) is
// done again too, or it would keep the old look.
bool SameLook(const TDynInfo& A, const TDynInfo& B) {
    if (!SameState(A, B)) return false;
    if (!(A.Flags & dfOwn)) return true;
    // A run at depth 0 may keep the state it lies over above its context (HTML's do).
    if (A.Depth == 0 && (A.Contexts[1] != B.Contexts[1] || A.Contexts[2] != B.Contexts[2])) return false;
    return A.Flags == B.Flags && A.Color == B.Color && A.BkColor == B.BkColor && A.Cursor == B.Cursor &&
           A.Nesting == B.Nesting;
}

// How far an edit inside a region redoes the region around it, at most.
constexpr std::int32_t kRegionRedo = 64 * 1024;
constexpr std::int32_t kRegionRedoPoints = 64;

void ResetNavigatorsBehind(TDudiRiriBase& M, TPos From, std::int32_t UpToPar) {
    const std::int32_t last = std::min(UpToPar, M.Pars.Count() - 1);
    const TPos upTo = UpToPar < 0 ? INT64_MAX : M.Pars.StartPos(last) + M.Pars.At(last).Len();
    for (TRiriNavigator* n : M.Navigators())
        if (n->Pos() > From && n->Pos() <= upTo) n->ResetLineAndDyn();
}

bool IsSep(const TDudiRiriBase& M, std::string_view Text, std::int64_t I) {
    return I < 0 || I >= static_cast<std::int64_t>(Text.size()) || M.IsSeparator(static_cast<unsigned char>(Text[static_cast<std::size_t>(I)]));
}

}  // namespace

std::int32_t ContextDepth(const TDynInfo& A) { return (A.Flags & (dfOwn | dfKeyed)) == (dfOwn | dfKeyed) ? A.Depth : -1; }

bool KeywordsAllowed(const TDynInfo& A) { return !(A.Flags & dfOwn) || A.Context == 0; }

bool StartAllowed(const TDynInfo& A) {
    const std::int32_t d = ContextDepth(A);
    return d < 0 || (d < 16 && A.Contexts[d] >= -1);
}

// --- ApplyAttribute

void ApplyAttribute(TDudiRiriBase& M, TRiriNavigator& NavA, TRiriNavigator& NavB, bool MarkDirty, bool Set,
                    const TDynInfo& Attr) {
    TRiriNavigator* s = &NavA;
    TRiriNavigator* e = &NavB;
    if (s->Pos() > e->Pos()) std::swap(s, e);
    TParagraphsList& L = M.Pars;
    const TPos endPos = e->Pos();
    const std::int32_t startPar = s->ParNb();
    const std::int32_t endPar = e->ParNb();
    if (MarkDirty) {
        L.NoteKeysEdit(startPar, endPar, endPar);
        L.MarkDirty(startPar, s->LineNb(), endPar);
    }

    // The attribute in force at the start, and where it began.
    TDynInfo before = s->CurrentAttr();
    TPos beforeAt = L.StartPos(startPar) + (s->DynNb() > 0 ? L.DynOffset(*s->Par(), s->DynNb() - 1) : 0);

    TDynInfo n = Attr;
    n.Nesting = (before.Flags & dfOwn) ? before.Nesting : 0;
    if (Set)
        n.Flags |= dfOwn;
    else
        n.Flags = 0;
    if ((n.Flags & dfOwn) && (n.Extra & 1)) ++n.Nesting;
    n.Extra &= static_cast<std::uint8_t>(~2);
    if (Set || (before.Flags & dfOwn)) s->InsertAttr(n);

    // Change points covered by the span go; the last one's attribute is what
    // continues behind it.
    for (std::int32_t p = startPar; p <= endPar; ++p) {
        ParInfo& par = L.At(p);
        par.Flags &= static_cast<std::uint8_t>(~pfFormatted);
        const TPos parStart = L.StartPos(p);
        {
            const TDynView v = L.Dyn(par);
            const std::int32_t from = p == startPar ? s->DynNb() : 0;
            const TPos limit = p == endPar ? endPos - parStart : INT32_MAX;
            std::int32_t to = from;
            while (to < v.size() && v.Offset(to) <= limit) ++to;
            if (to > from) {
                before = L.States[v.State(to - 1)];
                beforeAt = parStart + v.Offset(to - 1);
                TDynInfoArray& d = L.DynForWrite(par);
                d.erase(d.begin() + from, d.begin() + to);
            }
        }
        if (p > startPar) L.SetStartAttr(par, (n.Flags & dfOwn) ? n : *DefaultAttr());
    }

    const TPos keyLeft = beforeAt + before.KeyLen - endPos;
    before.KeyLen = static_cast<std::uint16_t>(std::clamp<TPos>(keyLeft, 0, 65535));
    s->ResetLineAndDyn();
    e->SetResolved(endPar, static_cast<std::int32_t>(endPos - L.StartPos(endPar)), endPos);
    if (endPos >= L.TotalLen) return;
    if (Set || (before.Flags & dfOwn)) e->InsertAttr(before);
}

// --- the keyword pass

namespace {

struct TKeywordMatch {
    std::int32_t Key;
    std::int32_t Par;
    std::int32_t Offset;
    std::int32_t Len;
};

void ApplyKeywordBatch(TDudiRiriBase& M, std::vector<TKeywordMatch>& Batch, TRiriNavigator& NavTo, TPos& Earliest) {
    // Each match adds at most two change points: make room for a paragraph's
    // matches in one allocation. Growing one insert at a time costs more in
    // the allocator and in touched memory than the pass's own work.
    TRiriNavigator a(&M), b(&M);
    for (const TKeywordMatch& m : Batch) {
        const TPos start = M.Pars.StartPos(m.Par) + m.Offset;
        a.SetResolved(m.Par, m.Offset, start);
        a.SkipEqual();
        const TDynInfo A = a.CurrentAttr();
        const std::int32_t d = ContextDepth(A);
        if (d >= 15) continue;  // the context stack is full
        if (d >= 0 && a.DynNb() > 0) {
            TDynInfo open = M.Pars.DynAttr(*a.Par(), a.DynNb() - 1);
            open.StopLen = 0;
            M.Pars.SetDynAttr(*a.Par(), a.DynNb() - 1, open);
        }
        const TKeyInfoLen& k = M.Keywords.Item(m.Key);
        TDynInfo n = A;
        n.Flags = static_cast<std::uint8_t>((k.Style & 0x3F) | dfOwn | dfKeyed);
        n.Nesting = 0;
        n.Extra = 0;
        n.Color = k.Color;
        n.BkColor = k.BkColor;
        n.Context = k.Context;
        n.Cursor = k.Cursor;
        n.KeyLen = n.StopLen = static_cast<std::uint16_t>(std::min(m.Len, 65535));
        n.Depth = static_cast<std::int8_t>(d + 1);
        n.Contexts[d + 1] = static_cast<std::int16_t>(m.Key);
        b.SetResolved(m.Par, m.Offset + m.Len, start + m.Len);
        ApplyAttribute(M, a, b, false, true, n);
        Earliest = std::min(Earliest, start);
        if (NavTo.Pos() < start + m.Len) NavTo.SetPos(start + m.Len);
    }
    Batch.clear();
}

}  // namespace

void ApplyKeywords(TDudiRiriBase& M, TRiriNavigator& NavFrom, TRiriNavigator& NavTo) {
    if (TRiriHighlighter* h = M.Highlighter()) h->ScanKeywords(NavFrom, NavTo, M.Keywords.Count());
    TKeywordList& K = M.Keywords;
    if (!M.ApplyKeyWords() || K.Count() == 0) return;
    TParagraphsList& L = M.Pars;
    TRiriNavigator* f = &NavFrom;
    TRiriNavigator* t = &NavTo;
    if (f->Pos() > t->Pos()) std::swap(f, t);
    const std::int32_t p1 = f->ParNb(), o1 = f->ParOffset();
    const std::int32_t p2 = t->ParNb(), o2 = t->ParOffset();
    const std::int32_t maxLen = K.MaxLen();
    const bool allCase = K.Flags() & 1;
    TDudiRiriBase::THighlightScratch& sc = M.HighlightScratch;

    std::vector<TKeywordMatch> batch;
    TPos earliest = INT64_MAX;
    for (std::int32_t p = p1; p <= p2; ++p) {
        ParInfo& par = L.At(p);
        const std::string_view text = par.View();
        const auto len = static_cast<std::int32_t>(text.size());
        const std::int32_t ws = p == p1 ? std::max(0, o1 - maxLen - 1) : 0;
        const std::int32_t we = p == p2 ? std::min(len, o2 + maxLen) : len;
        if (ws >= we) continue;
        // Nothing to do where keywords are allowed nowhere in the window.
        if (!KeywordsAllowed(AttrAtOffset(L, par, ws)) && PointsAtMost(L, par, we - 1) == PointsAtMost(L, par, ws)) continue;

        // Characters under attributes that forbid keywords are out of reach.
        const std::int32_t n = we - ws;
        sc.Used.assign(static_cast<std::size_t>(n), 0);
        if (L.DynCount(par) > 0 || !KeywordsAllowed(L.StartAttr(par))) {
            const TDynView dv = L.Dyn(par);
            std::int32_t idx = dv.CountAtMost(ws);
            const TDynInfo* a = &L.AttrBefore(par, idx);
            const std::int32_t cnt = dv.size();
            for (std::int32_t i = ws; i < we; ++i) {
                while (idx < cnt && dv.Offset(idx) <= i) a = &L.States[dv.State(idx++)];
                if (!KeywordsAllowed(*a)) sc.Used[static_cast<std::size_t>(i - ws)] = 1;
            }
        }
        const std::string_view plain = text.substr(static_cast<std::size_t>(ws), static_cast<std::size_t>(n));
        if (!allCase) {
            sc.Folded.assign(plain);
            for (char& c : sc.Folded) c = static_cast<char>(Cp1251Upper(static_cast<unsigned char>(c)));
        }

        // Every occurrence of every keyword, found in one sweep.
        sc.Candidates.clear();
        for (std::int32_t i = 0; i < n; ++i) {
            for (int pass = 0; pass < (allCase ? 1 : 2); ++pass) {
                const std::string_view hay = pass == 0 ? plain : std::string_view(sc.Folded);
                const unsigned char first = static_cast<unsigned char>(hay[static_cast<std::size_t>(i)]);
                for (std::int32_t k : pass == 0 ? K.ByFirstPlain(first) : K.ByFirstFolded(first)) {
                    const TKeyInfoLen& key = K.Item(k);
                    if (i + key.Len > n) continue;
                    // A whole word must start after a separator: most positions fail here at once.
                    if ((key.Options & koWholeWord) && !IsSep(M, text, ws + i - 1)) continue;
                    const std::string& needle = pass == 0 ? key.Keyword : key.SearchKey;
                    if (hay.compare(static_cast<std::size_t>(i), needle.size(), needle) == 0) sc.Candidates.emplace_back(k, i);
                }
            }
        }
        // In list order each keyword takes its occurrences left to right that
        // nothing earlier has taken: the first keyword wins.
        std::stable_sort(sc.Candidates.begin(), sc.Candidates.end(),
                         [](const auto& x, const auto& y) { return x.first < y.first; });
        std::int32_t curKey = -1, next = 0, from = 0, lastStart = 0;
        for (const auto& [k, i] : sc.Candidates) {
            const TKeyInfoLen& key = K.Item(k);
            if (k != curKey) {
                curKey = k;
                from = p == p1 ? std::max(0, o1 - ws - key.Len) : 0;
                lastStart = p == p2 ? o2 - ws : INT32_MAX;
                next = from;
            }
            if (i < next || i > lastStart) continue;
            bool free = true;
            for (std::int32_t j = i; j < i + key.Len && free; ++j) free = !sc.Used[static_cast<std::size_t>(j)];
            if (!free) continue;
            if ((key.Options & koWholeWord) && !(IsSep(M, text, ws + i - 1) && IsSep(M, text, static_cast<std::int64_t>(ws) + i + key.Len)))
                continue;
            std::fill(sc.Used.begin() + i, sc.Used.begin() + i + key.Len, 1);
            batch.push_back({k, p, ws + i, key.Len});
            next = i + key.Len;
            if (batch.size() == 16) ApplyKeywordBatch(M, batch, *t, earliest);
        }
    }
    ApplyKeywordBatch(M, batch, *t, earliest);
    if (earliest != INT64_MAX) ResetNavigatorsBehind(M, earliest, p2);
}

// --- start and stop keys

bool FindStart(TDudiRiriBase& M, TRiriNavigator& Cur, TRiriNavigator& Lim) {
    ParInfo& par = *Cur.Par();
    const std::int32_t co = Cur.ParOffset();
    const std::int32_t lo = std::max(co, Lim.ParNb() == Cur.ParNb() ? Lim.ParOffset() : par.Len());
    if (ContextDepth(AttrAtOffset(M.Pars, par, co)) >= 15) return false;
    TStartStopKeyList& S = M.StartStopKeys;
    if (M.ApplyStartStopKeys() && S.Count() > 0) {
        if (!S.Prepared()) S.Prepare(M.SeparatorSet());
        const std::string_view text = par.View();
        const auto len = static_cast<std::int32_t>(text.size());
        const std::int32_t span = S.MaxStartLen() + 1;
        const std::int32_t ws = co - std::min(span, co);
        const std::int32_t we = std::min(len, lo + span);
        if (ws < we) {
            const std::string folded = (S.Flags() & 1) ? std::string() : FoldText(text.substr(static_cast<std::size_t>(ws), static_cast<std::size_t>(we - ws)));
            const std::int32_t cnt = M.Pars.DynCount(par);
            std::int32_t idx = PointsAtMost(M.Pars, par, ws);
            const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
            for (std::int32_t i = ws; i < we && i < std::max(lo, co + 1); ++i) {
                if (!S.StartsWith(bytes[i])) continue;  // no start key begins here
                while (idx < cnt && M.Pars.DynOffset(par, idx) <= i) ++idx;
                const TDynInfo& a = M.Pars.AttrBefore(par, idx);
                if (!StartAllowed(a)) {
                    // Jump to the next change point.
                    if (idx >= cnt) break;
                    i = M.Pars.DynOffset(par, idx) - 1;
                    continue;
                }
                for (std::int32_t k = 0; k < S.Count(); ++k) {
                    const StartStopInfo& e = S.Item(k);
                    const std::int32_t kl = e.StartLen;
                    if (kl == 0 || i + kl > we) continue;
                    if (i + kl + (e.StartBoundaryAfter ? 1 : 0) <= co) continue;  // must end beyond Cur
                    const std::string_view hay = (e.Options & koCaseSensitive) ? text.substr(static_cast<std::size_t>(ws))
                                                                               : std::string_view(folded);
                    if (hay.compare(static_cast<std::size_t>(i - ws), static_cast<std::size_t>(kl), e.StartSearch()) != 0) continue;
                    if (e.StartBoundaryBefore && !IsSep(M, text, i - 1)) continue;
                    if (e.StartBoundaryAfter && !IsSep(M, text, i + kl)) continue;

                    // Open the region at i.
                    TDynInfoArray& d = M.Pars.DynForWrite(par);
                    const std::int32_t atMost = PointsAtMost(M.Pars, par, i);
                    const TDynInfo A = M.Pars.AttrBefore(par, atMost);
                    const std::int32_t depth = ContextDepth(A) + 1;
                    if (depth > 0) {
                        const std::int32_t below = PointsBelow(M.Pars, par, i);
                        if (below > 0) {
                            TDynInfo open = M.Pars.DynAttr(par, below - 1);
                            open.StopLen = 0;
                            M.Pars.SetDynAttr(par, below - 1, open);
                        }
                    }
                    // Change points inside the key (and at its end) go.
                    d.erase(std::remove_if(d.begin(), d.end(), [&](const TDynPoint& x) { return x.Offset > i && x.Offset <= i + kl; }),
                            d.end());
                    TDynInfo r = A;
                    r.Flags = static_cast<std::uint8_t>((e.Style & 0x3F) | dfOwn | dfKeyed);
                    r.Nesting = 0;
                    r.Extra = 0;
                    r.Depth = static_cast<std::int8_t>(depth);
                    r.Contexts[depth] = static_cast<std::int16_t>(k + 32768);
                    r.Cursor = e.Cursor;
                    r.Color = e.Color;
                    r.BkColor = e.BkColor;
                    r.Context = e.Context;
                    r.KeyLen = static_cast<std::uint16_t>(kl + (e.StartBoundaryAfter ? 1 : 0));
                    r.StopLen = static_cast<std::uint16_t>(e.StopLen);
                    const std::int32_t at = PointsAtMost(M.Pars, par, i);
                    if (at > 0 && d[static_cast<std::size_t>(at - 1)].Offset == i)
                        M.Pars.SetDynAttr(par, at - 1, r);
                    else
                        DynInsert(d, static_cast<std::size_t>(PointsBelow(M.Pars, par, i)), M.Pars.MakePoint(i, r));
                    Cur.ResetLineAndDyn();
                    Lim.SetResolved(Cur.ParNb(), i + kl, M.Pars.StartPos(Cur.ParNb()) + i + kl);
                    return true;
                }
            }
        }
    }
    if (TRiriHighlighter* h = M.Highlighter()) return h->FindStartKey(Cur, Lim, S.Count());
    return false;
}

namespace {

// The attribute in force before the region whose opening change point is
// entry Idx of paragraph P: the nearest earlier state below Depth.
TDynInfo StateBefore(TDudiRiriBase& M, std::int32_t P, std::int32_t Idx, std::int32_t Depth) {
    TParagraphsList& L = M.Pars;
    for (; P >= 0; --P) {
        const ParInfo& par = L.At(P);
        for (std::int32_t i = Idx - 1; i >= 0; --i) {
            const TDynInfo& x = L.DynAttr(par, i);
            if (ContextDepth(x) < Depth) return x;
        }
        if (ContextDepth(L.StartAttr(par)) < Depth) return L.StartAttr(par);
        if (P > 0) Idx = L.DynCount(L.At(P - 1));
    }
    return *DefaultAttr();
}

}  // namespace

bool FindStop(TDudiRiriBase& M, TRiriNavigator& Cur, TRiriNavigator& Lim) {
    ParInfo& par = *Cur.Par();
    const std::int32_t p = Cur.ParNb();
    const std::int32_t co = Cur.ParOffset();
    const std::int32_t inForce = PointsAtMost(M.Pars, par, co);
    const TDynInfo A = M.Pars.AttrBefore(par, inForce);
    const std::int32_t depth = ContextDepth(A);
    if (depth < 0) return false;
    TStartStopKeyList& S = M.StartStopKeys;
    const std::int16_t top = A.Contexts[depth];
    if (!(top < -1 && (top & 0x7FFF) < S.Count())) {
        if (TRiriHighlighter* h = M.Highlighter()) return h->FindStopKey(Cur, Lim, S.Count());
        return false;
    }
    if (!S.Prepared()) S.Prepare(M.SeparatorSet());
    const std::int32_t k = top & 0x7FFF;
    const StartStopInfo& e = S.Item(k);
    const std::string_view text = par.View();
    const auto len = static_cast<std::int32_t>(text.size());
    const std::int32_t lo = std::max(co, Lim.ParNb() == p ? Lim.ParOffset() : len);
    const std::int32_t sl = e.StopLen;

    // The search looks back a stop key's length, but never into the start key.
    std::int32_t from = std::max(0, co - sl);
    if (inForce > 0) {
        const TDynInfo& open = M.Pars.DynAttr(par, inForce - 1);
        from = std::max(from, std::min(len, M.Pars.DynOffset(par, inForce - 1) + static_cast<std::int32_t>(open.KeyLen)));
    }
    const std::int32_t to = std::min(len, lo + sl);  // a stop key must end by here

    std::int32_t found = -1;
    if (sl > 0) {
        const std::string folded = (e.Options & koCaseSensitive) ? std::string() : FoldText(text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
        const std::string_view hay = (e.Options & koCaseSensitive) ? text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from))
                                                                   : std::string_view(folded);
        std::size_t pos = 0;
        while ((pos = hay.find(e.StopSearch(), pos)) != std::string_view::npos) {
            const std::int32_t t = from + static_cast<std::int32_t>(pos);
            if ((e.StopBoundaryBefore && !IsSep(M, text, t - 1)) || (e.StopBoundaryAfter && !IsSep(M, text, t + sl))) {
                ++pos;
                continue;
            }
            found = t;
            break;
        }
    }
    TDynInfoArray& d = M.Pars.DynForWrite(par);
    std::int32_t limOff;
    if (found >= 0) {
        d.erase(std::remove_if(d.begin(), d.end(), [&](const TDynPoint& x) { return x.Offset > found && x.Offset <= found + sl; }),
                d.end());
        limOff = found + sl;
    } else if (e.EndsAtLineEnd() && lo >= len) {
        limOff = len;
        d.erase(std::remove_if(d.begin(), d.end(),
                               [&](const TDynPoint& x) { return x.Offset == len && !IsHighlighterPoint(M.Pars.States[x.State]); }),
                d.end());
    } else {
        return false;
    }

    // The region's opening change point learns the length of its stop key.
    std::int32_t openPar = p, openIdx = std::min(inForce, PointsAtMost(M.Pars, par, co)) - 1;
    while (openIdx < 0 && openPar > 0) {
        --openPar;
        openIdx = M.Pars.DynCount(M.Pars.At(openPar)) - 1;
    }
    if (openIdx >= 0) {
        TDynInfo open = M.Pars.DynAttr(M.Pars.At(openPar), openIdx);
        open.StopLen = static_cast<std::uint16_t>(sl + (e.StopBoundaryBefore ? 1 : 0));
        M.Pars.SetDynAttr(M.Pars.At(openPar), openIdx, open);
    }

    // The region continues as the next entry with the same start, or the state before it returns.
    TDynInfo after;
    std::int32_t next = -1;
    for (std::int32_t j = k + 1; j < S.Count(); ++j)
        if (S.Item(j).SameStart == k) {
            next = j;
            break;
        }
    if (next >= 0) {
        const StartStopInfo& ne = S.Item(next);
        after = A;
        after.Flags = static_cast<std::uint8_t>((ne.Style & 0x3F) | dfOwn | dfKeyed);
        after.Nesting = 0;
        after.Extra = 0;
        after.Contexts[depth] = static_cast<std::int16_t>(next + 32768);
        after.Cursor = ne.Cursor;
        after.Color = ne.Color;
        after.BkColor = ne.BkColor;
    } else {
        after = openIdx >= 0 ? StateBefore(M, openPar, openIdx, depth) : *DefaultAttr();
    }
    after.KeyLen = 0;
    DynInsert(d, static_cast<std::size_t>(PointsBelow(M.Pars, par, limOff)), M.Pars.MakePoint(limOff, after));
    Cur.ResetLineAndDyn();
    Lim.SetResolved(p, limOff, M.Pars.StartPos(p) + limOff);
    return true;
}

TPos ApplyStartStopKeys(TDudiRiriBase& M, TRiriNavigator& NavFrom, TRiriNavigator& NavTo, TDynInfo& EndAttr) {
    TParagraphsList& L = M.Pars;
    TStartStopKeyList& S = M.StartStopKeys;
    if (!S.Prepared()) S.Prepare(M.SeparatorSet());
    TPos segFrom = std::min(NavFrom.Pos(), NavTo.Pos());
    TPos segTo = std::max(NavFrom.Pos(), NavTo.Pos());
    const TPos rangeStart = segFrom;
    std::int32_t first = NavFrom.Pos() <= NavTo.Pos() ? NavFrom.ParNb() : NavTo.ParNb();
    std::int32_t last = NavFrom.Pos() <= NavTo.Pos() ? NavTo.ParNb() : NavFrom.ParNb();
    if (segTo >= L.StartPos(last) + L.At(last).Len() && last + 1 < L.Count()) EndAttr = L.StartAttr(L.At(last + 1));
    bool changed = false;
    TRiriNavigator g(&M), lim(&M);
    for (;;) {
        bool crossed = false;  // a key ran past the end of the segment
        for (std::int32_t p = first; p <= last; ++p) {
            ParInfo& par = L.At(p);
            const TPos parStart = L.StartPos(p);
            const std::int32_t len = par.Len();
            const std::int32_t go = p == first ? static_cast<std::int32_t>(segFrom - parStart) : 0;
            const std::int32_t eo = p == last ? static_cast<std::int32_t>(std::min<TPos>(segTo - parStart, len)) : len;
            // The state the text behind the segment expects. A key-made change
            // point at the segment end goes too: it was left by a key inside
            // the segment, and it comes back if the segment still makes it.
            if (eo < len) EndAttr = AttrAtOffset(L, par, eo);
            if (DeleteKeyPoints(L, par, go, eo)) changed = true;
            g.SetResolved(p, go, parStart + go);
            // An empty segment (a deletion) may still have joined a key across it.
            bool firstRound = go == eo;
            for (;;) {
                lim.SetResolved(p, eo, parStart + eo);
                bool stopped = false;
                if (FindStop(M, g, lim)) {
                    changed = stopped = true;
                    g.SetResolved(p, lim.ParOffset(), lim.Pos());
                }
                lim.SetResolved(p, eo, parStart + eo);
                const bool tryStart = g.ParOffset() < eo || firstRound;
                firstRound = false;
                if (tryStart && FindStart(M, g, lim)) {
                    changed = true;
                    g.SetResolved(p, lim.ParOffset(), lim.Pos());
                    continue;
                }
                // A region closed: the one now in force (an enclosing or a
                // continuing region) may end further on in the segment.
                if (stopped && g.ParOffset() < eo) continue;
                break;
            }
            if (p == last && g.ParOffset() > eo) crossed = true;
            par.Flags |= pfKeysApplied;
            if (p < last) CarryState(L, par, L.At(p + 1));
        }
        // Keys are in place through last unless a paragraph before the segment still waits.
        if (L.KeysThrough >= first - 1) L.KeysThrough = last;

        ParInfo& lp = L.At(last);
        const TPos lpStart = L.StartPos(last);
        const std::int32_t endOff = static_cast<std::int32_t>(std::min<TPos>(segTo - lpStart, lp.Len()));
        const TDynInfo endState = AttrAtOffset(L, lp, endOff);
        if (SameLook(endState, EndAttr) && !crossed) break;
        if (endOff < lp.Len()) {
            // The range ended inside a paragraph in another state: go on to its end.
            first = last;
            segFrom = segTo;
            segTo = lpStart + lp.Len();
            // With no paragraph behind, nothing expects a state: the rest is simply redone.
            EndAttr = last + 1 < L.Count() ? L.StartAttr(L.At(last + 1)) : endState;
            continue;
        }
        // The next paragraph expected another state: it is done again, and so on.
        if (last + 1 < L.Count()) {
            ParInfo& next = L.At(last + 1);
            next.Flags &= static_cast<std::uint8_t>(~(pfFormatted | pfKeysApplied | pfKeywordsApplied));
            L.KeysHole = std::max(L.KeysHole, last + 1);
            CarryState(L, lp, next);
            L.FormatLast = std::max(L.FormatLast, last + 1);
        }
        break;
    }
    if (changed) {
        L.LinesAdjusted = false;
        ResetNavigatorsBehind(M, rangeStart, -1);
    }
    return segTo;
}

// --- drivers

namespace {
// The most paragraphs one call of a pass takes at a time, and about the most
// text: long lines go one at a time.
constexpr std::int32_t kPassGroup = 63;
constexpr std::int64_t kPassGroupBytes = 64 * 1024;
}  // namespace

void KeysThrough(TDudiRiriBase& M, std::int32_t P) {
    TParagraphsList& L = M.Pars;
    P = std::min(P, L.Count() - 1);
    if (!((M.ApplyStartStopKeys() && M.StartStopKeys.Count() > 0) || M.Highlighter())) {
        // No keys and no highlighter: nothing opens a region.
        L.KeysThrough = std::max(L.KeysThrough, P);
        if (L.KeysThrough >= L.KeysAhead) L.KeysAhead = L.KeysHole = -1;
        return;
    }
    TRiriNavigator from(&M), to(&M);
    for (std::int32_t q = std::max(0, L.KeysThrough + 1); q <= P; ++q) {
        // Behind the holes an edit left (the ripple may add one as it goes), keys are in place.
        if (q > L.KeysHole && q <= L.KeysAhead) {
            q = L.KeysAhead;
            continue;
        }
        if (L.At(q).Flags & pfKeysApplied) continue;
        // Paragraphs that wait in a row go in one pass: each one's state is
        // carried into the next as it goes, so the result is the same as one
        // by one, without the per-call work for every short line.
        std::int32_t r = q;
        std::int64_t bytes = L.At(q).Len();
        while (r < P && r - q < kPassGroup && bytes < kPassGroupBytes && !(L.At(r + 1).Flags & pfKeysApplied) &&
               !(r + 1 > L.KeysHole && r + 1 <= L.KeysAhead))
            bytes += L.At(++r).Len();
        const ParInfo& last = L.At(r);
        from.SetResolved(q, 0, L.StartPos(q));
        to.SetResolved(r, last.Len(), L.StartPos(r) + last.Len());
        TDynInfo endAttr = *DefaultAttr();
        ApplyStartStopKeys(M, from, to, endAttr);
        q = r;
    }
    L.KeysThrough = std::max(L.KeysThrough, P);
    if (L.KeysThrough >= L.KeysAhead) L.KeysAhead = L.KeysHole = -1;
}

void KeywordsOverRange(TDudiRiriBase& M, std::int32_t First, std::int32_t Last) {
    TParagraphsList& L = M.Pars;
    Last = std::min(Last, L.Count() - 1);
    KeysThrough(M, Last);
    TRiriNavigator from(&M), to(&M);
    for (std::int32_t q = std::max(0, First); q <= Last; ++q) {
        if (L.At(q).Flags & pfKeywordsApplied) continue;
        // Keywords never reach across a paragraph end: paragraphs that wait in a row go in one pass.
        std::int32_t r = q;
        std::int64_t bytes = L.At(q).Len();
        while (r < Last && r - q < kPassGroup && bytes < kPassGroupBytes && !(L.At(r + 1).Flags & pfKeywordsApplied))
            bytes += L.At(++r).Len();
        const ParInfo& last = L.At(r);
        from.SetResolved(q, 0, L.StartPos(q));
        to.SetResolved(r, last.Len(), L.StartPos(r) + last.Len());
        ApplyKeywords(M, from, to);
        for (std::int32_t i = q; i <= r; ++i) L.At(i).Flags |= pfKeywordsApplied;
        q = r;
    }
}

void HighlightAfterEdit(TDudiRiriBase& M, const TReplaceResult& Edit) {
    TParagraphsList& L = M.Pars;
    const TPos From = std::clamp<TPos>(Edit.NewFrom, 0, L.TotalLen);
    const TPos To = std::clamp<TPos>(Edit.NewEnd, From, L.TotalLen);
    const std::int32_t p = L.ParagraphAt(From);
    ParInfo& par = L.At(p);
    const TPos parStart = L.StartPos(p);
    std::int32_t o1 = static_cast<std::int32_t>(From - parStart);
    const TPos parEnd = parStart + par.Len();
    std::int32_t o2 = static_cast<std::int32_t>(std::min(To, parEnd) - parStart);
    // Paragraphs joined (the tail's change points were made for the state its
    // own paragraph started in), or change points removed with the replaced
    // text (the state after them is unknown): the rest of the paragraph is
    // done again.
    if ((Edit.Structural && Edit.LastNewPar == Edit.FirstPar) || Edit.AttrsRemoved) o2 = par.Len();
    // Widen to the key runs the edit touches: the key that opened the
    // attribute in force at the start, and a key that begins at or ends by the end.
    {
        // The attribute over the character before the start: a key run that
        // reaches the start is redone, and so on back over adjacent runs (the
        // change points that end them lie inside the range).
        for (;;) {
            const std::int32_t n = PointsBelow(L, par, o1);
            if (n == 0) break;
            const TDynInfo& a = L.DynAttr(par, n - 1);
            const std::int32_t at = L.DynOffset(par, n - 1);
            if (ContextDepth(a) < 0 || at + std::max<std::int32_t>(a.KeyLen, a.StopLen) < o1 || at >= o1) break;
            o1 = at;
        }
        const std::int32_t cnt = L.DynCount(par);
        for (std::int32_t i = PointsBelow(L, par, o2); i < cnt; ++i) {
            const TDynInfo& c = L.DynAttr(par, i);
            const std::int32_t at = L.DynOffset(par, i);
            const TDynInfo& prev = L.AttrBefore(par, i);
            const bool stopRun = ContextDepth(prev) >= 0 && at - prev.StopLen <= o2;
            // A run that starts where the widened range now ends is redone with
            // its key: a stop found inside that key ends the run before it.
            const bool startRun = ContextDepth(c) >= 0 && (at <= o2 || stopRun);
            if (!stopRun && !startRun) break;
            o2 = std::max(o2, startRun ? at + std::max<std::int32_t>(c.KeyLen, c.StopLen) : at);
            o2 = std::min(o2, par.Len());
        }
    }
    // Inside a region the stop key is looked for first, over all the rest of
    // the paragraph: whether one lies ahead decides whether keys before it
    // open regions of their own. An edit inside a region redoes the region's
    // whole part in this paragraph, as highlighting from scratch sees it.
    {
        const TDynView v = L.Dyn(par);
        std::int32_t i = v.CountBelow(o1);
        const TDynInfo& a = L.AttrBefore(par, i);
        // The outermost region: a stop key typed inside a region nested in it ends it too.
        std::int32_t d = 0;
        while (d <= ContextDepth(a) && a.Contexts[d] >= -1) ++d;
        if (d <= ContextDepth(a)) {
            // At most kRegionRedo bytes and kRegionRedoPoints change points
            // either side: in a line of megabytes (adjacent tags, an asm block
            // full of keywords, a huge string) typing stays cheap, as every
            // point put in such a line moves the points behind it, and the
            // text beyond is left as it was.
            const std::int32_t lo = std::max(0, o1 - kRegionRedo), hi = o2 > par.Len() - kRegionRedo ? par.Len() : o2 + kRegionRedo;
            const std::int32_t first = i;
            while (i > 0 && first - i < kRegionRedoPoints && ContextDepth(L.States[v.State(i - 1)]) >= d && v.Offset(i - 1) >= lo) --i;
            if (i > 0 && ContextDepth(L.States[v.State(i - 1)]) >= d)
                o1 = std::max(lo, std::min(o1, v.Offset(i - 1)));
            else
                o1 = i > 0 ? std::min(o1, v.Offset(i)) : (ContextDepth(L.StartAttr(par)) >= d ? lo : std::min(o1, v.Offset(0)));
            std::int32_t j = v.CountBelow(o2);
            const std::int32_t from = j;
            while (j < v.size() && j - from < kRegionRedoPoints && ContextDepth(L.States[v.State(j)]) >= d && v.Offset(j) <= hi) ++j;
            o2 = std::max(o2, std::min(hi, j < v.size() ? v.Offset(j) : par.Len()));
        }
    }
    if (TRiriHighlighter* h = M.Highlighter()) {
        TRiriNavigator adj(&M);
        adj.SetResolved(p, o1, parStart + o1);
        if (L.At(p).LineCount() >= 1 && h->AdjustFormatStart(adj) && adj.ParNb() == p) o1 = std::min(o1, adj.ParOffset());
    }
    TRiriNavigator from(&M), to(&M);
    if (par.Flags & pfKeysApplied) {
        from.SetResolved(p, o1, parStart + o1);
        to.SetResolved(p, o2, parStart + o2);
        TDynInfo endAttr = *DefaultAttr();
        // Where regions changed up to, keywords are due again.
        const TPos end = ApplyStartStopKeys(M, from, to, endAttr);
        o2 = std::max(o2, static_cast<std::int32_t>(std::min<TPos>(end - parStart, par.Len())));
    }
    ParInfo& again = L.At(p);
    if (again.Flags & pfKeywordsApplied) {
        from.SetResolved(p, o1, L.StartPos(p) + o1);
        to.SetResolved(p, o2, L.StartPos(p) + o2);
        ApplyKeywords(M, from, to);
        L.At(p).Flags |= pfKeywordsApplied;
    }
}

}  // namespace tarvex
