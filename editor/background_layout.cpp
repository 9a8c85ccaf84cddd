// Layout of pending paragraphs: at once, on demand, or in background slices.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "editor/format_thread.h"
#include "textstore/highlight_passes.h"
#include "textstore/layout.h"

namespace tarvex {

namespace {
// How many paragraphs behind the one laid out are highlighted with it.
constexpr std::int32_t kHighlightAhead = 63;
constexpr std::int64_t kHighlightAheadBytes = 64 * 1024;
}  // namespace

bool TDudiRiri::FormatThreadRunning() const { return FThread && !FThread->Suspended(); }

void TDudiRiri::StartFormatThreadIfNeeded() {
    if (FUpdateMode != umBackground || !FHost->HasWindow()) return;
    if (!FThread) FThread = TdrFormatThread::Create(this, FHost);
    if (Pars.FormatNext <= Pars.FormatLast) FThread->Resume();
}

void TDudiRiri::StopFormatThread() {
    if (!FThread) return;
    FThread->Stop();
    FThread.reset();
}

void TDudiRiri::SetUpdateMode(TdrUpdateMode M) {
    StopFormatThread();
    FUpdateMode = M;
    if (!FHost->HasWindow()) return;
    if (M == umImmediate)
        FormatPending();
    else if (M == umBackground)
        StartFormatThreadIfNeeded();
}

bool TDudiRiri::FormatRun(std::chrono::steady_clock::time_point Deadline) {
    TParagraphsList& L = Pars;
    if (L.Count() == 0 || L.FormatNext >= L.Count() || L.FormatNext > L.FormatLast) {
        L.FormatLast = -1;
        L.FormatNext = L.Count();
        return true;
    }
    const std::int32_t first = std::max(0, L.FormatNext);
    L.FormatNext = first;
    std::int32_t running = L.FirstLine(first);
    std::int32_t delta = 0;
    bool any = false;
    TFormatState st;
    std::int32_t done = 0;
    while (L.FormatNext <= std::min(L.FormatLast, L.Count() - 1)) {
        const std::int32_t p = L.FormatNext;
        ParInfo& par = L.At(p);
        L.SetFirstLine(p, running);
        if (par.Flags & pfFormatted) {
            running += par.LineCount();
        } else {
            // Highlighting a few dozen paragraphs in one pass costs less than
            // one by one; they are laid out next (or by the next slice).
            // A slice may not overrun its time: long lines are not taken ahead.
            const std::int32_t limit = std::min({p + kHighlightAhead, L.FormatLast, L.Count() - 1});
            std::int32_t ahead = p;
            for (std::int64_t bytes = par.Len(); ahead < limit && bytes < kHighlightAheadBytes;)
                bytes += L.At(++ahead).Len();
            if (!(par.Flags & pfKeywordsApplied) && WantsKeywordPass())
                KeywordsOverRange(*this, p, ahead);
            else if (!(par.Flags & pfKeysApplied))
                KeysThrough(*this, p);
            std::int32_t fl = 0, ll = 0;
            const TFormatResult r = FormatParagraph(*this, Canvas(), !any, st, true, ll, fl, p, &L.At(p), ClientWidth());
            delta += r.Delta;
            running += r.NewCount;
            any = true;
        }
        ++L.FormatNext;
        // The clock is read every few paragraphs: reading it costs more than a short one.
        if ((++done & 7) == 0 && std::chrono::steady_clock::now() >= Deadline) break;
    }
    if (any) {
        L.LineCount += delta;
        if (delta != 0) L.ShiftLines(L.FormatNext, delta);
        const TPos from = L.StartPos(first);
        for (TRiriNavigator* n : Navigators())
            if (n->Pos() >= from) n->ResetLineAndDyn();
    }
    const bool complete = L.FormatNext > L.FormatLast || L.FormatNext >= L.Count();
    if (complete) {
        L.FormatLast = -1;
        L.FormatNext = L.Count();
    }
    if (any && FHost->HasWindow()) {
        // The top line stays where it is while lines are added above or below.
        const std::int32_t top = FTopNav->VisibleLine();
        VertOffset = static_cast<std::int64_t>(top) * std::max(1, LineHeight()) + VertOffset % std::max(1, LineHeight());
        UpdateScrollRange();
        FHost->InvalidateAll();
        UpdateCaretPos();
    }
    return complete;
}

void TDudiRiri::FormatSlice() {
    if (FUpdateCount > 0) return;
    const auto now = std::chrono::steady_clock::now();
    const bool complete = FormatRun(now + std::chrono::milliseconds(25));
    if (OnProgress && (complete || now - FLastProgress > std::chrono::milliseconds(ProgressInterval))) {
        FLastProgress = now;
        OnProgress(*this);
    }
    if (complete && FThread) FThread->Suspend();
}

void TDudiRiri::FormatPending() {
    FormatRun(std::chrono::steady_clock::time_point::max());
    if (OnProgress) OnProgress(*this);
}

void TDudiRiri::FormatThrough(std::int32_t P) {
    if (P < 0 || P >= Pars.Count()) return;
    KeysThrough(*this, P);
    if (!(Pars.At(P).Flags & pfFormatted)) FormatLaidOut(P, P);
}

void TDudiRiri::FormatLaidOut(std::int32_t From, std::int32_t To) {
    FormatParagraphs(*this, From, To);
    // Navigators in these paragraphs cached their display line in the old layout.
    const TPos from = Pars.StartPos(From);
    const TPos to = Pars.StartPos(To) + Pars.At(To).Len();
    for (TRiriNavigator* n : Navigators())
        if (n->Pos() >= from && n->Pos() <= to) n->ResetLineAndDyn();
}

void TDudiRiri::FormatAbove(std::int32_t P, std::int32_t Lines) {
    if (P < 0 || P >= Pars.Count()) return;
    // Each paragraph takes at least one line: Lines paragraphs above P cover Lines lines.
    const std::int32_t from = std::max(0, P - Lines);
    bool pending = false;
    for (std::int32_t p = from; p <= P && !pending; ++p) pending = !(Pars.At(p).Flags & pfFormatted);
    if (!pending) return;
    KeysThrough(*this, P);
    FormatLaidOut(from, P);
}

bool TDudiRiri::SelLineIsFinal() const {
    if (!WordWrap()) return true;
    const std::int32_t p = Pars.ParagraphAt(FCaret->Pos());
    return !(Pars.FormatNext <= Pars.FormatLast && Pars.FormatNext < p);
}

std::int32_t TDudiRiri::FormatProgress() const {
    const std::int32_t n = Pars.Count();
    if (n == 0) return 100;
    const auto unformatted = [&](std::int32_t From, std::int32_t To) {
        std::int64_t k = 0;
        for (std::int32_t i = From; i <= To; ++i) k += (Pars.At(i).Flags & pfFormatted) ? 0 : 1;
        return k;
    };
    // Integer division keeps this at 99 until the last paragraph is laid out.
    const auto percent = [&](std::int64_t Pending) { return static_cast<std::int32_t>(100 * (n - Pending) / n); };
    // The window asks several times a second: a count over a hundred million
    // paragraphs would take longer than the layout slices it reports on. Large
    // texts count only the pending range (paragraphs left behind it are laid
    // out when shown) and estimate a long range from its length.
    constexpr std::int32_t kExactCount = 1 << 20;
    if (n <= kExactCount) return percent(unformatted(0, n - 1));
    const std::int32_t lo = std::max(0, Pars.FormatNext), hi = std::min(Pars.FormatLast, n - 1);
    if (lo > hi) return 100;
    if (hi - lo < kExactCount) return percent(unformatted(lo, hi));
    return std::min(99, percent(std::int64_t{hi} - lo + 1));
}

void TDudiRiri::ReApplyKeywords() {
    Pars.ForgetHighlighting(16000);  // long paragraphs keep theirs
    for (TRiriNavigator* n : Navigators()) n->ResetLineAndDyn();
    Pars.FormatNext = 0;
    Pars.FormatLast = Pars.Count() - 1;
    if (FUpdateMode == umImmediate || !FHost->HasWindow())
        FormatPending();
    else
        StartFormatThreadIfNeeded();
    FHost->InvalidateAll();
}

void TDudiRiri::CheckConsistency() const {
    const TParagraphsList& L = Pars;
    const bool keyed = (ApplyStartStopKeys() && StartStopKeys.Count() > 0) || Highlighter();
    std::int64_t lines = 0;
    TPos pos = 0;
    for (std::int32_t i = 0; i < L.Count(); ++i) {
        const ParInfo& p = L.At(i);
        if (L.FirstLine(i) != lines) throw ERiriError(std::string("Error 1") + kVersion);
        if (L.StartPos(i) != pos) throw ERiriError(std::string("Error 2 in ") + kVersion);
        TLinesList ls;
        ls.Par = const_cast<ParInfo*>(&p);
        std::int32_t expect = 0;
        for (std::int32_t k = 0; k < ls.LineCount(); ++k) {
            const LineInfo& li = *ls.Line(k);
            if (li.Start != expect) throw ERiriError(std::string("Error 3 in ") + kVersion);
            expect = li.Stop;
        }
        if (expect != p.Len()) throw ERiriError(std::string("Error 4 in ") + kVersion);
        // The walk that applies keys skips (KeysHole, KeysAhead]: every paragraph there has them.
        if (keyed && i > L.KeysThrough && i > L.KeysHole && i <= L.KeysAhead && !(p.Flags & pfKeysApplied))
            throw ERiriError(std::string("Error 7 in ") + kVersion);
        lines += p.LineCount();
        pos += p.Len() + 2;
    }
    if (CharCount() + 2 != pos) throw ERiriError(std::string("Error 5 in ") + kVersion);
    if (L.LineCount != lines) throw ERiriError(std::string("Error 6 in ") + kVersion);
}

}  // namespace tarvex
