// The selection properties of TDudiRiri.

#include <algorithm>
#include <chrono>

#include "editor/dudi_riri.h"
#include "textstore/layout.h"

namespace tarvex {

TPos TDudiRiri::SelLength() const {
    const TPos len = SelHigh() - SelLow();
    return FCaret == FSelEndNav.get() ? -len : len;
}

void TDudiRiri::SetSelStart(TPos V) {
    const TPos oldLow = SelLow(), oldHigh = SelHigh();
    VirtualSpaces = 0;
    RememberedX = -1;
    BlockSelected = false;
    V = std::clamp<TPos>(V, 0, CharCount());
    FSelStartNav->SetPos(V);
    FSelEndNav->Assign(*FSelStartNav);
    FCaret = FSelStartNav.get();
    NoMerge = true;
    if (oldHigh > oldLow && FHost->HasWindow() && FUpdateCount == 0) FHost->InvalidateAll();
    UpdateCaretPos();
}

void TDudiRiri::SetSelLength(TPos V) {
    BlockSelected = false;
    if (V == SelLength()) return;
    NoMerge = true;
    const TPos anchor = SelStart();
    const TPos other = std::clamp<TPos>(anchor + V, 0, CharCount());
    TRiriNavigator* anchorNav;
    if (other >= anchor) {
        FSelStartNav->SetPos(anchor);
        FSelEndNav->SetPos(other);
        anchorNav = FSelStartNav.get();
    } else {
        FSelStartNav->SetPos(other);
        FSelEndNav->SetPos(anchor);
        anchorNav = FSelEndNav.get();
    }
    FCaret = anchorNav;
    if (FHost->HasWindow() && FUpdateCount == 0) FHost->InvalidateAll();
    UpdateCaretPos();
}

std::string TDudiRiri::SelText() {
    if (BlockSelected) {
        const std::int32_t c1 = std::min(BlockCol1, BlockCol2), c2 = std::max(BlockCol1, BlockCol2);
        const std::int32_t p1 = Pars.ParagraphAt(SelLow()), p2 = Pars.ParagraphAt(SelHigh());
        std::string out;
        for (std::int32_t p = p1; p <= p2; ++p) {
            const std::string_view t = Pars.At(p).View();
            const std::int32_t o1 = ColumnToOffset(t, c1, TabStops(), StaticFormat());
            const std::int32_t o2 = ColumnToOffset(t, c2, TabStops(), StaticFormat());
            if (o2 > o1) out.append(t.substr(static_cast<std::size_t>(o1), static_cast<std::size_t>(o2 - o1)));
            out += "\r\n";
        }
        return out;
    }
    TRiriNavigator at(this);
    at.SetPos(SelLow());
    return at.GetText(SelHigh() - SelLow());
}

void TDudiRiri::SetSelText(std::string_view V) {
    if (VirtualSpaces > 0 && HasOption(droPutExtraSpaces) && (!BlockSelected || SelLength() == 0)) {
        std::string t(static_cast<std::size_t>(VirtualSpaces), ' ');
        t += V;
        SetSelTextBuf(t);
        return;
    }
    SetSelTextBuf(V);
}

std::int32_t TDudiRiri::SelPar() { return FCaret->ParNb(); }

void TDudiRiri::SetSelPar(std::int32_t V) {
    V = std::clamp(V, 0, ParagraphCount() - 1);
    SetSelStart(Pars.StartPos(V));
}

std::int32_t TDudiRiri::SelLine() {
    FormatThrough(FCaret->ParNb());
    return FCaret->DisplayLine();
}

void TDudiRiri::SetSelLine(std::int32_t V) {
    if (WordWrap() || Alignment() != taLeftJustify) {
        // Display lines are laid out up to the one wanted.
        while (Pars.FormatNext <= std::min(Pars.FormatLast, Pars.Count() - 1) &&
               Pars.FirstLine(std::min(Pars.FormatNext, Pars.Count() - 1)) <= V)
            // Slices from FormatNext on: each one moves FormatNext forward.
            FormatRun(std::chrono::steady_clock::now() + std::chrono::milliseconds(25));
    }
    TRiriNavigator at(this);
    at.SetDisplayLine(V);
    SetSelStart(at.Pos());
}

std::int32_t TDudiRiri::SelCol() {
    FormatThrough(FCaret->ParNb());
    const std::int32_t col = OneLinePerParagraph() ? FCaret->ParOffset() : FCaret->LineColumn();
    return col + VirtualSpaces;
}

void TDudiRiri::SetSelCol(std::int32_t V) {
    FormatThrough(FCaret->ParNb());
    const LineInfo li = FCaret->CurrentLine();
    const std::int32_t len = li.Stop - li.Start;
    TRiriNavigator at(this);
    at.Assign(*FCaret);
    at.SetLineColumn(V);
    SetSelStart(at.Pos());
    if (HasOption(droKeepColumnPos) && !WordWrap() && V > len) VirtualSpaces = V - len;
}

void TDudiRiri::SelectAll() {
    SetSelStart(CharCount());
    SetSelLength(-CharCount());
}

void TDudiRiri::SelectWord(bool ExtendEnd) {
    const bool caretIsStart = FCaret == FSelStartNav.get();
    FSelStartNav->WordStart();
    if (ExtendEnd) FSelEndNav->WordEnd();
    if (FSelEndNav->Pos() < FSelStartNav->Pos()) FSelEndNav->Assign(*FSelStartNav);
    FCaret = caretIsStart ? FSelStartNav.get() : FSelEndNav.get();
    NoMerge = true;
    BlockSelected = false;
    if (FHost->HasWindow() && FUpdateCount == 0) FHost->InvalidateAll();
    UpdateCaretPos();
}

}  // namespace tarvex
