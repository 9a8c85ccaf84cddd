// Searching the paragraph store in place: case folding, word separators,
// occurrences across paragraph breaks and at the ends of a range, and the
// store search agreeing with a plain search of the joined text.

#include <gtest/gtest.h>

#include <random>

#include "platform/codepage.h"
#include "textstore/memo_base.h"
#include "tools/find_pattern.h"
#include "tools/find_replace.h"
#include "tools/store_search.h"

namespace tarvex {
namespace {

std::string W(const char* Utf8) { return Utf8ToCp1251(Utf8); }

struct TStore {
    TDudiRiriBase M;
    explicit TStore(std::string_view Text) { M.LoadText(Text); }
    TStoreSearch Search(std::string_view T, bool MatchCase = true) const { return TStoreSearch(M.Pars, T, MatchCase); }
    TPos End() const { return M.CharCount(); }
};

// Every occurrence start, left to right, in a plain string (overlapping ones too).
std::vector<TPos> Naive(std::string_view Text, std::string_view Needle, bool MatchCase) {
    std::vector<TPos> r;
    if (Needle.empty() || Needle.size() > Text.size()) return r;
    for (std::size_t i = 0; i + Needle.size() <= Text.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < Needle.size() && same; ++k) {
            const auto a = static_cast<unsigned char>(Text[i + k]), b = static_cast<unsigned char>(Needle[k]);
            same = MatchCase ? a == b : Cp1251Upper(a) == Cp1251Upper(b);
        }
        if (same) r.push_back(static_cast<TPos>(i));
    }
    return r;
}

TEST(FindPattern, FoldsEveryLetterOfTheCodePageIgnoringCase) {
    int letters = 0;
    for (int b = 0; b < 256; ++b) {
        const auto lower = static_cast<unsigned char>(b);
        const unsigned char upper = Cp1251Upper(lower);
        if (upper == lower) continue;
        ++letters;
        const std::string hay = std::string("x") + static_cast<char>(upper) + "y";
        const std::string needle = std::string("X") + static_cast<char>(lower) + "Y";
        EXPECT_EQ(TFindPattern(needle, false).Find(hay), 0u) << "byte " << b;
        EXPECT_EQ(TFindPattern(needle, true).Find(hay), TFindPattern::npos) << "byte " << b;
        EXPECT_EQ(TFindPattern(std::string(1, static_cast<char>(upper)), false).Find(std::string(1, static_cast<char>(lower))), 0u);
    }
    // a..z, а..я and the fifteen lower-case letters of 0x80..0xBF (ё among them).
    EXPECT_EQ(letters, 26 + 32 + 15);
    EXPECT_EQ(TFindPattern(W("ёлка"), false).Find(W("старая ЁЛКА")), 7u);
    EXPECT_EQ(TFindPattern(W("ЁЛКА"), false).Find(W("Ёлка")), 0u);
    EXPECT_EQ(TFindPattern(W("ђурђевак"), false).Find(W("ЂУРЂЕВАК")), 0u);
    EXPECT_EQ(TFindPattern(W("ёлка"), false).Find(W("елка")), TFindPattern::npos) << "Ё is not Е";
}

TEST(FindPattern, FindsAtEveryAlignmentAndTheLastPossibleStart) {
    // Occurrences at every offset of texts longer than one vector of candidates.
    for (const bool matchCase : {true, false}) {
        for (std::size_t len = 1; len <= 5; ++len) {
            const std::string needle = std::string("Qz").substr(0, std::min<std::size_t>(len, 2)) + std::string(len > 2 ? len - 2 : 0, 'w');
            for (std::size_t at = 0; at + needle.size() <= 70; ++at) {
                std::string hay(70, '.');
                hay.replace(at, needle.size(), needle);
                const TFindPattern p(needle, matchCase);
                EXPECT_EQ(p.Find(hay), at) << needle << " at " << at;
                EXPECT_EQ(p.Find(hay, at + 1), TFindPattern::npos);
                EXPECT_EQ(p.FindLast(hay, at + 1), at);
                EXPECT_EQ(p.FindLast(hay, at), TFindPattern::npos);
            }
        }
    }
}

TEST(FindPattern, SeparatorsOfWholeWords) {
    for (int c = 0; c <= 0x22; ++c) EXPECT_TRUE(IsWordSeparator(static_cast<unsigned char>(c))) << c;
    for (unsigned char c : std::string("()*+,./:;<=>?[\\]^{|}\x85\x93\x94\x96\x97\xA0\xAB\xBB"))
        EXPECT_TRUE(IsWordSeparator(c)) << int(c);
    for (unsigned char c : std::string("'-#$%&@_`~0aZ")) EXPECT_FALSE(IsWordSeparator(c)) << c;
    for (int c = 0xC0; c <= 0xFF; ++c) EXPECT_FALSE(IsWordSeparator(static_cast<unsigned char>(c))) << c;
    int n = 0;
    for (int c = 0; c < 256; ++c) n += IsWordSeparator(static_cast<unsigned char>(c));
    EXPECT_EQ(n, 63);
}

TEST(StoreSearch, BreaksInTheSearchTextMatchAcrossParagraphs) {
    TStore t("one two\r\nthree four\r\nfive\r\n\r\nsix");
    // A word at the end of one paragraph, the break, a word at the start of the next.
    EXPECT_EQ(t.Search("two\r\nthree").Next(0, t.End()), 4);
    EXPECT_EQ(t.Search("TWO\r\nTHREE", false).Next(0, t.End()), 4);
    EXPECT_EQ(t.Search("two\r\nthre").Next(0, t.End()), 4);
    EXPECT_EQ(t.Search("tw\r\nthree").Next(0, t.End()), -1) << "the first part must end its paragraph";
    EXPECT_EQ(t.Search("four\r\nfive\r\n\r\nsix").Next(0, t.End()), 15) << "middle parts are whole paragraphs";
    EXPECT_EQ(t.Search("four\r\nfiv\r\n").Next(0, t.End()), -1);
    EXPECT_EQ(t.Search("\r\n").Next(0, t.End()), 7);
    EXPECT_EQ(t.Search("\r\n").Next(8, t.End()), 19);
    EXPECT_EQ(t.Search("\r\n").Prev(0, 19), 7);
    EXPECT_EQ(t.Search("\r\n\r\n").Next(0, t.End()), 25) << "an empty paragraph";
    EXPECT_EQ(t.Search("five\r").Next(0, t.End()), 21) << "a text ending with CR takes the break's first half";
    EXPECT_EQ(t.Search("\nsix").Next(0, t.End()), 28) << "and one starting with LF its second";
    EXPECT_EQ(t.Search("six\r\n").Next(0, t.End()), -1) << "no break behind the last paragraph";
    EXPECT_EQ(t.Search("a\rb").Next(0, t.End()), -1) << "a CR without LF is never in the text";
}

TEST(StoreSearch, OccurrencesEndingOnTheRangesLastCharacter) {
    TStore t("abc abc\r\nabc");
    const TStoreSearch s = t.Search("abc");
    EXPECT_EQ(s.Next(1, 7), 4) << "ends exactly at the range's end";
    EXPECT_EQ(s.Next(1, 6), -1) << "one character short";
    EXPECT_EQ(s.Next(5, t.End()), 9) << "ends on the text's last character";
    EXPECT_EQ(s.Scan(0, t.End(), false), 3);
    EXPECT_EQ(s.Scan(4, 7, false), 1);
    EXPECT_EQ(s.Prev(0, t.End()), 9);
    EXPECT_EQ(s.Prev(0, 9), 4);
    EXPECT_EQ(s.Prev(5, 9), -1) << "starts before the range";
}

TEST(StoreSearch, TheWholeTextAsSearchText) {
    const std::string text = "first line\r\nsecond\r\nthird";
    TStore t(text);
    EXPECT_EQ(t.Search(text).Next(0, t.End()), 0);
    EXPECT_EQ(t.Search(text).Prev(0, 1), 0);
    EXPECT_EQ(t.Search(text).Scan(0, t.End(), true), 1);
    EXPECT_EQ(t.Search(text + "x").Next(0, t.End()), -1);
}

TEST(StoreSearch, CountingDoesNotOverlap) {
    TStore t("aaaa");
    EXPECT_EQ(t.Search("aa").Scan(0, t.End(), false), 2);
    std::int64_t n = 0;
    EXPECT_EQ(ReplaceAllInString("aaaa", "aa", "a", true, false, n), "aa");
    EXPECT_EQ(n, 2);
}

TEST(StoreSearch, WholeWordsOfCyrillicLetters) {
    // A two-letter word inside a longer Cyrillic word is no whole word...
    TStore t(W("выход до, подход дорога"));
    const TStoreSearch s = t.Search(W("од"), true);
    EXPECT_EQ(s.Scan(0, t.End(), false), 3);
    EXPECT_EQ(s.Scan(0, t.End(), true), 0);
    // ...but one between a space and a comma is.
    const TStoreSearch d = t.Search(W("до"), true);
    EXPECT_EQ(d.Scan(0, t.End(), true), 1);
    EXPECT_EQ(d.Scan(0, t.End(), false), 2);
    // The ends of the range count as separators.
    EXPECT_EQ(s.Scan(3, 5, true), 1);
    TStore u(W("слово\r\nслово"));
    EXPECT_EQ(u.Search(W("слово")).Scan(0, u.End(), true), 2) << "breaks separate";
}

TEST(StoreSearch, AWholeWordOverlappingARejectedOccurrenceIsFound) {
    TStore t("xa.a.a");
    EXPECT_EQ(t.Search("a.a").Scan(0, t.End(), true), 1);
    std::int64_t n = 0;
    EXPECT_EQ(ReplaceAllInString("xa.a.a", "a.a", "B", true, true, n), "xa.B");
    EXPECT_EQ(n, 1);
}

// The store search and the plain search of the joined text agree on random
// texts, search texts with and without breaks, both case rules and ranges.
TEST(StoreSearch, AgreesWithAPlainSearchOfTheJoinedText) {
    std::mt19937 rng(7);
    const char* bits[] = {"a", "A", "b", " ", "\r\n", "ab", "\xE0", "\xC0", ",", "\n"};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        for (int k = static_cast<int>(rng() % 40); k > 0; --k) text += bits[rng() % std::size(bits)];
        TStore t(text);
        const std::string joined = t.M.Text();
        std::string needle;
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k) needle += bits[rng() % std::size(bits)];
        const bool matchCase = rng() % 2;
        const bool whole = rng() % 2;
        const TStoreSearch s = t.Search(needle, matchCase);
        const auto all = Naive(joined, needle, matchCase);
        const TPos n = static_cast<TPos>(needle.size());
        const TPos end = t.End();
        const TPos from = end ? static_cast<TPos>(rng() % (end + 1)) : 0;
        const TPos to = from + (end - from ? static_cast<TPos>(rng() % (end - from + 1)) : 0);
        TPos expectNext = -1, expectPrev = -1;
        for (TPos p : all)
            if (p >= from && p + n <= to) {
                expectNext = p;
                break;
            }
        for (TPos p : all)
            if (p >= from && p < to && p + n <= end) expectPrev = p;
        SCOPED_TRACE("text \"" + joined + "\" needle \"" + needle + "\" range " + std::to_string(from) + ".." +
                     std::to_string(to));
        EXPECT_EQ(s.Next(from, to), expectNext);
        EXPECT_EQ(s.Prev(from, to), expectPrev);
        // Counting and replacing in the store match the string routine on the range's text.
        const std::string range = joined.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
        std::int64_t count = 0;
        const std::string expected = ReplaceAllInString(range, needle, "<R>", matchCase, whole, count);
        EXPECT_EQ(s.Scan(from, to, whole), count);
        const TReplacePlan plan = PlanReplace(s, from, to, whole);
        ASSERT_EQ(plan.Count, count);
        std::string rebuilt = joined.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(plan.Start - from));
        rebuilt += BuildReplacedSpan(s, plan, "<R>");
        rebuilt += joined.substr(static_cast<std::size_t>(plan.End), static_cast<std::size_t>(to - plan.End));
        EXPECT_EQ(rebuilt, expected);
        std::string copy;
        AppendStoreText(t.M.Pars, from, to, copy);
        EXPECT_EQ(copy, range);
    }
}

}  // namespace
}  // namespace tarvex
