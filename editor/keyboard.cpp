// Keyboard handling: movement, editing keys, hot keys and typed characters.

#include <algorithm>

#include "platform/codepage.h"
#include "editor/dudi_riri.h"
#include "textstore/static_format.h"

namespace tarvex {

void TDudiRiri::InvalidateLinesOf(TPos A, TPos B) {
    if (!FHost->HasWindow() || FUpdateCount > 0) return;
    TRiriNavigator a(this), b(this);
    a.SetPos(std::min(A, B));
    b.SetPos(std::max(A, B));
    FHost->InvalidateLines(a.VisibleLine(), b.VisibleLine());
}

// Puts the caret at Target; with Shift the far end of the selection stays.
void TDudiRiri::MoveCaretTo(TRiriNavigator& Target, bool Shift) {
    const TPos oldCaret = SelStart();
    const TPos oldLow = SelLow(), oldHigh = SelHigh();
    if (Shift) {
        const TPos anchor = FCaret == FSelStartNav.get() ? FSelEndNav->Pos() : FSelStartNav->Pos();
        if (Target.Pos() >= anchor) {
            FSelStartNav->SetPos(anchor);
            FSelEndNav->Assign(Target);
            FCaret = Target.Pos() == anchor ? FSelStartNav.get() : FSelEndNav.get();
        } else {
            FSelStartNav->Assign(Target);
            FSelEndNav->SetPos(anchor);
            FCaret = FSelStartNav.get();
        }
        if (BlockSelected) {
            BlockCol2 = (Target.PosToX() - LeftMargin()) / AverageWidth();
            if (FHost->HasWindow()) FHost->InvalidateAll();
        } else {
            InvalidateLinesOf(oldCaret, Target.Pos());
        }
    } else {
        FSelStartNav->Assign(Target);
        FSelEndNav->Assign(Target);
        FCaret = FSelStartNav.get();
        if (oldHigh > oldLow) InvalidateLinesOf(oldLow, oldHigh);
        BlockSelected = false;
    }
    NoMerge = true;
    UpdateCaretPos();
    KeepCaretInView();
}

bool TDudiRiri::KeyDown(std::uint16_t Key, std::uint32_t Shift) {
    if (OnKeyDown) OnKeyDown(*this, Key, Shift);
    const std::uint32_t mods = Shift & (ssShift | ssAlt | ssCtrl);
    FSuppressChar = ((Shift & ssAlt) && FSuppressChar) || mods == (ssShift | ssAlt);
    if (FUpdateCount > 0 || Key == 0) return true;
    const bool shift = Shift & ssShift, ctrl = Shift & ssCtrl, alt = Shift & ssAlt;

    if (FDragging) {
        if (Key == VK_CONTROL) {
            FDragCopy = true;
            SetMouseCursor(crDragCopy);
        } else if (Key == VK_ESCAPE) {
            FDragging = false;
            FDragCancelled = true;
            SetMouseCursor(crIBeam);
            UpdateCaretPos();
        }
        return true;
    }

    if (DisplayOnly) {
        const std::int32_t vis = VisibleLines();
        const std::int32_t top = TopLine();
        const std::int32_t maxTop = std::max(Pars.LineCount - vis + 1, 0);
        const std::int32_t lh = std::max(1, LineHeight());
        const std::int32_t maxH = std::max(WidestLine - ClientWidth() + RightMargin(), 0);
        switch (Key) {
            case VK_HOME: SetViewOffsets(0, VertOffset); break;
            case VK_END: SetViewOffsets(maxH, VertOffset); break;
            case VK_PRIOR: SetViewOffsets(HorzOffset, ctrl ? 0 : static_cast<std::int64_t>(std::max(top - vis + 1, 0)) * lh); break;
            case VK_NEXT:
                SetViewOffsets(HorzOffset, static_cast<std::int64_t>(ctrl ? maxTop : std::min(top + vis - 1, maxTop)) * lh);
                break;
            case VK_UP: SetViewOffsets(HorzOffset, static_cast<std::int64_t>(std::max(top - 1, 0)) * lh); break;
            case VK_DOWN: SetViewOffsets(HorzOffset, static_cast<std::int64_t>(std::min(top + 1, maxTop)) * lh); break;
            case VK_LEFT: SetViewOffsets(std::max(HorzOffset - (ClientWidth() / 5 + 1), 0), VertOffset); break;
            case VK_RIGHT: SetViewOffsets(std::min(HorzOffset + ClientWidth() / 5 + 1, maxH), VertOffset); break;
            default: return Key < 48;
        }
        return true;
    }

    FInKey = true;
    struct Done {
        bool& F;
        ~Done() { F = false; }
    } done{FInKey};

    if (ctrl && !alt && !ReadOnly && EnableHotKeys) {
        bool handled = true;
        switch (Key) {
            case 'B': ToggleStyleCode('\x02'); break;
            case 'I': ToggleStyleCode('\x01'); break;
            case 'U': ToggleStyleCode('\x15'); break;
            case 'H': ToggleStyleCode('\x03'); break;
            case 'F': ToggleStyleCode('\x04'); break;
            case 'T': SetSelText("\t"); break;
            case 'P': SetSelText("\r\n\x10\r\n"); break;
            case 'Z':
                if (shift)
                    Redo();
                else
                    Undo();
                break;
            default: handled = false;
        }
        if (handled) {
            FSuppressChar = true;  // the control character that follows is not typed
            KeepCaretInView();
            return true;
        }
    }
    if (Key == VK_APPS) {
        if (!HasOption(droNoDefaultPopup)) {
            const TRect c = CaretRect();
            ShowContextMenu(c.Left, c.Bottom);
        }
        return true;
    }
    if (Key >= 48) return false;

    FormatThrough(FCaret->ParNb());
    const bool arrow = Key >= VK_LEFT && Key <= VK_DOWN;
    if (arrow && mods == (ssShift | ssAlt) && HasOption(droBlockSelection) && !WordWrap() && !BlockSelected) {
        BlockSelected = true;
        BlockCol1 = BlockCol2 = FCaret->OffsetToColumn(FCaret->ParOffset()) + VirtualSpaces;
    }
    if (alt && !(BlockSelected && arrow)) return true;

    TRiriNavigator target(this);
    target.Assign(*FCaret);
    const bool persistent = HasOption(droPersistentBlocks);
    auto dropSelection = [&] {
        if (!shift && !persistent && (SelLength() != 0 || BlockSelected)) {
            const TPos lo = SelLow(), hi = SelHigh();
            BlockSelected = false;
            FSelEndNav->Assign(*FCaret);
            FSelStartNav->Assign(*FCaret);
            FCaret = FSelStartNav.get();
            InvalidateLinesOf(lo, hi);
        }
    };
    auto verticalX = [&]() -> std::int32_t {
        if (RememberedX < 0 || (!WordWrap() && HasOption(droPutExtraSpaces) && !HasOption(droKeepColumnPos)))
            RememberedX = FCaret->PosToX() + VirtualSpaces * AverageWidth();
        return RememberedX;
    };
    auto placeVertically = [&](std::int32_t Line) {
        const std::int32_t rx = verticalX();
        target.SetVisibleLine(Line);
        FormatThrough(target.ParNb());
        target.Invalidate();
        target.SetVisibleLine(Line);
        target.XToPos(rx);
        VirtualSpaces = 0;
        if (HasOption(droKeepColumnPos) || BlockSelected) {
            const bool atEnd = target.ParOffset() >= target.Par()->Len() || target.CurrentChar() == '\t';
            if (atEnd && !(shift && !BlockSelected && !persistent)) {
                const std::int32_t extra = (rx - target.PosToX()) / AverageWidth();
                if (extra > 0) VirtualSpaces = extra;
            }
        }
    };
    const bool codes = PassOverCodes && StaticFormat();
    auto isCode = [&](TRiriNavigator& n) { return n.ParOffset() < n.Par()->Len() && IsStyleCode(n.CurrentChar()); };
    const std::int32_t caretLine = FCaret->VisibleLine();
    const std::int32_t vis = VisibleLines();
    const std::int32_t lh = std::max(1, LineHeight());

    switch (Key) {
        case VK_HOME:
            dropSelection();
            RememberedX = -1;
            VirtualSpaces = 0;
            if (ctrl)
                target.SetPos(0);
            else
                target.SetLineColumn(0);
            break;
        case VK_END:
            dropSelection();
            RememberedX = -1;
            VirtualSpaces = 0;
            if (ctrl)
                target.SetPos(CharCount());
            else
                target.SetLineColumn(INT32_MAX);
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            const std::int32_t line = Key == VK_PRIOR ? std::max(caretLine - vis + 1, 0) : std::min(caretLine + vis - 1, Pars.LineCount - 1);
            const std::int64_t y = static_cast<std::int64_t>(caretLine) * lh - VertOffset;
            const bool onScreen = y >= 0 && y < ClientHeight();
            placeVertically(line);
            if (!ctrl && onScreen) {
                const std::int64_t step = static_cast<std::int64_t>(vis - 1) * lh;
                const std::int64_t maxV = std::max<std::int64_t>(0, static_cast<std::int64_t>(Pars.LineCount) * lh - ClientHeight() + 3);
                SetViewOffsets(HorzOffset, Key == VK_PRIOR ? std::max<std::int64_t>(0, VertOffset - step) : std::min(maxV, VertOffset + step));
            }
            break;
        }
        case VK_UP:
            if (caretLine == 0) return true;
            placeVertically(caretLine - 1);
            break;
        case VK_DOWN:
            if (caretLine >= Pars.LineCount - 1) return true;
            placeVertically(caretLine + 1);
            break;
        case VK_LEFT:
            dropSelection();
            RememberedX = -1;
            if (ctrl) {
                target.WordLeft();
                VirtualSpaces = 0;
            } else if (VirtualSpaces > 0) {
                --VirtualSpaces;
            } else if (target.ParOffset() == 0) {
                if (HasOption(droWrapCaret) && target.ParNb() > 0) target.SetPos(target.Pos() - 2);
            } else {
                target.SetPos(target.Pos() - 1);
                while (codes && target.ParOffset() > 0 && isCode(target)) target.SetPos(target.Pos() - 1);
            }
            break;
        case VK_RIGHT:
            dropSelection();
            RememberedX = -1;
            if (ctrl) {
                target.WordRight();
                VirtualSpaces = 0;
            } else if (target.ParOffset() >= target.Par()->Len()) {
                if (HasOption(droKeepColumnPos) || !HasOption(droWrapCaret) || BlockSelected)
                    ++VirtualSpaces;
                else if (target.ParNb() + 1 < ParagraphCount())
                    target.SetPos(target.Pos() + 2);
            } else {
                while (codes && isCode(target)) target.SetPos(target.Pos() + 1);
                if (target.ParOffset() < target.Par()->Len()) target.SetPos(target.Pos() + 1);
                while (codes && isCode(target)) target.SetPos(target.Pos() + 1);
            }
            break;
        case VK_DELETE:
            if (shift && !ctrl) {
                if (ReadOnly) return true;
                if (SelLength() != 0)
                    CutToClipboard();
                else if (SelStart() > 0) {
                    const bool atStart = FCaret->ParOffset() == 0;
                    SetSelLength(atStart ? -2 : -1);
                    ClearSelection();
                }
            } else if (ctrl) {
                if (ReadOnly) return true;
                // To the end of the display line, when the selection lies on one.
                TRiriNavigator lo(this), hi(this);
                lo.SetPos(SelLow());
                hi.SetPos(SelHigh());
                if (lo.VisibleLine() == hi.VisibleLine()) {
                    const TPos from = SelLow();
                    const TPos to = lo.Par()->StartPos + lo.CurrentLine().Stop;
                    SetSelStart(from);
                    SetSelLength(to - from);
                    ClearSelection();
                }
            } else {
                DeleteKey(false);
            }
            KeepCaretInView();
            return true;
        case VK_BACK:
            BackspaceKey(ctrl);
            KeepCaretInView();
            return true;
        case VK_INSERT:
            if (shift && !ReadOnly) {
                PasteFromClipboard();
                KeepCaretInView();
            } else if (ctrl) {
                CopyToClipboard();
            } else if (HasOption(droInsertKeyActive)) {
                Overwrite = !Overwrite;
                if (OnStyleChange) OnStyleChange(*this);
                UpdateCaretPos();
            }
            return true;
        default:
            return Key != VK_TAB && Key != VK_RETURN && Key != VK_ESCAPE;
    }
    MoveCaretTo(target, shift);
    return true;
}

