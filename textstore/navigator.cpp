#include "textstore/navigator.h"

#include <algorithm>

#include "textstore/memo_base.h"
#include "textstore/paragraphs_list.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {
// A walk longer than this falls back to binary search; both find the same paragraph.
constexpr int kMaxWalk = 64;

std::int32_t Clamp(std::int64_t V, std::int32_t Lo, std::int32_t Hi) {
    return static_cast<std::int32_t>(std::max<std::int64_t>(Lo, std::min<std::int64_t>(V, Hi)));
}

// A * B / C without overflow.
std::int64_t MulDiv(std::int64_t A, std::int64_t B, std::int64_t C) {
    return static_cast<std::int64_t>(static_cast<__int128>(A) * B / C);
}
}  // namespace

TRiriNavigator::TRiriNavigator(TComponent* Memo) {
    if (Memo) {
        auto* m = dynamic_cast<TDudiRiriBase*>(Memo);
        if (!m) throw ERiriError(kNotADudiRiri);
        Bind(m);
    }
}

TRiriNavigator::TRiriNavigator(TDudiRiriBase* Memo) {
    if (Memo) Bind(Memo);
}

TRiriNavigator::~TRiriNavigator() {
    if (FMemo) FMemo->UnregisterNavigator(this);
    if (OnDestroy) OnDestroy(this);
}

void TRiriNavigator::Bind(TDudiRiriBase* Memo) {
    if (FMemo == Memo) return;
    if (FMemo) FMemo->UnregisterNavigator(this);
    FMemo = Memo;
    if (FMemo) FMemo->RegisterNavigator(this);
    FPos = 0;
    Invalidate();
}

TParagraphsList& TRiriNavigator::List() const {
    if (!FMemo) throw ERiriError("Navigator is not bound to an editor");
    return FMemo->Pars;
}

void TRiriNavigator::Assign(const TRiriNavigator& Source) {
    FPos = Source.FPos;
    FPar = Source.FPar;
    FParNb = Source.FParNb;
    FParOffset = Source.FParOffset;
    FDynNb = Source.FDynNb;
    FLineNb = Source.FLineNb;
    if (FLines) FLines->Par = FPar;
}

void TRiriNavigator::Invalidate() {
    FPar = nullptr;
    FParNb = FParOffset = FDynNb = FLineNb = -1;
    if (FLines) FLines->Par = nullptr;
}

void TRiriNavigator::SetResolved(std::int32_t ParNb, std::int32_t Offset, TPos Pos) {
    FPar = &List().At(ParNb);
    FParNb = ParNb;
    FParOffset = Offset;
    FPos = Pos;
    FDynNb = FLineNb = -1;
    if (FLines) FLines->Par = FPar;
}

void TRiriNavigator::Resolve() {
    if (FPar) return;
    TParagraphsList& l = List();
    const std::int32_t n = l.Count();
    const TPos total = l.TotalLen;
    std::int32_t p = total > 0 ? Clamp(MulDiv(n - 1, FPos, total), 0, n - 1) : 0;
    // Walk from the proportional estimate; far off, search instead.
    int steps = 0;
    if (l.StartPos(p) > FPos) {
        while (p > 0 && l.StartPos(p) > FPos && ++steps < kMaxWalk) --p;
    } else {
        while (p < n - 1 && l.StartPos(p) + l.At(p).Len() + 1 < FPos && ++steps < kMaxWalk) ++p;
    }
    if (steps >= kMaxWalk) p = l.ParagraphAt(FPos);
    FPar = &l.At(p);
    FParNb = p;
    FParOffset = static_cast<std::int32_t>(FPos - l.StartPos(p));
    FDynNb = FLineNb = -1;
    if (FLines) FLines->Par = FPar;
}

