// The extended highlighter's passes: keywords with contexts, start keys with
// their look-back, stop keys with region flags, and the chain.

#include "highlight/ext_highlighter.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "highlight/text_scan.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

void ApplyRun(TDudiRiriBase& M, TRiriNavigator& A, TRiriNavigator& B, const TDynInfo& Attr) {
    const std::int32_t p = A.ParNb(), o = A.ParOffset();
    ApplyAttribute(M, A, B, false, true, Attr);
    ParInfo& par = M.Pars.At(p);
    const std::int32_t at = PointsAtMost(M.Pars, par, o);  // the new run's point is the last one at o
    if (at >= 2 && M.Pars.DynOffset(par, at - 2) == o) {
        // Region starts and returns stay: the state before a region is found by
        // walking back over change points to the first one below its depth.
        const TDynInfo& dead = M.Pars.DynAttr(par, at - 2);
        const std::int32_t d = ContextDepth(dead);
        if (!((dead.Flags & dfOwn) && d < 0) && !(d >= 0 && dead.Contexts[d] < 0)) {
            TDynInfoArray& d = M.Pars.DynForWrite(par);
            d.erase(d.begin() + (at - 2));
        }
    }
}

TDynInfo KeyRunRecord(const TDynInfo& A, const TDynInfo& Attr) {
    TDynInfo n = Attr;
    n.Offset = 0;
    n.Nesting = (A.Flags & dfOwn) ? A.Nesting : 0;
    n.Flags |= dfOwn;
    if (n.Extra & 1) ++n.Nesting;
    n.Extra &= static_cast<std::uint8_t>(~2);
    return n;
}

std::uint32_t StateAtOffset(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset) {
    const TDynView v = L.Dyn(P);
    const std::int32_t i = v.CountAtMost(Offset);
    return i > 0 ? v.State(i - 1) : L.StartState(P);
}

void PutKeyRun(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Len, const TDynInfo& A,
               const TDynInfo& Attr) {
    PutKeyRunState(M, P, Offset, Len, M.Pars.States.Intern(KeyRunRecord(A, Attr)));
}

namespace {
// A point that a highlighter without contexts set, or that opens or returns to a region.
bool IsRegionMark(const TDynInfo& A) {
    const std::int32_t d = ContextDepth(A);
    return ((A.Flags & dfOwn) && d < 0) || (d >= 0 && A.Contexts[d] < 0);
}
}  // namespace

void PutKeyRunState(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Len, std::uint32_t Run) {
    // What ApplyAttribute does for a span with no change point inside, without navigators.
    TParagraphsList& L = M.Pars;
    ParInfo& par = L.At(P);
    par.Flags &= static_cast<std::uint8_t>(~pfFormatted);
    TDynInfoArray& d = L.DynForWrite(par);
    const std::int32_t end = Offset + Len;
    auto at = static_cast<std::size_t>(PointsAtMost(L, par, Offset));
    // The attribute behind the span: the one in force, or a change point right at its end.
    std::int32_t beforeAt = at > 0 ? d[at - 1].Offset : 0;
    std::uint32_t beforeId = at > 0 ? d[at - 1].State : L.StartState(par);
    std::size_t to = at;
    while (to < d.size() && d[to].Offset <= end) ++to;
    if (to > at) {
        beforeId = d[to - 1].State;
        beforeAt = d[to - 1].Offset;
    }
    // Behind the span the state returns with what is left of its key; mostly
    // nothing is, and the state's number is reused.
    const TDynInfo& b = L.States[beforeId];
    const auto keyLeft = static_cast<std::uint16_t>(std::clamp(beforeAt + static_cast<std::int32_t>(b.KeyLen) - end, 0, 65535));
    const bool last = L.StartPos(P) + end >= L.TotalLen;
    TDynPoint close{};
    if (!last) {
        if (keyLeft == b.KeyLen) {
            close = {end, beforeId};
        } else {
            TDynInfo before = b;
            before.KeyLen = keyLeft;
            close = L.MakePoint(end, before);
        }
    }
    // A key-made point already at Offset is never in force behind the new one; region starts and returns stay.
    if (at > 0 && d[at - 1].Offset == Offset) {
        if (!IsRegionMark(L.States[d[at - 1].State])) {
            d.erase(d.begin() + static_cast<std::ptrdiff_t>(at - 1));
            --at;
            --to;
        }
    }
    // Region starts and returns right at the end stay before the run's end
    // point: the state before a region is found by walking back to them (a
    // keyword ending where a region opens that it is part of, as "asm").
    std::size_t kept = 0;
    if (to - at > 1)
        for (std::size_t j = at; j + 1 < to; ++j)
            if (d[j].Offset == end && IsRegionMark(L.States[d[j].State])) d[at + kept++] = d[j];
    // Replace [at, to) by the run's start, the kept points and its end.
    const std::size_t removed = to - at, added = kept + (last ? 1 : 2);
    if (removed < added)
        DynOpenGap(d, at + kept, added - removed);
    else if (removed > added)
        d.erase(d.begin() + static_cast<std::ptrdiff_t>(at + added), d.begin() + static_cast<std::ptrdiff_t>(to));
    // The kept points move up behind the start.
    for (std::size_t j = kept; j-- > 0;) d[at + 1 + j] = d[at + j];
    d[at] = {Offset, Run};
    if (!last) d[at + 1 + kept] = close;
}

