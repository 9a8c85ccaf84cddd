// FormatParagraph: breaking a paragraph into display lines (word wrap by
// pixels, by characters, or none), incrementally from a changed line.

#include "textstore/layout.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "textstore/lines_list.h"
#include "textstore/memo_base.h"
#include "textstore/static_format.h"
#include "textstore/style_walker.h"

namespace tarvex {

std::int64_t TextExtentSum(TCanvas& Canvas, const char* Text, std::int64_t Count, std::int32_t Chunk) {
    if (Chunk < 1) Chunk = 4096;
    std::int64_t w = 0;
    while (Count > 0) {
        const auto n = static_cast<int>(std::min<std::int64_t>(Count, Chunk));
        w += Canvas.TextExtent(Text, n);
        Text += n;
        Count -= n;
    }
    return w;
}

void MeasureSpace(TCanvas& Canvas, std::int32_t& SpaceWidth, std::int32_t& Overhang) {
    const int one = Canvas.TextExtent(" ", 1);
    const int two = Canvas.TextExtent("  ", 2);
    SpaceWidth = two - one;
    Overhang = 2 * one - two;
    if (SpaceWidth < 0 || one <= 0) {
        SpaceWidth = 1;
        Overhang = 0;
    }
}

namespace {

// The end of the word starting at I: the first blank, tab or NUL (or N).
std::int32_t WordEnd(const unsigned char* T, std::int32_t I, std::int32_t N) {
#if defined(__SSE2__)
    // Bytes up to 0x20 are candidates; only three of them end a word.
    const __m128i top = _mm_set1_epi8(0x20);
    while (I + 16 <= N) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(T + I));
        unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, top), v)));
        while (m) {
            const int k = __builtin_ctz(m);
            const unsigned char c = T[I + k];
            if (c == ' ' || c == '\t' || c == 0) return I + k;
            m &= m - 1;
        }
        I += 16;
    }
#endif
    while (I < N && T[I] != ' ' && T[I] != '\t' && T[I] != 0) ++I;
    return I;
}

// The sum of the advances of N bytes (four sums in flight).
std::int64_t SumAdvances(const int* Adv, const unsigned char* T, std::int32_t N) {
    std::int64_t a = 0, b = 0, c = 0, d = 0;
    std::int32_t i = 0;
    for (; i + 4 <= N; i += 4) {
        a += Adv[T[i]];
        b += Adv[T[i + 1]];
        c += Adv[T[i + 2]];
        d += Adv[T[i + 3]];
    }
    for (; i < N; ++i) a += Adv[T[i]];
    return a + b + c + d;
}

std::int32_t Clamp32(std::int64_t V) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, std::min<std::int64_t>(V, INT32_MAX)));
}

class TParagraphFormatter {
public:
    TParagraphFormatter(TDudiRiriBase& Memo, TCanvas& Canvas, TFormatState& State, ParInfo& Par, std::int32_t ParIndex,
                        bool Full, std::int32_t ClientWidth)
        : M(Memo), P(Par), PIndex(ParIndex), W(Memo, &Canvas, State, Par), St(State), Out(State.Scratch), FullLayout(Full), T(Par.Text() ? Par.Text() : ""),
          Len(Par.Len()), SF(Memo.StaticFormat()), TabW(Memo.TabWidthPixels()) {
        Lines.Par = &Par;
        Out.clear();
        OldCount = Par.LineCount();
        if (Memo.OneLinePerParagraph()) {
            CharMode = false;
            NoWrap = true;
            Limit = static_cast<std::int64_t>(INT32_MAX) - Memo.RightMargin();
        } else if (Memo.ColumnWrap() > 0) {
            CharMode = true;
            Limit = Memo.ColumnWrap();
        } else if (Memo.ColumnWrap() < 0) {
            CharMode = false;
            Limit = -static_cast<std::int64_t>(Memo.ColumnWrap());
        } else {
            CharMode = false;
            Limit = static_cast<std::int64_t>(ClientWidth) - Memo.LeftMargin() - Memo.RightMargin();
        }
        if (Limit < 1) Limit = 1;
    }