void TRiriNavigator::SetPos(TPos P) {
    if (FMemo) P = std::max<TPos>(0, std::min<TPos>(P, FMemo->Pars.TotalLen));
    const TPos start = FPar ? FMemo->Pars.StartPos(FParNb) : 0;
    if (FPar && P >= FPos && P <= start + FPar->Len() + 1) {
        FParOffset = static_cast<std::int32_t>(P - start);
        if (FDynNb >= 0) {
            const TDynView d = FMemo->Pars.Dyn(*FPar);
            const std::int32_t cnt = d.size();
            while (FDynNb < cnt && d.Offset(FDynNb) < FParOffset) ++FDynNb;
        }
        if (FLineNb >= 0) {
            TLinesList& ls = Lines();
            const std::int32_t last = ls.LineCount() - 1;
            while (FLineNb < last && ls.Line(FLineNb)->Stop <= FParOffset) ++FLineNb;
        }
    } else if (FPar && P >= start && P < FPos) {
        FParOffset = static_cast<std::int32_t>(P - start);
        FDynNb = FLineNb = -1;
    } else {
        FPar = nullptr;
        FParNb = FParOffset = FDynNb = FLineNb = -1;
    }
    FPos = P;
}

void TRiriNavigator::SetParNb(std::int32_t I) {
    TParagraphsList& l = List();
    FPar = &l.Par(I);
    FParNb = I < 0 ? 0 : I;
    FPos = l.StartPos(FParNb);
    FParOffset = 0;
    FDynNb = 0;
    FLineNb = 0;
    if (FLines) FLines->Par = FPar;
}

void TRiriNavigator::SetParOffset(std::int32_t O) {
    Resolve();
    O = std::max(0, std::min(O, FPar->Len()));
    FParOffset = O;
    FPos = List().StartPos(FParNb) + O;
    if (FDynNb >= 0) {
        const TDynView d = List().Dyn(*FPar);
        const std::int32_t cnt = d.size();
        while (FDynNb > 0 && d.Offset(FDynNb - 1) >= O) --FDynNb;
        while (FDynNb < cnt && d.Offset(FDynNb) < O) ++FDynNb;
    }
    if (FLineNb >= 0) {
        TLinesList& ls = Lines();
        const std::int32_t last = ls.LineCount() - 1;
        while (FLineNb > 0 && ls.Line(FLineNb - 1)->Stop > O) --FLineNb;
        while (FLineNb < last && ls.Line(FLineNb)->Stop <= O) ++FLineNb;
    }
}

void TRiriNavigator::SetDisplayLine(std::int32_t L) {
    TParagraphsList& l = List();
    const std::int32_t n = l.Count();
    if (FMemo->OneLinePerParagraph()) {
        SetParNb(Clamp(L, 0, n - 1));
        return;
    }
    const std::int32_t lines = std::max(1, l.LineCount);
    L = Clamp(L, 0, lines - 1);
    std::int32_t p = Clamp(MulDiv(L, n, lines), 0, n - 1);
    int steps = 0;
    while (p > 0 && l.FirstLine(p) > L && ++steps < kMaxWalk) --p;
    while (p < n - 1 && l.FirstLine(p) + l.At(p).LineCount() <= L && ++steps < kMaxWalk) ++p;
    if (steps >= kMaxWalk) p = l.ParagraphOfLine(L);
    FPar = &l.At(p);
    FParNb = p;
    if (FLines) FLines->Par = FPar;
    FLineNb = Clamp(L - l.FirstLine(p), 0, FPar->LineCount() - 1);
    const LineInfo& li = *Lines().Line(FLineNb);
    FParOffset = li.Start;
    FDynNb = li.DynIndex;
    FPos = l.StartPos(p) + FParOffset;
}

void TRiriNavigator::SetVisibleLine(std::int32_t L) {
    TParagraphsList& l = List();
    const std::int32_t n = l.Count();
    if (FMemo->OneLinePerParagraph()) {
        const std::int32_t p = Clamp(L, 0, n - 1);
        if (l.FirstLine(p) == L) {
            SetParNb(p);
            return;
        }
    }
    const std::int32_t lines = std::max(1, l.LineCount);
    L = Clamp(L, 0, lines - 1);
    // Interpolate between the current paragraph and the end of the text.
    const std::int32_t cp = FPar ? FParNb : std::min(l.ParagraphAt(FPos), n - 1);
    const std::int32_t cv = l.FirstLine(cp);
    std::int64_t est = cp;
    if (lines - cv > 0) est = cp + MulDiv(L - cv, n - cp, lines - cv);
    std::int32_t p = Clamp(est, 0, n - 1);
    int steps = 0;
    while (p < n - 1 && l.FirstLine(p + 1) <= L && ++steps < kMaxWalk) ++p;
    while (p > 0 && l.FirstLine(p) > L && ++steps < kMaxWalk) --p;
    if (steps >= kMaxWalk) p = l.ParagraphOfLine(L);
    FPar = &l.At(p);
    FParNb = p;
    if (FLines) FLines->Par = FPar;
    FLineNb = Clamp(L - l.FirstLine(p), 0, FPar->LineCount() - 1);
    const LineInfo& li = *Lines().Line(FLineNb);
    FParOffset = li.Start;
    FDynNb = li.DynIndex;
    FPos = l.StartPos(p) + FParOffset;
}