std::uint32_t TCustomExtHighlighter::RememberedRun(TParagraphsList& L, std::uint32_t Kind, const TRunSig& Sig,
                                                   std::uint32_t From) {
    if (FRunGeneration != L.States.Generation()) {
        FRunKinds.clear();
        FRunGeneration = L.States.Generation();
    }
    if (Kind >= FRunKinds.size()) FRunKinds.resize(Kind + 1);
    TRunKind& k = FRunKinds[Kind];
    if (!(k.Sig == Sig)) {
        k.Sig = Sig;
        k.Runs.clear();
    }
    for (const auto& [from, state] : k.Runs)
        if (from == From) return state;
    return UINT32_MAX;
}

void TCustomExtHighlighter::RememberRun(std::uint32_t Kind, std::uint32_t From, std::uint32_t State) {
    // A kind mostly lies over a handful of states; past that, asking costs more than interning.
    if (FRunKinds[Kind].Runs.size() < 16) FRunKinds[Kind].Runs.emplace_back(From, State);
}

namespace {

bool IsHighlighterPoint(const TDynInfo& A) { return (A.Flags & dfOwn) && ContextDepth(A) < 0; }

// Erases the key-made points with offsets in [From, To] from D (sorted by offset).
void EraseKeyPoints(const TParagraphsList& L, TDynInfoArray& D, std::int32_t From, std::int32_t To) {
    const auto from = std::lower_bound(D.begin(), D.end(), From, [](const TDynPoint& x, std::int32_t o) { return x.Offset < o; });
    const auto to = std::upper_bound(from, D.end(), To, [](std::int32_t o, const TDynPoint& x) { return o < x.Offset; });
    D.erase(std::remove_if(from, to, [&](const TDynPoint& x) { return !IsHighlighterPoint(L.States[x.State]); }), to);
}

// Navigators of the editor behind From cache change-point indexes that edits of the points made stale.
void ResetNavigatorsFrom(TDudiRiriBase& M, TPos From) {
    for (TRiriNavigator* n : M.Navigators())
        if (n->Pos() >= From) n->ResetLineAndDyn();
}

// Windows longer than this pass over runs where no key can apply.
constexpr std::int32_t kSkipFrom = 256;

bool SepAt(const bool* Sep, std::string_view Text, std::int64_t I) {
    return I < 0 || I >= static_cast<std::int64_t>(Text.size()) || Sep[static_cast<unsigned char>(Text[static_cast<std::size_t>(I)])];
}

}  // namespace

TCustomExtHighlighter::TCustomExtHighlighter() { SetSeparators("\t ,.;"); }

TCustomExtHighlighter::~TCustomExtHighlighter() {
    if (FSubHighlighter) FSubHighlighter->RemoveFreeNotification(this);
}

std::string TCustomExtHighlighter::Separators() const {
    std::string s;
    for (int c = 0; c < 256; ++c)
        if (FSeparators[c]) s.push_back(static_cast<char>(c));
    return s;
}

void TCustomExtHighlighter::SetSeparators(std::string_view V) {
    std::fill(std::begin(FSeparators), std::end(FSeparators), false);
    FSepSet.reset();
    for (unsigned char c : V) {
        FSeparators[c] = true;
        FSepSet.set(c);
    }
    FStartsIndexed = false;  // the boundary flags depend on the separators
    FIndexedVersion = 0xFFFFFFFF;  // and which keys are words
}

void TCustomExtHighlighter::SetSubHighlighter(TRiriHighlighter* H) {
    if (H == FSubHighlighter) return;
    for (TRiriHighlighter* h = H; h;) {
        if (h == this) throw std::runtime_error("Circular highlighting references");
        auto* ext = dynamic_cast<TCustomExtHighlighter*>(h);
        h = ext ? ext->FSubHighlighter : nullptr;
    }
    if (FSubHighlighter) FSubHighlighter->RemoveFreeNotification(this);
    FSubHighlighter = H;
    if (H) H->FreeNotification(this);
}

