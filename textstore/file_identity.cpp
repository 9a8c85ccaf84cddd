#include "textstore/file_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvex {

namespace {

std::int64_t Ns(const timespec& T) { return static_cast<std::int64_t>(T.tv_sec) * 1'000'000'000 + T.tv_nsec; }

TFileIdentity FromStat(const struct stat& St) {
    TFileIdentity id;
    id.Exists = true;
    id.Size = St.st_size;
    id.ModifiedNs = Ns(St.st_mtim);
    id.ChangedNs = Ns(St.st_ctim);
    id.Inode = St.st_ino;
    id.Device = St.st_dev;
    return id;
}

}  // namespace

TFileIdentity FileIdentityOf(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return {};
    return FromStat(st);
}

TFileIdentity FileIdentityOf(int Fd) {
    struct stat st {};
    if (::fstat(Fd, &st) != 0) return {};
    return FromStat(st);
}

bool FileUnchanged(const TFileIdentity& Taken, const std::string& Path) { return FileIdentityOf(Path) == Taken; }

bool MayWriteFile(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return true;
    if (::faccessat(AT_FDCWD, Path.c_str(), W_OK, AT_EACCESS) != 0) return false;
    return ::geteuid() != 0 || (st.st_mode & 0222) != 0;
}

}  // namespace tarvex
