// Key handling without a window: the control driven through KeyDown and
// KeyPress as the window delivers them, on the fixed-metrics canvas (every
// character 10 pixels wide, lines 17 pixels high).

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "tests/editor/test_host.h"

namespace tarvex {
namespace {

using K = TDudiRiri;
constexpr std::uint32_t kShift = K::ssShift, kCtrl = K::ssCtrl, kAlt = K::ssAlt;

class Keys : public ::testing::Test {
protected:
    test::TTestHost Host;
    TFixedCanvas Canvas{10};
    TDudiRiri M;

    void SetUp() override {
        M.SetUpdateMode(umImmediate);
        M.ScrollTime = 0;
        M.SetCanvas(&Canvas);
        M.SetClientSize(300, 170);  // 10 visible lines
        M.SetHost(&Host);
    }
    void TearDown() override {
        M.SetHost(nullptr);
        M.SetCanvas(nullptr);
    }
    void Load(std::string_view T) {
        M.SetTextBuf(T);
        M.ClearUndo();
        M.FormatPending();
    }
    bool Key(std::uint16_t Vk, std::uint32_t Mods = 0) { return M.KeyDown(Vk, Mods); }
    // Typed text, as the window delivers it: each key, then its character.
    void Type(std::string_view S) {
        for (char c : S) {
            const auto u = static_cast<unsigned char>(c);
            M.KeyDown(static_cast<std::uint16_t>(u >= 'a' && u <= 'z' ? u - 32 : u), 0);
            M.KeyPress(u);
        }
    }
    // A control character, as Ctrl with its letter delivers it.
    void CtrlChar(char Letter) {
        M.KeyDown(static_cast<std::uint16_t>(Letter), kCtrl);
        M.KeyPress(static_cast<unsigned char>(Letter - 64));
    }
};

TEST_F(Keys, CharacterAndWordMoves) {
    Load("one two\r\nthree");
    M.SetSelStart(0);
    Key(K::VK_RIGHT);
    EXPECT_EQ(M.SelStart(), 1);
    Key(K::VK_RIGHT, kCtrl);
    EXPECT_EQ(M.SelStart(), 4) << "Ctrl+Right to the next word start";
    Key(K::VK_END);
    EXPECT_EQ(M.SelStart(), 7);
    Key(K::VK_RIGHT);
    EXPECT_EQ(M.SelStart(), 9) << "at a paragraph end Right wraps to the next paragraph";
    Key(K::VK_LEFT);
    EXPECT_EQ(M.SelStart(), 7) << "and Left wraps back";
    Key(K::VK_LEFT, kCtrl);
    EXPECT_EQ(M.SelStart(), 4);
    Key(K::VK_HOME);
    EXPECT_EQ(M.SelStart(), 0);
    Key(K::VK_END, kCtrl);
    EXPECT_EQ(M.SelStart(), M.CharCount());
    Key(K::VK_HOME, kCtrl);
    EXPECT_EQ(M.SelStart(), 0);
    Key(K::VK_LEFT);
    EXPECT_EQ(M.SelStart(), 0) << "nothing before the text";
}

TEST_F(Keys, ShiftExtendsAndAPlainMoveDropsTheSelection) {
    Load("one two\r\nthree");
    M.SetSelStart(4);
    Key(K::VK_RIGHT, kShift);
    Key(K::VK_RIGHT, kShift);
    EXPECT_EQ(M.SelText(), "tw");
    EXPECT_EQ(M.SelStart(), 6);
    EXPECT_EQ(M.SelLength(), -2) << "the selection lies before the caret";
    Key(K::VK_HOME, kShift);
    EXPECT_EQ(M.SelText(), "one ") << "the anchor stays where the selection began";
    EXPECT_EQ(M.SelStart(), 0);
    Key(K::VK_END, kCtrl | kShift);
    EXPECT_EQ(M.SelText(), "two\r\nthree");
    Key(K::VK_LEFT);
    EXPECT_EQ(M.SelLength(), 0);
    EXPECT_EQ(M.SelStart(), M.CharCount() - 1) << "the move starts from the caret";
}

TEST_F(Keys, VirtualSpacesWithKeepColumnPos) {
    Load("ab\r\ncd");
    M.SetOptions(M.Options() | droKeepColumnPos);
    M.SetSelStart(2);
    Key(K::VK_RIGHT);
    Key(K::VK_RIGHT);
    EXPECT_EQ(M.SelStart(), 2);
    EXPECT_EQ(M.VirtualSpaces, 2);
    Key(K::VK_LEFT);
    EXPECT_EQ(M.VirtualSpaces, 1) << "Left inside virtual spaces steps back one";
    Key(K::VK_DOWN);
    EXPECT_EQ(M.SelStart(), 6);
    EXPECT_EQ(M.VirtualSpaces, 1) << "the column is kept past the end of the line below";
    M.SetOptions(M.Options() & ~droWrapCaret & ~droKeepColumnPos);
    M.SetSelStart(2);
    Key(K::VK_RIGHT);
    EXPECT_EQ(M.VirtualSpaces, 1) << "without caret wrapping Right adds virtual spaces too";
}

TEST_F(Keys, UpAndDownKeepTheRememberedColumn) {
    M.SetWordWrap(false);
    Load("abcdefgh\r\nab\r\nabcdefgh");
    M.SetSelStart(6);
    Key(K::VK_DOWN);
    EXPECT_EQ(M.SelStart(), 12) << "the end of the short line";
    Key(K::VK_DOWN);
    EXPECT_EQ(M.SelStart(), 20) << "back at column 6";
    Key(K::VK_UP, kShift);
    EXPECT_EQ(M.SelText(), "\r\nabcdef");
    Key(K::VK_UP);
    Key(K::VK_UP);
    EXPECT_EQ(M.SelStart(), 6);
    Key(K::VK_UP);
    EXPECT_EQ(M.SelStart(), 6) << "nothing above line 0";
}

TEST_F(Keys, PageKeysMoveTheCaretAndTheView) {
    std::string t;
    for (int i = 0; i < 100; ++i) t += "line\r\n";
    Load(t);
    M.SetSelStart(0);
    const std::int32_t page = M.VisibleLines() - 1;
    Key(K::VK_NEXT);
    EXPECT_EQ(M.CaretNav().VisibleLine(), page) << "visible lines - 1 down";
    EXPECT_EQ(M.VertOffset, page * M.LineHeight()) << "the view moved by the same amount";
    Key(K::VK_NEXT, kCtrl);
    EXPECT_EQ(M.CaretNav().VisibleLine(), 2 * page);
    EXPECT_LT(M.VertOffset, 2 * page * M.LineHeight()) << "with Ctrl the view only follows the caret";
    Key(K::VK_PRIOR);
    EXPECT_EQ(M.CaretNav().VisibleLine(), page);
    Key(K::VK_PRIOR, kShift);
    EXPECT_EQ(M.CaretNav().VisibleLine(), 0);
    EXPECT_EQ(M.SelLength(), page * 6);
    EXPECT_EQ(M.VertOffset, 0);
}

TEST_F(Keys, DeleteVariants) {
    Load("one two\r\nthree");
    M.SetSelStart(7);
    Key(K::VK_DELETE);
    EXPECT_EQ(M.Text(), "one twothree") << "Delete at a paragraph end joins";
    M.SetSelStart(4);
    Key(K::VK_DELETE, kCtrl);
    EXPECT_EQ(M.Text(), "one ") << "Ctrl+Delete to the end of the display line";
    M.SetSelStart(2);
    Key(K::VK_DELETE, kShift);
    EXPECT_EQ(M.Text(), "oe ") << "Shift+Delete without a selection deletes back";
    M.SetSelStart(0);
    M.SetSelLength(2);
    Key(K::VK_DELETE, kShift);
    EXPECT_EQ(M.Text(), " ");
    EXPECT_EQ(Host.Clip, u"oe") << "with a selection Shift+Delete cuts";
    M.ReadOnly = true;
    Key(K::VK_DELETE);
    Key(K::VK_BACK);
    EXPECT_EQ(M.Text(), " ");
}

TEST_F(Keys, BackspaceVariants) {
    Load("one two\r\n\t\tx\r\n\ty");
    M.SetSelStart(9);
    Key(K::VK_BACK);
    EXPECT_EQ(M.Text(), "one two\t\tx\r\n\ty") << "at a paragraph start the break goes";
    M.SetSelStart(7);
    Key(K::VK_BACK, kCtrl);
    EXPECT_EQ(M.Text(), "one \t\tx\r\n\ty") << "Ctrl+Backspace back to the word start";
    M.SetSelStart(3);
    Key(K::VK_BACK, kShift);
    EXPECT_EQ(M.Text(), "on \t\tx\r\n\ty");
    Load("\tx\r\n\t\ty");
    M.SetOptions(M.Options() | droBackIndent);
    M.SetSelStart(6);  // behind the two tabs
    Key(K::VK_BACK);
    EXPECT_EQ(M.Text(), "\tx\r\n\ty") << "back to the indentation of the line above";
}

TEST_F(Keys, HotKeys) {
    M.SetStaticFormat(true);
    Load("bold");
    M.SelectAll();
    Key('B', kCtrl);
    EXPECT_EQ(M.Text(), "\2bold\2");
    EXPECT_EQ(M.SelText(), "bold") << "the same text stays selected";
    Key('I', kCtrl);
    Key('U', kCtrl);
    Key('H', kCtrl);
    Key('F', kCtrl);
    EXPECT_EQ(M.Text(), "\2\1\x15\3\4bold\4\3\x15\1\2");
    Key('Z', kCtrl);
    EXPECT_EQ(M.Text(), "\2\1\x15\3bold\3\x15\1\2") << "Ctrl+Z undoes";
    Key('Z', kCtrl | kShift);
    EXPECT_EQ(M.Text(), "\2\1\x15\3\4bold\4\3\x15\1\2") << "Ctrl+Shift+Z redoes";
    Load("ab");
    M.SetSelStart(1);
    Key('T', kCtrl);
    EXPECT_EQ(M.Text(), "a\tb");
    M.EnableHotKeys = false;
    Key('T', kCtrl);
    EXPECT_EQ(M.Text(), "a\tb") << "hot keys off";
    M.EnableHotKeys = true;
    M.ReadOnly = true;
    Key('T', kCtrl);
    Key('Z', kCtrl);
    EXPECT_EQ(M.Text(), "a\tb") << "no hot keys when read-only";
    M.ReadOnly = false;
    Key('T', kCtrl | kAlt);
    EXPECT_EQ(M.Text(), "a\tb") << "not with Alt";
}

TEST_F(Keys, InsertKeyAndTheClipboardKeys) {
    Load("abc");
    Key(K::VK_INSERT);
    EXPECT_TRUE(M.Overwrite);
    M.SetSelStart(1);
    Type("X");
    EXPECT_EQ(M.Text(), "aXc") << "overwrite replaces the next character";
    Key(K::VK_INSERT);
    EXPECT_FALSE(M.Overwrite);
    M.SelectAll();
    Key(K::VK_INSERT, kCtrl);
    EXPECT_EQ(Host.Clip, u"aXc") << "Ctrl+Insert copies";
    M.SetSelStart(0);
    Key(K::VK_INSERT, kShift);
    EXPECT_EQ(M.Text(), "aXcaXc") << "Shift+Insert pastes";
    M.ReadOnly = true;
    Key(K::VK_INSERT, kShift);
    EXPECT_TRUE(M.Overwrite) << "read-only: Shift+Insert acts as Insert";
    EXPECT_EQ(M.Text(), "aXcaXc");
    M.ReadOnly = false;
    M.SetOptions(M.Options() & ~droInsertKeyActive);
    Key(K::VK_INSERT);
    EXPECT_TRUE(M.Overwrite) << "Insert does nothing without droInsertKeyActive";
}

TEST_F(Keys, ControlCharactersAreCommands) {
    Load("abc");
    M.SelectAll();
    CtrlChar('C');
    EXPECT_EQ(Host.Clip, u"abc");
    M.SetSelStart(3);
    CtrlChar('V');
    EXPECT_EQ(M.Text(), "abcabc");
    M.SetSelStart(0);
    M.SetSelLength(3);
    CtrlChar('X');
    EXPECT_EQ(M.Text(), "abc");
    M.SetSelStart(1);
    M.KeyDown(K::VK_TAB, 0);
    M.KeyPress(9);
    EXPECT_EQ(M.Text(), "a\tbc");
    M.KeyDown(K::VK_RETURN, 0);
    M.KeyPress(13);
    EXPECT_EQ(M.Text(), "a\t\r\nbc");
}

TEST_F(Keys, EnterWithAutoIndentAndOverwrite) {
    M.SetOptions(M.Options() | droAutoIndent);
    Load("\t  code");
    M.SetSelStart(M.CharCount());
    Type("\r");
    EXPECT_EQ(M.Text(), "\t  code\r\n\t  ") << "the indentation of the line above";
    M.SetOptions(M.Options() | droDiscardTrailingSpaces);
    Load("\tcode");
    M.SetSelStart(M.CharCount());
    Type("\r");
    EXPECT_EQ(M.Text(), "\tcode\r\n") << "trailing blanks become virtual spaces";
    EXPECT_EQ(M.VirtualSpaces, 8);
    M.SetOptions(M.Options() & ~droDiscardTrailingSpaces & ~droAutoIndent);
    Load("ab\r\ncd");
    M.Overwrite = true;
    M.SetSelStart(1);
    Type("\r");
    EXPECT_EQ(M.Text(), "ab\r\ncd") << "in overwrite mode Enter moves to the next line";
    EXPECT_EQ(M.SelStart(), 4);
    Type("\r");
    EXPECT_EQ(M.Text(), "ab\r\ncd\r\n") << "on the last line it appends a break";
}

TEST_F(Keys, SmartTabs) {
    M.SetWordWrap(false);
    M.SetOptions(M.Options() | droSmartTabs);
    Load("name    value\r\n");
    M.SetSelStart(M.CharCount());
    Type("ab\t");
    EXPECT_EQ(M.Text(), "name    value\r\nab      ") << "blanks up to the next word above";
}

TEST_F(Keys, AltAloneMovesNothing) {
    Load("one two");
    M.SetSelStart(1);
    EXPECT_TRUE(Key(K::VK_RIGHT, kAlt)) << "consumed";
    EXPECT_TRUE(Key(K::VK_END, kAlt));
    EXPECT_EQ(M.SelStart(), 1);
}

TEST_F(Keys, ShiftAltArrowsStartAColumnBlock) {
    M.SetWordWrap(false);
    M.SetOptions(M.Options() | droBlockSelection);
    Load("abcd\r\nefgh");
    M.SetSelStart(1);
    Key(K::VK_DOWN, kShift | kAlt);
    Key(K::VK_RIGHT, kShift | kAlt);
    ASSERT_TRUE(M.BlockSelected);
    EXPECT_EQ(M.BlockCol1, 1);
    EXPECT_EQ(M.BlockCol2, 2);
    EXPECT_EQ(M.SelText(), "b\r\nf\r\n");
    Key(K::VK_RIGHT);
    EXPECT_FALSE(M.BlockSelected) << "a plain move ends the block";
}

TEST_F(Keys, DisplayOnlyMovesOnlyTheView) {
    std::string t;
    for (int i = 0; i < 50; ++i) t += "row\r\n";
    Load(t);
    M.DisplayOnly = true;
    M.SetSelStart(0);
    Key(K::VK_DOWN);
    EXPECT_EQ(M.TopLine(), 1);
    const std::int32_t vis = M.VisibleLines();
    Key(K::VK_NEXT);
    EXPECT_EQ(M.TopLine(), vis);
    Key(K::VK_NEXT, kCtrl);
    EXPECT_EQ(M.TopLine(), 51 - vis + 1) << "the last page";
    Key(K::VK_PRIOR, kCtrl);
    EXPECT_EQ(M.TopLine(), 0);
    EXPECT_EQ(M.SelStart(), 0) << "the caret never moves";
    Type("x");
    Key(K::VK_DELETE);
    EXPECT_EQ(M.Text(), t);
}

TEST_F(Keys, KeysAreDroppedInsideAnUpdateBatch) {
    Load("abc");
    M.SetSelStart(0);
    M.BeginUpdate();
    Key(K::VK_RIGHT);
    Type("x");
    M.EndUpdate();
    EXPECT_EQ(M.SelStart(), 0);
    EXPECT_EQ(M.Text(), "abc");
}

TEST_F(Keys, TheViewFollowsTheCaret) {
    std::string t;
    for (int i = 0; i < 100; ++i) t += "line\r\n";
    Load(t);
    M.SetSelStart(0);
    for (int i = 0; i < 20; ++i) Key(K::VK_DOWN);
    const std::int64_t y = M.CaretRect().Top;
    EXPECT_GE(y, 0);
    EXPECT_LE(y + M.LineHeight(), M.ClientHeight()) << "the caret line is fully visible";
    Key(K::VK_HOME, kCtrl);
    EXPECT_EQ(M.VertOffset, 0);
}

TEST_F(Keys, TheKeyMapCanBeChanged) {
    const auto& b = M.KeyMap().Bindings();
    for (std::size_t i = 0; i < b.size(); ++i)
        for (std::size_t j = i + 1; j < b.size(); ++j)
            EXPECT_FALSE(b[i].Key == b[j].Key && b[i].Mods == b[j].Mods) << "key " << b[i].Key << " bound twice";
    Load("ab");
    M.SetSelStart(1);
    M.KeyMap().Unbind('T', kmCtrl);
    Key('T', kCtrl);
    EXPECT_EQ(M.Text(), "ab") << "an unbound hot key does nothing";
    M.KeyMap().Bind(K::VK_HOME, 0, ecTextEnd);
    Key(K::VK_HOME);
    EXPECT_EQ(M.SelStart(), 2);
    M.KeyMap().Bind(K::VK_HOME, kmShift, ecTextStart | ecExtend);
    Key(K::VK_HOME, kShift);
    EXPECT_EQ(M.SelText(), "ab");
    EXPECT_FALSE(M.ExecuteCommand(ecNone));
    EXPECT_TRUE(M.ExecuteCommand(ecCharLeft));
    EXPECT_EQ(M.SelStart(), 0);
}

TEST_F(Keys, PersistentBlocksStayWhileTheCaretMoves) {
    // Failed an earlier version that dropped the selection on every caret move.
    Load("abcdef");
    M.SetOptions(M.Options() | droPersistentBlocks);
    M.SetSelStart(1);
    M.SetSelLength(2);
    Key(K::VK_RIGHT);
    Key(K::VK_RIGHT);
    Key(K::VK_RIGHT);
    EXPECT_EQ(M.SelText(), "bc") << "the selection stays";
    EXPECT_EQ(M.SelStart(), 4) << "only the caret moved";
    Key(K::VK_END);
    EXPECT_EQ(M.SelStart(), 6);
    EXPECT_EQ(M.SelText(), "bc");
    Key(K::VK_LEFT, kShift);
    EXPECT_EQ(M.SelText(), "f") << "away from the selection, Shift starts a new one at the caret";
    M.SetSelStart(1);
    M.SetSelLength(2);  // "bc", the caret at its start
    Key(K::VK_LEFT, kShift);
    EXPECT_EQ(M.SelText(), "abc") << "at one of its ends, Shift extends it";
}

TEST_F(Keys, TypingBesideAPersistentBlockKeepsItSelected) {
    Load("abcdef");
    M.SetOptions(M.Options() | droPersistentBlocks | droNoOverwriteBlocks);
    M.SetSelStart(1);
    M.SetSelLength(2);
    Key(K::VK_RIGHT);
    Key(K::VK_RIGHT);
    Key(K::VK_RIGHT);
    Type("Z");
    EXPECT_EQ(M.Text(), "abcdZef");
    EXPECT_EQ(M.SelText(), "bc") << "the same text stays selected";
    Type("Y");
    EXPECT_EQ(M.Text(), "abcdZYef") << "the caret went on behind the typed text";
    Key(K::VK_BACK);
    EXPECT_EQ(M.Text(), "abcdZef");
    EXPECT_EQ(M.SelText(), "bc");
    M.SetSelStart(3);
    M.SetSelLength(-2);  // "bc", the caret at its end
    Type("X");
    EXPECT_EQ(M.Text(), "abcXdZef") << "typing at the selection's end inserts there";
    EXPECT_EQ(M.SelText(), "bc");
}

TEST_F(Keys, TheCharacterAfterAnAltKeyIsNotTyped) {
    Load("");
    for (char c : {'q', 'z', '1'}) {
        EXPECT_FALSE(Key(static_cast<std::uint16_t>(c >= 'a' ? c - 32 : c), kAlt)) << "left to the window";
        M.KeyPress(static_cast<unsigned char>(c));
    }
    Key('Q', kAlt | kShift);
    M.KeyPress('Q');
    EXPECT_EQ(M.Text(), "");
    Key('Q', kAlt | kCtrl);  // AltGr: its character is typed
    M.KeyPress('@');
    EXPECT_EQ(M.Text(), "@");
    Key('P', kCtrl);
    EXPECT_EQ(M.Text(), "@") << "Ctrl+P has no command in the control";
    EXPECT_TRUE(M.ExecuteCommand(ecInsertPageBreak));
    EXPECT_EQ(M.Text(), "@\r\n\x10\r\n") << "the page break stays a command an owner may bind";
}

TEST_F(Keys, TheHorizontalRangeReachesTheWidestLine) {
    // Failed an earlier version that took the scroll unit from whatever font
    // measuring had left in the canvas, here the 20-pixel alternative font.
    TFontSpec alt;
    alt.Name = "Alt";
    M.SetAltFont(alt);
    Canvas.SetFontWidth("Alt", 20);
    M.SetWordWrap(false);
    M.SetStaticFormat(true);
    Load(std::string(200, 'a') + "\4bb");
    Key(K::VK_END);
    const std::int32_t widest = 200 * 10 + 2 * 20;
    EXPECT_EQ(M.WidestLine, widest);
    EXPECT_EQ(Host.Horizontal.Page, (300 - 16) / 10);
    EXPECT_EQ(Host.Horizontal.Max, Host.Horizontal.Page + (widest + 16 - 300) / 10 - 1);
    EXPECT_EQ(Host.Horizontal.Pos, M.HorzOffset / 10);
    EXPECT_GE(M.HorzOffset + M.ClientWidth(), widest + M.LeftMargin()) << "the end of the line is in view";
}

}  // namespace
}  // namespace tarvex