void TCustomExtHighlighter::Notification(TRiriHighlighter* Gone) {
    if (Gone == FSubHighlighter) FSubHighlighter = nullptr;
}

void TCustomExtHighlighter::IndexKeys() {
    if (FIndexedVersion == FKeywords.Version()) return;
    FIndexedVersion = FKeywords.Version();
    for (auto& v : FKeysByFirst) v.clear();
    FWordKeysPlain.Clear();
    FWordKeysFolded.Clear();
    FAllCaseSensitive = true;
    FKeysUnder = KeysUnder();
    for (std::int32_t k = 0; k < FKeywords.Count(); ++k) {
        const TKeyInfoLen& key = FKeywords.Item(k);
        if (key.Len == 0) continue;
        const bool cs = key.Options & koCaseSensitive;
        if (!cs) FAllCaseSensitive = false;
        const std::string& text = cs ? key.Keyword : key.SearchKey;
        bool inner = false;  // a separator inside: not a word of its own
        for (unsigned char c : text) inner |= FSeparators[c];
        if ((key.Options & koWholeWord) && !inner) {
            (cs ? FWordKeysPlain : FWordKeysFolded).Add(text, k);
            continue;
        }
        // A key that can overlap itself ("]]" in "]]]"): the pass takes the
        // first of two overlapping occurrences even where it is refused, so
        // runs cannot be passed over without changing what matches.
        for (std::size_t b = 1; b < text.size() && !FKeysUnder.Everywhere; ++b)
            FKeysUnder.Everywhere = text.compare(0, b, text, text.size() - b, b) == 0;
        if (cs) {
            FKeysByFirst[static_cast<unsigned char>(key.Keyword[0])].push_back(k);
        } else {
            // Every byte that folds to the key's first byte may begin it.
            const auto f = static_cast<unsigned char>(key.SearchKey[0]);
            for (int b = 0; b < 256; ++b)
                if (FoldByte(static_cast<unsigned char>(b)) == f) FKeysByFirst[b].push_back(k);
        }
    }
}

namespace {
// What a key list allows at all: its keys' valid contexts and scopes.
template <class TList>
TCustomExtHighlighter::TKeysUnder Summarize(const TList& List, bool Starts) {
    TCustomExtHighlighter::TKeysUnder u;
    u.Starts = Starts;
    for (std::int32_t k = 0; k < List.Count(); ++k) {
        const std::int16_t vc = List.ValidContext(k), scope = List.Scope(k);
        if (scope == kScopeEverywhere) u.Everywhere = true;
        if (vc == 0) u.MaxScope = std::max<std::int32_t>(u.MaxScope, scope);
        if (std::find(u.Contexts.begin(), u.Contexts.end(), vc) == u.Contexts.end()) u.Contexts.push_back(vc);
    }
    return u;
}
}  // namespace

TCustomExtHighlighter::TKeysUnder TCustomExtHighlighter::StartKeysUnder() const { return Summarize(FStartStopKeys, true); }

TCustomExtHighlighter::TKeysUnder TCustomExtHighlighter::KeysUnder() const { return Summarize(FKeywords, false); }

bool TCustomExtHighlighter::TKeysUnder::MayApply(const TCustomExtHighlighter& H, const TDynInfo& A) const {
    const std::int32_t d = ContextDepth(A);
    if (d >= 15) return false;                                // the stack is full
    if (!Starts && d >= 0 && A.Contexts[d] >= 0) return false;  // a keyword inside another key's run
    if (Everywhere) return true;
    if (MaxScope > INT32_MIN && H.ScopeOf(A, H.FStartBase) < MaxScope) return true;
    return std::find(Contexts.begin(), Contexts.end(), ContextOf(A)) != Contexts.end();
}

std::int16_t TCustomExtHighlighter::ScopeOf(const TDynInfo& A, std::int32_t StartBase) const {
    const std::int32_t d = ContextDepth(A);
    if (d < 0) return 0;
    const std::int16_t top = A.Contexts[d];
    if (top >= 0) return kScopeEverywhere;
    const std::int32_t e = (top & 0x7FFF) - StartBase;
    return e >= 0 && e < FStartStopKeys.Count() ? FStartStopKeys.Scope(e) : 0;
}

bool TCustomExtHighlighter::KeyApplies(std::int16_t ValidContext, std::int16_t Threshold, const TDynInfo& A,
                                       std::int32_t StartBase, bool StartKey) const {
    if (Threshold == kScopeEverywhere) return true;
    if (ValidContext == 0 && ScopeOf(A, StartBase) < Threshold) return true;
    if (ValidContext != ContextOf(A)) return false;
    return !(StartKey && ValidContext == 0 && (A.Flags & dfOwn));
}