void TDudiRiri::DeleteKey(bool) {
    if (ReadOnly) return;
    if (HasOption(droNoOverwriteBlocks)) SetBlockAside(true);
    if (SelLength() != 0 || BlockSelected) {
        ClearSelection();
    } else {
        const std::int32_t col = FCaret->PosToX();
        TRiriNavigator end(this);
        end.Assign(*FCaret);
        if (StaticFormat())
            while (end.ParOffset() < end.Par()->Len() && IsStyleCode(end.CurrentChar())) end.SetPos(end.Pos() + 1);
        if (end.ParOffset() >= end.Par()->Len()) {
            if (end.ParNb() + 1 < ParagraphCount()) end.SetPos(end.Pos() + 2);
        } else {
            end.SetPos(end.Pos() + 1);
        }
        if (end.Pos() > SelStart()) {
            const TPos from = SelStart();
            SetSelLength(end.Pos() - from);
            ClearSelection();
            if (HasOption(droKeepColumnPos)) {
                const std::int32_t gap = (col - FCaret->PosToX()) / AverageWidth();
                if (gap > 0) VirtualSpaces = gap;
            }
        }
    }
    if (HasOption(droNoOverwriteBlocks)) SetBlockAside(false);
}

void TDudiRiri::BackspaceKey(bool Ctrl) {
    if (ReadOnly) return;
    RememberedX = -1;
    if (HasOption(droNoOverwriteBlocks)) SetBlockAside(true);
    const std::int32_t oldCol = SelCol();
    bool deleted = false;
    if (SelLength() != 0 || BlockSelected) {
        ClearSelection();
        deleted = true;
    } else if (Ctrl) {
        TRiriNavigator n(this);
        n.Assign(*FCaret);
        n.WordLeft();
        SetSelLength(n.Pos() - SelStart());
        ClearSelection();
        deleted = true;
    } else if (FCaret->ParOffset() == 0 && VirtualSpaces == 0) {
        if (FCaret->ParNb() > 0) {
            SetSelLength(-2);
            ClearSelection();
            deleted = true;
        }
    } else {
        // Back-indent: at the end of the leading blanks, back to the indentation of a line above.
        std::int32_t lead = 0;
        const std::string line = FCaret->LineText();
        while (lead < static_cast<std::int32_t>(line.size()) && (line[static_cast<std::size_t>(lead)] == ' ' || line[static_cast<std::size_t>(lead)] == '\t')) ++lead;
        const std::int32_t col = SelCol();
        if (HasOption(droBackIndent) && col > 0 && col == lead && VirtualSpaces == 0) {
            std::int32_t target = 0;
            TRiriNavigator up(this);
            for (std::int32_t l = FCaret->VisibleLine() - 1; l >= 0; --l) {
                up.SetVisibleLine(l);
                const std::string t = up.LineText();
                std::int32_t n = 0;
                while (n < static_cast<std::int32_t>(t.size()) && (t[static_cast<std::size_t>(n)] == ' ' || t[static_cast<std::size_t>(n)] == '\t')) ++n;
                if (n < lead) {
                    target = n;
                    break;
                }
            }
            SetSelLength(target - col);
            ClearSelection();
            deleted = true;
        } else if (VirtualSpaces > 0) {
            --VirtualSpaces;
            UpdateCaretPos();
        } else {
            TRiriNavigator from(this);
            from.Assign(*FCaret);
            from.SetPos(from.Pos() - 1);
            if (StaticFormat())
                while (from.ParOffset() > 0 && IsStyleCode(static_cast<unsigned char>(from.Par()->Text[from.ParOffset() - 1]))) from.SetPos(from.Pos() - 1);
            if (StaticFormat() && from.ParOffset() == 0 && from.ParNb() > 0 && from.Pos() < SelStart() - 1) from.SetPos(from.Pos() - 2);
            SetSelLength(from.Pos() - SelStart());
            ClearSelection();
            deleted = true;
        }
    }
    if (deleted && HasOption(droKeepColumnPos)) {
        const std::int32_t now = SelCol();
        if (oldCol - now > 0 && FCaret->ParOffset() >= FCaret->Par()->Len()) VirtualSpaces = oldCol - now;
    }
    if (HasOption(droNoOverwriteBlocks)) SetBlockAside(false);
}

