// Saving through a temporary file: permissions, links, and failures that
// must leave the old file as it was.

#include "app/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

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

TEST(SaveFileAtomicallyByName, HardLinksAndDevicesAsForStreams) {
    TTempDir dir;
    WriteFile(dir / "doc.pdf", "old content, longer");
    ::chmod((dir / "doc.pdf").c_str(), 0444);
    ASSERT_EQ(::link((dir / "doc.pdf").c_str(), (dir / "link.pdf").c_str()), 0);
    const TSaveResult r = SaveFileAtomicallyByName(dir / "doc.pdf", [](const std::string& Path) { WriteFile(Path, "by name"); });
    EXPECT_EQ(r.Method, smInPlace);
    EXPECT_EQ(ReadFile(dir / "link.pdf"), "by name");
    EXPECT_EQ(Mode(dir / "doc.pdf"), 0444u);
    EXPECT_EQ(Entries(dir.Path()), 2u) << "neither temporary nor backup left";
    EXPECT_EQ(SaveFileAtomicallyByName("/dev/null", [](const std::string& Path) { WriteFile(Path, "x"); }).Method, smDirect);
}

// --- what a rename would lose

// A POSIX access ACL in its extended-attribute form: owner rw, user 65534 rw,
// owning group r, mask rw, others r.
std::string SampleAcl() {
    auto entry = [](std::uint16_t Tag, std::uint16_t Perm, std::uint32_t Id) {
        std::string e(8, '\0');
        std::memcpy(e.data(), &Tag, 2);
        std::memcpy(e.data() + 2, &Perm, 2);
        std::memcpy(e.data() + 4, &Id, 4);
        return e;
    };
    const std::uint32_t version = 2, none = 0xFFFFFFFF;
    std::string acl(4, '\0');
    std::memcpy(acl.data(), &version, 4);
    acl += entry(0x01, 6, none) + entry(0x02, 6, 65534) + entry(0x04, 4, none) + entry(0x10, 6, none) +
           entry(0x20, 4, none);
    return acl;
}

std::string Attribute(const std::string& Path, const char* Name) {
    char buf[4096];
    const ssize_t n = ::getxattr(Path.c_str(), Name, buf, sizeof buf);
    return n < 0 ? std::string() : std::string(buf, static_cast<std::size_t>(n));
}

TEST(SaveFileAtomically, AclsAndExtendedAttributesSurviveTheRename) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "old");
    const std::string acl = SampleAcl();
    if (::setxattr(doc.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
        ::setxattr(doc.c_str(), "user.origin", "mail", 4, 0) != 0)
        GTEST_SKIP() << "no ACLs or user attributes on this file system";
    const mode_t before = Mode(doc);
    const TSaveResult r = SaveFileAtomically(doc, [](TStream& S) { S.Write("new", 3); });
    EXPECT_EQ(ReadFile(doc), "new");
    EXPECT_EQ(Attribute(doc, "system.posix_acl_access"), acl) << "the ACL was dropped";
    EXPECT_EQ(Attribute(doc, "user.origin"), "mail");
    EXPECT_EQ(Mode(doc), before) << "the mask must not widen the group's rights";
    EXPECT_EQ(r.Method, smRenamed);
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

TEST(SaveFileAtomically, AHardLinkedFileIsWrittenInPlace) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "a longer old content");
    ASSERT_EQ(::link(doc.c_str(), (dir / "other-name.txt").c_str()), 0);
    const TFileIdentity before = FileIdentityOf(doc);
    const TSaveResult r = SaveFileAtomically(doc, [](TStream& S) { S.Write("short", 5); });
    EXPECT_EQ(r.Method, smInPlace);
    EXPECT_EQ(ReadFile(doc), "short") << "the file is cut to the new length";
    EXPECT_EQ(ReadFile(dir / "other-name.txt"), "short") << "the link was broken";
    EXPECT_EQ(FileIdentityOf(doc).Inode, before.Inode);
    EXPECT_EQ(r.Identity, FileIdentityOf(doc));
    EXPECT_EQ(Entries(dir.Path()), 2u) << "the backup is removed";
    EXPECT_EQ(InterruptedSaveBackup(doc), "");
}