TDynInfo TCustomExtHighlighter::KeywordAttr(const TDynInfo& A, std::int32_t Index, std::int32_t KeyBase,
                                            std::int32_t Len) const {
    const TKeyInfoLen& k = FKeywords.Item(Index);
    const std::int32_t d = ContextDepth(A);
    TDynInfo n = A;
    n.Flags = static_cast<std::uint8_t>((k.Style & 0x3F) | dfOwn | dfKeyed);
    n.Nesting = 0;
    n.Extra = 0;
    n.Color = k.Color;
    n.BkColor = k.BkColor;
    n.Context = k.Context;
    n.Cursor = k.Cursor;
    n.Depth = static_cast<std::int8_t>(d + 1);
    n.Contexts[d + 1] = static_cast<std::int16_t>(Index + KeyBase);
    n.KeyLen = n.StopLen = static_cast<std::uint16_t>(std::min(Len, 65535));
    return n;
}

// --- the keyword pass

void TCustomExtHighlighter::ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = StartNav.Memo();
    if (memo && Active && FKeywords.Count() > 0) {
        TDudiRiriBase& M = *memo;
        TParagraphsList& L = M.Pars;
        FKeywordBase = KeyBase;
        IndexKeys();
        TRiriNavigator* f = &StartNav;
        TRiriNavigator* t = &StopNav;
        if (f->Pos() > t->Pos()) std::swap(f, t);
        const std::int32_t p1 = f->ParNb(), o1 = f->ParOffset(), p2 = t->ParNb(), o2 = t->ParOffset();
        const std::int32_t maxLen = FKeywords.MaxLen();
        // Navigators for OnQueryKeyword only: the pass itself works on the point arrays.
        std::optional<TRiriNavigator> a, b;
        if (OnQueryKeyword) {
            a.emplace(&M);
            b.emplace(&M);
        }
        TPos earliest = INT64_MAX;
        std::vector<TMatch>& batch = FBatch;
        batch.clear();
        const TKeysUnder& under = FKeysUnder;
        for (std::int32_t p = p1; p <= p2; ++p) {
            const std::string_view text = L.At(p).View();
            const auto len = static_cast<std::int32_t>(text.size());
            const std::int32_t ws = p == p1 ? std::max(0, o1 - maxLen - 1) : 0;
            const std::int32_t we = p == p2 ? std::min(len, o2 + maxLen) : len;
            if (ws >= we) continue;
            // Every occurrence of every keyword in one sweep, by first byte.
            FCandidates.clear();
            const bool words = !FWordKeysPlain.Empty() || !FWordKeysFolded.Empty();
            const unsigned char* up = FoldTable();
            // Runs under which no keyword can apply (comments, strings) are
            // passed over in long paragraphs: a key starting there would be
            // refused anyway. A short one costs less to scan than to look.
            const bool longWindow = we - ws > kSkipFrom;
            const TDynView runs = longWindow ? L.Dyn(L.At(p)) : TDynView();
            const bool anyRuns = longWindow && (runs.size() > 0 || L.StartState(L.At(p)) != 0);
            std::int32_t run = anyRuns ? runs.CountAtMost(ws) : 0, runEnd = anyRuns ? -1 : INT32_MAX;
            for (std::int32_t i = ws; i < we; ++i) {
                if (i >= runEnd) {
                    while (run < runs.size() && runs.Offset(run) <= i) ++run;
                    runEnd = run < runs.size() ? runs.Offset(run) : INT32_MAX;
                    if (!under.MayApply(*this, L.States[run > 0 ? runs.State(run - 1) : L.StartState(L.At(p))])) {
                        if (runEnd >= we) break;
                        i = runEnd - 1;
                        continue;
                    }
                }
                const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
                const bool sepBefore = SepAt(FSeparators, text, i - 1);
                if (words && sepBefore && !FSeparators[c]) {
                    // A word starts here: its whole-word keys by one look-up each.
                    std::int32_t j = i;
                    while (j < len && !FSeparators[static_cast<unsigned char>(text[static_cast<std::size_t>(j)])]) ++j;
                    if (j <= we) {
                        const char* w = text.data() + i;
                        const auto wl = static_cast<std::size_t>(j - i);
                        if (const auto* keys = FWordKeysPlain.Find(w, wl, nullptr))
                            for (std::int32_t k : *keys) FCandidates.emplace_back(k, i);
                        if (const auto* keys = FWordKeysFolded.Find(w, wl, up))
                            for (std::int32_t k : *keys) FCandidates.emplace_back(k, i);
                    }
                }
                const auto& keys = FKeysByFirst[c];
                if (keys.empty()) continue;
                for (std::int32_t k : keys) {
                    const TKeyInfoLen& key = FKeywords.Item(k);
                    if (i + key.Len > we) continue;
                    if ((key.Options & koWholeWord) && !sepBefore) continue;
                    const bool cs = key.Options & koCaseSensitive;
                    if (!KeyAt(text, static_cast<std::size_t>(i), cs ? key.Keyword : key.SearchKey, cs)) continue;
                    if ((key.Options & koWholeWord) && !SepAt(FSeparators, text, static_cast<std::int64_t>(i) + key.Len)) continue;
                    FCandidates.emplace_back(k, i);
                }
            }
            // In list order, each keyword's occurrences left to right without
            // overlapping each other. The pairs are distinct: a plain sort keeps
            // the order a stable sort by key would give.
            std::sort(FCandidates.begin(), FCandidates.end());
            std::int32_t curKey = -1, next = 0;
            auto flush = [&] {
                if (batch.empty()) return;
                ParInfo& par = L.At(p);
                TDynInfoArray& room = L.DynForWrite(par);
                room.reserve(room.size() + 2 * batch.size());
                const TPos parStart = L.StartPos(p);
                for (const TMatch& m : batch) {
                    const TPos start = parStart + m.Offset;
                    // The attribute in force at the key: the change points at its offset count.
                    const TDynView v = L.Dyn(par);
                    const std::int32_t idx = v.CountAtMost(m.Offset);
                    const std::uint32_t from = idx > 0 ? v.State(idx - 1) : L.StartState(par);
                    const TDynInfo& A = L.States[from];
                    const std::int32_t d = ContextDepth(A);
                    if (d >= 15) continue;
                    if (d >= 0 && A.Contexts[d] >= 0) continue;  // inside another key's run: the first one stays
                    if (!KeyApplies(FKeywords.ValidContext(m.Key), FKeywords.Scope(m.Key), A, FStartBase, false)) continue;
                    if (idx < v.size() && v.Offset(idx) <= m.Offset + m.Len - 1) continue;  // a change point inside
                    if (!LinePositionHolds(FKeywords.Item(m.Key).Options, text, m.Offset, FSeparators)) continue;
                    if (a) {
                        a->SetResolved(p, m.Offset, start);
                        a->SkipEqual();
                        b->SetResolved(p, m.Offset + m.Len, start + m.Len);
                        bool ok = true;
                        OnQueryKeyword(*this, *a, *b, m.Key, ok);
                        if (!ok) continue;
                    }
                    const TKeyInfoLen& key = FKeywords.Item(m.Key);
                    const TRunSig sig{{key.Style, key.Color, key.BkColor, key.Context, key.Cursor, m.Len, KeyBase}};
                    PutKeyRunState(M, p, m.Offset, m.Len, RunState(L, static_cast<std::uint32_t>(m.Key), sig, from, [&] {
                                       return KeywordAttr(A, m.Key, KeyBase, m.Len);
                                   }));
                    earliest = std::min(earliest, start);
                }
                batch.clear();
            };
            for (const auto& [k, i] : FCandidates) {
                if (k != curKey) {
                    curKey = k;
                    next = 0;
                }
                if (i < next) continue;
                const std::int32_t kl = FKeywords.Item(k).Len;
                next = i + kl;
                batch.push_back({k, i, kl});
                if (batch.size() == 16) flush();
            }
            flush();
        }
        if (earliest != INT64_MAX) ResetNavigatorsFrom(M, earliest);
    }
    if (FSubHighlighter) FSubHighlighter->ScanKeywords(StartNav, StopNav, KeyBase + FKeywords.Count());
}

