// Compressing lines: each step alone and all together, at the text's edges.

#include "tools/compress_lines.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvex {
namespace {

std::string C(std::string T, std::uint32_t Steps) {
    CompressText(T, Steps);
    return T;
}

TEST(CompressLines, DoubleSpacesBecomeOneAndNoneStandsBeforeAFullStop) {
    EXPECT_EQ(C("word  .", cmpDoubleSpaces), "word.");
    EXPECT_EQ(C("a   b  c", cmpDoubleSpaces), "a b c");
    EXPECT_EQ(C("a !b ?c .\r\nd", cmpDoubleSpaces), "a!b?c.\r\nd");
    EXPECT_EQ(C("line   \r\nnext", cmpDoubleSpaces), "line\r\nnext");
    // A space that ends the text has nothing after it and stays (as one).
    EXPECT_EQ(C("end   ", cmpDoubleSpaces), "end ");
    EXPECT_EQ(C("   start", cmpDoubleSpaces), " start");
    // Tabs and other blanks are not spaces.
    EXPECT_EQ(C("a\t\tb ,c", cmpDoubleSpaces), "a\t\tb ,c");
}

TEST(CompressLines, MergesALineThatGoesOnInLowerCaseOrCyrillic) {
    EXPECT_EQ(C("broken\r\nline", cmpMergeParagraphs), "broken line");
    EXPECT_EQ(C("\xF1\xEB\xEE\xE2\xEE\r\n\xEF\xF0\xEE", cmpMergeParagraphs), "\xF1\xEB\xEE\xE2\xEE \xEF\xF0\xEE");
    EXPECT_EQ(C("a\r\n\xC0", cmpMergeParagraphs), "a \xC0");
    // Upper-case Latin is not among the characters that start a paragraph.
    EXPECT_EQ(C("a\r\nB", cmpMergeParagraphs), "a B");
}

TEST(CompressLines, KeepsTheBreakBeforeWhatStartsAParagraph) {
    for (const char* next : {"1", "9", "-", " ", "\"", "*", ".", "\x97", "\xA7", "\xAB", "\xB9", "\t"}) {
        const std::string t = std::string("a\r\n") + next + "x";
        EXPECT_EQ(C(t, cmpMergeParagraphs), t) << next;
    }
    // After an empty line, and at the very end, the break stays.
    EXPECT_EQ(C("a\r\n\r\nb", cmpMergeParagraphs), "a\r\n\r\nb");
    EXPECT_EQ(C("a\r\n", cmpMergeParagraphs), "a\r\n");
    // A break at the start of the text joins its line to nothing before it.
    EXPECT_EQ(C("\r\nab", cmpMergeParagraphs), " ab");
    // A lone CR or LF is no paragraph break.
    EXPECT_EQ(C("a\rb\nc", cmpMergeParagraphs), "a\rb\nc");
}

TEST(CompressLines, MergeTurnsControlCharactersIntoSpaces) {
    EXPECT_EQ(C("a\x01" "b\x0B" "c\x0C" "d\x1F" "e\tf", cmpMergeParagraphs), "a b c d e\tf");
    EXPECT_EQ(C(std::string("a\0b", 3), cmpMergeParagraphs), "a b");
    // Only the merge step does it.
    EXPECT_EQ(C("a\x01" "b", cmpDoubleSpaces), "a\x01" "b");
}

TEST(CompressLines, RunsOfEmptyLinesBecomeOne) {
    EXPECT_EQ(C("a\r\n\r\n\r\n\r\n\r\nb", cmpDoubleParagraphs), "a\r\n\r\nb");
    EXPECT_EQ(C("a\r\n\r\n\r\nb", cmpDoubleParagraphs), "a\r\n\r\nb");
    EXPECT_EQ(C("a\r\n\r\nb\r\nc", cmpDoubleParagraphs), "a\r\n\r\nb\r\nc");
    EXPECT_EQ(C("\r\n\r\n\r\n\r\nb", cmpDoubleParagraphs), "\r\n\r\nb");
    EXPECT_EQ(C("a\r\n\r\n\r\n\r\n", cmpDoubleParagraphs), "a\r\n\r\n");
    EXPECT_EQ(C("a\r\n\n\r\n\r\nb", cmpDoubleParagraphs), "a\r\n\n\r\n\r\nb");
}

TEST(CompressLines, FirstSpaceOfALineBecomesATab) {
    EXPECT_EQ(C(" a\r\n b\r\n  c\r\n", cmpFirstSpacesToTab), " a\r\n\tb\r\n\t c\r\n");
    EXPECT_EQ(C("a\r\n ", cmpFirstSpacesToTab), "a\r\n\t");
}

TEST(CompressLines, AllStepsTogether) {
    const std::string in = "  Title\r\n\r\n\r\n\r\n  The text  goes\r\non here .\r\n- item\r\n\r\n\r\n";
    EXPECT_EQ(C(in, cmpAll), " Title\r\n\r\n\tThe text goes on here.\r\n- item\r\n\r\n");
    // Merge implies the space step: the two spaces of a joined break become one.
    EXPECT_EQ(C("a \r\nb", cmpMergeParagraphs), "a b");
}

TEST(CompressLines, ReportsWhetherAnythingChanged) {
    std::string t = "clean text\r\n\r\nnext";
    EXPECT_FALSE(CompressText(t, cmpAll));
    EXPECT_EQ(t, "clean text\r\n\r\nnext");
    std::string u = "a  b";
    EXPECT_FALSE(CompressText(u, 0));
    EXPECT_TRUE(CompressText(u, cmpDoubleSpaces));
    std::string e;
    EXPECT_FALSE(CompressText(e, cmpAll));
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// Whatever pieces the text comes in, the result is the same: every step
// holds back exactly what its decision waits on.
TEST(CompressLines, PiecesOfAnySizeGiveTheSameResult) {
    std::uint64_t seed = 99;
    auto rnd = [&](std::uint32_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(seed >> 33) % n;
    };
    const char* alphabet[] = {"\r\n", "\r\n", "\r\n", " ", " ", " ", "a", "B", "1", "-", ".", "!", "\r", "\n",
                              "\x01", "\t", "\xE0", "\xAB", "*", "\""};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0, n = static_cast<int>(rnd(200)); i < n; ++i) text += alphabet[rnd(20)];
        for (std::uint32_t steps = 0; steps <= cmpAll; ++steps) {
            std::string whole = text;
            const bool changed = CompressText(whole, steps);
            TCompressor c(steps);
            std::string out;
            for (std::size_t at = 0; at < text.size();) {
                const std::size_t n = std::min<std::size_t>(1 + rnd(7), text.size() - at);
                c.Feed(std::string_view(text).substr(at, n), out);
                at += n;
            }
            c.Finish(out);
            ASSERT_EQ(out, whole) << "steps " << steps << " round " << round;
            ASSERT_EQ(c.Changed(), changed) << "steps " << steps << " round " << round;
            ASSERT_EQ(changed, whole != text) << "steps " << steps << " round " << round;
        }
    }
}

}  // namespace
}  // namespace tarvex