void TDudiRiri::SetBlockAside(bool Aside) {
    if (!HasOption(droPersistentBlocks)) {
        if (Aside && SelLength() != 0) SetSelLength(0);
        return;
    }
    if (Aside) {
        if (FAsideDepth++ > 0) return;
        FAsideA = std::make_unique<TRiriNavigator>(this);
        FAsideB = std::make_unique<TRiriNavigator>(this);
        FAsideA->SetPos(SelLow());
        FAsideB->SetPos(SelHigh());
        FAsideBlock = BlockSelected;
        FAsideCol1 = BlockCol1;
        FAsideCol2 = BlockCol2;
        FAsideCaretEnd = FCaret == FSelEndNav.get();
        const TPos caret = SelStart();
        BlockSelected = false;
        FSelStartNav->SetPos(caret);
        FSelEndNav->SetPos(caret);
        FCaret = FSelStartNav.get();
        ++FUpdateCount;
    } else {
        if (FAsideDepth == 0 || --FAsideDepth > 0) return;
        const TPos caret = SelStart();
        FSelStartNav->SetPos(FAsideA->Pos());
        FSelEndNav->SetPos(FAsideB->Pos());
        FCaret = FAsideCaretEnd ? FSelEndNav.get() : FSelStartNav.get();
        BlockSelected = FAsideBlock;
        BlockCol1 = FAsideCol1;
        BlockCol2 = FAsideCol2;
        FAsideA.reset();
        FAsideB.reset();
        VirtualSpaces = 0;
        --FUpdateCount;
        (void)caret;
        RefreshAfterChange();
        KeepCaretInView();
    }
}

