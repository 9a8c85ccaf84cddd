#include <gtest/gtest.h>

#include "textstore/keywords.h"
#include "textstore/start_stop_keys.h"

namespace tarvex {
namespace {

TStringList Lines(std::initializer_list<const char*> L) {
    TStringList s;
    for (const char* x : L) s.Add(x);
    return s;
}

TEST(KeywordList, TextFormRoundTrip) {
    TKeywordList k;
    k.AddKeyword("begin", 3, 0, 0, 0, 0, 1);
    TStringList out;
    k.SaveToStrings(out);
    ASSERT_EQ(out.Count(), 1u);
    EXPECT_EQ(out.Lines[0], "begin=3,1,0,0,0,0,0,0,");

    k.LoadFromStrings(Lines({"begin=3,1,5,0,255,-1", "no equals sign", "end=0,0,1,0,$FF,536870911,"}));
    ASSERT_EQ(k.Count(), 2);
    const TKeyInfoLen& b = k.Item(0);
    EXPECT_EQ(b.Options, 3);
    EXPECT_EQ(b.Style, 1);
    EXPECT_EQ(b.Context, 5);
    EXPECT_EQ(b.Cursor, 0);
    EXPECT_EQ(b.Color, 255);
    EXPECT_EQ(b.BkColor, -1);
    EXPECT_EQ(k.Item(1).Color, 255) << "hexadecimal with $";
    // Saving replaces lines of the same name and keeps the others.
    TStringList mixed = Lines({"other=1", "begin=9"});
    k.SaveToStrings(mixed);
    EXPECT_EQ(mixed.Lines, (std::vector<std::string>{"other=1", "begin=3,1,5,0,255,-1,0,0,", "end=0,0,1,0,255,536870911,0,0,"}));
}

TEST(KeywordList, MalformedNumberRaisesAndKeepsWhatWasAdded) {
    TKeywordList k;
    try {
        k.LoadFromStrings(Lines({"one=0,0,1,0,0,0", "two=0,x,1,0,0,0", "three=0,0,1,0,0,0"}));
        FAIL() << "a malformed number must raise";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
    ASSERT_EQ(k.Count(), 1);
    EXPECT_EQ(k.Get(0), "one");
    EXPECT_THROW(k.LoadFromStrings(Lines({"short=1,2,3"})), EConvertError) << "six numbers are needed";
}

TEST(KeywordList, LargeListsLoadAndSaveInLinearTime) {
    // Regression: every keyword loaded rebuilt the search tables of all
    // those before it (40,000 keywords took seconds).
    TStringList lines;
    for (int i = 0; i < 40000; ++i) lines.Add("kw" + std::to_string(i) + "=0,1," + std::to_string(1 + i % 3) + ",0,0,0");
    lines.Add("kw7=1,2,3,0,0,0");  // a name twice: both are keywords
    TKeywordList k;
    const std::uint32_t before = k.Version();
    k.LoadFromStrings(lines);
    EXPECT_EQ(k.Version() - before, 1u) << "the tables are built once";
    ASSERT_EQ(k.Count(), 40001);
    EXPECT_EQ(k.MaxLen(), 7);
    EXPECT_EQ(k.ByFirstFolded('K').size(), 40000u) << "prepared for searching";
    EXPECT_EQ(k.ByFirstPlain('k').size(), 1u);
    // A malformed line after many: those before it stay, prepared.
    lines.Lines.insert(lines.Lines.begin() + 100, "bad=x");
    EXPECT_THROW(k.LoadFromStrings(lines), EConvertError);
    EXPECT_EQ(k.Count(), 100);
    EXPECT_EQ(k.ByFirstFolded('K').size(), 100u);
    // Saving: one line per name, the later keyword of a name winning, as one by one.
    k.LoadFromStrings(Lines({"a=0,0,1,0,0,0", "b=0,0,1,0,0,0", "a=0,5,1,0,0,0"}));
    TStringList out = Lines({"x=1", "b=old"});
    k.SaveToStrings(out);
    EXPECT_EQ(out.Lines, (std::vector<std::string>{"x=1", "b=0,0,1,0,0,0,0,0,", "a=0,5,1,0,0,0,0,0,"}));
}

TEST(KeywordList, PreparationFoldsAndCollectsFlags) {
    TKeywordList k;
    k.AddKeyword("Begin", koCaseSensitive, 0, 0, 0, 1, 0);
    EXPECT_EQ(k.Flags() & 1, 1) << "every keyword case-sensitive";
    EXPECT_EQ(k.Item(0).SearchKey, "Begin");
    k.AddKeyword("\xEA\xEE\xED\xE5\xF6", 0x04, 0, 0, 0, 1, 0);  // "конец"
    EXPECT_EQ(k.Flags() & 1, 0);
    EXPECT_EQ(k.Flags() & 0x0C, 0x04);
    EXPECT_EQ(k.Item(1).SearchKey, "\xCA\xCE\xCD\xC5\xD6");
    EXPECT_EQ(k.MaxLen(), 5);
    k.SetUpperCaseType(druUserDefined);
    EXPECT_EQ(k.Item(1).SearchKey, "\xEA\xEE\xED\xE5\xF6") << "without a routine of its own only a to z fold";
    k.BeginUpdate();
    k.Add("longerkeyword");
    EXPECT_EQ(k.MaxLen(), 5) << "no preparation while updating";
    k.EndUpdate();
    EXPECT_EQ(k.MaxLen(), 13);
    EXPECT_EQ(k.Item(2).Color, 0x1FFFFFFF);
}

TEST(KeywordList, PersistentFormRoundTripAndOldStreams) {
    TKeywordList k;
    k.AddKeyword("alpha", 2, 10, 20, 3, 4, 5);
    k.Item(0).Ext[2] = 9;
    TValueWriter w;
    k.WriteTo(w);
    TValueReader r(w.Data());
    EXPECT_EQ(r.ReadProperty(), "Strings");
    TKeywordList back;
    back.ReadFrom(r);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(0).Options, 2);
    EXPECT_EQ(back.Item(0).BkColor, 10);
    EXPECT_EQ(back.Item(0).Color, 20);
    EXPECT_EQ(back.Item(0).Cursor, 3);
    EXPECT_EQ(back.Item(0).Ext[2], 9);

    // An older stream: Options without bit 7, then two extended values; a wide string.
    TValueWriter old;
    old.WriteListBegin();
    old.WriteWideString(u"\u0431\u0435\u0442\u0430");
    for (int v : {1, 2, 3, 4, 5, 6, 7, 8}) old.WriteInteger(v);
    old.WriteString("gamma");
    for (int v : {0, 0, 1, 0, 0, 0}) old.WriteInteger(v);
    old.WriteListEnd();
    TValueReader r2(old.Data());
    back.ReadFrom(r2);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Get(0), "\xE1\xE5\xF2\xE0");
    EXPECT_EQ(back.Item(0).Ext[0], 7);
    EXPECT_EQ(back.Item(0).Ext[1], 8);
    EXPECT_EQ(back.Item(1).Ext[0], 0);