// --- start keys

void TCustomExtHighlighter::OpenRegion(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t Offset,
                                       std::int32_t KeyLen, const TDynInfo& R) {
    TDudiRiriBase& M = *Nav.Memo();
    ParInfo& par = *Nav.Par();
    const std::int32_t p = Nav.ParNb();
    TDynInfoArray& d = M.Pars.DynForWrite(par);
    EraseKeyPoints(M.Pars, d, Offset + 1, Offset + KeyLen);
    const std::int32_t at = PointsAtMost(M.Pars, par, Offset);
    if (at > 0 && d[static_cast<std::size_t>(at - 1)].Offset == Offset)
        M.Pars.SetDynAttr(par, at - 1, R);
    else
        DynInsert(d, static_cast<std::size_t>(PointsBelow(M.Pars, par, Offset)), M.Pars.MakePoint(Offset, R));
    ResetNavigatorsFrom(M, M.Pars.StartPos(p) + Offset);
    StopNav.SetResolved(p, Offset + KeyLen, M.Pars.StartPos(p) + Offset + KeyLen);
}

bool TCustomExtHighlighter::FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo) return false;
    TDudiRiriBase& M = *memo;
    TParagraphsList& L = M.Pars;
    ParInfo& par = *Nav.Par();
    const std::int32_t co = Nav.ParOffset();
    if (ContextDepth(AttrAtOffset(L, par, co)) >= 15) return false;
    TExtStartStopList& S = FStartStopKeys;
    if (Active && S.Count() > 0) {
        FStartBase = KeyBase;
        if (!FStartsIndexed || !S.Prepared()) {
            S.Prepare(FSepSet);
            for (auto& v : FStartsByFirst) v.clear();
            for (std::int32_t k = 0; k < S.Count(); ++k) {
                const StartStopInfo& e = S.Item(k);
                if (e.StartLen == 0) continue;
                const auto f = static_cast<unsigned char>(e.StartKeySearch[0]);
                for (int b = 0; b < 256; ++b)
                    if (b == f || (!(e.Options & koCaseSensitive) && FoldByte(static_cast<unsigned char>(b)) == f))
                        FStartsByFirst[b].push_back(k);
            }
            FStartsUnder = StartKeysUnder();
            FStartsIndexed = true;
        }
        const std::string_view text = par.View();
        const auto len = static_cast<std::int32_t>(text.size());
        std::int32_t lo = std::max(co, StopNav.ParNb() == Nav.ParNb() ? StopNav.ParOffset() : len);
        // Inside a region of this highlighter, keys count only before its stop:
        // the stop is found first when the pass looks for it.
        {
            const std::int32_t inForce = PointsAtMost(L, par, co);
            const TDynInfo& at = L.AttrBefore(par, inForce);
            const std::int32_t d = ContextDepth(at);
            const std::int32_t k = d >= 0 && at.Contexts[d] < 0 ? (at.Contexts[d] & 0x7FFF) - KeyBase : -1;
            std::int32_t stopAt = 0, stopLen = 0;
            if (k >= 0 && k < S.Count() && FindRegionStop(Nav, co, inForce, k, stopAt, stopLen) && stopAt < len)
                lo = std::min(lo, stopAt - 1);
        }
        const std::int32_t span = S.MaxStartLen() + 1;
        const std::int32_t ws = co - std::min(span, co);
        const std::int32_t we = std::min(len, lo + span);
        // Runs under which no start key can apply (a comment of another
        // highlighter's) are passed over.
        const bool longWindow = we - ws > kSkipFrom;
        const TDynView runs = longWindow ? L.Dyn(par) : TDynView();
        const bool anyRuns = longWindow && (runs.size() > 0 || L.StartState(par) != 0);
        std::int32_t run = anyRuns ? runs.CountAtMost(ws) : 0, runEnd = anyRuns ? -1 : INT32_MAX;
        const TKeysUnder& under = FStartsUnder;
        // A key right at the limit counts too: the character before it may be what changed.
        for (std::int32_t i = ws; i < we && i <= lo; ++i) {
            if (i >= runEnd) {
                while (run < runs.size() && runs.Offset(run) <= i) ++run;
                runEnd = run < runs.size() ? runs.Offset(run) : INT32_MAX;
                if (!under.MayApply(*this, L.States[run > 0 ? runs.State(run - 1) : L.StartState(par)])) {
                    if (runEnd >= we || runEnd > lo) break;
                    i = runEnd - 1;
                    continue;
                }
            }
            const auto& keys = FStartsByFirst[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])];
            if (keys.empty()) continue;
            // The attribute here, looked up once a key's text matches (most candidates fail on the text).
            const TDynInfo* pa = nullptr;
            std::int32_t depth = -1;
            std::int32_t open = -1;  // the region open here, when it is one of this highlighter's
            bool full = false;
            for (std::int32_t k : keys) {
                const StartStopInfo& e = S.Item(k);
                const std::int32_t kl = e.StartLen;
                const std::int32_t need = kl + (e.StartBoundaryAfter ? 1 : 0);
                if (i + kl > we || i + need <= co) continue;
                if (!KeyAt(text, static_cast<std::size_t>(i), e.StartSearch(), e.Options & koCaseSensitive)) continue;
                if (e.StartBoundaryBefore && !SepAt(FSeparators, text, i - 1)) continue;
                if (e.StartBoundaryAfter && !SepAt(FSeparators, text, i + kl)) continue;
                if (!pa) {
                    pa = &AttrAtOffset(L, par, i);
                    depth = ContextDepth(*pa);
                    full = depth >= 15;
                    if (depth >= 0 && pa->Contexts[depth] < 0) {
                        open = (pa->Contexts[depth] & 0x7FFF) - KeyBase;
                        if (open >= S.Count()) open = -1;
                    }
                }
                if (full) break;
                const TDynInfo& A = *pa;
                if (!KeyApplies(S.ValidContext(k), S.Scope(k), A, KeyBase, true)) continue;
                if (!LinePositionHolds(e.Options, text, i, FSeparators)) continue;
                if (OnQueryStart) {
                    bool ok = true;
                    OnQueryStart(*this, static_cast<std::int16_t>(k), ok);
                    if (!ok) continue;
                }
                // The stop key of the region open right now is no new start.
                if (open >= 0 && S.Item(open).StopSearch() == e.StartSearch()) break;
                TDynInfo r = A;
                r.Flags = static_cast<std::uint8_t>((e.Style & 0x3F) | dfOwn | dfKeyed);
                r.Nesting = static_cast<std::uint8_t>(((A.Flags & dfOwn) ? A.Nesting : 0) + ((e.KeyFlags & rfNesting) ? 1 : 0));
                r.Extra = 0;
                r.Depth = static_cast<std::int8_t>(depth + 1);
                r.Contexts[depth + 1] = static_cast<std::int16_t>((k + KeyBase) | 0x8000);
                r.Cursor = e.Cursor;
                r.Color = e.Color;
                r.BkColor = e.BkColor;
                r.Context = e.Context;
                r.KeyLen = static_cast<std::uint16_t>(need);
                r.StopLen = static_cast<std::uint16_t>(e.StopLen + (e.StopBoundaryBefore ? 1 : 0));
                OpenRegion(Nav, StopNav, i, kl, r);
                return true;
            }
        }
    }
    if (FSubHighlighter) return FSubHighlighter->FindStartKey(Nav, StopNav, KeyBase + S.Count());
    return false;
}