std::string TDudiRiri::SmartTabFill() {
    if (WordWrap()) return "\t";
    const std::int32_t col = FCaret->OffsetToColumn(FCaret->ParOffset()) + VirtualSpaces;
    for (std::int32_t p = FCaret->ParNb() - 1; p >= 0; --p) {
        const std::string_view t = Pars.At(p).View();
        if (OffsetToColumn(t, static_cast<std::int32_t>(t.size()), TabStops(), StaticFormat()) <= col) continue;
        std::int32_t o = ColumnToOffset(t, col, TabStops(), StaticFormat());
        while (o < static_cast<std::int32_t>(t.size()) && t[static_cast<std::size_t>(o)] != ' ' && t[static_cast<std::size_t>(o)] != '\t') ++o;
        while (o < static_cast<std::int32_t>(t.size()) && (t[static_cast<std::size_t>(o)] == ' ' || t[static_cast<std::size_t>(o)] == '\t')) ++o;
        const std::int32_t target = OffsetToColumn(t, o, TabStops(), StaticFormat());
        return std::string(static_cast<std::size_t>(std::max(0, target - col)), ' ');
    }
    return {};
}

void TDudiRiri::EnterKey() {
    if (Overwrite && SelLength() == 0) {
        TRiriNavigator t(this);
        t.Assign(*FCaret);
        const std::int32_t line = t.VisibleLine();
        if (line + 1 < Pars.LineCount) {
            t.SetVisibleLine(line + 1);
            MoveCaretTo(t, false);
        } else {
            SetSelStart(CharCount());
            SetSelText("\r\n");
        }
        return;
    }
    if (SelLength() != 0 || !HasOption(droAutoIndent)) {
        SetSelText("\r\n");
        return;
    }
    // Auto-indent from the nearest non-empty display line at or above the caret.
    std::string indent;
    TRiriNavigator up(this);
    const std::int32_t maxChars = SelCol();
    for (std::int32_t l = FCaret->VisibleLine(); l >= 0; --l) {
        up.SetVisibleLine(l);
        const std::string t = up.LineText();
        if (t.empty()) continue;
        std::size_t n = 0;
        while (n < t.size() && (t[n] == ' ' || t[n] == '\t')) ++n;
        indent = t.substr(0, std::min<std::size_t>(n, static_cast<std::size_t>(std::max(0, maxChars))));
        break;
    }
    if (HasOption(droDiscardTrailingSpaces) && FCaret->ParOffset() >= FCaret->Par()->Len()) {
        SetSelText("\r\n");
        std::int32_t cols = 0;
        for (char c : indent) cols += (c == '\t' && TabStops() > 0) ? TabStops() : 1;
        VirtualSpaces = cols;
        UpdateCaretPos();
    } else {
        SetSelText("\r\n" + indent);
    }
}