    TValueWriter bad;
    bad.WriteListBegin();
    bad.WriteInteger(5);
    TValueReader r3(bad.Data());
    EXPECT_THROW(back.ReadFrom(r3), EReadError);
    TValueReader r4(std::string_view("\x01\x03\xff", 3));
    EXPECT_THROW(back.ReadFrom(r4), EReadError) << "a truncated stream";
}

TEST(StartStopKeys, TextFormsAndSameStart) {
    TStartStopKeyList s;
    const TStringList text = Lines({"{|}=0,2,1,0,-1,-1,0", "//=0,0,1,0,-1,-1,1,", "{|]=0,0,1,0,-1,-1,0"});
    s.LoadFromStrings(&text);
    ASSERT_EQ(s.Count(), 3);
    EXPECT_EQ(std::string(s.Item(0).StartSearch()), "{");
    EXPECT_EQ(std::string(s.Item(0).StopSearch()), "}");
    EXPECT_EQ(s.Item(0).Style, 2);
    EXPECT_FALSE(s.Item(0).EndsAtLineEnd());
    EXPECT_EQ(std::string(s.Item(1).StopSearch()), "") << "a name without | is all start key";
    EXPECT_TRUE(s.Item(1).EndsAtLineEnd());
    EXPECT_EQ(s.MaxStopLen(), 2) << "ending at the line end counts as a stop of two";
    EXPECT_EQ(s.Item(0).SameStart, -1);
    EXPECT_EQ(s.Item(2).SameStart, 0);
    TStringList out;
    s.SaveToStrings(out);
    EXPECT_EQ(out.Lines[1], "//|=0,0,1,0,-1,-1,1,0,0,");
    s.LoadFromStrings(nullptr);
    EXPECT_EQ(s.Count(), 3) << "no list loads nothing";
}

TEST(StartStopKeys, FoldingAndPersistentForm) {
    TStartStopKeyList s;
    s.AddKey("rem", "end", false, 1, 2, 3, 4, 5, koWholeWord);
    EXPECT_EQ(std::string(s.Item(0).StartSearch()), "REM");
    EXPECT_EQ(s.Flags() & 1, 0);
    std::bitset<256> sep;
    sep.set(' ');
    s.Prepare(sep);
    EXPECT_TRUE(s.Item(0).StartBoundaryBefore);
    EXPECT_TRUE(s.Item(0).StopBoundaryAfter);
    s.Item(0).Ext[2] = 3;
    TValueWriter w;
    s.WriteTo(w);
    TValueReader r(w.Data());
    EXPECT_EQ(r.ReadProperty(), "Keys");
    TStartStopKeyList back;
    back.ReadFrom(r);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(0).Context, 4);
    EXPECT_EQ(back.Item(0).Ext[2], 3);
    EXPECT_FALSE(back.Prepared());
    back.SetUpperCaseType(druUserDefined);
    EXPECT_EQ(std::string(back.Item(0).StartSearch()), "REM");
}

}  // namespace
}  // namespace tarvex