TEST(SaveFileAtomically, AFailedInPlaceWriteIsUndoneFromTheBackup) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "precious and long");
    ASSERT_EQ(::link(doc.c_str(), (dir / "link.txt").c_str()), 0);
    try {
        SaveFileAtomically(doc, [](TStream& S) {
            S.Write("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX", 36);
            throw EStreamError("No space left on device");
        });
        ADD_FAILURE() << "the failure was not reported";
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("No space left"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(doc), "precious and long");
    EXPECT_EQ(ReadFile(dir / "link.txt"), "precious and long");
    EXPECT_EQ(Entries(dir.Path()), 2u) << "no backup or temporary is left";
    // Any failure of the writer, not only a stream error.
    EXPECT_THROW(SaveFileAtomically(doc,
                                    [](TStream& S) {
                                        S.Write("YYYYYYYYYYYYYYYYYYYYYYYYYYYY", 28);
                                        throw std::runtime_error("stopped");
                                    }),
                 EStreamError);
    EXPECT_EQ(ReadFile(doc), "precious and long");
    EXPECT_EQ(Entries(dir.Path()), 2u);
}

// Runs Body in a child process under another user; its exit status.
int AsUser(uid_t Uid, const std::function<int()>& Body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(Uid) != 0 || ::setuid(Uid) != 0) ::_exit(99);
        ::_exit(Body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST(SaveFileAtomically, AnotherUsersFileKeepsItsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
    TTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string folder = dir / "shared";
    std::filesystem::create_directory(folder);
    ::chown(folder.c_str(), 65534, 65534);
    const std::string doc = folder + "/root-owned.txt";
    WriteFile(doc, "root's text");
    ::chmod(doc.c_str(), 0666);
    const int rc = AsUser(65534, [&] {
        try {
            const TSaveResult r = SaveFileAtomically(doc, [](TStream& S) { S.Write("edited", 6); });
            return r.Method == smInPlace ? 0 : 1;
        } catch (const std::exception&) {
            return 2;
        }
    });
    EXPECT_EQ(rc, 0) << "written by rename (1) or failed (2)";
    struct stat st {};
    ::stat(doc.c_str(), &st);
    EXPECT_EQ(st.st_uid, 0u) << "the file was given to the saving user";
    EXPECT_EQ(ReadFile(doc), "edited");
    EXPECT_EQ(Entries(folder), 1u);
}

TEST(MayWriteFile, ReadOnlyFilesAreToldApart) {
    TTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    WriteFile(dir / "ro.txt", "x");
    ::chmod((dir / "ro.txt").c_str(), 0444);
    WriteFile(dir / "rw.txt", "x");
    ::chmod((dir / "rw.txt").c_str(), 0644);
    EXPECT_FALSE(MayWriteFile(dir / "ro.txt"));
    EXPECT_TRUE(MayWriteFile(dir / "rw.txt"));
    EXPECT_TRUE(MayWriteFile(dir / "missing.txt")) << "nothing to overwrite";
    ASSERT_EQ(::symlink("ro.txt", (dir / "link").c_str()), 0);
    EXPECT_FALSE(MayWriteFile(dir / "link"));
    if (::geteuid() == 0) {
        // For another user root's 0644 file is read-only.
        EXPECT_EQ(AsUser(65534, [&] { return MayWriteFile(dir / "rw.txt") ? 1 : 0; }), 0);
    }
}

// --- a file changed behind the editor's back

TEST(FileUnchanged, AChangeWithTheOldModificationTimeIsNoticed) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "version 1");
    const TFileIdentity taken = FileIdentityOf(doc);
    EXPECT_TRUE(taken.Exists);
    EXPECT_TRUE(FileUnchanged(taken, doc));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WriteFile(doc, "version 2");  // same size
    struct stat st {};
    ::stat(doc.c_str(), &st);
    const timespec times[2] = {st.st_atim, {static_cast<time_t>(taken.ModifiedNs / 1'000'000'000),
                                            static_cast<long>(taken.ModifiedNs % 1'000'000'000)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, doc.c_str(), times, 0), 0);
    EXPECT_EQ(FileModifiedNs(doc), taken.ModifiedNs) << "the other program put the time back";
    EXPECT_FALSE(FileUnchanged(taken, doc));
    // Replaced by another file, or gone.
    const TFileIdentity now = FileIdentityOf(doc);
    WriteFile(dir / "new.txt", "version 2");
    std::filesystem::rename(dir / "new.txt", doc);
    EXPECT_FALSE(FileUnchanged(now, doc));
    std::filesystem::remove(doc);
    EXPECT_FALSE(FileUnchanged(now, doc));
    EXPECT_TRUE(FileUnchanged(FileIdentityOf(doc), doc)) << "missing then, missing now";
}

TEST(FileUnchanged, TheIdentityOfASaveMatchesTheFileItWrote) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "old");
    const TSaveResult r = SaveFileAtomically(doc, [](TStream& S) { S.Write("new text", 8); });
    EXPECT_TRUE(FileUnchanged(r.Identity, doc));
    EXPECT_EQ(r.Identity.Size, 8);
}

// --- leftovers of interrupted saves

TEST(RemoveStaleTemporaries, OnlyOurUnheldLeftoversGo) {
    TTempDir dir;
    const std::string doc = dir / "doc.txt";
    WriteFile(doc, "text");
    WriteFile(dir / ".doc.txt.tarvex-Ab12Cd", "killed save");
    WriteFile(dir / ".doc.txt.tarvex-Zz99zz", "running save");
    WriteFile(dir / ".doc.txt.tarvex-backup-Qw12Er", "old content kept by an interrupted save");
    WriteFile(dir / ".other.txt.tarvex-Ab12Cd", "another file's");
    WriteFile(dir / ".doc.txt.tarvex-Ab12C", "not our pattern");
    // A save in progress holds its temporary locked.
    const int held = ::open((dir / ".doc.txt.tarvex-Zz99zz").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    if (::geteuid() == 0) {
        WriteFile(dir / ".doc.txt.tarvex-Us3r00", "another user's");
        ::chown((dir / ".doc.txt.tarvex-Us3r00").c_str(), 65534, 65534);
    }
    EXPECT_EQ(RemoveStaleTemporaries(doc), 1);
    EXPECT_FALSE(FileExists(dir / ".doc.txt.tarvex-Ab12Cd"));
    EXPECT_TRUE(FileExists(dir / ".doc.txt.tarvex-Zz99zz"));
    EXPECT_TRUE(FileExists(dir / ".doc.txt.tarvex-backup-Qw12Er"));
    EXPECT_TRUE(FileExists(dir / ".other.txt.tarvex-Ab12Cd"));
    EXPECT_TRUE(FileExists(dir / ".doc.txt.tarvex-Ab12C"));
    EXPECT_EQ(InterruptedSaveBackup(doc), dir / ".doc.txt.tarvex-backup-Qw12Er");
    ::close(held);
    // The next save clears what is no longer held.
    Save(doc, "saved");
    EXPECT_FALSE(FileExists(dir / ".doc.txt.tarvex-Zz99zz"));
    EXPECT_EQ(ReadFile(doc), "saved");
}

// --- targets that are not regular files

TEST(SaveFileAtomically, DevicesAndPipesAreWrittenIntoNeverReplaced) {
    TTempDir dir;
    ASSERT_EQ(::symlink("/dev/null", (dir / "null").c_str()), 0);
    EXPECT_EQ(SaveFileAtomically(dir / "null", [](TStream& S) { S.Write("gone", 4); }).Method, smDirect);
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "/dev/null was replaced";
    EXPECT_EQ(Entries(dir.Path()), 1u);

    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(Save(fifo, "nobody reads"), EStreamError) << "no reader: an error, not a wait";
    std::string got;
    std::thread reader([&] { got = ReadFile(fifo); });
    // The reader may not have opened its end yet.
    for (int i = 0; i < 500; ++i) {
        try {
            Save(fifo, "through the pipe");
            break;
        } catch (const EStreamError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was replaced by a file";
    EXPECT_THROW(Save(dir.Path(), "x"), EStreamError) << "a folder";
}

}  // namespace
}  // namespace tarvex
