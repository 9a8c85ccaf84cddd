// The whole-word index: look-ups straight from text bytes, folded or not.

#include <gtest/gtest.h>

#include <string>

#include "highlight/text_scan.h"
#include "highlight/word_index.h"

using namespace tarvex;

namespace {
std::vector<std::int32_t> Keys(const TWordIndex& W, std::string_view Text, bool Fold) {
    const auto* k = W.Find(Text.data(), Text.size(), Fold ? FoldTable() : nullptr);
    return k ? *k : std::vector<std::int32_t>{};
}
}  // namespace

TEST(WordIndex, FindsWordsByTheirBytesOnly) {
    TWordIndex w;
    EXPECT_TRUE(w.Empty());
    EXPECT_TRUE(Keys(w, "BEGIN", false).empty());
    w.Add("BEGIN", 4);
    w.Add("END", 7);
    w.Add("BEGIN", 2);  // a second key with the same text: both, in the order added
    EXPECT_FALSE(w.Empty());
    EXPECT_EQ(Keys(w, "BEGIN", false), (std::vector<std::int32_t>{4, 2}));
    EXPECT_EQ(Keys(w, "END", false), (std::vector<std::int32_t>{7}));
    // Case matters unless the bytes are folded first; prefixes and longer words are other words.
    EXPECT_TRUE(Keys(w, "begin", false).empty());
    EXPECT_EQ(Keys(w, "bEgIn", true), (std::vector<std::int32_t>{4, 2}));
    EXPECT_TRUE(Keys(w, "BEGI", false).empty());
    EXPECT_TRUE(Keys(w, "BEGINS", false).empty());
    EXPECT_TRUE(Keys(w, "", false).empty());
    // Found inside a longer text by pointer and length.
    const std::string line = "xx END yy";
    EXPECT_EQ(w.Find(line.data() + 3, 3, nullptr)->front(), 7);
    w.Clear();
    EXPECT_TRUE(w.Empty());
    EXPECT_TRUE(Keys(w, "BEGIN", false).empty());
}

TEST(WordIndex, ManyWordsLongWordsAndCyrillic) {
    TWordIndex w;
    for (int i = 0; i < 500; ++i) w.Add("W" + std::to_string(i), i);
    const std::string longWord(100, 'Q');
    w.Add(longWord, 1000);
    w.Add("\xCF\xD0\xC8\xC2\xC5\xD2", 2000);  // upper-case Cyrillic in Windows-1251
    for (int i = 0; i < 500; ++i) ASSERT_EQ(Keys(w, "W" + std::to_string(i), false), (std::vector<std::int32_t>{i})) << i;
    EXPECT_TRUE(Keys(w, "W500", false).empty());
    EXPECT_EQ(Keys(w, longWord, false), (std::vector<std::int32_t>{1000}));
    EXPECT_TRUE(Keys(w, std::string(99, 'Q') + "R", false).empty());
    EXPECT_TRUE(Keys(w, std::string(101, 'Q'), false).empty());
    EXPECT_EQ(Keys(w, "\xEF\xF0\xE8\xE2\xE5\xF2", true), (std::vector<std::int32_t>{2000}));
    EXPECT_TRUE(Keys(w, "\xEF\xF0\xE8\xE2\xE5\xF2", false).empty());
}
