#include "textstore/stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarvex {

namespace {
[[noreturn]] void Fail(const std::string& what, const std::string& name) {
    std::string msg = what;
    if (!name.empty()) msg += " \"" + name + "\"";
    msg += ": ";
    msg += std::strerror(errno);
    throw EStreamError(msg);
}
}  // namespace

std::int64_t THandleStream::Read(void* Buffer, std::int64_t Count) {
    for (;;) {
        const ssize_t n = ::read(FFd, Buffer, static_cast<std::size_t>(Count));
        if (n >= 0) return n;
        if (errno != EINTR) Fail("Cannot read", FName);
    }
}

void THandleStream::Write(const void* Buffer, std::int64_t Count) {
    auto* p = static_cast<const char*>(Buffer);
    while (Count > 0) {
        const ssize_t n = ::write(FFd, p, static_cast<std::size_t>(std::min<std::int64_t>(Count, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("Cannot write", FName);
        }
        p += n;
        Count -= n;
    }
}

std::int64_t THandleStream::Size() {
    struct stat st {};
    if (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

std::int64_t THandleStream::Position() {
    const off_t p = ::lseek(FFd, 0, SEEK_CUR);
    return p < 0 ? 0 : p;
}

void THandleStream::Seek(std::int64_t Pos) {
    if (::lseek(FFd, Pos, SEEK_SET) < 0) Fail("Cannot seek in", FName);
}

TFileStream::TFileStream(const std::string& FileName, Mode M) : THandleStream(-1) {
    FName = FileName;
    // Without O_NONBLOCK, opening a FIFO waits for the other end for ever.
    const int flags = (M == fmCreate ? (O_WRONLY | O_CREAT | O_TRUNC) : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    do {
        FFd = ::open(FileName.c_str(), flags, 0666);
    } while (FFd < 0 && errno == EINTR);
    if (FFd < 0) Fail(M == fmCreate ? "Cannot create file" : "Cannot open file", FileName);
    struct stat st {};
    if (::fstat(FFd, &st) != 0) {
        const int err = errno;
        ::close(FFd);
        errno = err;
        Fail("Cannot open file", FileName);
    }
    if (M == fmOpenRead && !S_ISREG(st.st_mode)) {
        ::close(FFd);
        FFd = -1;
        // A folder keeps its own message; a device or a pipe could be read for ever.
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            Fail("Cannot open file", FileName);
        }
        throw EStreamError("Cannot open file \"" + FileName + "\": not a regular file");
    }
    // Reads and writes wait as usual from here on.
    const int fl = ::fcntl(FFd, F_GETFL);
    if (fl >= 0) ::fcntl(FFd, F_SETFL, fl & ~O_NONBLOCK);
}

TFileStream::~TFileStream() {
    if (FFd >= 0) ::close(FFd);
}

std::int64_t TMemoryStream::Read(void* Buffer, std::int64_t Count) {
    const std::int64_t n = std::max<std::int64_t>(0, std::min<std::int64_t>(Count, static_cast<std::int64_t>(FData.size()) - FPos));
    if (n > 0) std::memcpy(Buffer, FData.data() + FPos, static_cast<std::size_t>(n));
    FPos += n;
    return n;
}

void TMemoryStream::Write(const void* Buffer, std::int64_t Count) {
    if (FPos > static_cast<std::int64_t>(FData.size())) FData.resize(static_cast<std::size_t>(FPos));
    const auto pos = static_cast<std::size_t>(FPos);
    const auto n = static_cast<std::size_t>(Count);
    if (pos + n > FData.size()) FData.resize(pos + n);
    std::memcpy(FData.data() + pos, Buffer, n);
    FPos += Count;
}

void TMemoryStream::Seek(std::int64_t Pos) { FPos = std::max<std::int64_t>(0, Pos); }

std::int64_t TBacktrackStream::Read(void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    if (FPos == BytesRead()) {
        // Drop what lies far enough behind, in large steps.
        if (static_cast<std::int64_t>(FKept.size()) > 2 * FWindow) {
            const std::int64_t drop = static_cast<std::int64_t>(FKept.size()) - FWindow;
            FKept.erase(0, static_cast<std::size_t>(drop));
            FBase += drop;
        }
        const std::size_t old = FKept.size();
        FKept.resize(old + static_cast<std::size_t>(Count));
        std::int64_t n = 0;
        try {
            n = FSource.Read(FKept.data() + old, Count);
        } catch (...) {
            FKept.resize(old);
            throw;
        }
        FKept.resize(old + static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
    }
    const std::int64_t avail = BytesRead() - FPos;
    const std::int64_t n = std::min(Count, avail);
    if (n <= 0) return 0;
    std::memcpy(Buffer, FKept.data() + (FPos - FBase), static_cast<std::size_t>(n));
    FPos += n;
    return n;
}

void TBacktrackStream::Seek(std::int64_t Pos) {
    if (Pos < FBase || Pos > BytesRead()) throw EStreamError("Cannot seek in a sequential stream");
    FPos = Pos;
}

std::string ReadBytes(TStream& S, std::int64_t Max) {
    std::string all;
    const std::int64_t size = S.Size(), pos = S.Position();
    std::int64_t want = size >= 0 && pos >= 0 ? std::max<std::int64_t>(0, size - pos) : 0;
    if (Max >= 0) want = std::min(want, Max);
    all.reserve(static_cast<std::size_t>(want));
    char buf[1 << 16];
    while (Max < 0 || static_cast<std::int64_t>(all.size()) < Max) {
        std::int64_t n = static_cast<std::int64_t>(sizeof buf);
        if (Max >= 0) n = std::min(n, Max - static_cast<std::int64_t>(all.size()));
        n = S.Read(buf, n);
        if (n <= 0) break;
        all.append(buf, static_cast<std::size_t>(n));
    }
    return all;
}

}  // namespace tarvex
