#include <gtest/gtest.h>

#include "highlight/ext_highlighter.h"
#include "highlight/highlight_info.h"
#include "highlight/number_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

TEST(HighlightInfo, NotifiesOncePerRealChange) {
    THighlightInfo h(hsBold | hsAltFont, 1, 2, crHandPoint);
    EXPECT_TRUE(h.AltFont());
    EXPECT_EQ(h.Style(), hsBold);
    EXPECT_EQ(h.StyleByte(), hsBold | hsAltFont);
    int calls = 0;
    h.OnChange = [&](THighlightInfo&) { ++calls; };
    h.SetStyle(hsBold);
    h.SetForeground(2);
    EXPECT_EQ(calls, 0) << "unchanged values say nothing";
    h.SetForeground(3);
    h.SetBackground(4);
    h.Cursor = 0;
    EXPECT_EQ(calls, 2) << "the cursor is a plain field";
    THighlightInfo other(hsItalic, 7, 8, -2);
    h.Assign(other);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(h.StyleByte(), hsItalic);
    EXPECT_EQ(h.Background(), 7);
    EXPECT_EQ(h.Cursor, 0) << "Assign leaves the cursor";
}

TEST(ExtLists, TextFormsWithContextsAndRanges) {
    TExtKeywordList k;
    TStringList s;
    s.Add("begin=3,1,5,0,-1,255,6,100");
    s.Add("no equals sign");
    s.Add("end=2,1,5,0,-1,255");
    k.LoadFromStrings(s);
    ASSERT_EQ(k.Count(), 2);
    EXPECT_EQ(k.Item(0).BkColor, -1);
    EXPECT_EQ(k.Item(0).Color, 255) << "background comes before foreground";
    EXPECT_EQ(k.ValidContext(0), 6);
    EXPECT_EQ(k.Scope(0), 100);
    EXPECT_EQ(k.ValidContext(1), 0) << "absent: 0";
    TStringList out;
    k.SaveToStrings(out);
    EXPECT_EQ(out.Lines[0], "begin=3,1,5,0,-1,255,6,100,");

    TStringList bad;
    bad.Add("a=1,1,1,0,0,0");
    bad.Add("b=256,1,1,0,0,0");
    EXPECT_THROW(k.LoadFromStrings(bad), ERangeCheckError);
    EXPECT_EQ(k.Count(), 1) << "lines read before stay";
    bad.Lines[1] = "b=1,1,40000,0,0,0";
    EXPECT_THROW(k.LoadFromStrings(bad), ERangeCheckError);
    bad.Lines[1] = "b=1,x,1,0,0,0";
    EXPECT_THROW(k.LoadFromStrings(bad), EConvertError);

    TExtStartStopList l;
    TStringList ss;
    ss.Add("{|}=0,2,3,0,-1,255,0,6,7,4");
    ss.Add("//=0,2,3,0,-1,255,1");
    l.LoadFromStrings(ss);
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(std::string(l.Item(0).StopKey), "}");
    EXPECT_EQ(l.ValidContext(0), 6);
    EXPECT_EQ(l.Scope(0), 7);
    EXPECT_EQ(l.RegionFlags(0), rfNesting);
    EXPECT_EQ(l.RegionFlags(1), kfEndsAtLineEnd) << "endsatpar sets flag bit 0";
    EXPECT_EQ(std::string(l.Item(1).StopKey), "");
}

// A highlighter with a few keys, for the framework's rules.
struct TTestHighlighter : TCustomExtHighlighter {
    TTestHighlighter() {
        StartStopKeys().AddExtKey("{", "}", 0, hsItalic, 6, 0, clNone, 1, 0, 0, 0);  // region of context 6
        StartStopKeys().AddExtKey("//", "", 0, hsItalic, 3, 0, clNone, 2, kfEndsAtLineEnd, 0, 0);
    }
};

TEST(ExtHighlighter, WholeWordKeywordAtParagraphStart) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("ab", koWholeWord, hsBold, 1, 0, clNone, clNone, 0, 0);
    Highlight(m, &h, "ab\r\nab,x\r\nabc");
    EXPECT_EQ(Ctx(m, 0), "11") << "the paragraph ends right behind it";
    EXPECT_EQ(Ctx(m, 1), "1100") << "a separator follows";
    EXPECT_EQ(Ctx(m, 2), "000");
}

