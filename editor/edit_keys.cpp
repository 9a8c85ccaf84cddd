// Keys that edit: Delete, Backspace, Enter and the smart tab, and setting a
// persistent block aside while they work.

#include <algorithm>

#include "editor/dudi_riri.h"
#include "textstore/static_format.h"

namespace tarvex {

void TDudiRiri::CutOrDeleteBack() {
    if (ReadOnly) return;
    if (SelLength() != 0) {
        CutToClipboard();
    } else if (SelStart() > 0) {
        SetSelLength(FCaret->ParOffset() == 0 ? -2 : -1);
        ClearSelection();
    }
}

void TDudiRiri::DeleteToLineEnd() {
    if (ReadOnly) return;
    // Only when the selection lies on one display line.
    TRiriNavigator lo(this), hi(this);
    lo.SetPos(SelLow());
    hi.SetPos(SelHigh());
    if (lo.VisibleLine() != hi.VisibleLine()) return;
    const TPos from = SelLow();
    const TPos to = Pars.StartPos(lo.ParNb()) + lo.CurrentLine().Stop;
    SetSelStart(from);
    SetSelLength(to - from);
    ClearSelection();
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
                while (from.ParOffset() > 0 && IsStyleCode(static_cast<unsigned char>(from.Par()->Text()[from.ParOffset() - 1]))) from.SetPos(from.Pos() - 1);
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
        const TPos caret = SelStart();
        BlockSelected = false;
        FSelStartNav->SetPos(caret);
        FSelEndNav->SetPos(caret);
        FCaret = FSelStartNav.get();
        ++FUpdateCount;
    } else {
        if (FAsideDepth == 0 || --FAsideDepth > 0) return;
        // The selection comes back where the edit left its ends; the caret
        // stays where the edit left it, as the persistent caret when that is
        // not one of the selection's ends.
        const TPos caret = SelStart();
        const TPos low = FAsideA->Pos(), high = FAsideB->Pos();
        if (high > low || FAsideBlock) {
            FSelStartNav->SetPos(low);
            FSelEndNav->SetPos(high);
            if (caret == low) {
                FCaret = FSelStartNav.get();
            } else if (caret == high) {
                FCaret = FSelEndNav.get();
            } else {
                FPersistentCaret->SetPos(caret);
                FCaret = FPersistentCaret.get();
            }
            BlockSelected = FAsideBlock;
            BlockCol1 = FAsideCol1;
            BlockCol2 = FAsideCol2;
        }
        FAsideA.reset();
        FAsideB.reset();
        VirtualSpaces = 0;
        --FUpdateCount;
        FPendingChange = false;
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

}  // namespace tarvex