void TRiriNavigator::SetLineColumn(std::int32_t C) {
    const LineInfo& li = CurrentLine();
    FParOffset = li.Start + std::max(0, std::min(C, li.Stop - li.Start));
    FPos = List().StartPos(FParNb) + FParOffset;
    FDynNb = -1;
}

ParInfo* TRiriNavigator::Par() {
    Resolve();
    return FPar;
}

std::int32_t TRiriNavigator::ParNb() {
    Resolve();
    return FParNb;
}

std::int32_t TRiriNavigator::ParOffset() {
    Resolve();
    return FParOffset;
}

std::int32_t TRiriNavigator::DynNb() {
    Resolve();
    if (FDynNb < 0) FDynNb = List().Dyn(*FPar).CountBelow(FParOffset);
    return FDynNb;
}

TLinesList& TRiriNavigator::Lines() {
    if (!FLines) FLines = std::make_unique<TLinesList>();
    FLines->Par = FPar;
    return *FLines;
}

std::int32_t TRiriNavigator::LineNb() {
    Resolve();
    if (FLineNb < 0) FLineNb = LineOfOffset(*FPar, FParOffset);
    return FLineNb;
}

LineInfo& TRiriNavigator::CurrentLine() {
    const std::int32_t ln = LineNb();
    return *Lines().Line(ln);
}

std::int32_t TRiriNavigator::DisplayLine() {
    return FMemo->WordWrap() ? VisibleLine() : ParNb();
}

std::int32_t TRiriNavigator::VisibleLine() {
    const std::int32_t ln = LineNb();
    return List().FirstLine(FParNb) + ln;
}

std::int32_t TRiriNavigator::LineColumn() {
    const std::int32_t start = CurrentLine().Start;
    return FParOffset - start;
}

std::string TRiriNavigator::LineText() {
    const LineInfo& li = CurrentLine();
    const std::string_view t = FPar->View();
    const auto a = static_cast<std::size_t>(std::min<std::int64_t>(li.Start, t.size()));
    const auto b = static_cast<std::size_t>(std::min<std::int64_t>(std::max(li.Stop, li.Start), t.size()));
    return std::string(t.substr(a, b - a));
}

unsigned char TRiriNavigator::CurrentChar() {
    Resolve();
    const std::int32_t len = FPar->Len();
    if (FParOffset < len) return static_cast<unsigned char>(FPar->Text()[FParOffset]);
    return FParOffset == len ? 13 : 10;
}

std::string TRiriNavigator::GetText(TPos Count) {
    Resolve();
    TParagraphsList& l = List();
    std::string out;
    if (Count <= 0) return out;
    out.reserve(static_cast<std::size_t>(std::min<TPos>(Count, l.TotalLen - FPos + 2)));
    std::int32_t p = FParNb, off = FParOffset;
    while (Count > 0) {
        const ParInfo& par = l.At(p);
        const std::int32_t len = par.Len();
        if (off < len) {
            const std::int64_t take = std::min<std::int64_t>(len - off, Count);
            out.append(par.Text() + off, static_cast<std::size_t>(take));
            off += static_cast<std::int32_t>(take);
            Count -= take;
        } else if (p + 1 >= l.Count()) {
            break;
        } else if (off == len) {
            out.push_back('\r');
            --Count;
            off = len + 1;
        } else {
            out.push_back('\n');
            --Count;
            ++p;
            off = 0;
        }
    }
    return out;
}

