// The bookmark list, its files, and the bookmark commands on an editor.

#include "tools/bookmarks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>


#include "editor/dudi_riri.h"
#include "tests/app/test_files.h"
#include "textstore/stream.h"
#include "tools/bookmark_commands.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;
using Lines = std::vector<std::string>;

TEST(Bookmarks, TheSameEntryIsKeptOnce) {
    TBookmarks b;
    EXPECT_TRUE(b.Add(10, "here", 0));
    EXPECT_FALSE(b.Add(10, "here", 0));
    EXPECT_TRUE(b.Add(10, "there", 0));
    EXPECT_EQ(b.Items(), (Lines{"10=here", "10=there"}));
    EXPECT_TRUE(b.Add(-4, "x", 0));
    EXPECT_EQ(b.Items().back(), "0=x");
}

TEST(Bookmarks, MarkCountDropsTheOldest) {
    TBookmarks b;
    for (int i = 1; i <= 4; ++i) b.Add(i, "m" + std::to_string(i), 3);
    EXPECT_EQ(b.Items(), (Lines{"2=m2", "3=m3", "4=m4"}));
    // A lower limit later trims the list down to it.
    b.Add(5, "m5", 2);
    EXPECT_EQ(b.Items(), (Lines{"4=m4", "5=m5"}));
    b.Add(6, "m6", 0);
    EXPECT_EQ(b.Count(), 3);
}

TEST(Bookmarks, LastPositionFallsBackToTheFirstPosition) {
    TBookmarks b;
    EXPECT_EQ(b.LastPosition(77), 77);
    b.Assign({"12=a", "x5=bad"});
    EXPECT_EQ(b.LastPosition(77), 77) << "a bad number counts as absent";
    b.Assign({"x5=bad", "12=a"});
    EXPECT_EQ(b.LastPosition(77), 12);
    EXPECT_EQ(BookmarkPosition(" 42 =label=more"), 42);
    EXPECT_FALSE(BookmarkPosition("=label"));
    EXPECT_FALSE(BookmarkPosition("-3=label"));
    EXPECT_FALSE(BookmarkPosition("99999999999999999999=huge"));
    EXPECT_EQ(BookmarkLabel("5=a=b"), "a=b");
}

TEST(Bookmarks, EditingAndDeletingKeepTheLastJumpedIndexRight) {
    TBookmarks b;
    b.Assign({"1=a", "2=b", "3=c"});
    b.LastJumped = 2;
    b.Delete(0);
    EXPECT_EQ(b.LastJumped, 1);
    b.Delete(1);
    EXPECT_EQ(b.LastJumped, -1);
    b.SetLabel(0, "new");
    EXPECT_EQ(b.Items(), (Lines{"2=new"}));
    b.Delete(5);
    EXPECT_EQ(b.Count(), 1);
}

TEST(Bookmarks, NextAndPreviousByPositionWrapRound) {
    TBookmarks b;
    b.Assign({"50=c", "10=a", "bad=x", "30=b"});
    EXPECT_EQ(b.NextPosition(10, false), 30);
    EXPECT_EQ(b.NextPosition(50, false), 10);
    EXPECT_EQ(b.NextPosition(30, true), 10);
    EXPECT_EQ(b.NextPosition(5, true), 50);
    b.Assign({"oops=1"});
    EXPECT_FALSE(b.NextPosition(0, false));
}

TEST(Bookmarks, FileRoundTripAndBadInput) {
    TTempDir dir;
    const std::string f = dir / "doc.bkm";
    TBookmarks b;
    b.Assign({"5=first", "900=\xCF\xF0\xE8\xE2\xE5\xF2"});
    b.SaveToFile(f);
    EXPECT_EQ(ReadFile(f), "5=first\r\n900=\xCF\xF0\xE8\xE2\xE5\xF2\r\n");
    TBookmarks c;
    c.LoadFromFile(f);
    EXPECT_EQ(c.Items(), b.Items());
    // Any line break, empty lines skipped; a bad number is kept but never used.
    WriteFile(f, "1=a\n\nzz=b\r3=c");
    c.LoadFromFile(f);
    EXPECT_EQ(c.Items(), (Lines{"1=a", "zz=b", "3=c"}));
    c.LoadFromFile(dir / "missing.bkm");
    EXPECT_TRUE(c.Empty());
    EXPECT_THROW(c.LoadFromFile(dir.Path()), EStreamError);
}