// --- stop keys

TDynInfo TCustomExtHighlighter::StateBefore(TDudiRiriBase& M, std::int32_t P, std::int32_t Offset, std::int32_t Depth) {
    TParagraphsList& L = M.Pars;
    std::int32_t idx = PointsAtMost(L, L.At(P), Offset);
    for (; P >= 0; --P) {
        const ParInfo& par = L.At(P);
        for (std::int32_t i = idx - 1; i >= 0; --i) {
            const TDynInfo& x = L.DynAttr(par, i);
            if (ContextDepth(x) < Depth) return x;
        }
        if (ContextDepth(L.StartAttr(par)) < Depth) return L.StartAttr(par);
        if (P > 0) idx = L.DynCount(L.At(P - 1));
    }
    return *DefaultAttr();
}

void TCustomExtHighlighter::CloseRegion(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t StopAt,
                                        std::int32_t StopLen, TDynInfo After) {
    TDudiRiriBase& M = *Nav.Memo();
    ParInfo& par = *Nav.Par();
    const std::int32_t p = Nav.ParNb();
    const std::int32_t end = StopAt + StopLen;
    TDynInfoArray& d = M.Pars.DynForWrite(par);
    EraseKeyPoints(M.Pars, d, StopLen == 0 ? StopAt : StopAt + 1, end);
    After.KeyLen = 0;
    DynInsert(d, static_cast<std::size_t>(PointsBelow(M.Pars, par, end)), M.Pars.MakePoint(end, After));
    ResetNavigatorsFrom(M, M.Pars.StartPos(p) + StopAt);
    StopNav.SetResolved(p, end, M.Pars.StartPos(p) + end);
}

