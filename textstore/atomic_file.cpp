#include "textstore/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace tarvex {

namespace {

std::string DirOf(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string BaseOf(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

[[noreturn]] void Fail(const std::string& What, int Err) {
    throw EStreamError(What + ": " + std::strerror(Err));
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

// Writes through Write into a temporary file beside the target and renames it over the target.
void SaveThroughTemporary(const std::string& Path, const std::function<void(int Fd, const std::string& Temp)>& Write) {
    const std::string target = FollowLinks(Path);
    const std::string dir = DirOf(target);
    // The temporary's name stays within the file-name limit however long the target's is.
    std::string temp = dir + "/." + BaseOf(target).substr(0, 200) + ".tarvex-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) Fail("Cannot save \"" + Path + "\": cannot create a file in \"" + dir + "\"", errno);
    bool closed = false;
    try {
        try {
            Write(fd, temp);
        } catch (const EStreamError& e) {
            throw EStreamError("Cannot save \"" + Path + "\": " + e.what());
        }
        struct stat st {};
        mode_t mode;
        if (::stat(target.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
            // Only a privileged process can give the file back to another owner; that is fine to miss.
            if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) (void)!::fchown(fd, st.st_uid, st.st_gid);
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        if (::fchmod(fd, mode) != 0) Fail("Cannot save \"" + Path + "\": cannot set its permissions", errno);
        if (::fsync(fd) != 0) Fail("Cannot save \"" + Path + "\"", errno);
        closed = true;
        if (::close(fd) != 0) Fail("Cannot save \"" + Path + "\"", errno);
        if (::rename(temp.c_str(), target.c_str()) != 0) Fail("Cannot save \"" + Path + "\"", errno);
    } catch (...) {
        if (!closed) ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    // The rename itself reaches the disk with the folder.
    const int d = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d >= 0) {
        ::fsync(d);
        ::close(d);
    }
}

}  // namespace

void SaveFileAtomically(const std::string& Path, const std::function<void(TStream&)>& Write) {
    SaveThroughTemporary(Path, [&](int Fd, const std::string&) {
        THandleStream out(Fd);
        Write(out);
    });
}

void SaveFileAtomicallyByName(const std::string& Path, const std::function<void(const std::string& TempPath)>& Write) {
    // The writer opens the file itself; the descriptor then sees what it wrote.
    SaveThroughTemporary(Path, [&](int, const std::string& Temp) { Write(Temp); });
}

std::int64_t FileModifiedNs(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return 0;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
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
