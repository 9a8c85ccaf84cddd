// The clipboard (Unicode text and a column-block mark) and the built-in context menu.

#include <algorithm>

#include "platform/codepage.h"
#include "editor/dudi_riri.h"
#include "textstore/static_format.h"

namespace tarvex {

void TDudiRiri::CopyToClipboard() {
    if (SelLength() == 0) return;
    std::string t = SelText();
    if (HasOption(droPlainClipboard)) t = StripCodes(t);
    // Text leaves as Unicode so that other programs read it right.
    FHost->SetClipboardText(Cp1251ToUtf16(t), BlockSelected);
}

void TDudiRiri::CutToClipboard() {
    if (SelLength() == 0 || ReadOnly || DisplayOnly) return;
    CopyToClipboard();
    ClearSelection();
}

void TDudiRiri::PasteFromClipboard() {
    if (ReadOnly || DisplayOnly) return;
    std::u16string u;
    bool block = false;
    if (!FHost->GetClipboardText(u, block) || u.empty()) return;
    const bool aside = HasOption(droNoOverwriteBlocks);
    if (aside) SetBlockAside(true);
    // Latin-1 and Cyrillic map byte for byte; everything else goes through the code page.
    bool simple = true;
    for (char16_t c : u)
        if (!(c <= 0x00FF || (c >= 0x0400 && c <= 0x04FF) || (c >= 0x2000 && c <= 0x20FF))) simple = false;
    std::string text;
    if (simple) {
        text.reserve(u.size());
        for (char16_t c : u) {
            if (c <= 0x00FF)
                text.push_back(static_cast<char>(c));
            else {
                const int b = UnicodeToCp1251(c);
                text.push_back(b < 0 ? '?' : static_cast<char>(b));
            }
        }
    } else {
        text = Utf16ToCp1251(u);
    }
    NoMerge = true;
    if (block && HasOption(droBlockSelection)) {
        // A block pasted over a selection replaces it; over a column block,
        // from the block's top-left corner.
        std::int32_t firstPar = -1, col = 0;
        if (BlockSelected && SelLength() != 0) {
            firstPar = Pars.ParagraphAt(SelLow());
            col = std::min(BlockCol1, BlockCol2);
        }
        if (SelLength() != 0) SetSelTextBuf({});
        if (firstPar < 0) {
            firstPar = FCaret->ParNb();
            col = (FCaret->PosToX() - LeftMargin()) / AverageWidth();
        }
        ColumnPaste(text, firstPar, col);
    } else {
        SetSelText(text);
    }
    NoMerge = true;
    if (aside) SetBlockAside(false);
}

void TDudiRiri::ColumnPaste(const std::string& Text, std::int32_t FirstPar, std::int32_t Col) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t br = Text.find("\r\n", start);
        if (br == std::string::npos) {
            if (start < Text.size()) lines.push_back(Text.substr(start));
            break;
        }
        lines.push_back(Text.substr(start, br - start));
        start = br + 2;
    }
    const std::int32_t col = std::max(0, Col);
    const std::int32_t first = FirstPar;
    BeginUpdate();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto p = static_cast<std::int32_t>(first + static_cast<std::int32_t>(i));
        if (p >= ParagraphCount()) {
            SetSelStart(CharCount());
            SetSelTextBuf("\r\n");
        }
        const std::string_view t = Pars.At(p).View();
        const std::int32_t o = ColumnToOffset(t, col, TabStops(), StaticFormat());
        const std::int32_t missing = std::max(0, col - OffsetToColumn(t, o, TabStops(), StaticFormat()));
        SetSelStart(Pars.StartPos(p) + o);
        SetSelTextBuf(std::string(static_cast<std::size_t>(missing), ' ') + lines[i]);
    }
    EndUpdate();
}

std::vector<TMenuItem> TDudiRiri::ContextMenuItems() {
    std::u16string clip;
    bool block = false;
    const bool hasText = FHost->GetClipboardText(clip, block) && !clip.empty();
    const bool ru = RussianInterface;
    return {
        {ru ? "&Отменить" : "&Undo", CanUndo()},
        {ru ? "&Повторить" : "&Redo", CanRedo()},
        {"-", true},
        {ru ? "&Вырезать" : "Cu&t", CanCut()},
        {ru ? "&Копировать" : "&Copy", SelLength() != 0},
        {ru ? "Вст&авить" : "&Paste", hasText && CanPaste()},
        {"-", true},
        {ru ? "В&ыделить все" : "&Select all", CharCount() >= 1},
    };
}

void TDudiRiri::ContextMenuAction(std::int32_t Index) {
    switch (Index) {
        case 0: Undo(); break;
        case 1: Redo(); break;
        case 3: CutToClipboard(); KeepCaretInView(); break;
        case 4: CopyToClipboard(); break;
        case 5: PasteFromClipboard(); KeepCaretInView(); break;
        case 7: SelectAll(); break;
        default: return;
    }
    if (OnSelMove) OnSelMove(*this);
}

void TDudiRiri::ShowContextMenu(std::int32_t X, std::int32_t Y) {
    const std::int32_t chosen = FHost->PopupMenu(ContextMenuItems(), X, Y);
    if (chosen >= 0) ContextMenuAction(chosen);
}

}  // namespace tarvex
