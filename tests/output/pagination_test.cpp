// Pages of display lines, with lines that must begin a page.

#include <gtest/gtest.h>

#include "output/pagination.h"

namespace tarvex {
namespace {

TEST(Pagination, PagesHoldWholeRunsOfLines) {
    TPagination p;
    p.Compute(20, 10, {});
    EXPECT_EQ(p.PageCount(), 2) << "lines that exactly fill two pages make two pages";
    p.Compute(21, 10, {});
    EXPECT_EQ(p.PageCount(), 3) << "one line more starts a third page";
    p.Compute(1, 10, {});
    EXPECT_EQ(p.PageCount(), 1);
    p.Compute(0, 10, {});
    EXPECT_EQ(p.PageCount(), 1) << "an empty text still prints one page";
    const auto pl = TPagination().Page(0);
    EXPECT_EQ(pl.Count, 0);
    p.Compute(25, 10, {});
    EXPECT_EQ(p.Page(2).First, 20);
    EXPECT_EQ(p.Page(2).Count, 5);
    EXPECT_EQ(p.Page(3).Count, 0) << "no page beyond the last";
    EXPECT_EQ(p.Page(-1).Count, 0);
}

TEST(Pagination, BreakFillsTheRestOfThePageWithBlankLines) {
    TPagination p;
    p.Compute(30, 10, {15});
    ASSERT_EQ(p.Blanks().size(), 1u);
    EXPECT_EQ(p.Blanks()[0], 5) << "line 15 sits in row 5: five blank rows end page 2";
    EXPECT_EQ(p.PageCount(), 4);  // 30 lines + 5 blanks = 35
    EXPECT_EQ(p.Page(1).First, 10);
    EXPECT_EQ(p.Page(1).Count, 5) << "page 2 ends before the break";
    EXPECT_EQ(p.Page(2).First, 15) << "the break begins page 3";
    EXPECT_EQ(p.Page(2).Row, 0);
    EXPECT_EQ(p.PageOfLine(14), 1);
    EXPECT_EQ(p.PageOfLine(15), 2);
    EXPECT_EQ(p.PageOfLine(29), 3);
}

TEST(Pagination, BreakAtAPageStartAddsAWholeBlankPage) {
    TPagination p;
    p.Compute(5, 10, {0});
    EXPECT_EQ(p.Blanks()[0], 10);
    EXPECT_EQ(p.PageCount(), 2);
    EXPECT_EQ(p.Page(0).Count, 0) << "the first page stays blank";
    EXPECT_EQ(p.Page(1).First, 0);
    EXPECT_EQ(p.Page(1).Count, 5);

    p.Compute(25, 10, {10, 20});
    EXPECT_EQ(p.Blanks()[0], 10) << "line 10 already begins page 2";
    EXPECT_EQ(p.Blanks()[1], 10);
    EXPECT_EQ(p.PageCount(), 5);
    EXPECT_EQ(p.Page(1).Count, 0);
    EXPECT_EQ(p.Page(2).First, 10);
    EXPECT_EQ(p.Page(2).Count, 10);
    EXPECT_EQ(p.Page(3).Count, 0);
    EXPECT_EQ(p.Page(4).First, 20);
}

TEST(Pagination, ConsecutiveBreaksGiveOnePageEach) {
    TPagination p;
    p.Compute(3, 10, {1, 2});
    EXPECT_EQ(p.PageCount(), 3);
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(p.Page(page).First, page);
        EXPECT_EQ(p.Page(page).Count, 1);
    }
}

TEST(Pagination, OneLinePages) {
    TPagination p;
    p.Compute(3, 0, {});
    EXPECT_EQ(p.LinesPerPage(), 1) << "at least one line a page";
    EXPECT_EQ(p.PageCount(), 3);
}

}  // namespace
}  // namespace tarvex
