// The search state: escapes, the shortened display text, the histories and
// their limit, and the settings round trip.

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "tools/find_state.h"

namespace tarvex {
namespace {

TEST(FindState, EscapesExpandInEitherCase) {
    EXPECT_EQ(ExpandEscapes("a^pb^Pc^td^Te"), "a\r\nb\r\nc\td\te");
    EXPECT_EQ(ExpandEscapes("^x ^ ^^p end^"), "^x ^ ^\r\n end^");
    EXPECT_EQ(ExpandEscapes(""), "");
}

TEST(FindState, DisplayTextIsShortenedAndShowsEscapes) {
    EXPECT_EQ(DisplayText("a\r\nb\tc", true), "a^pb^tc");
    EXPECT_EQ(DisplayText("a\r\nb\tc", false), "a\r\nb\tc");
    EXPECT_EQ(DisplayText(std::string(63, 'x'), false), std::string(63, 'x'));
    EXPECT_EQ(DisplayText(std::string(64, 'x'), false), std::string(64, 'x') + "...");
    EXPECT_EQ(DisplayText(std::string(62, 'x') + "\r\nyy", true), std::string(62, 'x') + "^p...");
}

TEST(FindState, HistoryKeepsTheNewestFirstUpToItsLimit) {
    TFindHistory h;
    for (const char* t : {"one", "two", "three", "four"}) h.Push(t, 3);
    EXPECT_EQ(h.Items, (std::vector<std::string>{"four", "three", "two"}));
    h.Push("two", 3);
    EXPECT_EQ(h.Items, (std::vector<std::string>{"two", "four", "three"})) << "an entry moves to the top";
    EXPECT_TRUE(h.Remove("four"));
    EXPECT_FALSE(h.Remove("four"));
    EXPECT_EQ(h.Joined(), "two\x01three");
    TFindHistory back;
    back.Split(h.Joined());
    EXPECT_EQ(back.Items, h.Items);
    back.Split("\x01 a\x01\x01" "b\x01");
    EXPECT_EQ(back.Items, (std::vector<std::string>{" a", "b"}));
}

TEST(FindState, TakeSearchParamsReadsTheDialog) {
    TSearchState s;
    s.MaxFndList = 2;
    s.Forward = false;
    TFindDialogValues v;
    v.FindText = "Ёлка^p";
    v.ReplaceText = "ель^t";
    v.MatchCase = true;
    v.Escapes = true;
    s.TakeSearchParams(v);
    EXPECT_EQ(s.SearchText, Utf8ToCp1251("Ёлка\r\n"));
    EXPECT_EQ(s.ReplaceText, Utf8ToCp1251("ель\t"));
    EXPECT_TRUE(s.MatchCase);
    EXPECT_TRUE(s.Forward);
    EXPECT_EQ(s.FindHistory.Items, (std::vector<std::string>{"Ёлка^p"})) << "histories keep what was typed";
    EXPECT_EQ(s.ReplaceHistory.Items, (std::vector<std::string>{"ель^t"}));
    v.Escapes = false;
    v.FindText = "b";
    v.ReplaceText = "";
    s.TakeSearchParams(v);
    EXPECT_EQ(s.ReplaceText, "") << "an empty replacement deletes";
    EXPECT_EQ(s.ReplaceHistory.Items.size(), 1u);
    v.FindText = "c";
    s.TakeSearchParams(v);
    EXPECT_EQ(s.FindHistory.Items, (std::vector<std::string>{"c", "b"})) << "at most MaxFndList entries";
    v.FindText = "";
    s.TakeSearchParams(v);
    EXPECT_EQ(s.SearchText, "c") << "an empty find box keeps the last search";
}

TEST(FindState, SettingsRoundTrip) {
    TSearchState s;
    TFindSettings in;
    in.Find = "line^pnext^ttab";
    in.FndList = "a\x01" "b\x01" "c";
    in.RepList = "x";
    in.MaxFndList = 2;
    s.Load(in);
    EXPECT_EQ(s.SearchText, "line\r\nnext\ttab");
    EXPECT_EQ(s.FindHistory.Items, (std::vector<std::string>{"a", "b"})) << "cut to the limit";
    TFindSettings out = in;
    s.Store(out);
    EXPECT_EQ(out.Find, "line^pnext^ttab") << "one line in the settings file";
    EXPECT_EQ(out.FndList, "a\x01" "b");
    EXPECT_EQ(out.RepList, "x");
    in.MaxFndList = 0;
    s.Load(in);
    EXPECT_EQ(s.MaxFndList, 10) << "a limit outside 1..100 gives the default";
    s.SearchText = Utf8ToCp1251("Привет");
    s.Store(out);
    EXPECT_EQ(out.Find, "Привет") << "UTF-8 in the settings file";
}

}  // namespace
}  // namespace tarvex