TEST(ExtHighlighter, OccurrencesDoNotOverlap) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("ab", 0, hsBold, 1, 0, clNone, clNone, 0, 0);
    h.Keywords().AddExtKeyword("aa", 0, hsBold, 2, 0, clNone, clNone, 0, 0);
    Highlight(m, &h, "abab aaa");
    EXPECT_EQ(Ctx(m, 0), "11110220");
    EXPECT_EQ(m.Pars.DynCount(m.Pars.At(0)), 5) << "ab, ab, plain, aa, plain";
}

// Key runs' states are remembered between paragraphs and passes: a restyled
// key, a restyled number highlighter, and a highlighter serving two texts in
// turn still give each text the states it asks for.
TEST(ExtHighlighter, RememberedRunStatesFollowStylesAndTexts) {
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("ab", koWholeWord, hsBold, 1, 0, clNone, 0x0000FF, 0, 0);
    TNumberHighlighter n;
    h.SetSubHighlighter(&n);
    auto points = [](const TDudiRiriBase& M) {
        std::string s;
        for (const std::string& x : test::Points(M)) s += x + ";";
        return s;
    };
    // The first text numbers its states in another order than the second.
    TDudiRiriBase first, second, fresh;
    Highlight(first, &h, "12 ab 345\r\nab");
    Highlight(second, &h, "ab 12");
    EXPECT_EQ(second.Pars.DynAttr(second.Pars.At(0), 0).Color, 0x0000FF);

    h.Keywords().Item(0).Color = 0x00FF00;  // restyled in place, as the group styles do
    n.SetForeground(0x123456);
    second.Pars.ForgetHighlighting(INT32_MAX);
    KeywordsOverRange(second, 0, second.Pars.Count() - 1);
    EXPECT_EQ(second.Pars.DynAttr(second.Pars.At(0), 0).Color, 0x00FF00);
    EXPECT_EQ(second.Pars.DynAttr(second.Pars.At(0), 2).Color, 0x123456);

    // Back to the first text, whose table still holds its old states.
    first.Pars.ForgetHighlighting(INT32_MAX);
    KeywordsOverRange(first, 0, first.Pars.Count() - 1);
    Highlight(fresh, &h, "12 ab 345\r\nab");
    EXPECT_EQ(points(first), points(fresh));
    EXPECT_NE(points(first).find("/1193046/"), std::string::npos) << points(first);
    for (TDudiRiriBase* m : {&first, &second, &fresh}) m->SetHighlighter(nullptr);
}

// In a long paragraph runs under which no keyword applies are passed over;
// a key that can overlap itself is still matched as in a short one: "}}"
// refused inside the region at 2 keeps the one at 3 from matching.
TEST(ExtHighlighter, LongParagraphsMatchAsShortOnes) {
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("}}", 0, hsBold, 1, 0, clNone, clNone, 0, 0);
    h.Keywords().AddExtKeyword("ab", 0, hsBold, 2, 0, clNone, clNone, 0, 0);
    TDudiRiriBase shortText, longText;
    Highlight(shortText, &h, "{x}}} ab");
    Highlight(longText, &h, "{x}}} ab" + std::string(400, ' ') + "{ ab ab }");
    EXPECT_EQ(Ctx(shortText, 0), "66600022");
    EXPECT_EQ(Ctx(longText, 0).substr(0, 8), Ctx(shortText, 0));
    EXPECT_EQ(Ctx(longText, 0).substr(408), "666666666") << "no keyword inside the region";
    shortText.SetHighlighter(nullptr);
    longText.SetHighlighter(nullptr);
}

TEST(ExtHighlighter, ValidContextAndScope) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("six", 0, hsBold, 1, 0, clNone, clNone, 6, 0);
    h.Keywords().AddExtKeyword("all", 0, hsBold, 2, 0, clNone, clNone, 0, kScopeEverywhere);
    h.Keywords().AddExtKeyword("top", 0, hsBold, 4, 0, clNone, clNone, 0, 0);
    Highlight(m, &h, "six all top { six all top } // six all top");
    EXPECT_EQ(Ctx(m, 0), "000022204440" "661116222666666" "0" "33333332223333");
}

