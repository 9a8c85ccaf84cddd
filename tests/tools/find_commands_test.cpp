// The find commands on an editor control without a window: the next
// occurrence by both searches, counting, listing, replacing one occurrence
// and all of them, with the questions and messages they give.

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "tools/find_commands.h"
#include "tools/find_replace.h"

namespace tarvex {
namespace {

// Answers Yes unless told otherwise, and keeps what was said.
struct TPromptLog : TScriptedPrompts {
    TPromptLog() { Default = paYes; }
    std::string Last() const { return Messages.empty() ? "" : Messages.back(); }
};

class FindCommands : public ::testing::Test {
protected:
    TDudiRiri M;
    TSearchState S;
    TPromptLog P;
    bool Russian = false;

    TFindCommands C() { return TFindCommands(M, S, P, Russian); }
    void Search(std::string_view Text, bool MatchCase = false, bool WholeWord = false, std::string_view With = "") {
        S.SearchText = Text;
        S.ReplaceText = With;
        S.MatchCase = MatchCase;
        S.WholeWord = WholeWord;
        S.Forward = true;
    }
    void Select(TPos Start, TPos Length) {
        M.SetSelStart(Start);
        M.SetSelLength(Length);
    }
    TPos Low() const { return std::min(M.SelStart(), M.SelStart() + M.SelLength()); }
};

TEST_F(FindCommands, FindNextWithTheEditorsSearchForwardAndBack) {
    M.SetTextBuf("one two One two");
    Search("one");
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(Low(), 0);
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(Low(), 8) << "ignoring case";
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(P.Last(), "Search is finished.") << "the last occurrence is still selected";
    EXPECT_EQ(Low(), 8);
    S.Forward = false;
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(Low(), 0);
    M.SetSelStart(4);
    Search("three");
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(P.Last(), "three\nNot found!        ");
}

TEST_F(FindCommands, TheStoreSearchStepsOverTheSelectedOccurrenceBothWays) {
    // A TAB in the search text takes the store search.
    M.SetTextBuf("a\tb a\tb\r\na\tB");
    Search("a\tb");
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 0);
    EXPECT_EQ(M.SelLength(), 3);
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 4) << "stepped over the selected one";
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 9) << "the other case, selected as it stands";
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 9) << "nothing beyond: the occurrence stays selected";
    EXPECT_EQ(M.SelLength(), 3);
    EXPECT_EQ(P.Last(), "Search is finished.");
    S.Forward = false;
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 4);
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 0) << "the occurrence just before the selected one";
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 0);
    EXPECT_EQ(M.SelLength(), 3);
}

TEST_F(FindCommands, AdjacentOccurrencesAreEachFoundBackward) {
    M.SetTextBuf("x\tx\tx\t");
    Search("x\t");
    M.SetSelStart(M.CharCount());
    S.Forward = false;
    std::vector<TPos> found;
    while (C().FindNext()) found.push_back(M.SelStart());
    EXPECT_EQ(found, (std::vector<TPos>{4, 2, 0}));
}

TEST_F(FindCommands, EscapesFindAWordAtAParagraphsEndAndTheNextAtTheNextsStart) {
    M.SetTextBuf("first end\r\nstart of the next");
    TFindDialogValues v;
    v.FindText = "end^Pstart";
    v.Escapes = true;
    v.WholeWord = true;  // ignored by the store search
    S.TakeSearchParams(v);
    EXPECT_EQ(S.SearchText, "end\r\nstart");
    ASSERT_TRUE(C().FindNext());
    EXPECT_EQ(M.SelStart(), 6);
    EXPECT_EQ(M.SelText(), "end\r\nstart");
    M.SetSelStart(0);
    v.FindText = "nd^pstart";
    S.TakeSearchParams(v);
    ASSERT_TRUE(C().FindNext()) << "whole words do not apply to this search";
    M.SetSelStart(0);
    v.FindText = "missing^tword";
    S.TakeSearchParams(v);
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(P.Last(), "missing^tword\nNot found!        ") << "shown with its escapes";
}

TEST_F(FindCommands, ALongSearchTextIsShownShortened) {
    const std::string longText(70, 'q');
    M.SetTextBuf("some text " + longText.substr(1));
    Search(longText);
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(P.Last(), std::string(64, 'q') + "...\nNot found!        ");
    M.SetTextBuf("some text " + longText + " end");
    EXPECT_TRUE(C().FindNext()) << "texts of 64 characters and more take the store search";
    EXPECT_EQ(M.SelStart(), 10);
    Russian = true;
    M.SetSelStart(0);
    Search(std::string(70, 'z'));
    EXPECT_FALSE(C().FindNext());
    EXPECT_EQ(P.Last(), std::string(64, 'z') + "...\nНе найден!        ");
}