    TFormatResult Run(std::int32_t& FirstLine, std::int32_t& LastLine) {
        FirstLine = std::max(0, std::min(FirstLine, OldCount - 1));
        KeepFrom = std::max(LastLine, FirstLine);
        Requested = FirstLine;
        // Laying out from the line before the changed one covers both ways an
        // edit reaches back: blanks that hang on it and a word pulled back onto it.
        Relay = Requested > 0 ? Requested - 1 : 0;
        OldIdx = Relay;
        const LineInfo start = *Lines.Line(Relay);
        Layout(start);

        const std::int32_t lastOld = Stopped ? StopIdx : OldCount - 1;
        const auto newN = static_cast<std::int32_t>(Out.size());
        const std::int32_t delta = newN - (lastOld - Relay + 1);
        // The line before the requested one counts as changed only when it did.
        const bool prevChanged = Relay < Requested && (Out.empty() || !(Out[0] == *Lines.Line(Relay)));
        Merge(lastOld, delta);
        FirstLine = PrevHung ? Relay - 1 : (prevChanged || Relay == Requested ? Relay : Requested);
        LastLine = lastOld + delta;
        return {OldCount + delta, delta};
    }

private:
    TDudiRiriBase& M;
    ParInfo& P;
    const std::int32_t PIndex;
    TStyleWalker W;
    TFormatState& St;
    std::vector<LineInfo>& Out;
    const bool FullLayout;
    const char* T;
    const std::int32_t Len;
    const bool SF;
    const std::int32_t TabW;
    TLinesList Lines;
    std::int32_t OldCount = 1;
    bool CharMode = false;
    bool NoWrap = false;
    std::int64_t Limit = 1;

    std::int32_t Requested = 0, Relay = 0;
    std::int32_t KeepFrom = 0;  // old lines from here on may be kept by an early stop
    std::int32_t OldIdx = 0;
    bool Stopped = false;
    std::int32_t StopIdx = 0;
    bool PrevHung = false;

    // The line being built.
    LineInfo Cur;
    std::int64_t X = 0;        // pixels so far
    std::int64_t WordEndX = 0;  // x before the blanks behind the last word
    std::int32_t Blanks = 0;    // blanks since JustifyFrom
    std::int32_t Trailing = 0;  // blanks since the last word

    std::int64_t NextTab(std::int64_t X0) const { return TabW > 0 ? (X0 / TabW + 1) * TabW : X0; }

    void StartLine(std::int32_t Pos, std::uint8_t Style) {
        Cur = LineInfo{};
        Cur.Start = Pos;
        Cur.JustifyFrom = Pos;
        Cur.Style = Style;
        Cur.DynIndex = W.FirstAtOrAfter(Pos);
        X = WordEndX = 0;
        Blanks = Trailing = 0;
    }

    // Stores a finished line; returns true when the layout may stop here.
    // NextStyle is the static style at Stop, where the next line starts.
    bool Store(std::int32_t Stop, std::int64_t Width, std::int64_t FullWidth, std::int32_t Spaces,
               std::uint8_t NextStyle = 0) {
        LineInfo l = Cur;
        l.Stop = Stop;
        l.Width = Clamp32(Width);
        l.FullWidth = Clamp32(FullWidth);
        l.Spaces = std::clamp(Spaces, 0, kMaxLineSpaces);
        Out.push_back(l);
        NoteWidth(l.Width);
        if (FullLayout || Relay + static_cast<std::int32_t>(Out.size()) - 1 < Requested) return false;
        // Early stop: an old break at the same place, and the old line behind it
        // starts in the same state as the new one would.
        while (OldIdx < OldCount && Lines.Line(OldIdx)->Stop < Stop) ++OldIdx;
        if (OldIdx < OldCount - 1 && OldIdx >= KeepFrom) {
            const LineInfo& old = *Lines.Line(OldIdx);
            const LineInfo& after = *Lines.Line(OldIdx + 1);
            if (old.Stop == Stop && after.Style == NextStyle && after.DynIndex == W.FirstAtOrAfter(Stop)) {
                Stopped = true;
                StopIdx = OldIdx;
                return true;
            }
        }
        return false;
    }

