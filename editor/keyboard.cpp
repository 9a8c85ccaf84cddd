// Keyboard handling: keys through the key map to editor commands, typed
// characters, and the caret moves the movement commands make.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {
// Sets a flag for the lifetime of the scope, on every exit path.
class TFlagScope {
public:
    explicit TFlagScope(bool& F) : FFlag(F) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};
}  // namespace

void TDudiRiri::InvalidateLinesOf(TPos A, TPos B) {
    if (!FHost->HasWindow() || FUpdateCount > 0) return;
    TRiriNavigator a(this), b(this);
    a.SetPos(std::min(A, B));
    b.SetPos(std::max(A, B));
    FHost->InvalidateLines(a.VisibleLine(), b.VisibleLine());
}

// Puts the caret at Target; with Shift the far end of the selection stays.
void TDudiRiri::MoveCaretTo(TRiriNavigator& Target, bool Shift, bool KeepInView) {
    const TPos oldCaret = SelStart();
    const TPos oldLow = SelLow(), oldHigh = SelHigh();
    if (!Shift && HasOption(droPersistentBlocks) && (oldHigh > oldLow || BlockSelected)) {
        // The selection stays; only the caret moves.
        FPersistentCaret->Assign(Target);
        FCaret = FPersistentCaret.get();
        NoMerge = true;
        UpdateCaretPos();
        if (KeepInView) KeepCaretInView();
        return;
    }
    if (Shift) {
        if (FCaret == FPersistentCaret.get()) {
            // Away from the selection a selecting move starts a new one at the caret.
            if (oldCaret == oldLow) {
                FCaret = FSelStartNav.get();
            } else if (oldCaret == oldHigh) {
                FCaret = FSelEndNav.get();
            } else {
                if (oldHigh > oldLow) InvalidateLinesOf(oldLow, oldHigh);
                BlockSelected = false;
                FSelStartNav->SetPos(oldCaret);
                FSelEndNav->SetPos(oldCaret);
                FCaret = FSelStartNav.get();
            }
        }
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
            // Character columns: with a proportional font the x of a column differs from row to row.
            BlockCol2 = WordWrap() ? (Target.PosToX() - LeftMargin()) / AverageWidth()
                                   : Target.OffsetToColumn(Target.ParOffset()) + VirtualSpaces;
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
    if (KeepInView) KeepCaretInView();
}

bool TDudiRiri::KeyDown(std::uint16_t Key, std::uint32_t Shift) {
    if (OnKeyDown) OnKeyDown(*this, Key, Shift);
    const std::uint32_t mods = Shift & (ssShift | ssAlt | ssCtrl);
    // A key with Alt types nothing: it belongs to the window's menus. With Ctrl
    // (AltGr on some layouts) its character is typed.
    FSuppressChar = (Shift & (ssAlt | ssCtrl)) == ssAlt;
    if (FUpdateCount > 0 || Key == 0) return true;
    if (FDragging) return DragKey(Key);
    if (DisplayOnly) return DisplayOnlyKey(Key, Shift & ssCtrl);
    TFlagScope inKey(FInKey);
    const bool alt = Shift & ssAlt;
    std::uint16_t cmd = FKeyMap.Find(Key, Shift);
    if (cmd == ecPaste && ReadOnly) cmd = FKeyMap.Find(Key, Shift & ~ssShift);

    if (IsHotKeyCommand(cmd)) {
        if (!(Shift & ssCtrl) || alt || ReadOnly || !EnableHotKeys) return Key < 48;
        ExecuteCommand(cmd);
        FSuppressChar = true;  // the control character that follows is not typed
        KeepCaretInView();
        return true;
    }
    if (cmd == ecContextMenu) return ExecuteCommand(cmd);
    // Characters are left to the character handler.
    if (Key >= 48) return false;

    FormatThrough(FCaret->ParNb());
    const bool arrow = Key >= VK_LEFT && Key <= VK_DOWN;
    if (arrow && mods == (ssShift | ssAlt) && HasOption(droBlockSelection) && !WordWrap() && !BlockSelected) {
        BlockSelected = true;
        BlockCol1 = BlockCol2 = FCaret->OffsetToColumn(FCaret->ParOffset()) + VirtualSpaces;
    }
    if (alt && !(BlockSelected && arrow)) return true;
    if (cmd == ecNone) return Key != VK_TAB && Key != VK_RETURN && Key != VK_ESCAPE;
    ExecuteCommand(cmd);
    return true;
}

bool TDudiRiri::DragKey(std::uint16_t Key) {
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

bool TDudiRiri::DisplayOnlyKey(std::uint16_t Key, bool Ctrl) {
    // Only the view moves.
    const std::int32_t vis = VisibleLines();
    const std::int32_t top = TopLine();
    const std::int32_t maxTop = std::max(Pars.LineCount - vis + 1, 0);
    const std::int32_t lh = std::max(1, LineHeight());
    const std::int32_t maxH = std::max(WidestLine - ClientWidth() + RightMargin(), 0);
    auto toLine = [&](std::int32_t L) { SetViewOffsets(HorzOffset, static_cast<std::int64_t>(L) * lh); };
    switch (Key) {
        case VK_HOME: SetViewOffsets(0, VertOffset); break;
        case VK_END: SetViewOffsets(maxH, VertOffset); break;
        case VK_PRIOR: toLine(Ctrl ? 0 : std::max(top - vis + 1, 0)); break;
        case VK_NEXT: toLine(Ctrl ? maxTop : std::min(top + vis - 1, maxTop)); break;
        case VK_UP: toLine(std::max(top - 1, 0)); break;
        case VK_DOWN: toLine(std::min(top + 1, maxTop)); break;
        case VK_LEFT: SetViewOffsets(std::max(HorzOffset - (ClientWidth() / 5 + 1), 0), VertOffset); break;
        case VK_RIGHT: SetViewOffsets(std::min(HorzOffset + ClientWidth() / 5 + 1, maxH), VertOffset); break;
        default: return Key < 48;
    }
    return true;
}

bool TDudiRiri::ExecuteCommand(std::uint16_t Command) {
    if (IsMoveCommand(Command)) {
        MoveCommand(Command);
        return true;
    }
    switch (Command) {
        case ecDeleteChar: DeleteKey(false); break;
        case ecDeleteBack: BackspaceKey(false); break;
        case ecDeleteWordBack: BackspaceKey(true); break;
        case ecDeleteToLineEnd: DeleteToLineEnd(); break;
        case ecCutOrDeleteBack: CutOrDeleteBack(); break;
        case ecToggleOverwrite:
            if (HasOption(droInsertKeyActive)) {
                Overwrite = !Overwrite;
                if (OnStyleChange) OnStyleChange(*this);
                UpdateCaretPos();
            }
            return true;
        case ecCopy: CopyToClipboard(); return true;
        case ecCut: CutToClipboard(); break;
        case ecPaste:
            if (ReadOnly) return true;
            PasteFromClipboard();
            break;
        case ecNewLine: EnterKey(); break;
        case ecTab: SetSelText(HasOption(droSmartTabs) ? SelText() + SmartTabFill() : std::string("\t")); break;
        case ecCheckConsistency:
            FHost->InvalidateAll();
            CheckConsistency();
            return true;
        case ecContextMenu:
            if (!HasOption(droNoDefaultPopup)) {
                const TRect c = CaretRect();
                ShowContextMenu(c.Left, c.Bottom);
            }
            return true;
        case ecToggleBold: ToggleStyleCode('\x02'); break;
        case ecToggleItalic: ToggleStyleCode('\x01'); break;
        case ecToggleUnderline: ToggleStyleCode('\x15'); break;
        case ecToggleHighlight: ToggleStyleCode('\x03'); break;
        case ecToggleAltFont: ToggleStyleCode('\x04'); break;
        case ecInsertTab: SetSelText("\t"); break;
        case ecInsertPageBreak: SetSelText("\r\n\x10\r\n"); break;
        case ecUndo: Undo(); break;
        case ecRedo: Redo(); break;
        default: return false;
    }
    KeepCaretInView();
    return true;
}

void TDudiRiri::MoveCommand(std::uint16_t Command) {
    const bool extend = Command & ecExtend;
    const auto cmd = static_cast<TEditorCommand>(Command & 0xFF);
    FormatThrough(FCaret->ParNb());
    TRiriNavigator target(this);
    target.Assign(*FCaret);
    const bool horizontal = cmd == ecCharLeft || cmd == ecCharRight || cmd == ecWordLeft || cmd == ecWordRight ||
                            cmd == ecLineStart || cmd == ecLineEnd || cmd == ecTextStart || cmd == ecTextEnd;
    if (horizontal) {
        // Unless blocks persist, a plain move drops the selection first.
        if (!extend && !HasOption(droPersistentBlocks) && (SelLength() != 0 || BlockSelected)) {
            const TPos lo = SelLow(), hi = SelHigh();
            BlockSelected = false;
            FSelEndNav->Assign(*FCaret);
            FSelStartNav->Assign(*FCaret);
            FCaret = FSelStartNav.get();
            InvalidateLinesOf(lo, hi);
        }
        RememberedX = -1;
        if (!HorizontalTarget(cmd, target)) return;
    } else if (!VerticalTarget(cmd, extend, target)) {
        return;
    }
    MoveCaretTo(target, extend);
}

bool TDudiRiri::HorizontalTarget(TEditorCommand Cmd, TRiriNavigator& Target) {
    const bool codes = PassOverCodes && StaticFormat();
    auto isCode = [&](TRiriNavigator& n) { return n.ParOffset() < n.Par()->Len() && IsStyleCode(n.CurrentChar()); };
    switch (Cmd) {
        case ecLineStart:
        case ecTextStart:
            VirtualSpaces = 0;
            if (Cmd == ecTextStart)
                Target.SetPos(0);
            else
                Target.SetLineColumn(0);
            break;
        case ecLineEnd:
        case ecTextEnd:
            VirtualSpaces = 0;
            if (Cmd == ecTextEnd)
                Target.SetPos(CharCount());
            else
                Target.SetLineColumn(INT32_MAX);
            break;
        case ecWordLeft:
            Target.WordLeft();
            VirtualSpaces = 0;
            break;
        case ecWordRight:
            Target.WordRight();
            VirtualSpaces = 0;
            break;
        case ecCharLeft:
            if (VirtualSpaces > 0) {
                --VirtualSpaces;
            } else if (Target.ParOffset() == 0) {
                if (HasOption(droWrapCaret) && Target.ParNb() > 0) Target.SetPos(Target.Pos() - 2);
            } else {
                Target.SetPos(Target.Pos() - 1);
                while (codes && Target.ParOffset() > 0 && isCode(Target)) Target.SetPos(Target.Pos() - 1);
            }
            break;
        case ecCharRight:
            if (Target.ParOffset() >= Target.Par()->Len()) {
                if (HasOption(droKeepColumnPos) || !HasOption(droWrapCaret) || BlockSelected)
                    ++VirtualSpaces;
                else if (Target.ParNb() + 1 < ParagraphCount())
                    Target.SetPos(Target.Pos() + 2);
            } else {
                while (codes && isCode(Target)) Target.SetPos(Target.Pos() + 1);
                if (Target.ParOffset() < Target.Par()->Len()) Target.SetPos(Target.Pos() + 1);
                while (codes && isCode(Target)) Target.SetPos(Target.Pos() + 1);
            }
            break;
        default: return false;
    }
    return true;
}

bool TDudiRiri::VerticalTarget(TEditorCommand Cmd, bool Extend, TRiriNavigator& Target) {
    const std::int32_t caretLine = FCaret->VisibleLine();
    const std::int32_t vis = VisibleLines();
    const std::int32_t lh = std::max(1, LineHeight());
    std::int32_t line = caretLine;
    switch (Cmd) {
        case ecLineUp:
            if (caretLine == 0) return false;
            line = caretLine - 1;
            break;
        case ecLineDown:
            if (caretLine >= Pars.LineCount - 1) return false;
            line = caretLine + 1;
            break;
        case ecPageUp:
        case ecPageUpCaret: line = std::max(caretLine - vis + 1, 0); break;
        case ecPageDown:
        case ecPageDownCaret: line = std::min(caretLine + vis - 1, Pars.LineCount - 1); break;
        default: return false;
    }
    const std::int64_t y = static_cast<std::int64_t>(caretLine) * lh - VertOffset;
    const bool onScreen = y >= 0 && y < ClientHeight();
    PlaceVertically(Target, line, Extend);
    if ((Cmd == ecPageUp || Cmd == ecPageDown) && onScreen) {
        // The view scrolls with the caret when the caret was on screen.
        const std::int64_t step = static_cast<std::int64_t>(vis - 1) * lh;
        const std::int64_t maxV = std::max<std::int64_t>(0, static_cast<std::int64_t>(Pars.LineCount) * lh - ClientHeight() + 3);
        SetViewOffsets(HorzOffset, Cmd == ecPageUp ? std::max<std::int64_t>(0, VertOffset - step) : std::min(maxV, VertOffset + step));
    }
    return true;
}

// Puts Target on display line Line at the remembered x; past the end of the
// line (or on a tab) with droKeepColumnPos or in a block, virtual spaces keep the column.
void TDudiRiri::PlaceVertically(TRiriNavigator& Target, std::int32_t Line, bool Extend) {
    if (BlockSelected && !WordWrap()) {
        // A column block keeps its character column on every row, whatever the font.
        Target.SetVisibleLine(Line);
        FormatThrough(Target.ParNb());
        Target.Invalidate();
        Target.SetVisibleLine(Line);
        const std::string_view t = Pars.At(Target.ParNb()).View();
        const auto len = static_cast<std::int32_t>(t.size());
        const std::int32_t endCol = OffsetToColumn(t, len, TabStops(), StaticFormat());
        if (BlockCol2 >= endCol) {
            Target.SetParOffset(len);
            VirtualSpaces = BlockCol2 - endCol;
        } else {
            Target.SetParOffset(ColumnToOffset(t, BlockCol2, TabStops(), StaticFormat()));
            VirtualSpaces = 0;
        }
        return;
    }
    if (RememberedX < 0 || (!WordWrap() && HasOption(droPutExtraSpaces) && !HasOption(droKeepColumnPos)))
        RememberedX = FCaret->PosToX() + VirtualSpaces * AverageWidth();
    const std::int32_t rx = RememberedX;
    Target.SetVisibleLine(Line);
    FormatThrough(Target.ParNb());
    Target.Invalidate();
    Target.SetVisibleLine(Line);
    Target.XToPos(rx);
    VirtualSpaces = 0;
    if (HasOption(droKeepColumnPos) || BlockSelected) {
        const bool atEnd = Target.ParOffset() >= Target.Par()->Len() || Target.CurrentChar() == '\t';
        if (atEnd && !(Extend && !BlockSelected && !HasOption(droPersistentBlocks))) {
            const std::int32_t extra = (rx - Target.PosToX()) / AverageWidth();
            if (extra > 0) VirtualSpaces = extra;
        }
    }
}

void TDudiRiri::KeyPress(unsigned char Ch) {
    if (OnKeyPress) OnKeyPress(*this, Ch);
    if (FSuppressChar) {
        FSuppressChar = false;
        return;
    }
    if (FUpdateCount > 0 || FDragging || DisplayOnly || (ReadOnly && Ch != 3) || Ch == 0) return;
    TFlagScope inKey(FInKey);
    const bool aside = HasOption(droNoOverwriteBlocks) && Ch != 3 && Ch != 22 && Ch != 24;
    if (aside) SetBlockAside(true);
    if (Ch <= 30 || Ch == 127) {
        // Control characters are commands; the others do nothing.
        static constexpr std::pair<unsigned char, TEditorCommand> kCharCommands[] = {
            {3, ecCopy}, {5, ecCheckConsistency}, {9, ecTab}, {13, ecNewLine}, {22, ecPaste}, {24, ecCut}};
        for (const auto& [ch, cmd] : kCharCommands)
            if (ch == Ch) ExecuteCommand(cmd);
    } else {
        TypeCharacter(static_cast<char>(Ch));
    }
    if (aside) SetBlockAside(false);
    KeepCaretInView();
}

void TDudiRiri::TypeCharacter(char Ch) {
    const bool atParEnd = FCaret->ParOffset() >= FCaret->Par()->Len();
    if (Overwrite && SelLength() == 0 && !atParEnd) SetSelLength(1);
    if (Ch == ' ' && SelLength() == 0 && atParEnd && HasOption(droDiscardTrailingSpaces) && HasOption(droKeepColumnPos)) {
        // No trailing blank is typed: the caret only moves on.
        ++VirtualSpaces;
        UpdateCaretPos();
    } else {
        SetSelText(std::string_view(&Ch, 1));
    }
}

void TDudiRiri::KeyUp(std::uint16_t Key, std::uint32_t) {
    if (FDragging && !FDragCancelled && Key == VK_CONTROL) {
        FDragCopy = false;
        SetMouseCursor(crDrag);
    }
}

}  // namespace tarvex
