// What OK in the settings dialog stores: every number box's empty value,
// limits and bad-number rule, and the compress bits.

#include <gtest/gtest.h>

#include "app/sets_values.h"

namespace tarvex {
namespace {

TEST(SetsValues, NumberBoxesKeepTheirLimits) {
    TSettings s;
    TSetsValues v = SetsFromSettings(s);
    v.MaxFiles = "500";
    v.TabStops = "";
    v.MaxFndList = "1";
    v.MarkCount = "1001";
    v.ContLen = "0";
    StoreSets(v, s);
    EXPECT_EQ(s.MaxFiles, 100);
    EXPECT_EQ(s.TabStops, 8) << "empty: the default";
    EXPECT_EQ(s.MaxFndList, 2);
    EXPECT_EQ(s.MarkCount, 0) << "beyond 1000: unlimited";
    EXPECT_EQ(s.ContLen, 100);

    v.MaxFiles = "";
    v.TabStops = "250";
    v.MaxFndList = "";
    v.MarkCount = "";
    v.ContLen = "";
    StoreSets(v, s);
    EXPECT_EQ(s.MaxFiles, 0) << "an empty box turns the history off";
    EXPECT_EQ(s.TabStops, 100);
    EXPECT_EQ(s.MaxFndList, 10);
    EXPECT_EQ(s.ContLen, 100);

    s.MaxFiles = 7;
    v.MaxFiles = "99999999999999999999999";
    StoreSets(v, s);
    EXPECT_EQ(s.MaxFiles, 7) << "a number too large to read keeps the old value";
}

TEST(SetsValues, CompressBitsAndTextsRoundTrip) {
    TSettings s;
    s.Compress = 5;
    s.Delim = "::";
    s.Separ = "^t";
    s.DateIns = "dd.mm.yyyy";
    TSetsValues v = SetsFromSettings(s);
    EXPECT_TRUE(v.CompressSpaces);
    EXPECT_FALSE(v.CompressMerge);
    EXPECT_TRUE(v.CompressParagraphs);
    EXPECT_FALSE(v.CompressTabs);
    v.CompressTabs = true;
    TSettings t;
    StoreSets(v, t);
    EXPECT_EQ(t.Compress, 13);
    EXPECT_EQ(t.Delim, "::");
    EXPECT_EQ(t.DateIns, "dd.mm.yyyy");
}

TEST(SetsValues, NumberBoxTextKeepsDigitsOnly) {
    EXPECT_EQ(NumberBoxText("123"), "123");
    EXPECT_EQ(NumberBoxText(""), "");
    EXPECT_EQ(NumberBoxText("12a"), "");
    EXPECT_EQ(NumberBoxText("-1"), "");
}

}  // namespace
}  // namespace tarvex