TEST(Bookmarks, PerDocumentFileIsLoadedAtOpenAndWrittenOrDeletedAtClose) {
    TTempDir dir;
    const std::string folder = dir / "Bookmarks";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    TBookmarks b;
    b.Add(3, "three", 0);
    StoreDocumentBookmarks(b, folder, "/docs/novel.txt");
    EXPECT_EQ(ReadFile(folder + "/novel.bkm"), "3=three\r\n");

    TBookmarks loaded;
    loaded.Add(1, "stale", 0);
    LoadDocumentBookmarks(loaded, folder, "/elsewhere/novel.txt");
    EXPECT_EQ(loaded.Items(), (Lines{"3=three"}));
    // The same name with another extension is found too, NAME.bkm first.
    WriteFile(folder + "/story.abc", "7=abc\r\n");
    WriteFile(folder + "/story.old", "8=old\r\n");
    LoadDocumentBookmarks(loaded, folder, "/d/story.md");
    EXPECT_EQ(loaded.Items(), (Lines{"7=abc"}));
    WriteFile(folder + "/story.bkm", "9=bkm\r\n");
    LoadDocumentBookmarks(loaded, folder, "/d/story.md");
    EXPECT_EQ(loaded.Items(), (Lines{"9=bkm"}));
    // No file: an empty list.
    LoadDocumentBookmarks(loaded, folder, "/d/other.txt");
    EXPECT_TRUE(loaded.Empty());

    // Closing with an empty list deletes the file.
    StoreDocumentBookmarks(TBookmarks(), folder, "/docs/novel.txt");
    struct stat st {};
    EXPECT_NE(::stat((folder + "/novel.bkm").c_str(), &st), 0);
    EXPECT_NO_THROW(StoreDocumentBookmarks(TBookmarks(), folder, "/docs/novel.txt"));
    // Without a folder or a name nothing is read or written.
    StoreDocumentBookmarks(b, "", "/docs/novel.txt");
    StoreDocumentBookmarks(b, folder, "");
    LoadDocumentBookmarks(loaded, folder, "");
    EXPECT_TRUE(loaded.Empty());
    EXPECT_EQ(BookmarkFileFor(folder, "/a/b.c.txt"), folder + "/b.c.bkm");
    EXPECT_EQ(BookmarkFileFor(folder, "/a/.hidden"), folder + "/.hidden.bkm");
}

TEST(Bookmarks, FolderIsMadeInTheDataFolder) {
    TTempDir dir;
    const std::string data = dir / "config/tarvex/";
    EXPECT_EQ(BookmarkFolder(data), dir / "config/tarvex/Bookmarks");
    struct stat st {};
    EXPECT_EQ(::stat((dir / "config/tarvex/Bookmarks").c_str(), &st), 0) << "made with its parents";
    EXPECT_EQ(BookmarkFolder(data), dir / "config/tarvex/Bookmarks") << "an existing folder is used";
    EXPECT_EQ(BookmarkFolder(""), "");
    // A file where the folder should be: bookmarks are not kept.
    WriteFile(dir / "plain", "x");
    EXPECT_EQ(BookmarkFolder(dir / "plain"), "");
}

// --- the commands on an editor

TEST(BookmarkCommands, AddTakesTheSelectionOrTheCaretLine) {
    TDudiRiri M;
    M.SetWordWrap(false);
    M.SetTextBuf("first line\r\n  second line  \r\nthird");
    TBookmarks b;
    M.SetSelStart(15);
    EXPECT_TRUE(AddBookmarkAtCaret(M, b, 0));
    EXPECT_EQ(b.Items().back(), "15=second line");
    EXPECT_FALSE(AddBookmarkAtCaret(M, b, 0)) << "the same place twice is kept once";
    // A selection gives the label, its breaks as spaces; a backward one its start.
    M.SetSelStart(6);
    M.SetSelLength(10);
    AddBookmarkAtCaret(M, b, 0);
    EXPECT_EQ(b.Items().back(), "6=line   se");
    M.SetSelStart(16);
    M.SetSelLength(-10);
    AddBookmarkAtCaret(M, b, 0);
    EXPECT_EQ(b.Items().back(), "6=line   se") << "the same range backwards is the same entry";
    EXPECT_EQ(b.Count(), 2);
    // The bookmark window's Add ignores the selection.
    EXPECT_TRUE(AddCurrentPosition(M, b, 0));
    EXPECT_EQ(b.Items().back(), "16=second line");
}

TEST(BookmarkCommands, GoAndSelectToTheLastBookmark) {
    TDudiRiri M;
    M.SetTextBuf("0123456789\r\nabcdefghij");
    TBookmarks b;
    M.SetSelStart(20);
    GoToLastBookmark(M, b, 4);
    EXPECT_EQ(M.SelStart(), 4) << "with no bookmarks: where the document was opened";
    b.Add(15, "x", 0);
    GoToLastBookmark(M, b, 4);
    EXPECT_EQ(M.SelStart(), 15);
    M.SetSelStart(20);
    SelectToLastBookmark(M, b, 4);
    EXPECT_EQ(M.SelLength(), -5);
    EXPECT_EQ(M.SelText(), "defgh");
    b.Add(99999, "beyond", 0);
    GoToLastBookmark(M, b, 4);
    EXPECT_EQ(M.SelStart(), M.CharCount());
}

TEST(BookmarkCommands, NextPreviousAndParagraphs) {
    TDudiRiri M;
    M.SetTextBuf("a\r\nb\r\nc\r\nd");
    TBookmarks b;
    EXPECT_FALSE(GoToNextBookmark(M, b, false));
    b.Assign({"6=c", "3=b"});
    M.SetSelStart(0);
    EXPECT_TRUE(GoToNextBookmark(M, b, false));
    EXPECT_EQ(M.SelStart(), 3);
    GoToNextBookmark(M, b, false);
    EXPECT_EQ(M.SelStart(), 6);
    GoToNextBookmark(M, b, false);
    EXPECT_EQ(M.SelStart(), 3);
    GoToNextBookmark(M, b, true);
    EXPECT_EQ(M.SelStart(), 6);
    GoToParagraph(M, 4);
    EXPECT_EQ(M.SelStart(), 9);
    GoToParagraph(M, 400);
    EXPECT_EQ(M.SelStart(), 9);
    GoToParagraph(M, 0);
    EXPECT_EQ(M.SelStart(), 0);
}

}  // namespace
}  // namespace tarvex