void TDudiRiri::KeyPress(unsigned char Ch) {
    if (OnKeyPress) OnKeyPress(*this, Ch);
    if (FSuppressChar) {
        FSuppressChar = false;
        return;
    }
    if (FUpdateCount > 0 || FDragging || DisplayOnly || (ReadOnly && Ch != 3) || Ch == 0) return;
    FInKey = true;
    const bool aside = HasOption(droNoOverwriteBlocks) && Ch != 3 && Ch != 22 && Ch != 24;
    if (aside) SetBlockAside(true);
    if (Ch <= 30 || Ch == 127) {
        switch (Ch) {
            case 3: CopyToClipboard(); break;
            case 5:
                FHost->InvalidateAll();
                CheckConsistency();
                break;
            case 9:
                if (HasOption(droSmartTabs))
                    SetSelText(SelText() + SmartTabFill());
                else
                    SetSelText("\t");
                break;
            case 13: EnterKey(); break;
            case 22: PasteFromClipboard(); break;
            case 24: CutToClipboard(); break;
            default: break;
        }
    } else {
        const bool atParEnd = FCaret->ParOffset() >= FCaret->Par()->Len();
        if (Overwrite && SelLength() == 0 && !atParEnd) SetSelLength(1);
        if (Ch == ' ' && SelLength() == 0 && atParEnd && HasOption(droDiscardTrailingSpaces) && HasOption(droKeepColumnPos)) {
            ++VirtualSpaces;
            UpdateCaretPos();
        } else {
            const char c = static_cast<char>(Ch);
            SetSelText(std::string_view(&c, 1));
        }
    }
    if (aside) SetBlockAside(false);
    KeepCaretInView();
    FInKey = false;
}

void TDudiRiri::KeyUp(std::uint16_t Key, std::uint32_t) {
    if (FDragging && !FDragCancelled && Key == VK_CONTROL) {
        FDragCopy = false;
        SetMouseCursor(crDrag);
    }
}

}  // namespace tarvex
