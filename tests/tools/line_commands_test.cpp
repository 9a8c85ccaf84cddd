// Sort lines and Compress lines on an editor: selection or whole text, one
// undo step, nothing recorded when nothing changes.

#include "tools/line_commands.h"

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "tools/compress_lines.h"

namespace tarvex {
namespace {

const TCollation& En() {
    static const TCollation c(false);
    return c;
}

TEST(LineCommands, SortsTheWholeTextAsOneUndoStep) {
    TDudiRiri M;
    M.SetTextBuf("pear\r\napple\r\n\r\nfig");
    M.ClearUndo();
    M.SetSelStart(3);
    ASSERT_TRUE(SortLines(M, {}, En()));
    EXPECT_EQ(M.Text(), "apple\r\nfig\r\npear\r\n");
    EXPECT_EQ(M.SelStart(), 0);
    M.Undo();
    EXPECT_EQ(M.Text(), "pear\r\napple\r\n\r\nfig");
    EXPECT_FALSE(M.CanUndo());
}

TEST(LineCommands, SortsOnlyTheSelectedLines) {
    TDudiRiri M;
    M.SetTextBuf("z\r\nc\r\nb\r\na");
    M.SetSelStart(3);
    M.SetSelLength(6);  // "c\r\nb\r\n"
    ASSERT_TRUE(SortLines(M, {}, En()));
    EXPECT_EQ(M.Text(), "z\r\nb\r\nc\r\na");
    EXPECT_EQ(M.SelText(), "b\r\nc\r\n");
}

TEST(LineCommands, AStoppedSortLeavesTheTextAlone) {
    TDudiRiri M;
    M.SetTextBuf("b\r\na");
    M.ClearUndo();
    TJobControl job;
    job.RequestStop();
    EXPECT_THROW(SortLines(M, {}, En(), &job), EJobStopped);
    EXPECT_EQ(M.Text(), "b\r\na");
    EXPECT_FALSE(M.CanUndo());
}

TEST(LineCommands, CompressIsOneUndoStepAndRecordsNothingWhenClean) {
    TDudiRiri M;
    M.SetTextBuf("a  b\r\nc\r\n\r\n\r\n\r\nD");
    M.ClearUndo();
    ASSERT_TRUE(CompressLines(M, 15));
    EXPECT_EQ(M.Text(), "a b c\r\n\r\nD");
    M.Undo();
    EXPECT_EQ(M.Text(), "a  b\r\nc\r\n\r\n\r\n\r\nD");
    EXPECT_FALSE(M.CanUndo());
    M.Redo();
    M.ClearUndo();
    EXPECT_FALSE(CompressLines(M, 15));
    EXPECT_FALSE(M.CanUndo());
    // On a selection only.
    M.SetTextBuf("x  y\r\nx  y");
    M.SetSelStart(6);
    M.SetSelLength(4);
    ASSERT_TRUE(CompressLines(M, 1));
    EXPECT_EQ(M.Text(), "x  y\r\nx y");
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// A text large enough for Compress lines to go straight into the store.
std::string LargeText(const char* Line, std::size_t Bytes) {
    std::string t;
    while (t.size() < Bytes) t += Line;
    return t;
}

TEST(LineCommands, LargeCompressGoesIntoTheStoreAsOneUndoStep) {
    const std::string text = LargeText("first  line\r\nof a paragraph .\r\n\r\n\r\n\r\n  Next\r\n", 5 << 20);
    TDudiRiri M;
    M.SetTextBuf(text);
    M.LineBreak = pbLF;
    M.ClearUndo();
    M.Modified = false;
    std::string want = text;
    ASSERT_TRUE(CompressText(want, cmpAll));
    ASSERT_TRUE(CompressLines(M, cmpAll));
    EXPECT_EQ(M.CharCount(), static_cast<TPos>(want.size()));
    EXPECT_TRUE(M.Text() == want);
    EXPECT_EQ(M.SelStart(), 0);
    EXPECT_TRUE(M.Modified);
    EXPECT_EQ(M.LineBreak, pbLF) << "the document keeps the line breaks it is saved with";
    EXPECT_NO_THROW(M.CheckConsistency());
    M.Undo();
    EXPECT_TRUE(M.Text() == text);
    EXPECT_FALSE(M.CanUndo());
    M.Redo();
    EXPECT_TRUE(M.Text() == want);
    // Compressed again nothing changes, and nothing is recorded.
    M.ClearUndo();
    M.Modified = false;
    EXPECT_FALSE(CompressLines(M, cmpAll));
    EXPECT_FALSE(M.CanUndo());
    EXPECT_FALSE(M.Modified);
    EXPECT_TRUE(M.Text() == want);
}

TEST(LineCommands, LargeTextWithALoneBreakTakesTheEditingPath) {
    // A lone LF is an ordinary character inside a paragraph; loaded as a file
    // it would split it, so such a text is replaced through the editing primitive.
    std::string text = LargeText("word  word\r\n", 5 << 20);
    text.insert(100, "\n");
    TDudiRiri M;
    M.SetTextBuf(text);
    const std::int32_t pars = M.ParagraphCount();
    M.ClearUndo();
    std::string want = text;
    CompressText(want, cmpDoubleSpaces);
    ASSERT_TRUE(CompressLines(M, cmpDoubleSpaces));
    EXPECT_TRUE(M.Text() == want);
    EXPECT_EQ(M.ParagraphCount(), pars);
    M.Undo();
    EXPECT_TRUE(M.Text() == text);
}

TEST(LineCommands, AFailedLargeCompressLeavesTheText) {
    const std::string text = LargeText("a  b\r\n", 5 << 20);
    TDudiRiri M;
    M.SetTextBuf(text);
    M.ClearUndo();
    // No paragraph may grow beyond 8 bytes: merging the lines makes one that would.
    M.Pars.MaxParLen = 8;
    EXPECT_THROW(CompressLines(M, cmpAll), std::exception);
    M.Pars.MaxParLen = TParagraphsList::kMaxParLen;
    EXPECT_TRUE(M.Text() == text);
    EXPECT_FALSE(M.CanUndo());
    EXPECT_NO_THROW(M.CheckConsistency());
}

}  // namespace
}  // namespace tarvex
