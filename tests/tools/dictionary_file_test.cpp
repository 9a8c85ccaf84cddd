// The dictionary file's sort and append: what the file holds afterwards, a
// missing file, and failures that must leave the file as it was.

#include "tools/dictionary_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/app/test_files.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

const TCollation& En() {
    static const TCollation c(false);
    return c;
}

TEST(DictionaryFile, SortTrimsOrdersAndDropsEmptyAndRepeatedLines) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b=2\r\n  c=3 \r\n\r\nB=2\na=1\r\n");
    EXPECT_TRUE(SortDictionaryFile(f, En()));
    const std::string r = ReadFile(f);
    EXPECT_TRUE(r == "a=1\r\nb=2\r\nc=3" || r == "a=1\r\nB=2\r\nc=3") << r;
    // Sorting again changes nothing; no break follows the last line.
    EXPECT_TRUE(SortDictionaryFile(f, En()));
    EXPECT_EQ(ReadFile(f), r);
}

TEST(DictionaryFile, SortComparesWholeLines) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "a=1\r\na b=2\r\n");
    SortDictionaryFile(f, En());
    EXPECT_EQ(ReadFile(f), "a b=2\r\na=1");
}

TEST(DictionaryFile, MissingFileIsLeftMissing) {
    TTempDir dir;
    const std::string f = dir / "none.dic";
    EXPECT_FALSE(SortDictionaryFile(f, En()));
    EXPECT_FALSE(AddDictionaryItem(f, "x=1", true, En()));
    struct stat st {};
    EXPECT_NE(::stat(f.c_str(), &st), 0);
}

TEST(DictionaryFile, AddAppendsOneLineWithoutEmptyLines) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b=2");
    EXPECT_TRUE(AddDictionaryItem(f, "a=1", false, En()));
    EXPECT_EQ(ReadFile(f), "b=2\r\na=1");
    WriteFile(f, "b=2\r\n");
    AddDictionaryItem(f, "a=1", false, En());
    EXPECT_EQ(ReadFile(f), "b=2\r\na=1");
    WriteFile(f, "");
    AddDictionaryItem(f, "a=1", false, En());
    EXPECT_EQ(ReadFile(f), "a=1");
}

TEST(DictionaryFile, AddThenSortWhenAsked) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "c=3\r\nb=2\r\n");
    EXPECT_TRUE(AddDictionaryItem(f, "a=1", true, En()));
    EXPECT_EQ(ReadFile(f), "a=1\r\nb=2\r\nc=3");
    // A repeated item goes in the sort.
    AddDictionaryItem(f, "B=2", true, En());
    EXPECT_EQ(ReadFile(f), "a=1\r\nb=2\r\nc=3");
}

TEST(DictionaryFile, ModeIsKeptAndTheFileIsReplacedWhole) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b\r\na");
    ::chmod(f.c_str(), 0640);
    SortDictionaryFile(f, En());
    struct stat st {};
    ::stat(f.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadFile(f), "a\r\nb");
}

TEST(DictionaryFile, FailuresLeaveTheFileAsItWas) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b\r\na");
    {
        test::TReadOnlyFolder ro(dir.Path());
        if (ro.Works()) {
            EXPECT_THROW(SortDictionaryFile(f, En()), EStreamError);
            EXPECT_THROW(AddDictionaryItem(f, "c", false, En()), EStreamError);
        }
    }
    EXPECT_EQ(ReadFile(f), "b\r\na");
    // A folder or a pipe is no dictionary: refused before reading.
    EXPECT_THROW(SortDictionaryFile(dir.Path(), En()), EStreamError);
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(AddDictionaryItem(fifo, "x", false, En()), EStreamError);
    // A stopped sort writes nothing.
    TJobControl stop;
    stop.RequestStop();
    EXPECT_THROW(SortDictionaryFile(f, En(), &stop), EJobStopped);
    EXPECT_EQ(ReadFile(f), "b\r\na");
}

}  // namespace
}  // namespace tarvex