    void NoteWidth(std::int32_t Width) {
        if (Width > M.WidestLine) {
            M.WidestLine = Width;
            if (!M.WordWrap() || M.ColumnWrap() > 0) M.WidestLineIndex = M.Pars.FirstLine(PIndex);
        }
    }

    bool Breaks(std::int32_t WordEnd, std::int64_t WordW, std::int64_t XBefore, std::int32_t LineStart) const {
        if (NoWrap) return false;
        if (CharMode) return WordEnd - LineStart > Limit;
        return XBefore + WordW > Limit;
    }

    void Layout(const LineInfo& Start) {
        W.Start(Start.Start, Start.Style);
        std::int32_t pos = Start.Start;
        StartLine(pos, Start.Style);
        Cur.DynIndex = W.FirstAtOrAfter(pos);
        for (;;) {
            // The gap: blanks, tabs and style codes.
            const std::int32_t gapStart = pos;
            {
                // Kept in registers: most gaps are one blank.
                std::int64_t x = X;
                std::int32_t blanks = Blanks, trailing = Trailing;
                std::int32_t sw = St.SpaceWidth;
                while (pos < Len) {
                    if (pos >= W.Next) {
                        W.PassTo(pos);
                        sw = St.SpaceWidth;
                    }
                    const auto c = static_cast<unsigned char>(T[pos]);
                    if (c == ' ') {
                        x += sw;
                        ++blanks;
                        ++trailing;
                    } else if (c == '\t') {
                        x = NextTab(x);
                        WordEndX = x;
                        blanks = trailing = 0;
                        Cur.JustifyFrom = pos;
                    } else if (c == 0) {
                        // no width
                    } else if (SF && IsStyleCode(c)) {
                        W.Fold(c);
                        sw = St.SpaceWidth;
                    } else {
                        break;
                    }
                    ++pos;
                }
                X = x;
                Blanks = blanks;
                Trailing = trailing;
            }
            if (pos > gapStart && gapStart == Cur.Start && (Relay > 0 || !Out.empty())) {
                // A line does not start with blanks: they hang on the line before.
                HangGap(pos);
            }
            if (pos >= Len) break;

            // The word.
            const std::int32_t wordStart = pos;
            const TStyleWalker::Mark atWord = W.Save();
            const std::int64_t wordW = MeasureWord(pos);
            const std::int32_t wordEnd = pos;
            if (!Breaks(wordEnd, wordW, X, Cur.Start)) {
                X += wordW;
                WordEndX = X;
                Trailing = 0;
                continue;
            }
            if (wordStart > Cur.Start) {
                if (Store(wordStart, WordEndX, X, Blanks - Trailing, atWord.SStyle)) return;
                StartLine(wordStart, atWord.SStyle);
                if (!Breaks(wordEnd, wordW, 0, wordStart)) {
                    X = WordEndX = wordW;
                    continue;
                }
            }
            // A word longer than a line is split. It was measured once; its
            // rest is cut line after line without measuring it whole again,
            // which made a long run without blanks take quadratic time.
            W.Restore(atWord);
            pos = wordStart;
            for (;;) {
                if (Split(pos)) return;
                if (pos >= wordEnd || !RestOverflows(pos, wordEnd)) break;
            }
        }
        // The end of the paragraph reads as an empty word.
        if (CharMode && Len - Cur.Start > Limit) {
            // Only blanks overflow the line: the line ends here and they hang on it.
            if (!Store(Len, WordEndX, X, Blanks - Trailing)) FinishLast();
            return;
        }
        if (Len > Cur.Start || (Out.empty() && !PrevHung)) {
            Cur.JustifyFrom = Len;
            if (Store(Len, X, X, 0)) return;
        }
        FinishLast();
    }

