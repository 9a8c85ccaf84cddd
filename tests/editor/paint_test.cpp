// Painting without a window: after edits, moves and scrolls, what the
// repainted areas leave on a recorded screen must equal a fresh paint of the
// whole window. A line the editor forgets to invalidate shows up as a
// difference (characters 10 pixels wide, lines 17 pixels high).

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "tests/editor/screen_host.h"

namespace tarvex {
namespace {

using K = TDudiRiri;
constexpr std::uint32_t kShift = K::ssShift, kCtrl = K::ssCtrl;
constexpr std::int32_t kW = 300, kH = 170;  // 10 lines

class Painting : public ::testing::TestWithParam<bool> {
protected:
    TFixedCanvas Canvas{10};
    TDudiRiri M;
    test::TScreenHost Host{M, Canvas, kW, kH};

    void SetUp() override {
        M.SetUpdateMode(umImmediate);
        M.ScrollTime = 0;
        M.SetCanvas(&Canvas);
        M.SetClientSize(kW, kH);
        M.SetHost(&Host);
        M.SetWordWrap(GetParam());
    }
    void TearDown() override {
        M.SetHost(nullptr);
        M.SetCanvas(nullptr);
    }
    void Load(std::string_view T) {
        M.SetTextBuf(T);
        M.ClearUndo();
        M.FormatPending();
        Host.Flush();
    }
    void Key(std::uint16_t Vk, std::uint32_t Mods = 0) { M.KeyDown(Vk, Mods); }
    void Type(std::string_view S) {
        for (char c : S) {
            const auto u = static_cast<unsigned char>(c);
            M.KeyDown(static_cast<std::uint16_t>(u >= 'a' && u <= 'z' ? u - 32 : u), 0);
            M.KeyPress(u);
        }
    }
    // The screen after the pending repaints equals a fresh paint; on a
    // difference, names the first pixel row that differs and both texts there.
    ::testing::AssertionResult ScreenIsFresh() {
        Host.Flush();
        test::TPixelScreen fresh(Canvas, kW, kH);
        M.Paint(fresh, TRect{0, 0, kW, kH});
        for (std::int32_t y = 0; y < kH; ++y)
            for (std::int32_t x = 0; x < kW; ++x)
                if (Host.Screen.At(x, y) != fresh.At(x, y))
                    return ::testing::AssertionFailure() << "pixel row " << y << " (display line " << (y / M.LineHeight())
                                                         << "), column " << x << ": shown \"" << Host.Screen.Row(y)
                                                         << "\", expected \"" << fresh.Row(y) << "\"";
        return ::testing::AssertionSuccess();
    }
};

std::string Lines(int N, std::string_view Prefix = "line ") {
    std::string t;
    for (int i = 0; i < N; ++i) t += std::string(Prefix) + std::to_string(i) + (i + 1 < N ? "\r\n" : "");
    return t;
}

TEST_P(Painting, EnterAndBackspaceMoveTheLinesBelow) {
    Load("\xCF\xE5\xF0\xE2\xE0\xFF \xF1\xF2\xF0\xEE\xEA\xE0\r\n" + Lines(20));
    Key(K::VK_HOME, kCtrl);
    Key(K::VK_END);
    for (int i = 0; i < 3; ++i) {
        Key(K::VK_RETURN);
        ASSERT_TRUE(ScreenIsFresh()) << "after Enter " << i + 1;
    }
    for (int i = 0; i < 3; ++i) {
        Key(K::VK_BACK);
        ASSERT_TRUE(ScreenIsFresh()) << "after Backspace " << i + 1;
    }
    Key(K::VK_DOWN);
    Key(K::VK_HOME);
    Key(K::VK_DELETE);
    EXPECT_TRUE(ScreenIsFresh()) << "Delete joins the line above";
}

TEST_P(Painting, PasteUndoAndRedoOfSeveralLines) {
    Load(Lines(30));
    for (int i = 0; i < 9; ++i) Key(K::VK_DOWN);  // the last visible line
    Key(K::VK_END);
    M.SetSelTextBuf("\r\nx1\r\nx2\r\nx3");
    EXPECT_TRUE(ScreenIsFresh()) << "the view follows the caret below the window";
    M.Undo();
    EXPECT_TRUE(ScreenIsFresh()) << "after Undo";
    M.Redo();
    EXPECT_TRUE(ScreenIsFresh()) << "after Redo";
    M.SetSelStart(0);
    M.SetSelLength(static_cast<TPos>(M.CharCount()));
    M.SetSelTextBuf("");
    EXPECT_TRUE(ScreenIsFresh()) << "after deleting everything";
    M.Undo();
    EXPECT_TRUE(ScreenIsFresh()) << "after undoing that";
}

TEST_P(Painting, SelectionGrowsAndShrinks) {
    Load(Lines(15));
    Key(K::VK_RIGHT);
    for (int i = 0; i < 4; ++i) {
        Key(K::VK_DOWN, kShift);
        ASSERT_TRUE(ScreenIsFresh()) << "Shift+Down " << i + 1;
    }
    Key(K::VK_UP, kShift);
    EXPECT_TRUE(ScreenIsFresh()) << "the line left out of the selection is redrawn";
    Key(K::VK_LEFT);
    EXPECT_TRUE(ScreenIsFresh()) << "a caret move drops the selection";
}

TEST_P(Painting, ScrollsDownAndBackAndSideways) {
    Load(Lines(40) + "\r\n" + std::string(80, 'w') + " end");
    for (int i = 0; i < 12; ++i) Key(K::VK_DOWN);
    EXPECT_TRUE(ScreenIsFresh()) << "line by line past the bottom";
    Key(K::VK_NEXT);
    EXPECT_TRUE(ScreenIsFresh()) << "Page Down";
    Key(K::VK_END, kCtrl);
    EXPECT_TRUE(ScreenIsFresh()) << "Ctrl+End";
    Key(K::VK_HOME);
    EXPECT_TRUE(ScreenIsFresh()) << "Home on the long line";
    for (int i = 0; i < 12; ++i) Key(K::VK_UP);
    EXPECT_TRUE(ScreenIsFresh()) << "line by line past the top";
    Key(K::VK_HOME, kCtrl);
    EXPECT_TRUE(ScreenIsFresh()) << "Ctrl+Home";
}

TEST_P(Painting, TypingIntoAParagraphThatWraps) {
    Load("short\r\n" + std::string(25, 'a') + "\r\nbelow\r\nlast");
    Key(K::VK_DOWN);
    Key(K::VK_END);
    Type(" more words to make it wrap");
    EXPECT_TRUE(ScreenIsFresh());
    for (int i = 0; i < 20; ++i) Key(K::VK_BACK);
    EXPECT_TRUE(ScreenIsFresh()) << "back to fewer display lines";
}

INSTANTIATE_TEST_SUITE_P(Wrap, Painting, ::testing::Bool(),
                         [](const auto& I) { return I.param ? std::string("WordWrap") : std::string("NoWrap"); });

}  // namespace
}  // namespace tarvex
