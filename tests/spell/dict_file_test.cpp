// The dictionary file: lines, keys and values, the lookup in its plain and
// wildcard forms, and changing or deleting an item in place.

#include <gtest/gtest.h>

#include "spell/dict_file.h"
#include "tests/spell/spell_test_util.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

using test::W;

std::vector<std::string> Keys(const TDictResult& R) {
    std::vector<std::string> k;
    for (const TDictKey& d : R.Listed) k.push_back(d.Key);
    return k;
}

using V = std::vector<std::string>;

class DictFile : public ::testing::Test {
protected:
    std::string Make(const std::string& Bytes) {
        const std::string p = Dir.Path + "dict.txt";
        test::WriteFile(p, Bytes);
        return p;
    }
    TDictResult Find(const std::string& Path, std::string_view Field) {
        TDictQuery q = QueryFromField(Field);
        q.Separator = "\t";
        return LookupDictFile(Path, q);
    }
    test::TTempDir Dir;
};

TEST(DictLine, SplitsAtTheFirstDelimiterAndTrims) {
    TDictItem i = SplitDictLine("  cat = a small = animal ", "=");
    EXPECT_EQ(i.Key, "cat");
    EXPECT_EQ(i.Value, "a small = animal");
    EXPECT_TRUE(i.HasDelimiter);
    i = SplitDictLine(" lonely ", "=");
    EXPECT_EQ(i.Key, "lonely");
    EXPECT_FALSE(i.HasDelimiter);
    i = SplitDictLine("a=b", "");
    EXPECT_EQ(i.Key, "a=b") << "no delimiter: the line is a key";
    i = SplitDictLine("key :: value", "::");
    EXPECT_EQ(i.Value, "value");
}

TEST(DictLine, SeparatorsAndJoining) {
    EXPECT_EQ(ValueSeparator("^t"), "\t");
    EXPECT_EQ(ValueSeparator("^T; ^t"), "\t; \t");
    EXPECT_EQ(ValueSeparator(""), "");
    EXPECT_EQ(JoinValueLines("one\r\ntwo\nthree\r\n", "\t"), "one\ttwo\tthree");
    EXPECT_EQ(JoinValueLines(" one\r\ntwo ", ""), "one two");
    EXPECT_LT(CompareNoCase(W("ёж"), W("ЯБЛОКО")), 0) << "code-page order: Ё is 0xA8";
    EXPECT_EQ(CompareNoCase(W("Кот"), W("кОТ")), 0);
    EXPECT_LT(CompareNoCase("ca", "cat"), 0);
}

TEST(DictQuery, StarsSetTheWildcardForm) {
    TDictQuery q = QueryFromField("  ca* ");
    EXPECT_EQ(q.Text, "ca");
    EXPECT_TRUE(q.Suffix);
    EXPECT_FALSE(q.Prefix);
    q = QueryFromField("*og");
    EXPECT_EQ(q.Text, "og");
    EXPECT_TRUE(q.Prefix);
    q = QueryFromField("*a*");
    EXPECT_EQ(q.Text, "a");
    EXPECT_TRUE(q.Prefix && q.Suffix);
    q = QueryFromField("*");
    EXPECT_EQ(q.Text, "*");
    EXPECT_TRUE(q.Wildcard());
    q = QueryFromField("**");
    EXPECT_EQ(q.Text, "");
}

TEST_F(DictFile, CatInCapitalsShowsItsValueAndItsNeighbours) {
    const std::string p = Make("cat=a small animal\r\ndog=a friend\r\n");
    const TDictResult r = Find(p, "CAT");
    EXPECT_TRUE(r.Found);
    EXPECT_EQ(r.Value, "a small animal");
    EXPECT_EQ(Keys(r), (V{"cat", "dog"}));
    EXPECT_EQ(r.Selected.Key, "cat");
    EXPECT_EQ(r.Selected.Line, 0);
}

TEST_F(DictFile, AKeyNotThereListsWhereItWouldStand) {
    std::string text;
    for (const char* k : {"ant", "bee", "cat", "cod", "dog", "eel", "elk", "fox", "gnu", "hen", "owl", "yak"})
        text += std::string(k) + "=x\r\n";
    const std::string p = Make(text);
    const TDictResult r = Find(p, "cow");
    EXPECT_FALSE(r.Found);
    EXPECT_EQ(r.Value, "");
    EXPECT_EQ(r.Selected.Key, "dog") << "the first key greater than cow";
    EXPECT_EQ(Keys(r), (V{"ant", "bee", "cat", "cod", "dog", "eel", "elk", "fox", "gnu", "hen"})) << "dog - 4 .. dog + 5";
    EXPECT_EQ(r.LineCount, 12);
}

TEST_F(DictFile, TheNeighbourhoodSkipsEmptyKeysAndStopsAtTheEnds) {
    const std::string p = Make("a=1\r\n\r\n=lost\r\nb=2\r\nc=3\r\nd\r\ne=5\r\nf=6\r\ng=7\r\nh=8\r\ni=9\r\nj=10");
    TDictResult r = Find(p, "e");
    EXPECT_EQ(Keys(r), (V{"b", "c", "d", "e", "f", "g", "h", "i", "j"}));
    r = Find(p, "d");
    EXPECT_EQ(r.Value, "d") << "a key without value shows the search text";
    EXPECT_EQ(Keys(r), (V{"a", "b", "c", "d", "e", "f", "g", "h", "i"}));
    r = Find(p, "zzz");
    EXPECT_TRUE(r.Listed.empty()) << "past every key: no candidate";
    EXPECT_EQ(r.LineCount, 12) << "the last line needs no break";
}

