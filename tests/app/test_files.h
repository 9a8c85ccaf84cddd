#pragma once
// Temporary folders and files for the application tests.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tarvex::test {

// A fresh folder, removed with everything in it.
class TTempDir {
public:
    TTempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "tarvex-app-XXXXXX").string();
        if (!::mkdtemp(t.data())) std::abort();
        FPath = t;
    }
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath;
};

inline void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Makes a folder refuse new files: by its permissions, or, for root (whom
// permissions do not stop), by the file system's immutable flag. False when
// neither works here.
class TReadOnlyFolder {
public:
    explicit TReadOnlyFolder(const std::string& Dir) : FDir(Dir) {
        if (::geteuid() != 0) {
            FMode = ::chmod(Dir.c_str(), 0555) == 0;
        } else {
            const int fd = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags |= FS_IMMUTABLE_FL;
                FImmutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
            }
            if (fd >= 0) ::close(fd);
        }
    }
    ~TReadOnlyFolder() { Release(); }
    void Release() {
        if (FMode) ::chmod(FDir.c_str(), 0755);
        if (FImmutable) {
            const int fd = ::open(FDir.c_str(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0) ::close(fd);
        }
        FMode = FImmutable = false;
    }
    bool Works() const { return FMode || FImmutable; }

private:
    std::string FDir;
    bool FMode = false, FImmutable = false;
};

}  // namespace tarvex::test
