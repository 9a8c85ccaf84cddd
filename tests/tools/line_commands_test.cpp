// Sort lines and Compress lines on an editor: selection or whole text, one
// undo step, nothing recorded when nothing changes.

#include "tools/line_commands.h"

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"

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