bool TCustomExtHighlighter::FindRegionStop(TRiriNavigator& Nav, std::int32_t Co, std::int32_t InForce,
                                           std::int32_t Entry, std::int32_t& At, std::int32_t& Len) {
    TParagraphsList& L = Nav.Memo()->Pars;
    ParInfo& par = *Nav.Par();
    const StartStopInfo& e = FStartStopKeys.Item(Entry);
    const std::string_view text = par.View();
    const auto len = static_cast<std::int32_t>(text.size());
    // The stop is looked for in the whole rest of the paragraph, whatever the
    // limit of the pass: a pass over the whole paragraph finds it first too.
    const std::int32_t sl = e.StopLen;
    // The search looks back a stop key's length, but never into the start key.
    std::int32_t from = std::max(0, Co - sl - (e.StopBoundaryBefore ? 1 : 0));
    if (InForce > 0) {
        const TDynInfo& opener = L.DynAttr(par, InForce - 1);
        from = std::max(from, std::min(len, L.DynOffset(par, InForce - 1) + static_cast<std::int32_t>(opener.KeyLen)));
    }
    if (e.KeyFlags & rfEndsAtSeparator) {
        for (std::int32_t i = std::max(from, Co); i < len; ++i)
            if (FSeparators[static_cast<unsigned char>(text[static_cast<std::size_t>(i)])]) {
                At = i;
                Len = 0;
                return true;
            }
    } else if (sl > 0) {
        std::size_t pos = static_cast<std::size_t>(from);
        const bool cs = e.Options & koCaseSensitive;
        while ((pos = FindKey(text, pos, static_cast<std::size_t>(len), e.StopSearch(), cs)) != std::string_view::npos) {
            const auto t = static_cast<std::int32_t>(pos);
            bool ok = !(e.StopBoundaryBefore && !SepAt(FSeparators, text, t - 1)) &&
                      !(e.StopBoundaryAfter && !SepAt(FSeparators, text, t + sl));
            if (ok && OnQueryStop) OnQueryStop(*this, static_cast<std::int16_t>(Entry), ok);
            if (ok) {
                At = t;
                Len = sl;
                return true;
            }
            ++pos;
        }
    }
    if (!(e.KeyFlags & kfEndsAtLineEnd)) return false;
    At = len;
    Len = 0;
    return true;
}

