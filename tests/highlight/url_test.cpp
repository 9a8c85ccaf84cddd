#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "highlight/factory.h"
#include "platform/fixed_canvas.h"
#include "highlight/url_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

class Url : public ::testing::Test {
protected:
    TDudiRiriBase M;
    TURLHighlighter H;
    void TearDown() override { M.SetHighlighter(nullptr); }
};

TEST_F(Url, TrailingPunctuationIsNotPartOfTheAddress) {
    Highlight(M, &H, "See WWW.example.com, then");
    EXPECT_EQ(Ctx(M, 0), "0000uuuuuuuuuuuuuuu000000");
    const TDynInfo& a = M.Pars.DynAttr(M.Pars.At(0), 0);
    EXPECT_EQ(a.Context, 1025) << "BaseContext + the prefix number";
    EXPECT_EQ(a.Cursor, crHandPoint);
    EXPECT_EQ(a.Color, 0xFF0000);
    EXPECT_EQ(a.Flags & 0x3F, hsUnderline);
}

TEST_F(Url, MailAddressesFromTheirFirstLetter) {
    Highlight(M, &H, "write to john.doe@mail.ru.");
    EXPECT_EQ(Ctx(M, 0), "000000000uuuuuuuuuuuuuuuu0");
    EXPECT_EQ(H.AddressAt(M, 12), "mailto:john.doe@mail.ru");
}

TEST_F(Url, APrefixMustStartAWord) {
    Highlight(M, &H, "xHTTP://a.b (http://a.b) ftp.x.org");
    EXPECT_EQ(Ctx(M, 0), "00000000000" "0" "0uuuuuuuuuu0" "0" "uuuuuuuuu");
    EXPECT_EQ(H.AddressAt(M, 14), "http://a.b");
    EXPECT_EQ(H.AddressAt(M, 26), "ftp://ftp.x.org");
    EXPECT_EQ(H.AddressAt(M, 0), "");
}

TEST_F(Url, ScopeAndTheQuery) {
    M.StartStopKeys.AddKey("{", "}", false, -1, 1, 0, 3, 2, 0);
    Highlight(M, &H, "{ www.a.b }");
    EXPECT_EQ(Ctx(M, 0), "33333333333");
    H.OnURL = [](TURLHighlighter&, std::int16_t Context, TURLType Type) { return Context == 3 && Type == utWeb; };
    Highlight(M, &H, "{ www.a.b }");
    EXPECT_EQ(Ctx(M, 0), "33uuuuuuu33");
}

TEST_F(Url, TypingBehindAnAddressAfterAFullStopExtendsIt) {
    Highlight(M, &H, "www.a.b");
    TRiriNavigator a(&M), b(&M);
    a.SetPos(7);
    b.SetPos(7);
    TReplaceResult r = M.ReplaceText(".", a, b);
    HighlightAfterEdit(M, r);
    EXPECT_EQ(Ctx(M, 0), "uuuuuuu0");
    a.SetPos(8);
    b.SetPos(8);
    r = M.ReplaceText("c", a, b);
    HighlightAfterEdit(M, r);
    EXPECT_EQ(Ctx(M, 0), "uuuuuuuuu");
}

// A click on an address opens it through the host's launcher, as the
// editor's mouse handling reports it; with DblClickLaunch only a double click does.
TEST(UrlLaunch, AClickOpensTheAddressUnderTheMouse) {
    TDudiRiri ed;
    TFixedCanvas canvas(10);
    ed.SetCanvas(&canvas);
    ed.SetClientSize(400, 100);
    ed.SetFixedLineHeight(10);
    THighlighterSet set;
    std::vector<std::string> opened;
    set.SetLauncher([&](const std::string& A) { opened.push_back(A); });
    ed.SetHighlighter(set.For(hkUrl));
    ed.SetText("a bob@x.ru b");
    ed.FormatPending();
    const std::int32_t y = 5, onText = ed.LeftMargin() + 10 * 0 + 5, onAddress = ed.LeftMargin() + 10 * 4 + 5;
    ed.MouseDown(TDudiRiri::mbLeft, 0, onText, y);
    ed.MouseUp(TDudiRiri::mbLeft, 0, onText, y);
    EXPECT_TRUE(opened.empty()) << "plain text opens nothing";
    ed.MouseDown(TDudiRiri::mbLeft, 0, onAddress, y);
    ed.MouseUp(TDudiRiri::mbLeft, 0, onAddress, y);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "mailto:bob@x.ru");
    set.Url().DblClickLaunch = true;
    ed.MouseDown(TDudiRiri::mbLeft, 0, onAddress, y);
    ed.MouseUp(TDudiRiri::mbLeft, 0, onAddress, y);
    EXPECT_EQ(opened.size(), 1u) << "a single click waits for the double click";
    ed.MouseDown(TDudiRiri::mbLeft, 0, onAddress, y);
    ed.DblClick();
    ed.MouseUp(TDudiRiri::mbLeft, 0, onAddress, y);
    EXPECT_EQ(opened.size(), 2u);
    set.Url().LaunchURLs = false;
    ed.MouseDown(TDudiRiri::mbLeft, 0, onAddress, y);
    ed.DblClick();
    EXPECT_EQ(opened.size(), 2u);
    ed.SetHighlighter(nullptr);
    ed.SetCanvas(nullptr);
}

TEST(UrlLinkColors, PureBlueGivesNavyAndFuchsia) {
    THighlighterSet set;
    set.SetLinkColor(0xFF0000);
    EXPECT_EQ(set.Url().EmailURL.Foreground(), 0x800000);
    EXPECT_EQ(set.Url().FileURL.Foreground(), 0xFF00FF);
    set.SetLinkColor(0x00AA00);
    EXPECT_EQ(set.Url().EmailURL.Foreground(), 0x00AA00);
    EXPECT_EQ(set.Url().FileURL.Foreground(), 0x00AA00);
    EXPECT_EQ(set.LinkColor(), 0x00AA00);
}

}  // namespace
}  // namespace tarvex
