// Mouse handling: clicks, selection by dragging, line selection in the margin,
// moving and copying the selection by drag and drop, context runs, the wheel.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"

namespace tarvex {

void TDudiRiri::SetMouseCursor(std::int16_t C) {
    if (C == FCursor) return;
    FCursor = C;
    FHost->SetCursor(C);
}

TPos TDudiRiri::PosAtPoint(std::int32_t X, std::int32_t Y, std::int32_t* XOut) {
    TRiriNavigator n(this);
    const std::int32_t lh = std::max(1, LineHeight());
    const std::int64_t line = (static_cast<std::int64_t>(Y) + VertOffset) / lh;
    if (Y + VertOffset >= static_cast<std::int64_t>(Pars.LineCount) * lh) {
        n.SetPos(CharCount());
    } else {
        n.SetVisibleLine(static_cast<std::int32_t>(std::max<std::int64_t>(0, line)));
        FormatThrough(n.ParNb());
        n.Invalidate();
        n.PixelToPos(X + HorzOffset, Y + VertOffset);
    }
    if (XOut) *XOut = n.PosToX() - HorzOffset;
    return n.Pos();
}

bool TDudiRiri::InSelection(TPos P) const { return SelHigh() > SelLow() && P >= SelLow() && P < SelHigh(); }

void TDudiRiri::SelectTo(TPos P) {
    TRiriNavigator t(this);
    t.SetPos(P);
    MoveCaretTo(t, true, false);
}

void TDudiRiri::MouseDown(TMouseButton Button, std::uint32_t Shift, std::int32_t X, std::int32_t Y) {
    BlockSelected = Button == mbLeft ? false : BlockSelected;
    FDownX = X;
    FDownY = Y;
    RememberedX = -1;
    if (Button != mbLeft) return;
    FLeftDown = true;
    if (DisplayOnly || FDoubleClicked) return;
    VirtualSpaces = 0;
    std::int32_t px = 0;
    if (FOverSelection && !ReadOnly) {
        FDragging = true;
        FDragCancelled = false;
        FDragCopy = Shift & ssCtrl;
        SetMouseCursor(FDragCopy ? crDragCopy : crDrag);
    } else if (FMarginLine < 0) {
        const bool shift = Shift & ssShift;
        const bool block = (Shift & (ssAlt | ssShift | ssCtrl)) == ssAlt && HasOption(droBlockSelection) && !WordWrap();
        const TPos p = PosAtPoint(X, Y, &px);
        // Beyond the end of its line (or on a tab) the click keeps its column
        // as virtual spaces; they are set after the caret is placed, which resets them.
        std::int32_t virtualSpaces = 0;
        if (HasOption(droKeepColumnPos) || block) {
            TRiriNavigator at(this);
            at.SetPos(p);
            if (at.ParOffset() >= at.Par()->Len() || at.CurrentChar() == '\t') virtualSpaces = std::max(X - px, 0) / AverageWidth();
        }
        if (shift) {
            SelectTo(p);
        } else {
            SetSelStart(p);
            if (block) {
                BlockSelected = true;
                BlockCol1 = BlockCol2 = (px + virtualSpaces * AverageWidth() + HorzOffset - LeftMargin()) / AverageWidth();
            }
        }
        VirtualSpaces = virtualSpaces;
    } else {
        // Line selection in the left margin.
        TRiriNavigator n(this);
        n.SetVisibleLine(FMarginLine);
        const LineInfo li = n.CurrentLine();
        TPos len = li.Stop - li.Start;
        if (li.Stop >= n.Par()->Len() && n.ParNb() + 1 < ParagraphCount()) len += 2;
        SetSelStart(n.Pos());
        SetSelLength(len);
    }
    NoMerge = true;
    UpdateCaretPos();
    if (OnAfterMouseDown) OnAfterMouseDown(*this, Button, Shift, X, Y);
}

void TDudiRiri::MouseMove(std::uint32_t Shift, std::int32_t X, std::int32_t Y) {
    FLastMouseX = X;
    FLastMouseY = Y;
    if (!FLeftDown) {
        FOverSelection = false;
        FMarginLine = -1;
        if (X < LeftMargin() - 2 - HorzOffset && !HasOption(droNoLineSelection)) {
            const std::int32_t lh = std::max(1, LineHeight());
            const std::int64_t line = (static_cast<std::int64_t>(Y) + VertOffset) / lh;
            FMarginLine = static_cast<std::int32_t>(std::clamp<std::int64_t>(line, 0, std::max(0, Pars.LineCount - 1)));
            SetMouseCursor(crRightArrow);
            return;
        }
        const TPos p = PosAtPoint(X, Y);
        if (!HasOption(droNoDragnDrop) && !BlockSelected && !ReadOnly && !DisplayOnly && InSelection(p)) {
            FOverSelection = true;
            SetMouseCursor(crArrow);
            return;
        }
        TRiriNavigator at(this);
        at.SetPos(p);
        at.SkipEqual();
        const TDynInfo& a = at.CurrentAttr();
        if ((a.Flags & dfOwn) && a.Cursor != 0) {
            SetMouseCursor(a.Cursor);
            return;
        }
        SetMouseCursor(crIBeam);
        return;
    }
    // Autoscroll direction and level outside the window.
    const std::int32_t lim = FDragging ? 24 : INT32_MAX;
    FAutoDir = 0;
    if (Y < -3 && (!FDragging || Y >= -27)) {
        FAutoDir = 1;
        FAutoLevel = (-Y) / 3;
    } else if (Y > ClientHeight() && Y - ClientHeight() <= lim) {
        FAutoDir = 2;
        FAutoLevel = (Y - ClientHeight()) / 3;
    } else if (X < 0 && -X <= lim) {
        FAutoDir = 3;
        FAutoLevel = (-X) / 3;
    } else if (X > ClientWidth() && X - ClientWidth() <= lim) {
        FAutoDir = 4;
        FAutoLevel = (X - ClientWidth()) / 3;
    }
    if (FDragging) {
        SetMouseCursor((Shift & ssCtrl) ? crDragCopy : crDrag);
        FDragCopy = Shift & ssCtrl;
        return;
    }
    if (FDoubleClicked) {
        // Extending by whole words; the double-clicked word stays selected.
        const TPos p = PosAtPoint(X, Y);
        TRiriNavigator w(this);
        w.SetPos(p);
        const bool forward = p >= FWordLow;
        if (forward) w.WordEnd(); else w.WordStart();
        const TPos anchor = forward ? FWordLow : FWordHigh;
        const TPos farEnd = FCaret == FSelStartNav.get() ? FSelEndNav->Pos() : FSelStartNav->Pos();
        if (farEnd != anchor) {
            // Turn the selection so that the anchor is its far end.
            SetSelStart(anchor);
            SetSelLength((forward ? FWordHigh : FWordLow) - anchor);
            FCaret = forward ? FSelEndNav.get() : FSelStartNav.get();
        }
        SelectTo(w.Pos());
        return;
    }
    if (BlockSelected) {
        BlockCol2 = std::max(0, (X + HorzOffset - LeftMargin()) / AverageWidth());
        SelectTo(PosAtPoint(X, Y));
        return;
    }
    SelectTo(PosAtPoint(X, Y));
}

std::int32_t TDudiRiri::AutoScrollDelay() const {
    // Levels 0 and 1 (up to 5 pixels beyond the edge) are the slowest; from
    // level 8 (24 pixels) on, steps follow each other without waiting.
    static constexpr std::int32_t kDelay[] = {400, 400, 300, 200, 130, 78, 48, 30};
    if (FAutoDir == 0) return -1;
    if (FAutoLevel >= 0 && FAutoLevel <= 7) return kDelay[FAutoLevel];
    return 0;
}

void TDudiRiri::AutoScrollStep() {
    if (FAutoDir == 0 || !FLeftDown) return;
    const std::int32_t beyond = 3 * std::max(1, FAutoLevel);
    switch (FAutoDir) {
        case 1:
            VScroll(sbLineUp);
            if (!FDragging) SelectTo(PosAtPoint(FLastMouseX, -beyond));
            break;
        case 2:
            VScroll(sbLineDown);
            if (!FDragging) SelectTo(PosAtPoint(FLastMouseX, ClientHeight() + beyond));
            break;
        case 3:
            if (HorzOffset > 0) SetViewOffsets(std::max(0, HorzOffset - HorzUnit()), VertOffset, false);
            if (!FDragging) SelectTo(PosAtPoint(-beyond, FLastMouseY));
            break;
        case 4:
            if (WidestLine + LeftMargin() + RightMargin() - ClientWidth() > HorzOffset)
                SetViewOffsets(HorzOffset + HorzUnit(), VertOffset, false);
            if (!FDragging) SelectTo(PosAtPoint(ClientWidth() + beyond, FLastMouseY));
            break;
    }
}

void TDudiRiri::MouseUp(TMouseButton Button, std::uint32_t Shift, std::int32_t X, std::int32_t Y) {
    if (FDoubleClicked) {
        VirtualSpaces = 0;
        UpdateCaretPos();
    }
    const bool wasDouble = FDoubleClicked;
    FLeftDown = false;
    FDoubleClicked = false;
    FAutoDir = 0;
    if (FDragging) {
        FDragging = false;
        SetMouseCursor(crIBeam);
        if (!FDragCancelled) {
            const TPos drop = PosAtPoint(X, Y);
            if (InSelection(drop) || drop == SelHigh()) {
                SetSelStart(drop);
            } else {
                // Move or copy the selection to the drop point, undone as one step for a move.
                const std::string text = SelText();
                const bool copy = FDragCopy || (Shift & ssCtrl);
                TRiriNavigator dropNav(this);
                dropNav.SetPos(drop);
                BeginUpdate();
                if (!copy) ClearSelection();
                SetSelStart(dropNav.Pos());
                NoMerge = true;
                SetSelTextBuf(text);
                GroupLastUndo(!copy);
                const TPos end = SelStart();
                EndUpdate();
                SetSelStart(dropNav.Pos());
                SetSelLength(end - dropNav.Pos());
            }
        }
        FDragCancelled = false;
        UpdateCaretPos();
        KeepCaretInView();
        return;
    }
    if (!wasDouble && ((Button == mbLeft && X == FDownX && Y == FDownY) || Button == mbRight)) {
        // A click on a context run (a link).
        TRiriNavigator at(this);
        at.SetPos(PosAtPoint(X, Y));
        at.SkipEqual();
        const TDynInfo a = at.CurrentAttr();
        if ((a.Flags & dfOwn) && a.Context != 0) {
            TRiriNavigator from(this), to(this);
            from.Assign(at);
            to.Assign(at);
            if (!from.PrevChangePoint(0)) from.SetPos(0);
            if (at.DynNb() > 0) from.SetPos(Pars.StartPos(at.ParNb()) + Pars.DynOffset(*at.Par(), at.DynNb() - 1));
            if (!to.NextChangePoint(CharCount())) to.SetPos(CharCount());
            if (Button == mbLeft) {
                NotifyLinks(lnContextClick);
                FMouseClickPos = at.Pos();
                if (TRiriHighlighter* h = Highlighter()) h->MouseNotify(*this, hmClick);
            }
            if (OnContext) OnContext(*this, a.Context, from.Pos(), to.Pos());
        }
    }
    if (Button == mbRight && !HasOption(droNoDefaultPopup)) ShowContextMenu(X, Y);
    if (Button == mbLeft && !DisplayOnly) KeepCaretInView();
}

void TDudiRiri::DblClick() {
    if (DisplayOnly) return;
    FDoubleClicked = true;
    FMouseClickPos = PosAtPoint(FDownX, FDownY);
    if (TRiriHighlighter* h = Highlighter()) h->MouseNotify(*this, hmDblClick);
    SelectWord(true);
    FWordLow = SelLow();
    FWordHigh = SelHigh();
    UpdateCaretPos();
    if (OnDblClick) OnDblClick(*this);
}

void TDudiRiri::MouseWheel(std::int32_t Delta, std::uint32_t) {
    if (MouseWheelFactor < 0) MouseWheelFactor = FHost->WheelScrollLines();
    FWheelAccum += Delta * MouseWheelFactor;
    const std::int32_t lines = FWheelAccum / 120;
    if (lines == 0) return;
    FWheelAccum -= lines * 120;
    const std::int32_t lh = std::max(1, LineHeight());
    std::int64_t v = static_cast<std::int64_t>(TopLine() - lines) * lh;
    if (!HasOption(droNoFineScroll)) v = std::min<std::int64_t>(v, std::max<std::int64_t>(static_cast<std::int64_t>(Pars.LineCount) * lh - ClientHeight() + 3, 0));
    SetViewOffsets(HorzOffset, std::max<std::int64_t>(0, v), false);
}

void TDudiRiri::FocusChanged(bool Focused) {
    if (HideSelection && SelLength() != 0) FHost->InvalidateAll();
    if (Focused) UpdateCaretPos();
}

}  // namespace tarvex