bool TCustomExtHighlighter::FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo) return false;
    TDudiRiriBase& M = *memo;
    TParagraphsList& L = M.Pars;
    ParInfo& par = *Nav.Par();
    const std::int32_t p = Nav.ParNb();
    const std::int32_t co = Nav.ParOffset();
    TExtStartStopList& S = FStartStopKeys;
    const std::int32_t inForce = PointsAtMost(L, par, co);
    const TDynInfo A = L.AttrBefore(par, inForce);
    const std::int32_t depth = ContextDepth(A);
    const std::int32_t k = depth >= 0 && A.Contexts[depth] < 0 ? (A.Contexts[depth] & 0x7FFF) - KeyBase : -1;
    if (k < 0 || k >= S.Count() || !Active) {
        if (FSubHighlighter) return FSubHighlighter->FindStopKey(Nav, StopNav, KeyBase + S.Count());
        return false;
    }
    if (!S.Prepared()) {
        S.Prepare(FSepSet);
        FStartsIndexed = false;  // the start index is rebuilt with the list
    }
    std::int32_t found = -1, foundLen = 0;
    if (!FindRegionStop(Nav, co, inForce, k, found, foundLen)) return false;
    // The region continues as a later entry with the same start, valid context and scope, or its parent's state returns.
    TDynInfo after;
    std::int32_t next = -1;
    for (std::int32_t j = k + 1; j < S.Count(); ++j)
        if (S.Item(j).SameStart == k && S.ValidContext(j) == S.ValidContext(k) && S.Scope(j) == S.Scope(k)) {
            next = j;
            break;
        }
    if (next >= 0) {
        const StartStopInfo& ne = S.Item(next);
        after = A;
        after.Flags = static_cast<std::uint8_t>((ne.Style & 0x3F) | dfOwn | dfKeyed);
        after.Nesting = A.Nesting;
        after.Extra = 0;
        after.Contexts[depth] = static_cast<std::int16_t>((next + KeyBase) | 0x8000);
        after.Cursor = ne.Cursor;
        after.Color = ne.Color;
        after.BkColor = ne.BkColor;
        after.Context = ne.Context;
        after.StopLen = static_cast<std::uint16_t>(ne.StopLen);
    } else {
        after = StateBefore(M, p, co, depth);
    }
    CloseRegion(Nav, StopNav, found, foundLen, after);
    return true;
}

void TCustomExtHighlighter::MouseNotify(TDudiRiriBase& Memo, std::uint32_t Flags) {
    if (FSubHighlighter) FSubHighlighter->MouseNotify(Memo, Flags);
}

bool TCustomExtHighlighter::AdjustFormatStart(TRiriNavigator& Nav) {
    if (!Active || Nav.Memo() == nullptr) return false;
    const std::uint8_t used = (FKeywords.Flags() | FStartStopKeys.Flags()) & (koAfterSeparators | koAfterBlanks);
    if (!used) return false;
    const std::string_view text = Nav.Par()->View();
    const std::int32_t o = std::min<std::int32_t>(Nav.ParOffset(), static_cast<std::int32_t>(text.size()));
    if (o == 0) return false;
    for (std::int32_t i = 0; i < o; ++i) {
        const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        const bool ok = (used & koAfterSeparators) ? FSeparators[c] : (c == ' ' || c == '\t');
        if (!ok) return false;
    }
    Nav.SetParOffset(0);
    return true;
}

}  // namespace tarvex