    // The paragraph's last line is never justified.
    void FinishLast() {
        LineInfo* last = !Out.empty() ? &Out.back() : (PrevHung ? Lines.Line(Relay - 1) : nullptr);
        if (!last) return;
        last->JustifyFrom = Len;
        last->Spaces = 0;
    }

    void HangGap(std::int32_t Pos) {
        if (!Out.empty()) {
            LineInfo& prev = Out.back();
            prev.Stop = Pos;
            prev.FullWidth = Clamp32(prev.FullWidth + X);
        } else {
            LineInfo& prev = *Lines.Line(Relay - 1);
            prev.Stop = Pos;
            prev.FullWidth = Clamp32(prev.FullWidth + X);
            PrevHung = true;
        }
        StartLine(Pos, W.SStyle);
    }

    // Width of the word at Pos (moved to its end), less the overhang once.
    std::int64_t MeasureWord(std::int32_t& Pos) {
        if (W.Adv && !SF) {
            // The common case: find the word's end, then add the advances of its
            // runs (a change point splits a run where the font may change).
            const auto* t = reinterpret_cast<const unsigned char*>(T);
            const std::int32_t end = WordEnd(t, Pos, Len);
            std::int64_t w = 0;
            while (Pos < end) {
                if (Pos >= W.Next) W.PassTo(Pos);
                const std::int32_t stop = std::min(end, W.Next);
                w += SumAdvances(W.Adv, t + Pos, stop - Pos);
                Pos = stop;
            }
            return w - St.Overhang;
        }
        std::int64_t w = 0;
        std::int32_t run = Pos;
        while (Pos < Len) {
            const auto c = static_cast<unsigned char>(T[Pos]);
            if (c == ' ' || c == '\t' || c == 0) break;
            if (Pos >= W.Next) {
                w += W.Measure(T + run, Pos - run);
                W.PassTo(Pos);
                run = Pos;
            }
            if (SF && IsStyleCode(c)) {
                w += W.Measure(T + run, Pos - run);
                W.Fold(c);
                run = Pos + 1;
            }
            ++Pos;
        }
        w += W.Measure(T + run, Pos - run);
        return w - St.Overhang;
    }

    // Whether the rest [Pos, End) of a split word still breaks a fresh line.
    // Costs at most a line's worth of characters whatever the word's length.
    bool RestOverflows(std::int32_t Pos, std::int32_t End) {
        if (CharMode) return End - Pos > Limit;
        const TStyleWalker::Mark at = W.Save();
        std::int64_t width = -St.Overhang;
        bool over = false;
        for (std::int32_t i = Pos; i < End && !over; ++i) {
            W.PassTo(i);
            const auto c = static_cast<unsigned char>(T[i]);
            if (SF && IsStyleCode(c))
                W.Fold(c);
            else
                width += W.CharWidth(c);
            over = width > Limit;
        }
        W.Restore(at);
        return over;
    }

    // Takes characters one by one from the start of the line while they fit,
    // gives one back, and stores the line. Returns true on an early stop.
    bool Split(std::int32_t& Pos) {
        std::int64_t width = 0, before = 0;
        std::int32_t count = 0;
        std::int32_t idxBefore = W.Idx;
        while (Pos < Len) {
            if (CharMode ? count >= Limit : width > Limit) break;
            before = width;
            idxBefore = W.Idx;
            W.PassTo(Pos);
            const auto c = static_cast<unsigned char>(T[Pos]);
            if (c == '\t')
                width = NextTab(width);
            else if (SF && IsStyleCode(c))
                W.Fold(c);
            else if (c == ' ')
                width += St.SpaceWidth;
            else
                width += W.CharWidth(c);
            ++Pos;
            ++count;
        }
        const bool overflowed = CharMode ? count >= Limit : width > Limit;
        if (overflowed && count > 1 && !(SF && IsStyleCode(static_cast<unsigned char>(T[Pos - 1]))) && W.Idx == idxBefore) {
            --Pos;
            width = before;
        }
        Cur.JustifyFrom = Pos;
        if (Store(Pos, width, width, 0, W.SStyle)) return true;
        StartLine(Pos, W.SStyle);
        return false;
    }

