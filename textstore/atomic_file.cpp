#include "textstore/atomic_file.h"

#include <chrono>
#include <future>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tarvex {

namespace {

// The ACL an inherited default gives a new file; dropped from a temporary
// whose target has none.
constexpr const char* kAccessAcl = "system.posix_acl_access";

std::string DirOf(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string BaseOf(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// The names of our files beside a target stay within the file-name limit
// however long the target's is.
std::string TempPrefix(const std::string& Target) { return "." + BaseOf(Target).substr(0, 200) + ".tarvex-"; }
std::string BackupPrefix(const std::string& Target) { return TempPrefix(Target) + "backup-"; }

[[noreturn]] void Fail(const std::string& What, int Err) { throw EStreamError(What + ": " + std::strerror(Err)); }

std::string CannotSave(const std::string& Path) { return "Cannot save \"" + Path + "\""; }

class TFd {
public:
    explicit TFd(int Fd = -1) : FFd(Fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    // Closes now; the error of close() is returned (0 when fine).
    int Close() {
        if (FFd < 0) return 0;
        const int r = ::close(FFd);
        FFd = -1;
        return r == 0 ? 0 : errno;
    }

private:
    int FFd;
};

void SyncFolder(const std::string& Dir) {
    // A rename or an unlink reaches the disk with the folder.
    const int d = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
}

// Creates "Prefix" + six random characters in Dir, locked so that a cleaner
// in another process leaves it alone while this one writes it.
int CreateLocked(const std::string& Dir, const std::string& Prefix, std::string& Name) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        Name = Dir + "/" + Prefix + "XXXXXX";
        const int fd = ::mkostemp(Name.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // Between mkostemp and flock a cleaner may have taken the file: make sure it is still ours.
        struct stat mine {}, named {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &mine) == 0 && ::lstat(Name.c_str(), &named) == 0 &&
            mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Splits a listxattr() answer into names.
std::vector<std::string> AttributeNames(const std::string& Path, int Fd) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t n = Fd >= 0 ? ::flistxattr(Fd, nullptr, 0) : ::listxattr(Path.c_str(), nullptr, 0);
        if (n <= 0) return {};
        std::string buf(static_cast<std::size_t>(n), '\0');
        const ssize_t got = Fd >= 0 ? ::flistxattr(Fd, buf.data(), buf.size()) : ::listxattr(Path.c_str(), buf.data(), buf.size());
        if (got < 0 && errno == ERANGE) continue;  // grew meanwhile
        if (got <= 0) return {};
        std::vector<std::string> names;
        for (std::size_t i = 0; i < static_cast<std::size_t>(got);) {
            const std::size_t end = buf.find('\0', i);
            names.push_back(buf.substr(i, end - i));
            i = end == std::string::npos ? buf.size() : end + 1;
        }
        return names;
    }
    return {};
}

// Gives Fd the extended attributes (ACLs among them) of Source. False when
// one of them cannot be set here.
bool CopyAttributes(const std::string& Source, int Fd) {
    const std::vector<std::string> names = AttributeNames(Source, -1);
    for (const std::string& name : names) {
        const ssize_t n = ::getxattr(Source.c_str(), name.c_str(), nullptr, 0);
        if (n < 0) return false;
        std::string value(static_cast<std::size_t>(n), '\0');
        const ssize_t got = ::getxattr(Source.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0) return false;
        if (::fsetxattr(Fd, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) return false;
    }
    if (std::find(names.begin(), names.end(), kAccessAcl) == names.end()) {
        const std::vector<std::string> got = AttributeNames({}, Fd);
        if (std::find(got.begin(), got.end(), kAccessAcl) != got.end() && ::fremovexattr(Fd, kAccessAcl) != 0)
            return false;
    }
    return true;
}

void CopyAll(int From, int To) {
    if (::lseek(From, 0, SEEK_SET) < 0 || ::lseek(To, 0, SEEK_SET) < 0) Fail("Cannot copy", errno);
    std::vector<char> buf(1 << 20);
    for (;;) {
        const ssize_t n = ::read(From, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail("Cannot read", errno);
        if (n == 0) break;
        THandleStream(To).Write(buf.data(), n);
    }
    const off_t end = ::lseek(To, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(To, end) != 0 || ::fsync(To) != 0) Fail("Cannot write", errno);
}

TSaveResult SaveDirect(const std::string& Path, const std::string& Target, const struct stat& St,
                       const std::function<void(TStream&)>& Write) {
    // A FIFO without a reader would make a blocking open wait for ever.
    int fd;
    do {
        fd = ::open(Target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == ENXIO && S_ISFIFO(St.st_mode))
        throw EStreamError(CannotSave(Path) + ": no program reads from the pipe");
    if (fd < 0) Fail(CannotSave(Path), errno);
    TFd f(fd);
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    THandleStream out(fd);
    try {
        Write(out);
    } catch (const EStreamError& e) {
        throw EStreamError(CannotSave(Path) + ": " + e.what());
    }
    if (S_ISBLK(St.st_mode) && ::fsync(fd) != 0) Fail(CannotSave(Path), errno);
    if (const int err = f.Close()) Fail(CannotSave(Path), err);
    return {smDirect, FileIdentityOf(Target)};
}

TSaveResult SaveInPlace(const std::string& Path, const std::string& Target, const std::function<void(TStream&)>& Write) {
    const std::string dir = DirOf(Target);
    TFd file(::open(Target.c_str(), O_RDWR | O_CLOEXEC));
    if (file.Get() < 0) Fail(CannotSave(Path), errno);
    std::string backup;
    TFd copy(CreateLocked(dir, BackupPrefix(Target), backup));
    if (copy.Get() < 0) Fail(CannotSave(Path) + ": cannot create a backup in \"" + dir + "\"", errno);
    try {
        ::fchmod(copy.Get(), 0600);
        CopyAll(file.Get(), copy.Get());
    } catch (const EStreamError& e) {
        ::unlink(backup.c_str());
        throw EStreamError(CannotSave(Path) + ": cannot back it up: " + e.what());
    }
    SyncFolder(dir);

    try {
        if (::lseek(file.Get(), 0, SEEK_SET) < 0) Fail("Cannot seek", errno);
        THandleStream out(file.Get());
        Write(out);
        const off_t end = ::lseek(file.Get(), 0, SEEK_CUR);
        if (end < 0 || ::ftruncate(file.Get(), end) != 0 || ::fsync(file.Get()) != 0) Fail("Cannot write", errno);
    } catch (...) {
        // Whatever stopped the writer (a full disk, the user), the old bytes go back.
        std::string why = "the text could not be written";
        try {
            throw;
        } catch (const std::exception& e) {
            why = e.what();
        } catch (...) {
        }
        std::string msg = CannotSave(Path) + ": " + why;
        try {
            CopyAll(copy.Get(), file.Get());
            ::unlink(backup.c_str());
        } catch (const EStreamError& restore) {
            msg += "; the old content is kept in \"" + backup + "\" (" + restore.what() + ")";
        }
        throw EStreamError(msg);
    }
    const int err = file.Close();
    if (err != 0) Fail(CannotSave(Path) + " (the old content is kept in \"" + backup + "\")", err);
    copy.Close();
    ::unlink(backup.c_str());
    SyncFolder(dir);
    return {smInPlace, FileIdentityOf(Target)};
}

// Prepares the temporary to take the target's place; false when the rename
// would lose something of the target (the caller then writes in place).
bool TakeOver(int Fd, const std::string& Path, const std::string& Target, bool Exists, const struct stat& St) {
    mode_t mode;
    if (Exists) {
        if (St.st_nlink > 1) return false;  // the other names would keep the old file
        if ((St.st_uid != ::geteuid() || St.st_gid != ::getegid()) && ::fchown(Fd, St.st_uid, St.st_gid) != 0)
            return false;
        mode = St.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // Before the ACL: setting the mode afterwards would change the ACL's mask.
    if (::fchmod(Fd, mode) != 0) Fail(CannotSave(Path) + ": cannot set its permissions", errno);
    return !Exists || CopyAttributes(Target, Fd);
}

}  // namespace

std::string FollowLinks(const std::string& Path) {
    std::string p = Path;
    // The kernel's own limit on links followed in one lookup.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(p.c_str(), buf.data(), buf.size() - 1);
        if (n <= 0) return p;
        std::string target(buf.data(), static_cast<std::size_t>(n));
        p = target.front() == '/' ? target : DirOf(p) + "/" + target;
    }
    return p;
}

namespace {

// Copies the whole of the file at Source into Out.
void CopyFileInto(const std::string& Source, TStream& Out) {
    TFileStream in(Source, TFileStream::fmOpenRead);
    char buf[1 << 16];
    for (std::int64_t n; (n = in.Read(buf, sizeof buf)) > 0;) Out.Write(buf, n);
}

// A scratch file for a writer by name whose target is a device or a pipe
// (whose folder may take no files): in the temporary folder, removed after.
TSaveResult SaveDirectByName(const std::string& Path, const struct stat& St,
                             const std::function<void(const std::string&)>& Write) {
    const char* tmp = std::getenv("TMPDIR");
    std::string scratch = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvex-out-XXXXXX";
    TFd fd(::mkostemp(scratch.data(), O_CLOEXEC));
    if (fd.Get() < 0) Fail(CannotSave(Path) + ": cannot create a temporary file", errno);
    try {
        Write(scratch);
        const TSaveResult r = SaveDirect(Path, Path, St, [&](TStream& Out) { CopyFileInto(scratch, Out); });
        ::unlink(scratch.c_str());
        return r;
    } catch (...) {
        ::unlink(scratch.c_str());
        throw;
    }
}

// The save itself. With a stream writer the temporary takes the target's
// owner, mode and attributes before it is written, so that a file that needs
// writing in place is written only once; a writer by name opens the
// temporary itself, so the mode it may forbid it is set afterwards.
// fsync, with While called every 20 ms until it returns (it runs on a thread of
// its own then): flushing a gigabyte takes seconds the caller may use.
int FlushToDisk(int Fd, const std::function<void()>* While) {
    if (!While || !*While) return ::fsync(Fd) == 0 ? 0 : errno;
    auto done = std::async(std::launch::async, [Fd] { return ::fsync(Fd) == 0 ? 0 : errno; });
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) (*While)();
    return done.get();
}

TSaveResult Save(const std::string& Path, const std::function<void(TStream&)>* Stream,
                 const std::function<void(const std::string&)>* ByName, const std::function<void()>* WhileFlushing = nullptr) {
    struct stat st {};
    bool exists = ::stat(Path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) Fail(CannotSave(Path), EISDIR);
    // Through the kernel's own links too (/dev/stdout naming a pipe).
    if (exists && !S_ISREG(st.st_mode)) return Stream ? SaveDirect(Path, Path, st, *Stream) : SaveDirectByName(Path, st, *ByName);
    const std::string target = FollowLinks(Path);
    const std::string dir = DirOf(target);
    exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) Fail(CannotSave(Path), EINVAL);
    RemoveStaleTemporaries(target);

    std::string temp;
    TFd fd(CreateLocked(dir, TempPrefix(target), temp));
    if (fd.Get() < 0) Fail(CannotSave(Path) + ": cannot create a file in \"" + dir + "\"", errno);
    try {
        if (Stream) {
            if (!TakeOver(fd.Get(), Path, target, exists, st)) {
                fd.Close();
                ::unlink(temp.c_str());
                return SaveInPlace(Path, target, *Stream);
            }
            THandleStream out(fd.Get());
            try {
                (*Stream)(out);
            } catch (const EStreamError& e) {
                throw EStreamError(CannotSave(Path) + ": " + e.what());
            }
        } else {
            try {
                (*ByName)(temp);
            } catch (const EStreamError& e) {
                throw EStreamError(CannotSave(Path) + ": " + e.what());
            }
            // The writer may have made the file afresh under the name.
            TFd written(::open(temp.c_str(), O_RDWR | O_CLOEXEC));
            if (written.Get() < 0) Fail(CannotSave(Path), errno);
            if (!TakeOver(written.Get(), Path, target, exists, st)) {
                const TSaveResult r = SaveInPlace(Path, target, [&](TStream& Out) { CopyFileInto(temp, Out); });
                ::unlink(temp.c_str());
                return r;
            }
            if (::fsync(written.Get()) != 0) Fail(CannotSave(Path), errno);
        }
        if (const int err = FlushToDisk(fd.Get(), WhileFlushing)) Fail(CannotSave(Path), err);
        if (const int err = fd.Close()) Fail(CannotSave(Path), err);
        if (::rename(temp.c_str(), target.c_str()) != 0) Fail(CannotSave(Path), errno);
    } catch (...) {
        fd.Close();
        ::unlink(temp.c_str());
        throw;
    }
    SyncFolder(dir);
    return {smRenamed, FileIdentityOf(target)};
}

}  // namespace

TSaveResult SaveFileAtomically(const std::string& Path, const std::function<void(TStream&)>& Write,
                               const std::function<void()>& WhileFlushing) {
    return Save(Path, &Write, nullptr, &WhileFlushing);
}

TSaveResult SaveFileAtomicallyByName(const std::string& Path, const std::function<void(const std::string& TempPath)>& Write) {
    return Save(Path, nullptr, &Write);
}

int RemoveStaleTemporaries(const std::string& Path) {
    const std::string target = FollowLinks(Path);
    const std::string prefix = TempPrefix(target);
    const int dfd = ::open(DirOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) return 0;
    DIR* d = ::fdopendir(dfd);
    if (!d) {
        ::close(dfd);
        return 0;
    }
    std::vector<std::string> candidates;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        if (std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                        [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
            candidates.push_back(name);
    }
    int removed = 0;
    for (const std::string& name : candidates) {
        TFd f(::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {}, now {};
        if (f.Get() < 0 || ::fstat(f.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
        // A save in progress holds its lock until it has renamed the file.
        if (::flock(f.Get(), LOCK_EX | LOCK_NB) != 0) continue;
        if (::fstatat(dfd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 || now.st_ino != st.st_ino ||
            now.st_dev != st.st_dev)
            continue;
        if (::unlinkat(dfd, name.c_str(), 0) == 0) ++removed;
    }
    ::closedir(d);
    return removed;
}

std::string InterruptedSaveBackup(const std::string& Path) {
    const std::string target = FollowLinks(Path);
    const std::string prefix = BackupPrefix(target);
    DIR* d = ::opendir(DirOf(target).c_str());
    if (!d) return {};
    std::string found;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
            // A save running now holds its backup locked.
            const std::string full = DirOf(target) + "/" + name;
            TFd f(::open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            if (f.Get() >= 0 && ::flock(f.Get(), LOCK_EX | LOCK_NB) == 0) {
                found = full;
                break;
            }
        }
    }
    ::closedir(d);
    return found;
}

std::int64_t FileModifiedNs(const std::string& Path) {
    const TFileIdentity id = FileIdentityOf(Path);
    return id.Exists ? id.ModifiedNs : 0;
}

bool FileExists(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsDirectory(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tarvex