TEST(ExtHighlighter, AtMostSixteenLevels) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("k", 0, hsBold, 1, 0, clNone, clNone, 0, kScopeEverywhere);
    m.SetHighlighter(&h);
    m.LoadText("k { k");
    TDynInfo deep;
    deep.Flags = dfOwn | dfKeyed;
    deep.Depth = 15;
    for (auto& c : deep.Contexts) c = -1;
    m.Pars.SetStartAttr(m.Pars.At(0), deep);
    KeywordsOverRange(m, 0, 0);
    EXPECT_EQ(m.Pars.DynCount(m.Pars.At(0)), 0) << "nothing opens beyond the sixteenth level";
    deep.Depth = 14;
    m.LoadText("k");
    m.Pars.SetStartAttr(m.Pars.At(0), deep);
    KeywordsOverRange(m, 0, 0);
    ASSERT_EQ(m.Pars.DynCount(m.Pars.At(0)), 1);
    EXPECT_EQ(ContextDepth(m.Pars.DynAttr(m.Pars.At(0), 0)), 15);
}

TEST(ExtHighlighter, ChainsRefuseCirclesAndNumberKeysOnward) {
    TTestHighlighter a, b;
    a.SetSubHighlighter(&b);
    try {
        b.SetSubHighlighter(&a);
        FAIL() << "a circle was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Circular highlighting references");
    }
    EXPECT_EQ(b.SubHighlighter(), nullptr) << "nothing changed";
    EXPECT_THROW(a.SetSubHighlighter(&a), std::runtime_error);

    a.Keywords().AddExtKeyword("x", 0, hsBold, 1, 0, clNone, clNone, 0, 0);
    a.Keywords().AddExtKeyword("y", 0, hsBold, 1, 0, clNone, clNone, 0, 0);
    b.Keywords().AddExtKeyword("z", 0, hsBold, 5, 0, clNone, clNone, 0, 0);
    TDudiRiriBase m;
    m.Keywords.AddKeyword("w", 0, -1, 1, 0, 9, 0);
    Highlight(m, &a, "z");
    const TDynInfo& z = m.Pars.DynAttr(m.Pars.At(0), 0);
    EXPECT_EQ(z.Context, 5);
    EXPECT_EQ(z.Contexts[0], 1 + 2) << "the editor's keyword, then A's two, then B's first";

    {
        TTestHighlighter gone;
        a.SetSubHighlighter(&gone);
    }
    EXPECT_EQ(a.SubHighlighter(), nullptr) << "a destroyed sub-highlighter is forgotten";
    m.SetHighlighter(nullptr);
}

TEST(ExtHighlighter, LinePositionOptions) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("s", koLineStart, hsBold, 1, 0, clNone, clNone, 0, 0);
    h.Keywords().AddExtKeyword("b", koAfterBlanks, hsBold, 2, 0, clNone, clNone, 0, 0);
    h.Keywords().AddExtKeyword("p", koAfterSeparators, hsBold, 4, 0, clNone, clNone, 0, 0);
    Highlight(m, &h, "s s\r\n  b b\r\n, p p");
    EXPECT_EQ(Ctx(m, 0), "100");
    EXPECT_EQ(Ctx(m, 1), "00200");
    EXPECT_EQ(Ctx(m, 2), "00400");
}

TEST(ExtHighlighter, QueryEventsRefuseKeys) {
    TDudiRiriBase m;
    TTestHighlighter h;
    h.Keywords().AddExtKeyword("k", 0, hsBold, 1, 0, clNone, clNone, 0, 0);
    h.OnQueryKeyword = [](TCustomExtHighlighter&, TRiriNavigator& From, TRiriNavigator&, std::int32_t, bool& Do) {
        Do = From.ParOffset() > 0;
    };
    h.OnQueryStart = [](TCustomExtHighlighter&, std::int16_t Entry, bool& Do) { Do = Entry != 1; };
    Highlight(m, &h, "k k // c");
    EXPECT_EQ(Ctx(m, 0), "00100000") << "no // region, the first k refused";
}

}  // namespace
}  // namespace tarvex