    void Merge(std::int32_t LastOld, std::int32_t Delta) {
        const std::int32_t newCount = OldCount + Delta;
        if (newCount == 1 && !P.HasExtra() && !Out.empty()) {
            P.SetFirstLineInfo(Out[0]);
            return;
        }
        ParExtraInfo& e = P.MakeExtra();
        auto& more = e.MoreLines;
        if (Delta > 0)
            more.Replace(static_cast<std::size_t>(LastOld), 0, static_cast<std::size_t>(Delta));
        else if (Delta < 0)
            more.Replace(static_cast<std::size_t>(LastOld + Delta), static_cast<std::size_t>(-Delta), 0);
        for (std::size_t k = 0; k < Out.size(); ++k) {
            const std::int32_t i = Relay + static_cast<std::int32_t>(k);
            if (i == 0)
                e.FirstLineInfo = Out[k];
            else
                more[static_cast<std::size_t>(i - 1)] = Out[k];
        }
    }
};

}  // namespace

TFormatResult FormatParagraph(TDudiRiriBase& Memo, TCanvas* Canvas, bool MeasureFont, TFormatState& State, bool Full,
                              std::int32_t& LastLine, std::int32_t& FirstLine, std::int32_t ParIndex, ParInfo* Par,
                              std::int32_t ClientWidth) {
    ParInfo& p = Par ? *Par : Memo.Pars.Par(ParIndex);
    if (!(p.Flags & pfKeywordsApplied) && Memo.WantsKeywordPass()) Memo.ApplyKeywordsToParagraph(ParIndex);
    p.Flags |= pfFormatted | pfKeywordsApplied;
    const std::int32_t oldCount = p.LineCount();
    if (!Canvas) {
        // Nothing is measured: one line of width 0.
        LineInfo l;
        l.Stop = p.Len();
        l.JustifyFrom = p.Len();
        l.Style = p.FirstLineInfo().Style;
        if (p.HasExtra()) p.Extra()->MoreLines.clear();
        p.SetFirstLineInfo(l);
        FirstLine = LastLine = 0;
        return {1, 1 - oldCount};
    }
    if (MeasureFont) State.Selected = -1;
    TParagraphFormatter f(Memo, *Canvas, State, p, ParIndex, Full, ClientWidth);
    return f.Run(FirstLine, LastLine);
}