TEST_F(FindCommands, CountAndListInTheThreeRanges) {
    M.SetTextBuf("cat dog\r\ncat, cat\r\ndogcat");
    Search("cat", true, true);
    EXPECT_EQ(C().Count(frGlobal), 3);
    EXPECT_EQ(P.Last(), "3 fragments are found");
    M.SetSelStart(9);
    EXPECT_EQ(CountOccurrences(M, S, frFromCursor), 2);
    Select(18, -12);  // backward: "dog\r\ncat, c" .. from 4 to 18
    EXPECT_EQ(CountOccurrences(M, S, frSelection), 2);
    S.WholeWord = false;
    EXPECT_EQ(CountOccurrences(M, S, frGlobal), 4);
    std::vector<TFoundEntry> list;
    EXPECT_EQ(ListOccurrences(M, S, frGlobal, kMaxListed, list), 4);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1].Pos, 9);
    EXPECT_EQ(list[1].Line, 2);
    EXPECT_EQ(list[1].Text, "cat, cat");
    EXPECT_EQ(list[3].Pos, 22);
    EXPECT_EQ(list[3].Line, 3);
    EXPECT_EQ(M.SelStart(), 18) << "listing leaves the caret where it was";
    GoToEntry(M, S, list[2].Pos);
    EXPECT_EQ(M.SelStart(), 14);
    EXPECT_EQ(M.SelText(), "cat");
    Russian = true;
    C().Count(frGlobal);
    EXPECT_EQ(P.Last(), "Найдено 4 совпадений");
}

TEST_F(FindCommands, TenThousandOccurrencesAreListedTenThousandAndOneAreNot) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "hit ";
    M.SetTextBuf(text);
    Search("hit");
    std::vector<TFoundEntry> list;
    EXPECT_EQ(ListOccurrences(M, S, frGlobal, kMaxListed, list), 10000);
    EXPECT_EQ(list.size(), 10000u);
    EXPECT_EQ(list.back().Pos, 4 * 9999);
    M.SetSelStart(M.CharCount());
    M.SetSelTextBuf("hit");
    EXPECT_EQ(ListOccurrences(M, S, frGlobal, kMaxListed, list), 10001);
    EXPECT_TRUE(list.empty());
}

TEST_F(FindCommands, LongLinesAreListedAroundTheOccurrence) {
    std::string text(5000, 'x');
    text.replace(3000, 6, "needle");
    M.SetTextBuf(text);
    Search("needle");
    std::vector<TFoundEntry> list;
    ListOccurrences(M, S, frGlobal, kMaxListed, list, 100);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Text.size(), 100u);
    EXPECT_NE(list[0].Text.find("needle"), std::string::npos);
}

TEST_F(FindCommands, ReplaceAsksAndGoesOnToTheNext) {
    M.SetTextBuf("red green red blue red");
    M.ClearUndo();
    Search("red", false, false, "pink");
    EXPECT_TRUE(C().Replace(true)) << "finds the first itself";
    EXPECT_EQ(P.Questions.back(), "Replace?");
    EXPECT_EQ(M.Text(), "pink green red blue red");
    EXPECT_EQ(M.SelText(), "red") << "the next occurrence is selected";
    P.Default = TPrompts::paNo;
    EXPECT_FALSE(C().Replace(true));
    EXPECT_EQ(M.Text(), "pink green red blue red") << "No leaves it";
    EXPECT_EQ(Low(), 20) << "and goes on to the next";
    P.Default = TPrompts::paYes;
    S.ReplaceText.clear();
    Russian = true;
    EXPECT_TRUE(C().Replace(false));
    EXPECT_EQ(P.Questions.back(), "Удалить?");
    EXPECT_EQ(M.Text(), "pink green red blue ");
    M.Undo();
    EXPECT_EQ(M.Text(), "pink green red blue red") << "one undo step per replacement";
}

TEST_F(FindCommands, ReplaceAllInTheThreeRanges) {
    const std::string text = "ab ab\r\nab xab\r\nab";
    for (const TFindRange range : {frGlobal, frFromCursor, frSelection}) {
        M.SetTextBuf(text);
        M.ClearUndo();
        P.Messages.clear();
        Search("ab", true, true, "XYZ");
        // A backward selection from 16 back to 3: "ab\r\nab xab\r\na".
        Select(16, -13);
        const std::int64_t n = C().ReplaceAll(range, true);
        switch (range) {
            case frGlobal:
                EXPECT_EQ(M.Text(), "XYZ XYZ\r\nXYZ xab\r\nXYZ");
                EXPECT_EQ(n, 4);
                break;
            case frFromCursor:
                // From the caret (16): the selection lies before it, only "b" is left.
                EXPECT_EQ(M.Text(), text);
                EXPECT_EQ(n, 0);
                EXPECT_EQ(P.Last(), "Nothing to replace!");
                break;
            case frSelection:
                EXPECT_EQ(M.Text(), "ab XYZ\r\nXYZ xab\r\nab") << "the range's ends are separators, 'a' at 16 is no word";
                EXPECT_EQ(n, 2);
                break;
        }
        if (n > 0) {
            EXPECT_EQ(P.Questions.back(), "To make " + std::to_string(n) + " replacements?");
            EXPECT_EQ(P.Last(), std::to_string(n) + " replacements are made!");
            EXPECT_EQ(M.SelStart(), 16) << "the caret goes back where it was";
            EXPECT_EQ(M.SelLength(), 0);
            M.Undo();
            EXPECT_EQ(M.Text(), text) << "one undo step restores every byte";
            EXPECT_FALSE(M.CanUndo());
        }
    }
}

