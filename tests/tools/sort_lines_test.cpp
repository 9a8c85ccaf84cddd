// Sorting lines: order, duplicates, joining the values of one key, the
// delimiter forms, and the stop request.

#include "tools/sort_lines.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/codepage.h"
#include "tools/line_text.h"

namespace tarvex {
namespace {

// Test texts are written in UTF-8 and sorted as Windows-1251.
std::string W(std::string_view Utf8) { return Utf8ToCp1251(Utf8); }

const TCollation& En() {
    static const TCollation c(false);
    return c;
}
const TCollation& Ru() {
    static const TCollation c(true);
    return c;
}

std::string Sort(std::string_view Text, const TSortOptions& O = {}, const TCollation& C = En()) {
    return SortLinesText(Text, O, C);
}

TSortOptions Joining(std::string Separ, std::string Delim = "=") {
    TSortOptions o;
    o.Delim = std::move(Delim);
    o.Separ = std::move(Separ);
    o.JoinItems = true;
    return o;
}

TEST(SortLines, JoinsTheValuesOfOneKeyLaterLineFirst) {
    EXPECT_EQ(Sort("b=2\r\na=1\r\nB=3", Joining(", ")), "a=1\r\nB=3, 2\r\n");
}

TEST(SortLines, DuplicatesDifferingOnlyInCaseLeaveOneLineWhenAsked) {
    EXPECT_TRUE(SameIgnoringCase(Sort("Apple\r\napple\r\n"), "apple\r\n"));
    TSortOptions keep;
    keep.DeleteDuplicates = false;
    const std::string both = Sort("Apple\r\napple\r\n", keep);
    EXPECT_TRUE(both == "Apple\r\napple\r\n" || both == "apple\r\nApple\r\n") << both;
}

TEST(SortLines, TrimsLinesAndDropsEmptyOnesWhateverTheBreaks) {
    EXPECT_EQ(Sort("\r\n  b \r\n\r\n\t\x01\r\na\n\nc\r"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(Sort(""), "");
    EXPECT_EQ(Sort(" \r\n\r\n"), "");
}

TEST(SortLines, KeysDecideBeforeTheRestOfTheLine) {
    // As whole lines "a b=2" comes first (a space sorts before "="); by key "a" does.
    EXPECT_EQ(Sort("a b=2\r\na=1\r\n"), "a=1\r\na b=2\r\n");
    TSortOptions whole;
    whole.Delim.clear();
    EXPECT_EQ(Sort("a b=2\r\na=1\r\n", whole), "a b=2\r\na=1\r\n");
    // Equal keys: the whole lines decide.
    EXPECT_EQ(Sort("k=b\r\nk=a\r\nk\r\n"), "k\r\nk=a\r\nk=b\r\n");
}

TEST(SortLines, JoiningKeepsAValueThatHoldsTheOther) {
    // V greater than L and holding it: only V stays.
    EXPECT_EQ(Sort("k=ab\r\nk=abc\r\n", Joining(", ")), "k=abc\r\n");
    // V greater than L without it: both, V first.
    EXPECT_EQ(Sort("k=a\r\nk=b\r\n", Joining(", ")), "k=b, a\r\n");
    // V less than L ("= ab" sorts before "=a") and inside it: L stays.
    EXPECT_EQ(Sort("k= ab\r\nk=a\r\n", Joining(", ")), "k=ab\r\n");
    // V less than L and not inside it: V first, then L.
    EXPECT_EQ(Sort("k= b\r\nk=a\r\n", Joining(", ")), "k=a, b\r\n");
    // Equal values, case ignored: the later line goes.
    EXPECT_EQ(Sort("k=Val\r\nK=vAL\r\n", Joining(", ")), "k=Val\r\n");
}

TEST(SortLines, JoiningChainsThroughEveryLineOfAKey) {
    EXPECT_EQ(Sort("x=1\r\nx=2\r\nx=3\r\ny=1\r\n", Joining("|")), "x=3|2|1\r\ny=1\r\n");
    // A line without the delimiter sorts first and takes no values; keys
    // are not trimmed, so "x " is another key than "x".
    EXPECT_EQ(Sort("x=1\r\nX\r\n", Joining("|")), "X\r\nx=1\r\n");
    EXPECT_EQ(Sort("x =1\r\nx=2\r\n", Joining("|")), "x=2\r\nx =1\r\n");
}

TEST(SortLines, JoiningNeedsADelimiterAndASeparator) {
    EXPECT_EQ(Sort("b=2\r\nb=3\r\n", Joining("")), "b=2\r\nb=3\r\n");
    EXPECT_EQ(Sort("b=2\r\nb=3\r\n", Joining(", ", "")), "b=2\r\nb=3\r\n");
}

TEST(SortLines, TabMarksStandForTabs) {
    // The default separator "^t" puts a tab between joined values.
    EXPECT_EQ(Sort("b=2\r\nb=3\r\n", Joining("^t")), "b=3\t2\r\n");
    // "^t" as the delimiter splits at tabs, in either case of the letter.
    EXPECT_EQ(Sort("b\t2\r\na\t1\r\nB\t3\r\n", Joining("; ", "^t")), "a\t1\r\nB\t3; 2\r\n");
    EXPECT_EQ(Sort("b\t2\r\nb\t3\r\n", Joining("; ", "^T")), "b\t3; 2\r\n");
    EXPECT_EQ(ExpandTabMarks("a^tb^T^"), "a\tb\t^");
}

TEST(SortLines, CollationFollowsTheInterfaceLanguage) {
    const std::string words = W("zebra\r\nжук\r\nApple\r\nёж\r\nеж\r\nЕль\r\n");
    // Russian: Cyrillic before Latin; Ё with Е, after it.
    EXPECT_EQ(Sort(words, {}, Ru()), W("еж\r\nёж\r\nЕль\r\nжук\r\nApple\r\nzebra\r\n"));
    EXPECT_EQ(Sort(words, {}, En()), W("Apple\r\nzebra\r\nеж\r\nёж\r\nЕль\r\nжук\r\n"));
    // Ё and ё are one letter in two cases, Е and Ё two letters.
    EXPECT_EQ(Ru().Compare(W("Ёж"), W("ёж")), 0);
    EXPECT_LT(Ru().Compare(W("Еж"), W("ёж")), 0);
    EXPECT_EQ(Sort(W("Ёлка\r\nёлка\r\nелка\r\n"), {}, Ru()).size(), W("елка\r\nёлка\r\n").size());
}

TEST(SortLines, SortKeysCompareAsTheTextsCollate) {
    const char* words[] = {"", "a", "A", "ab", "a b", "a-b", "a=b", "10", "9", "\xB8", "\xE5", "\xC0\xE1"};
    for (const char* a : words)
        for (const char* b : words) {
            const int byKey = Ru().SortKey(a).compare(Ru().SortKey(b));
            const int byText = Ru().Compare(a, b);
            EXPECT_EQ(byKey < 0, byText < 0) << a << " / " << b;
            EXPECT_EQ(byKey == 0, byText == 0) << a << " / " << b;
        }
}

// Many lines take the parallel path: the result is sorted by key, then line,
// and holds every line that is not a duplicate.
TEST(SortLines, LargeInputComesOutSortedAndComplete) {
    std::mt19937 rng(7);
    const char* letters = "abcXYZ\xE0\xE1\xE2\xC0\xC1\xB8\xA8 -";
    std::string text;
    std::size_t lines = 0;
    for (int i = 0; i < 60000; ++i) {
        std::string key, value;
        for (int j = 0, n = 1 + static_cast<int>(rng() % 6); j < n; ++j) key += letters[rng() % 15];
        for (int j = 0, n = static_cast<int>(rng() % 8); j < n; ++j) value += letters[rng() % 15];
        text += key + "=" + value + (i % 3 ? "\r\n" : "\n");
        ++lines;
    }
    TSortOptions o;
    o.DeleteDuplicates = false;
    const std::string sorted = Sort(text, o, Ru());
    std::vector<std::string> out;
    ForEachLine(sorted, [&](std::string_view l) { out.emplace_back(l); });
    std::size_t nonEmpty = 0;
    ForEachLine(text, [&](std::string_view l) { nonEmpty += !TrimBlanks(l).empty(); });
    ASSERT_EQ(out.size(), nonEmpty);
    auto key = [](const std::string& l) { return l.substr(0, l.find('=')); };
    for (std::size_t i = 1; i < out.size(); ++i) {
        const int k = Ru().Compare(key(out[i - 1]), key(out[i]));
        ASSERT_LE(k, 0) << out[i - 1] << " / " << out[i];
        if (k == 0) {
            ASSERT_LE(Ru().Compare(out[i - 1], out[i]), 0) << out[i - 1] << " / " << out[i];
        }
    }
    // Without duplicates no two neighbours are equal ignoring case.
    const std::string unique = Sort(text, {}, Ru());
    std::string prev;
    bool first = true;
    ForEachLine(unique, [&](std::string_view l) {
        if (!first) {
            EXPECT_FALSE(SameIgnoringCase(prev, l));
        }
        prev = l;
        first = false;
    });
}

TEST(SortLines, StopsWhenAskedAndReportsProgress) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += std::to_string(i * 7919 % 200000) + "\r\n";
    TJobControl stopped;
    stopped.RequestStop();
    EXPECT_THROW(SortLinesText(text, {}, En(), &stopped), EJobStopped);

    TJobControl done;
    const std::string r = SortLinesText(text.substr(0, 60), {}, En(), &done);
    EXPECT_EQ(done.Percent(), 100);
    EXPECT_FALSE(r.empty());
}

}  // namespace
}  // namespace tarvex