namespace {

// The static style at the end of a paragraph, from its last line.
std::uint8_t EndStyle(ParInfo& P) {
    TLinesList l;
    l.Par = &P;
    const LineInfo& last = *l.Line(l.LineCount() - 1);
    const std::string_view t = P.View();
    const auto from = static_cast<std::size_t>(std::min<std::int64_t>(last.Start, t.size()));
    return FoldStyle(last.Style, t.substr(from));
}

// Lays out From..To; FirstLineInFirst is the line of From to start at.
TLayoutStats FormatRange(TDudiRiriBase& M, std::int32_t From, std::int32_t To, std::int32_t FirstLineInFirst, bool Full) {
    TParagraphsList& L = M.Pars;
    TLayoutStats st;
    if (L.Count() == 0) return st;
    From = std::max(0, std::min(From, L.Count() - 1));
    To = std::max(From, std::min(To, L.Count() - 1));
    TFormatState state;
    std::int32_t running = L.FirstLine(From);
    std::int32_t total = 0;
    for (std::int32_t p = From; p <= To; ++p) {
        ParInfo& par = L.At(p);
        L.SetFirstLine(p, running);
        std::int32_t first = p == From ? FirstLineInFirst : 0;
        // Without a full layout, old lines before the end of the edit are never kept.
        std::int32_t last = p == From && !Full ? LineOfOffset(par, L.AdjustedEnd) : 0;
        const TFormatResult r = FormatParagraph(M, M.Canvas(), p == From, state, p == From ? Full : true,
                                                last, first, p, &par, M.ClientWidth());
        if (st.FirstChangedLine < 0) st.FirstChangedLine = running + first;
        st.LastChangedLine = running + last;
        total += r.Delta;
        running += r.NewCount;
        ++st.Paragraphs;
        // Static styles run on across breaks: the next paragraph starts in the style this one ends in.
        if (M.StaticFormat() && p + 1 < L.Count()) {
            const std::uint8_t s = EndStyle(par);
            ParInfo& next = L.At(p + 1);
            LineInfo li = next.FirstLineInfo();
            if (li.Style != s) {
                li.Style = s;
                next.SetFirstLineInfo(li);
                next.Flags &= static_cast<std::uint8_t>(~pfFormatted);
                if (p == To) ++To;
            }
        }
    }
    if (total != 0) L.ShiftLines(To + 1, total);
    L.LineCount += total;
    st.LinesAdded = total;
    return st;
}

}  // namespace

TLayoutStats FormatDirtyRange(TDudiRiriBase& M) {
    TParagraphsList& L = M.Pars;
    if (L.DirtyLastPar < 0 || L.Count() == 0) return {};
    const std::int32_t from = std::max(0, std::min(L.DirtyFirstPar, L.Count() - 1));
    const std::int32_t firstLine = std::max(0, L.DirtyFirstLine - L.FirstLine(from));
    // Stopping where new breaks meet old ones is safe only when the old
    // records were kept in step by the edit (one paragraph, lines shifted).
    const bool full = !(L.LinesAdjusted && L.DirtyLastPar == L.DirtyFirstPar);
    const TLayoutStats st = FormatRange(M, from, L.DirtyLastPar, firstLine, full);
    L.DirtyLastPar = -1;
    L.LinesAdjusted = false;
    L.LineDelta = 0;
    return st;
}

TLayoutStats FormatParagraphs(TDudiRiriBase& M, std::int32_t From, std::int32_t To) {
    return FormatRange(M, From, To, 0, true);
}

TLayoutStats FormatParagraphSet(TDudiRiriBase& M, const std::vector<std::int32_t>& Pars) {
    TParagraphsList& L = M.Pars;
    TLayoutStats st;
    if (Pars.empty()) return st;
    TFormatState state;
    bool first = true;
    // One pass: each paragraph's first line follows the changes before it,
    // so that the ones laid out get their true line numbers.
    const std::int32_t shift = L.ShiftBehind(Pars, [&](std::int32_t q) {
        std::int32_t firstLine = 0, last = 0;
        const TFormatResult r =
            FormatParagraph(M, M.Canvas(), first, state, true, last, firstLine, q, &L.At(q), M.ClientWidth());
        if (st.FirstChangedLine < 0) st.FirstChangedLine = L.FirstLine(q);
        ++st.Paragraphs;
        first = false;
        return std::pair<TPos, std::int32_t>{0, r.Delta};
    }).second;
    L.LineCount += shift;
    st.LinesAdded = shift;
    st.LastChangedLine = -1;
    return st;
}

TLayoutStats FormatAll(TDudiRiriBase& M) {
    TParagraphsList& L = M.Pars;
    if (L.Count() > 0) L.SetFirstLine(0, 0);
    const TLayoutStats st = FormatRange(M, 0, L.Count() - 1, 0, true);
    L.FormatNext = L.Count();
    L.FormatLast = -1;
    L.DirtyLastPar = -1;
    L.LinesAdjusted = false;
    L.LineDelta = 0;
    return st;
}

}  // namespace tarvex
