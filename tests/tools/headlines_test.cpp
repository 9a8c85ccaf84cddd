// The headline scan: which blocks of text count as headlines, the length
// and capitals rules, the entry limit and scanning in slices.

#include "tools/headlines.h"

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"

namespace tarvex {
namespace {

std::vector<std::string> Scan(std::string_view Text, bool Capitals = true, std::int32_t Max = 100) {
    TDudiRiri M;
    M.SetTextBuf(Text);
    return ScanHeadlines(M.Pars, {Max, Capitals});
}

using Lines = std::vector<std::string>;

TEST(Headlines, ALineBetweenEmptyOnesIsAHeadlineCapitalsDecide) {
    const std::string text = "intro text\r\n\r\nCHAPTER ONE\r\n\r\nbody\r\n\r\nChapter one\r\n\r\nmore";
    EXPECT_EQ(Scan(text), (Lines{"CHAPTER ONE = 3"}));
    EXPECT_EQ(Scan(text, false), (Lines{"intro text = 1", "CHAPTER ONE = 3", "body = 5", "Chapter one = 7", "more = 9"}));
    // Cyrillic capitals count as capitals; digits and signs have no case.
    EXPECT_EQ(Scan("\r\n\xC3\xCB\xC0\xC2\xC0 1\r\n\r\n\xC3\xEB\xE0\xE2\xE0 2\r\n\r\n12.\r\n"),
              (Lines{"\xC3\xCB\xC0\xC2\xC0 1 = 2", "12. = 6"}));
}

TEST(Headlines, TextEdgesCountAsEmptyLines) {
    EXPECT_EQ(Scan("TITLE\r\n\r\nbody text\r\nmore body\r\n\r\nTHE END"), (Lines{"TITLE = 1", "THE END = 6"}));
    EXPECT_EQ(Scan("ONLY"), (Lines{"ONLY = 1"}));
    EXPECT_EQ(Scan(""), Lines{});
}

TEST(Headlines, TwoShortLinesJoinButThreeAreNoHeadline) {
    EXPECT_EQ(Scan("x\r\n\r\nPART ONE\r\nTHE BEGINNING\r\n\r\ny"), (Lines{"PART ONE THE BEGINNING = 3"}));
    EXPECT_EQ(Scan("x\r\n\r\nA\r\nB\r\nC\r\n\r\ny"), Lines{});
    // Together the two must stay below the limit; one alone may reach it.
    EXPECT_EQ(Scan("\r\nABCDE\r\nFGHIJ\r\n\r\n", true, 10), Lines{});
    EXPECT_EQ(Scan("\r\nABCDE\r\nFGHI\r\n\r\n", true, 10), (Lines{"ABCDE FGHI = 2"}));
    EXPECT_EQ(Scan("\r\nABCDEFGHIJ\r\n\r\nABCDEFGHIJK\r\n", true, 10), (Lines{"ABCDEFGHIJ = 2"}));
    // Lengths are those of the trimmed lines; blank-only lines are empty.
    EXPECT_EQ(Scan(" \t \r\n   CHAPTER   \r\n  \r\n"), (Lines{"CHAPTER = 2"}));
}

TEST(Headlines, StopsAtTheEntryLimitAndScansInSlices) {
    std::string text;
    for (int i = 0; i < 6000; ++i) text += "\r\nHEAD " + std::to_string(i) + "\r\n";
    TDudiRiri M;
    M.SetTextBuf(text);
    const TPos caret = 17;
    M.SetSelStart(caret);
    THeadlineScan scan(M.Pars, {});
    int slices = 0;
    // A deadline already past still makes progress: one batch per call.
    while (!scan.Step(std::chrono::steady_clock::now() - std::chrono::seconds(1))) {
        ++slices;
        EXPECT_LT(scan.Percent(), 100);
    }
    EXPECT_GT(slices, 0);
    EXPECT_EQ(scan.Percent(), 100);
    ASSERT_EQ(scan.Entries().size(), kMaxHeadlines);
    EXPECT_EQ(scan.Entries().front(), "HEAD 0 = 2");
    EXPECT_EQ(scan.Entries().back(), "HEAD 4999 = " + std::to_string(4999 * 2 + 2));
    EXPECT_EQ(M.SelStart(), caret) << "the scan leaves the caret where it was";
}

TEST(Headlines, LengthSettingAndEntryNumbers) {
    EXPECT_EQ(HeadlineMaxLength(1), 100);
    EXPECT_EQ(HeadlineMaxLength(2), 2);
    EXPECT_EQ(HeadlineMaxLength(1000), 1000);
    EXPECT_EQ(HeadlineMaxLength(1001), 100);
    EXPECT_EQ(HeadlineMaxLength(-5), 100);
    EXPECT_EQ(HeadlineParagraph("A = B = 12"), 12);
    EXPECT_EQ(HeadlineParagraph("A=7"), 7);
    EXPECT_EQ(HeadlineParagraph("A = x"), -1);
    EXPECT_EQ(HeadlineParagraph("no number"), -1);
    EXPECT_EQ(HeadlineParagraph("A = "), -1);
}

}  // namespace
}  // namespace tarvex
