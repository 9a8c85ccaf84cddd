// Headers and footers: text broken at blanks to the box and aligned in it.

#include <gtest/gtest.h>

#include "output/text_box.h"
#include "tests/output/test_device.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(TextBox, BreaksBeforeTheWordThatWouldPassTheWidth) {
    TFixedCanvas c(10, 16);
    EXPECT_EQ(BreakIntoLines(c, "aaa bbb ccc", 70), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(BreakIntoLines(c, "aaa bbb ccc", 110), (Lines{"aaa bbb ccc"}));
    EXPECT_EQ(BreakIntoLines(c, "abcdefghijkl x", 50), (Lines{"abcdefghijkl", "x"})) << "a long word stands alone";
    EXPECT_EQ(BreakIntoLines(c, "one\r\ntwo\nthree", 1000), (Lines{"one", "two", "three"}));
    EXPECT_EQ(BreakIntoLines(c, "", 100), (Lines{""}));
}

TEST(TextBox, AlignsEachLineBetweenTheSides) {
    test::TRecordingCanvas c;
    DrawTextBox(c, {100, 50, 300, 80}, "ab cd", taCenter, 7);
    ASSERT_EQ(c.Items.size(), 1u);
    EXPECT_EQ(c.Items[0].X, 100 + (200 - 50) / 2);
    EXPECT_EQ(c.Items[0].Y, 50 + c.Metrics().Ascent) << "the text hangs from the box's top";
    EXPECT_EQ(c.Items[0].Color, 7);
    c.Items.clear();
    DrawTextBox(c, {100, 50, 300, 80}, "ab cd", taRightJustify, 0);
    EXPECT_EQ(c.Items[0].X, 250);
    c.Items.clear();
    DrawTextBox(c, {100, 50, 160, 60}, "aaa bbb", taLeftJustify, 0);
    ASSERT_EQ(c.Items.size(), 2u) << "broken, and not clipped below the box";
    EXPECT_EQ(c.Items[1].Y - c.Items[0].Y, c.Metrics().Height);
}

TEST(TextBox, PageNumberReplacesTheFirstPlaceholder) {
    EXPECT_EQ(WithPageNumber("- {p} -", 3), "- 3 -");
    EXPECT_EQ(WithPageNumber("{p}/{p}", 12), "12/{p}");
    EXPECT_EQ(WithPageNumber("no number", 1), "no number");
}

}  // namespace
}  // namespace tarvex