TEST_F(FindCommands, ReplaceAllFromTheCursorStartsBehindAForwardSelection) {
    M.SetTextBuf("one one one one");
    Search("one", true, false, "1");
    Select(4, 3);
    EXPECT_EQ(C().ReplaceAll(frFromCursor, true), 2) << "the question counts what is replaced";
    EXPECT_EQ(P.Questions.back(), "To make 2 replacements?");
    EXPECT_EQ(M.Text(), "one one 1 1");
    EXPECT_EQ(M.SelStart(), 4);
}

TEST_F(FindCommands, ReplaceAllWithNothingRemovesAndFollowsTheAnswer) {
    M.SetTextBuf("a-b-c");
    Search("-", true, false, "");
    P.Default = TPrompts::paNo;
    EXPECT_EQ(C().ReplaceAll(frGlobal, false), 0);
    EXPECT_EQ(P.Questions.back(), "To make 2 removals?");
    EXPECT_EQ(M.Text(), "a-b-c") << "No changes nothing";
    P.Default = TPrompts::paYes;
    Russian = true;
    EXPECT_EQ(C().ReplaceAll(frGlobal, false), 2);
    EXPECT_EQ(P.Questions.back(), "Произвести 2 удалений?");
    EXPECT_EQ(P.Last(), "2 замен произведено!");
    EXPECT_EQ(M.Text(), "abc");
}

TEST_F(FindCommands, ReadOnlyTextIsNotChanged) {
    M.SetTextBuf("keep keep");
    Search("keep", false, false, "lose");
    M.ReadOnly = true;
    EXPECT_EQ(C().ReplaceAll(frGlobal, true), 0);
    EXPECT_FALSE(C().Replace(true));
    EXPECT_EQ(P.Messages, (std::vector<std::string>{"Text is ReadOnly!", "Text is ReadOnly!"}));
    EXPECT_TRUE(P.Questions.empty());
    M.ReadOnly = false;
    M.DisplayOnly = true;
    Russian = true;
    EXPECT_EQ(C().ReplaceAll(frGlobal, true), 0);
    EXPECT_EQ(P.Last(), "Текст только для чтения!!!");
    EXPECT_EQ(M.Text(), "keep keep");
}

TEST_F(FindCommands, SparseOccurrencesAreReplacedOneByOneInOneStep) {
    // Few occurrences in a long text: each is replaced where it stands, and
    // the undo step keeps only them.
    std::string text;
    for (int i = 0; i < 400; ++i) text += (i % 50 == 7 ? "a Needle here, " : "some filler words. ") + std::string(i % 9 == 0 ? "\r\n" : "");
    M.SetTextBuf(text);
    M.ClearUndo();
    Search("needle", false, true, "pin");
    M.SetSelStart(100);
    EXPECT_EQ(C().ReplaceAll(frGlobal, true), 8);
    ASSERT_EQ(M.UndoList().Count(), 1);
    EXPECT_EQ(M.UndoList()[0].Edits.size(), 8u) << "the replacements themselves, not the text";
    EXPECT_TRUE(M.UndoList()[0].Text.empty());
    std::int64_t n = 0;
    EXPECT_EQ(M.Text(), ReplaceAllInString(text, "needle", "pin", false, true, n));
    EXPECT_EQ(M.SelStart(), 100);
    EXPECT_NO_THROW(M.CheckConsistency());
    M.Undo();
    EXPECT_EQ(M.Text(), text);
    M.Redo();
    EXPECT_EQ(CountOccurrences(M, S, frGlobal), 0);
    EXPECT_EQ(M.Text().find("a pin here"), text.find("a Needle here"));
    M.Undo();
    EXPECT_EQ(M.Text(), text);
}

TEST_F(FindCommands, ReplaceAllOfALargeTextIsOneStepThatUndoesToTheSameBytes) {
    // Large enough for the store to keep the replaced text where it was built.
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i) text += "line " + std::to_string(i) + " with the word\r\n";
    M.SetTextBuf(text);
    M.ClearUndo();
    Search("word", true, true, "longer word");
    const std::int64_t n = ReplaceAllOccurrences(M, S, frGlobal);
    EXPECT_GT(n, 50000);
    EXPECT_EQ(M.CharCount(), static_cast<TPos>(text.size()) + n * 7);
    EXPECT_NO_THROW(M.CheckConsistency());
    EXPECT_EQ(CountOccurrences(M, S, frGlobal), n) << "the replacement is not searched again";
    M.Undo();
    EXPECT_EQ(M.Text(), text);
    M.Redo();
    EXPECT_EQ(CountOccurrences(M, S, frGlobal), n);
    M.Undo();
    EXPECT_EQ(M.Text(), text);
    EXPECT_NO_THROW(M.CheckConsistency());
}

}  // namespace
}  // namespace tarvex