std::string TRiriNavigator::CurrentWord() {
    Resolve();
    const std::string_view t = FPar->View();
    const auto len = static_cast<std::int32_t>(t.size());
    std::int32_t end = std::min(FParOffset, len);
    while (end < len && !IsSeparator(static_cast<unsigned char>(t[end]))) ++end;
    std::int32_t start = end;
    while (start > 0 && !IsSeparator(static_cast<unsigned char>(t[start - 1]))) --start;
    return std::string(t.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

std::uint8_t TRiriNavigator::StaticStyle() {
    if (!FMemo->StaticFormat()) return 0;
    const LineInfo& li = CurrentLine();
    const std::string_view t = FPar->View();
    const std::int32_t to = std::min<std::int32_t>(FParOffset, static_cast<std::int32_t>(t.size()));
    if (li.Start >= to) return li.Style;
    return FoldStyle(li.Style, t.substr(static_cast<std::size_t>(li.Start), static_cast<std::size_t>(to - li.Start)));
}

bool TRiriNavigator::IsSeparator(unsigned char C) const { return FMemo->IsSeparator(C); }

// --- highlighting change points

void TRiriNavigator::SkipEqual() {
    DynNb();
    const TDynView d = List().Dyn(*FPar);
    while (FDynNb < d.size() && d.Offset(FDynNb) == FParOffset) ++FDynNb;
}

const TDynInfo& TRiriNavigator::CurrentAttr() {
    const std::int32_t dn = DynNb();
    return List().AttrBefore(*FPar, dn);
}

void TRiriNavigator::InsertAttr(const TDynInfo& Attr) {
    const std::int32_t dn = DynNb();
    const TDynPoint x = List().MakePoint(FParOffset, Attr);
    DynInsert(List().DynForWrite(*FPar), static_cast<std::size_t>(dn), x);
    ++FDynNb;
}

void TRiriNavigator::DeleteAttr() {
    const std::int32_t dn = DynNb();
    const TDynView v = List().Dyn(*FPar);
    if (dn >= v.size() || v.Offset(dn) != FParOffset) throw ERiriError(kVOdorError);
    TDynInfoArray& d = List().DynForWrite(*FPar);
    d.erase(d.begin() + dn);
    FLineNb = -1;
}

bool TRiriNavigator::PrevChangePoint(TPos Bound) {
    TParagraphsList& l = List();
    const std::int32_t dn = DynNb();
    std::int32_t q = FParNb;
    std::int32_t idx = dn - 1;
    if (idx < 0) {
        for (;;) {
            if (q == 0 || l.StartPos(q) <= Bound) return false;
            --q;
            if (l.DynCount(l.At(q)) > 0) {
                idx = l.DynCount(l.At(q)) - 1;
                break;
            }
        }
    }
    ParInfo& par = l.At(q);
    const TDynView d = l.Dyn(par);
    const std::int32_t off = d.Offset(idx);
    const TPos start = l.StartPos(q);
    if (start + off < Bound) return false;
    while (idx > 0 && d.Offset(idx - 1) == off) --idx;
    FPar = &par;
    FParNb = q;
    FParOffset = off;
    FDynNb = idx;
    FLineNb = -1;
    FPos = start + off;
    if (FLines) FLines->Par = FPar;
    return true;
}

bool TRiriNavigator::NextChangePoint(TPos Bound) {
    TParagraphsList& l = List();
    Resolve();
    std::int32_t q = FParNb;
    std::int32_t idx = -1;
    {
        const TDynView d = l.Dyn(*FPar);
        const std::int32_t at = d.CountAtMost(FParOffset);
        if (at < d.size()) idx = at;
    }
    if (idx < 0) {
        for (;;) {
            ++q;
            if (q >= l.Count() || l.StartPos(q) > Bound) return false;
            if (l.DynCount(l.At(q)) > 0) {
                idx = 0;
                break;
            }
        }
    }
    ParInfo& par = l.At(q);
    const std::int32_t off = l.Dyn(par).Offset(idx);
    const TPos start = l.StartPos(q);
    if (start + off > Bound) return false;
    FPar = &par;
    FParNb = q;
    FParOffset = off;
    FDynNb = idx;
    FLineNb = -1;
    FPos = start + off;
    if (FLines) FLines->Par = FPar;
    return true;
}

// --- word moves

void TRiriNavigator::WordLeft() {
    if (FPos < 1) return;
    Step(-1);  // the first step is always taken
    while (FPos >= 1 && IsSeparator(CurrentChar())) Step(-1);
    while (FPos >= 1 && !IsSeparator(CurrentChar())) {
        Step(-1);
        if (IsSeparator(CurrentChar())) {
            Step(1);
            break;
        }
    }
}

void TRiriNavigator::WordRight() {
    const TPos end = List().TotalLen;
    if (FPos < end && CurrentChar() == 13) {
        Step(2);
        return;
    }
    bool passed = false;
    while (FPos < end && !IsSeparator(CurrentChar())) {
        Step(1);
        passed = true;
    }
    if (!passed && FPos < end && CurrentChar() == 13) Step(2);
    while (FPos < end && IsSeparator(CurrentChar())) Step(1);
}

void TRiriNavigator::WordEnd() {
    Resolve();
    while (FParOffset < FPar->Len() && !IsSeparator(CurrentChar())) Step(1);
}

void TRiriNavigator::WordStart() {
    Resolve();
    while (FParOffset >= 1 && IsSeparator(CurrentChar())) SetParOffset(FParOffset - 1);
    while (FParOffset >= 1) {
        SetParOffset(FParOffset - 1);
        if (IsSeparator(CurrentChar())) {
            SetParOffset(FParOffset + 1);
            break;
        }
    }
}

// --- visual columns

std::int32_t ColumnAdvance(unsigned char C, std::int32_t Column, std::int32_t Tab, bool StaticFormat) {
    if (C == '\t') return Tab > 0 ? (Column / Tab + 1) * Tab : Column + 1;
    if (StaticFormat && IsStyleCode(C)) return Column;
    return Column + 1;
}

std::int32_t OffsetToColumn(std::string_view Text, std::int32_t Offset, std::int32_t Tab, bool StaticFormat) {
    std::int32_t col = 0;
    const auto n = std::min<std::int64_t>(Offset, static_cast<std::int64_t>(Text.size()));
    for (std::int64_t i = 0; i < n; ++i) col = ColumnAdvance(static_cast<unsigned char>(Text[i]), col, Tab, StaticFormat);
    return col;
}

std::int32_t ColumnToOffset(std::string_view Text, std::int32_t Column, std::int32_t Tab, bool StaticFormat) {
    std::int32_t off = 0, col = 0;
    const auto len = static_cast<std::int32_t>(Text.size());
    while (off < len && col < Column) {
        const std::int32_t next = ColumnAdvance(static_cast<unsigned char>(Text[off]), col, Tab, StaticFormat);
        if (next > Column) break;
        col = next;
        ++off;
    }
    return off;
}

std::int32_t ColumnExcess(std::string_view Text, std::int32_t Column, std::int32_t Tab, bool StaticFormat) {
    const std::int32_t off = ColumnToOffset(Text, Column, Tab, StaticFormat);
    return Column - OffsetToColumn(Text, off, Tab, StaticFormat);
}

std::int32_t TRiriNavigator::OffsetToColumn(std::int32_t Offset) {
    return tarvex::OffsetToColumn(Par()->View(), Offset, FMemo->TabStops(), FMemo->StaticFormat());
}

std::int32_t TRiriNavigator::ColumnToOffset(std::int32_t Column) {
    return tarvex::ColumnToOffset(Par()->View(), Column, FMemo->TabStops(), FMemo->StaticFormat());
}

std::int32_t TRiriNavigator::ColumnExcess(std::int32_t Column) {
    return tarvex::ColumnExcess(Par()->View(), Column, FMemo->TabStops(), FMemo->StaticFormat());
}

// --- following edits

void TRiriNavigator::AdjustAfterReplace(const TReplaceResult& R) {
    TPos p = FPos;
    if (p > R.OldTo || (p == R.OldTo && R.OldTo > R.OldFrom))
        p += R.Delta;
    else if (p > R.NewFrom)
        p = R.NewFrom;
    if (R.Structural || !FPar) {
        FPos = p;
        Invalidate();
    } else if (FParNb == R.FirstPar) {
        FPos = p;
        FParOffset = static_cast<std::int32_t>(p - List().StartPos(FParNb));
        FDynNb = FLineNb = -1;
    } else {
        // Records did not move: only the positions behind the edit changed.
        FPos = p;
    }
}

}  // namespace tarvex
