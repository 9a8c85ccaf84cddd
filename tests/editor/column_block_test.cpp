// Column blocks: typing, pasting and deleting over them, and undoing that.

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"

namespace tarvex {
namespace {

class ColumnBlock : public ::testing::Test {
protected:
    TFixedCanvas Canvas{10};
    TDudiRiri M;
    void SetUp() override {
        M.SetCanvas(&Canvas);
        M.SetClientSize(400, 200);
        M.SetWordWrap(false);
        M.SetOptions(M.Options() | droBlockSelection);
    }
    void TearDown() override { M.SetCanvas(nullptr); }
    void Load(std::string_view T) {
        M.SetTextBuf(T);
        M.ClearUndo();
    }
    // Shift+Alt+arrow, as the keyboard makes a block.
    void BlockKey(std::uint16_t Key) { M.KeyDown(Key, TDudiRiri::ssShift | TDudiRiri::ssAlt); }
    // A typed character, as the window delivers it: the key, then the character.
    void Type(char C) {
        M.KeyDown(static_cast<std::uint16_t>(C >= 'a' && C <= 'z' ? C - 32 : C), 0);
        M.KeyPress(static_cast<unsigned char>(C));
    }
    void UndoAll() {
        while (M.CanUndo()) M.Undo();
    }
};

TEST_F(ColumnBlock, TypingReplacesTheBlockAndInsertsAtTheCaret) {
    // Failed an earlier version that inserted at the caret position from
    // before the rows were removed: Z landed in row 3, outside the block.
    Load("abcd\r\nefgh\r\nijkl");
    M.SetSelStart(1);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    BlockKey(TDudiRiri::VK_RIGHT);
    ASSERT_TRUE(M.BlockSelected);
    ASSERT_EQ(M.SelText(), "bc\r\nfg\r\n");
    Type('Z');
    EXPECT_EQ(M.Text(), "ad\r\neZh\r\nijkl");
    EXPECT_EQ(M.SelStart(), 6) << "the caret stands behind the typed text";
    EXPECT_NO_THROW(M.CheckConsistency());
    UndoAll();
    EXPECT_EQ(M.Text(), "abcd\r\nefgh\r\nijkl") << "undo restores the original bytes";
    while (M.CanRedo()) M.Redo();
    EXPECT_EQ(M.Text(), "ad\r\neZh\r\nijkl");
}

TEST_F(ColumnBlock, LongerRowsNeverPutTheCaretBetweenCrAndLf) {
    // Failed an earlier version: the stale caret fell between CR and LF and
    // the undo record became {11, 11, ""}.
    Load("abcdef\r\nabcdef\r\nabcdef");
    M.SetSelStart(1);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    BlockKey(TDudiRiri::VK_RIGHT);
    Type('Z');
    EXPECT_EQ(M.Text(), "adef\r\nadef\r\naZdef");
    UndoAll();
    EXPECT_EQ(M.Text(), "abcdef\r\nabcdef\r\nabcdef");
}

TEST_F(ColumnBlock, ShortRowsGiveWhatTheyHave) {
    Load("abcd\r\nef\r\nijkl");
    M.SetSelStart(M.Pars.StartPos(2) + 3);
    M.SetSelLength(-(M.SelStart() - 1));
    M.BlockSelected = true;
    M.BlockCol1 = 1;
    M.BlockCol2 = 3;
    M.SetSelTextBuf("Z");
    EXPECT_EQ(M.Text(), "ad\r\ne\r\niZl");
    UndoAll();
    EXPECT_EQ(M.Text(), "abcd\r\nef\r\nijkl");
}

TEST_F(ColumnBlock, PastingPlainTextOverABlock) {
    Load("abcd\r\nefgh\r\nijkl");
    M.SetSelStart(1);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    M.Host().SetClipboardText(u"XY", false);
    M.PasteFromClipboard();
    EXPECT_EQ(M.Text(), "acd\r\neXYgh\r\nijkl");
    UndoAll();
    EXPECT_EQ(M.Text(), "abcd\r\nefgh\r\nijkl");
}

TEST_F(ColumnBlock, PastingABlockOverABlockReplacesIt) {
    Load("abcd\r\nefgh\r\nijkl");
    M.SetSelStart(1);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    M.CopyToClipboard();  // "b" and "f", as a block
    M.SetSelStart(M.Pars.StartPos(1) + 2);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    BlockKey(TDudiRiri::VK_RIGHT);  // "gh" and "kl"
    M.PasteFromClipboard();
    EXPECT_EQ(M.Text(), "abcd\r\nefb\r\nijf");
    UndoAll();
    EXPECT_EQ(M.Text(), "abcd\r\nefgh\r\nijkl");
}

TEST_F(ColumnBlock, DeletingABlockRecordsOneStepPerRow) {
    Load("abcd\r\nefgh\r\nijkl");
    M.SetSelStart(1);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_DOWN);
    BlockKey(TDudiRiri::VK_RIGHT);
    M.KeyDown(TDudiRiri::VK_DELETE, 0);
    EXPECT_EQ(M.Text(), "acd\r\negh\r\nikl");
    EXPECT_EQ(M.UndoList().Count(), 3);
    M.Undo();
    EXPECT_EQ(M.Text(), "abcd\r\negh\r\nikl") << "rows come back one at a time, the first row last removed";
    UndoAll();
    EXPECT_EQ(M.Text(), "abcd\r\nefgh\r\nijkl");
}

}  // namespace
}  // namespace tarvex
