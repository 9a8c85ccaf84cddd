#include <gtest/gtest.h>

#include <cctype>

#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

bool Upper(std::string& T) {
    for (char& c : T) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return true;
}

TEST(TextTransform, WholeTextWithoutSelectionIsOneUndoStep) {
    TDudiRiri M;
    M.SetTextBuf("one\r\ntwo\r\nthree");
    M.ClearUndo();
    M.SetSelStart(5);
    ASSERT_TRUE(ApplyTransform(M, Upper));
    EXPECT_EQ(M.Text(), "ONE\r\nTWO\r\nTHREE");
    EXPECT_EQ(M.SelStart(), 0);
    M.Undo();
    EXPECT_EQ(M.Text(), "one\r\ntwo\r\nthree");
    EXPECT_FALSE(M.CanUndo()) << "one step for the whole change";
}

TEST(TextTransform, SelectionInEitherDirectionStaysSelected) {
    for (const bool backward : {false, true}) {
        TDudiRiri M;
        M.SetTextBuf("abc\r\ndef");
        if (backward) {
            M.SetSelStart(7);
            M.SetSelLength(-5);
        } else {
            M.SetSelStart(2);
            M.SetSelLength(5);
        }
        ASSERT_TRUE(ApplyTransform(M, [](std::string& T) {
            T = "<" + T + ">";
            return true;
        }));
        EXPECT_EQ(M.Text(), "ab<c\r\nde>f");
        EXPECT_EQ(M.SelText(), "<c\r\nde>");
        M.Undo();
        EXPECT_EQ(M.Text(), "abc\r\ndef");
    }
}

TEST(TextTransform, DecliningLeavesTextAndUndoAlone) {
    TDudiRiri M;
    M.SetTextBuf("abc");
    M.ClearUndo();
    EXPECT_FALSE(ApplyTransform(M, [](std::string&) { return false; }));
    EXPECT_EQ(M.Text(), "abc");
    EXPECT_FALSE(M.CanUndo());
}

TEST(TextTransform, WholeTextChangeStaysUndoableBeyondTheUndoSpace) {
    TDudiRiri M;
    M.SetTextBuf(std::string(200000, 'x'));
    M.ClearUndo();
    ASSERT_TRUE(ApplyTransform(M, Upper));
    EXPECT_GE(M.UndoMaxSpace(), M.CharCount() + 8192);
    M.Undo();
    EXPECT_EQ(M.Text(), std::string(200000, 'x'));
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST(TextTransform, LoadsAsIsOnlyWithCrLfBreaksAndNoNul) {
    EXPECT_TRUE(LoadsAsIs(""));
    EXPECT_TRUE(LoadsAsIs("a\r\nb\r\n\r\n"));
    EXPECT_FALSE(LoadsAsIs("a\nb"));
    EXPECT_FALSE(LoadsAsIs("a\rb"));
    EXPECT_FALSE(LoadsAsIs("a\r"));
    EXPECT_FALSE(LoadsAsIs("a\n\r"));
    EXPECT_FALSE(LoadsAsIs(std::string("a\0b", 3)));
    EXPECT_TRUE(LoadsAsIs("\t\x01\x0B\x1F\xFF"));
}

TEST(TextTransform, WholeTextFromAStreamIsOneUndoStepTakingTheOldText) {
    TDudiRiri M;
    M.SetTextBuf("one\r\ntwo");
    M.ClearUndo();
    M.SetSelStart(4);
    TMemoryStream s("ONE\r\nTWO\r\nTHREE");
    M.ReplaceAllFromStream(s, M.Text());
    EXPECT_EQ(M.Text(), "ONE\r\nTWO\r\nTHREE");
    EXPECT_EQ(M.SelStart(), 0);
    EXPECT_TRUE(M.Modified);
    M.Undo();
    EXPECT_EQ(M.Text(), "one\r\ntwo");
    EXPECT_FALSE(M.CanUndo());
    M.Redo();
    EXPECT_EQ(M.Text(), "ONE\r\nTWO\r\nTHREE");
    // Without undo levels nothing is recorded.
    M.SetUndoMaxLevel(0);
    TMemoryStream t("x");
    M.ReplaceAllFromStream(t, M.Text());
    EXPECT_EQ(M.Text(), "x");
    EXPECT_FALSE(M.CanUndo());
}

}  // namespace
}  // namespace tarvex