TEST_F(DictFile, WildcardsListMatchingKeys) {
    const std::string p = Make("cat=1\r\ncamel=2\r\ndog=3\r\nhog=4\r\nbear=5\r\nCALF=6\r\n");
    EXPECT_EQ(Keys(Find(p, "ca*")), (V{"cat", "camel", "CALF"}));
    EXPECT_EQ(Keys(Find(p, "*og")), (V{"dog", "hog"}));
    EXPECT_EQ(Keys(Find(p, "*a*")), (V{"cat", "camel", "bear", "CALF"}));
    EXPECT_EQ(Keys(Find(p, "*")).size(), 6u);
    const TDictResult r = Find(p, "*A*");
    EXPECT_EQ(r.Value, "") << "a wildcard search from the field shows no value";
    EXPECT_FALSE(r.Remembered);
    // From the list: the entry itself is looked up.
    TDictQuery q = QueryFromField("ca*");
    q.FromList = true;
    q.Text = "camel";
    const TDictResult l = LookupDictFile(p, q);
    EXPECT_TRUE(l.Found);
    EXPECT_EQ(l.Value, "2");
    EXPECT_TRUE(l.Listed.empty()) << "the list stays as it is";
    EXPECT_EQ(l.Selected.Line, 1);
}

TEST_F(DictFile, ValueSeparatorsBecomeLineBreaks) {
    const std::string p = Make("word=one\ttwo\tthree\r\n");
    EXPECT_EQ(Find(p, "word").Value, "one\rtwo\rthree");
}

TEST_F(DictFile, MissingOrUnnamedFilesGiveNothing) {
    EXPECT_EQ(LookupDictFile("", QueryFromField("cat")).Value, "");
    EXPECT_TRUE(LookupDictFile(Dir.Path + "missing.txt", QueryFromField("cat")).Listed.empty());
    EXPECT_TRUE(LookupDictFile(Dir.Path, QueryFromField("cat")).Listed.empty()) << "a folder";
    const std::string p = Make("cat=1\r\n");
    EXPECT_FALSE(LookupDictFile(p, QueryFromField("   ")).Remembered);
}

TEST_F(DictFile, BreaksOfEveryKindAndLinesLongerThanTheReadBuffer) {
    const std::string longValue(3'000'000, 'v');
    const std::string p = Make("a=1\rb=2\nlong=" + longValue + "\r\nz=26");
    EXPECT_EQ(Find(p, "b").Value, "2");
    EXPECT_EQ(Find(p, "long").Value, longValue);
    const TDictResult r = Find(p, "z");
    EXPECT_EQ(r.Selected.Line, 3);
    EXPECT_EQ(Keys(r), (V{"a", "b", "long", "z"}));
}

TEST_F(DictFile, StopsWhenPendingSaysSo) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "k" + std::to_string(i) + "=v\r\n";
    const std::string p = Make(text);
    std::int64_t calls = 0;
    TDictQuery q = QueryFromField("*");
    const TDictResult r = LookupDictFile(p, q, [&](std::int64_t) { return ++calls < 2; });
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(calls, 2);
    EXPECT_LT(r.Listed.size(), 20000u);
    EXPECT_EQ(r.LineCount, -1);
    q = QueryFromField("k5");
    q.CountLines = true;
    EXPECT_EQ(LookupDictFile(p, q).LineCount, 20000) << "counted though the walk ended early";
}

TEST_F(DictFile, ChangeAndDeleteKeepEveryOtherByte) {
    const std::string p = Make("cat=a small animal\r\ndog=one\ttwo\nowl=bird\rlast");
    const std::string changed = "dog=three\tfour";
    ASSERT_TRUE(ReplaceDictLine(p, 1, " DOG ", "=", &changed));
    EXPECT_EQ(test::ReadFile(p), "cat=a small animal\r\ndog=three\tfour\nowl=bird\rlast");
    ASSERT_TRUE(ReplaceDictLine(p, 2, "owl", "=", nullptr));
    EXPECT_EQ(test::ReadFile(p), "cat=a small animal\r\ndog=three\tfour\nlast");
    ASSERT_TRUE(ReplaceDictLine(p, 2, "last", "=", nullptr));
    EXPECT_EQ(test::ReadFile(p), "cat=a small animal\r\ndog=three\tfour\n");
}

TEST_F(DictFile, ChangeAndDeleteDoNothingWhenTheLineMoved) {
    const std::string p = Make("cat=1\r\ndog=2\r\n");
    const std::string changed = "dog=3";
    EXPECT_FALSE(ReplaceDictLine(p, 0, "dog", "=", &changed)) << "line 0 holds cat now";
    EXPECT_FALSE(ReplaceDictLine(p, 7, "dog", "=", nullptr)) << "no such line";
    EXPECT_FALSE(ReplaceDictLine(Dir.Path + "gone.txt", 0, "cat", "=", nullptr));
    EXPECT_EQ(test::ReadFile(p), "cat=1\r\ndog=2\r\n");
}

TEST_F(DictFile, FilesOfAFolder) {
    Make("x");
    test::WriteFile(Dir.Path + "b.dic", "y");
    std::filesystem::create_directory(Dir.Path + "sub");
    EXPECT_EQ(FilesOfFolder(Dir.Path), (V{Dir.Path + "b.dic", Dir.Path + "dict.txt"}));
}

}  // namespace
}  // namespace tarvex
