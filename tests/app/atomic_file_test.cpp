// Saving through a temporary file: permissions, links, and failures that
// must leave the old file as it was.

#include "app/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/app/test_files.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TReadOnlyFolder;
using test::TTempDir;
using test::WriteFile;

void Save(const std::string& Path, const std::string& Bytes) {
    SaveFileAtomically(Path, [&](TStream& S) { S.Write(Bytes.data(), static_cast<std::int64_t>(Bytes.size())); });
}

mode_t Mode(const std::string& Path) {
    struct stat st {};
    ::stat(Path.c_str(), &st);
    return st.st_mode & 07777;
}

std::size_t Entries(const std::string& Dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Dir)) ++n;
    return n;
}

TEST(SaveFileAtomically, NewAndReplacedFilesKeepTheirPermissions) {
    TTempDir dir;
    const mode_t mask = ::umask(022);
    Save(dir / "new.txt", "one");
    EXPECT_EQ(ReadFile(dir / "new.txt"), "one");
    EXPECT_EQ(Mode(dir / "new.txt"), 0644u) << "a new file gets what the umask allows";
    WriteFile(dir / "private.txt", "old");
    ::chmod((dir / "private.txt").c_str(), 0600);
    Save(dir / "private.txt", "new");
    EXPECT_EQ(ReadFile(dir / "private.txt"), "new");
    EXPECT_EQ(Mode(dir / "private.txt"), 0600u);
    ::chmod((dir / "private.txt").c_str(), 0751);
    Save(dir / "private.txt", "again");
    EXPECT_EQ(Mode(dir / "private.txt"), 0751u);
    ::umask(mask);
    EXPECT_EQ(Entries(dir.Path()), 2u) << "no temporary file is left";
}

TEST(SaveFileAtomically, ThroughSymbolicLinksTheTargetIsReplaced) {
    TTempDir dir;
    std::filesystem::create_directory(dir / "real");
    WriteFile(dir / "real/doc.txt", "old");
    ASSERT_EQ(::symlink("real/doc.txt", (dir / "rel-link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "rel-link").c_str(), (dir / "abs-link").c_str()), 0);
    Save(dir / "abs-link", "through two links");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "abs-link"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "rel-link"));
    EXPECT_EQ(ReadFile(dir / "real/doc.txt"), "through two links");
    EXPECT_EQ(FollowLinks(dir / "abs-link"), dir / "real/doc.txt");
    // A dangling link: the file it names is created.
    ASSERT_EQ(::symlink("real/later.txt", (dir / "dangling").c_str()), 0);
    Save(dir / "dangling", "made");
    EXPECT_EQ(ReadFile(dir / "real/later.txt"), "made");
    EXPECT_EQ(Entries(dir / "real"), 2u);
}

TEST(SaveFileAtomically, AFailingWriteKeepsTheOldFile) {
    TTempDir dir;
    WriteFile(dir / "doc.txt", "precious");
    EXPECT_THROW(SaveFileAtomically(dir / "doc.txt",
                                    [](TStream& S) {
                                        S.Write("partial", 7);
                                        throw EStreamError("No space left on device");
                                    }),
                 EStreamError);
    EXPECT_EQ(ReadFile(dir / "doc.txt"), "precious");
    EXPECT_EQ(Entries(dir.Path()), 1u) << "the temporary is removed";
    try {
        SaveFileAtomically(dir / "doc.txt", [](TStream&) { throw EStreamError("disk full"); });
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("doc.txt"), std::string::npos) << "the message names the file";
        EXPECT_NE(std::string(e.what()).find("disk full"), std::string::npos);
    }
}

TEST(SaveFileAtomically, AReadOnlyFolderKeepsTheOldFile) {
    TTempDir dir;
    WriteFile(dir / "doc.txt", "precious");
    TReadOnlyFolder ro(dir.Path());
    if (!ro.Works()) GTEST_SKIP() << "no way to make a folder read-only here";
    EXPECT_THROW(Save(dir / "doc.txt", "new"), EStreamError);
    ro.Release();
    EXPECT_EQ(ReadFile(dir / "doc.txt"), "precious");
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(SaveFileAtomically, LongNamesAndMissingFolders) {
    TTempDir dir;
    const std::string longName = std::string(250, 'n') + ".txt";
    Save(dir / longName, "long");
    EXPECT_EQ(ReadFile(dir / longName), "long") << "the temporary's name stays within the limit";
    EXPECT_THROW(Save(dir / "no/such/folder.txt", "x"), EStreamError);
}

TEST(SaveFileAtomicallyByName, WritersByNameReplaceTheFileOnlyWhenDone) {
    TTempDir dir;
    WriteFile(dir / "out.pdf", "old");
    ::chmod((dir / "out.pdf").c_str(), 0640);
    std::string temp;
    SaveFileAtomicallyByName(dir / "out.pdf", [&](const std::string& Path) {
        temp = Path;
        EXPECT_EQ(std::filesystem::path(Path).parent_path(), std::filesystem::path(dir.Path())) << "beside the target";
        WriteFile(Path, "new contents");
    });
    EXPECT_EQ(ReadFile(dir / "out.pdf"), "new contents");
    EXPECT_EQ(Mode(dir / "out.pdf"), 0640u);
    EXPECT_FALSE(std::filesystem::exists(temp));

    EXPECT_THROW(SaveFileAtomicallyByName(dir / "out.pdf",
                                          [&](const std::string& Path) {
                                              WriteFile(Path, "half");
                                              throw EStreamError("the writer failed");
                                          }),
                 EStreamError);
    EXPECT_EQ(ReadFile(dir / "out.pdf"), "new contents") << "a failed writer leaves the old file";
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

}  // namespace
}  // namespace tarvex
