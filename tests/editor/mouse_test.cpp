// The mouse without a window: clicks, line selection, virtual spaces and the
// autoscroll while selecting, on the fixed-metrics canvas (10-pixel characters).

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "tests/editor/test_host.h"

namespace tarvex {
namespace {

using K = TDudiRiri;

class Mouse : public ::testing::Test {
protected:
    test::TTestHost Host;
    TFixedCanvas Canvas{10};
    TDudiRiri M;

    void SetUp() override {
        M.SetUpdateMode(umImmediate);
        M.SetCanvas(&Canvas);
        M.SetClientSize(300, 170);
        M.SetWordWrap(false);
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
    void Click(std::int32_t X, std::int32_t Y, std::uint32_t Mods = 0) {
        M.MouseMove(Mods, X, Y);
        M.MouseDown(K::mbLeft, Mods | K::ssLeft, X, Y);
        M.MouseUp(K::mbLeft, Mods, X, Y);
    }
    std::int32_t LineY(std::int32_t Line) { return Line * M.LineHeight() + M.LineHeight() / 2; }
};

TEST_F(Mouse, ClickPlacesTheCaretAndShiftClickExtends) {
    Load("hello world\r\nsecond");
    Click(8 + 32, LineY(0));
    EXPECT_EQ(M.SelStart(), 3) << "the nearest boundary";
    Click(8 + 20, LineY(1), K::ssShift);
    EXPECT_EQ(M.SelText(), "lo world\r\nse");
    Click(8 + 500, LineY(5));
    EXPECT_EQ(M.SelStart(), M.CharCount()) << "below the last line: the end of the text";
    EXPECT_EQ(M.VirtualSpaces, 0) << "no virtual spaces without droKeepColumnPos";
}

TEST_F(Mouse, AClickBeyondTheLineEndKeepsItsColumn) {
    // Failed an earlier version that computed the virtual spaces and then
    // reset them by placing the caret.
    Load("hello world\r\nx");
    M.SetOptions(M.Options() | droKeepColumnPos);
    Click(8 + 110 + 40, LineY(0));
    EXPECT_EQ(M.SelStart(), 11);
    EXPECT_EQ(M.VirtualSpaces, 4);
    EXPECT_EQ(M.SelCol(), 15);
    M.SetOptions(M.Options() | droPutExtraSpaces);
    M.KeyDown('Z', 0);
    M.KeyPress('Z');
    EXPECT_EQ(M.Text(), "hello world    Z\r\nx") << "typing there puts the spaces in first";
}

TEST_F(Mouse, AltClickStartsABlockAtTheVirtualColumn) {
    Load("ab\r\nabcdef\r\nabcdef");
    M.SetOptions(M.Options() | droBlockSelection);
    Click(8 + 40, LineY(0), K::ssAlt);
    ASSERT_TRUE(M.BlockSelected);
    EXPECT_EQ(M.VirtualSpaces, 2);
    EXPECT_EQ(M.BlockCol1, 4);
    M.KeyDown(K::VK_DOWN, K::ssShift | K::ssAlt);
    M.KeyDown(K::VK_RIGHT, K::ssShift | K::ssAlt);
    EXPECT_EQ(M.SelText(), "\r\ne\r\n");
}

TEST_F(Mouse, TheLeftMarginSelectsWholeLines) {
    Load("one\r\ntwo\r\nthree");
    Click(2, LineY(1));
    EXPECT_EQ(M.SelText(), "two\r\n") << "the line with its break";
    M.SetOptions(M.Options() | droNoLineSelection);
    Click(2, LineY(1));
    EXPECT_EQ(M.SelLength(), 0);
}

TEST_F(Mouse, DoubleClickSelectsAWordAndDraggingExtendsByWords) {
    Load("alpha beta gamma");
    M.MouseDown(K::mbLeft, K::ssLeft, 8 + 72, LineY(0));
    M.DblClick();
    EXPECT_EQ(M.SelText(), "beta");
    M.MouseMove(K::ssLeft, 8 + 130, LineY(0));
    EXPECT_EQ(M.SelText(), "beta gamma");
    M.MouseUp(K::mbLeft, 0, 8 + 130, LineY(0));
}

TEST_F(Mouse, AutoscrollSpeedFollowsTheDistanceBeyondTheEdge) {
    std::string t;
    for (int i = 0; i < 100; ++i) t += "line\r\n";
    Load(t);
    M.MouseMove(0, 20, LineY(1));
    M.MouseDown(K::mbLeft, K::ssLeft, 20, LineY(1));
    const std::int32_t h = M.ClientHeight();
    M.MouseMove(K::ssLeft, 20, h + 10);
    EXPECT_EQ(M.AutoScrollDelay(), 200) << "level 3";
    M.MouseMove(K::ssLeft, 20, h + 21);
    EXPECT_EQ(M.AutoScrollDelay(), 30) << "level 7";
    M.MouseMove(K::ssLeft, 20, h + 30);
    EXPECT_EQ(M.AutoScrollDelay(), 0) << "level 10: no wait";
    M.MouseMove(K::ssLeft, 20, h + 1);
    EXPECT_EQ(M.AutoScrollDelay(), 400) << "right at the edge: the slowest";
    M.MouseMove(K::ssLeft, 20, h / 2);
    EXPECT_EQ(M.AutoScrollDelay(), -1) << "inside the window: none";
    M.MouseUp(K::mbLeft, 0, 20, h / 2);
}

TEST_F(Mouse, AnAutoscrollStepScrollsOneLineAtOnce) {
    // Failed an earlier version that animated each step over ScrollTime
    // (300 ms), so that it scrolled about one line a second.
    std::string t;
    for (int i = 0; i < 100; ++i) t += "line\r\n";
    Load(t);
    M.ScrollTime = 300;
    M.MouseMove(0, 20, LineY(1));
    M.MouseDown(K::mbLeft, K::ssLeft, 20, LineY(1));
    M.MouseMove(K::ssLeft, 20, M.ClientHeight() + 10);
    const std::int64_t before = M.VertOffset;
    Host.ImmediateUpdates = 0;
    M.AutoScrollStep();
    EXPECT_EQ(M.VertOffset, before + M.LineHeight()) << "one line";
    EXPECT_EQ(Host.ImmediateUpdates, 0) << "no animation";
    EXPECT_LT(M.SelLength(), 0) << "the selection follows, behind the caret";
    M.MouseUp(K::mbLeft, 0, 20, M.ClientHeight() + 10);
}

}  // namespace
}  // namespace tarvex
