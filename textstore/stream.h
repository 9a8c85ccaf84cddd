#pragma once
// Byte streams the store loads from and saves to.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvex {

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to Count bytes; returns the number read, 0 at the end.
    virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
    // Writes all Count bytes or throws.
    virtual void Write(const void* Buffer, std::int64_t Count) = 0;
    // Total size, or -1 when the stream cannot tell (a pipe).
    virtual std::int64_t Size() = 0;
    virtual std::int64_t Position() = 0;
    virtual void Seek(std::int64_t Pos) = 0;
};

// Reads from the current position to the end, or at most Max bytes when Max
// is not negative; stops early at the end of the stream.
std::string ReadBytes(TStream& S, std::int64_t Max = -1);

// A stream over a file descriptor.
class THandleStream : public TStream {
public:
    // Does not take ownership of Fd.
    explicit THandleStream(int Fd) : FFd(Fd) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    void Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Size() override;
    std::int64_t Position() override;
    void Seek(std::int64_t Pos) override;
    int Handle() const { return FFd; }

protected:
    int FFd;
    std::string FName;  // for messages
};

// A file opened for reading, or created (truncated) for writing. Opening
// never waits (a FIFO without a writer, a device): a name that is not a
// regular file is refused for reading before anything is read.
class TFileStream : public THandleStream {
public:
    enum Mode { fmOpenRead, fmCreate };
    TFileStream(const std::string& FileName, Mode M);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
};

// A sequential source (a pipe) that can move back over the bytes it read
// last, so that a reader stopping early (at a NUL, say) can be put where it
// stopped and its position tells how far it got.
class TBacktrackStream : public TStream {
public:
    explicit TBacktrackStream(TStream& Source, std::int64_t Window = std::int64_t(1) << 17)
        : FSource(Source), FWindow(Window) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    void Write(const void*, std::int64_t) override { throw EStreamError("Cannot write to a read-only stream"); }
    std::int64_t Size() override { return FSource.Size(); }
    std::int64_t Position() override { return FPos; }
    // Within the bytes kept (the last Window read at least) or up to what was read; else throws.
    void Seek(std::int64_t Pos) override;
    // Bytes taken from the source so far.
    std::int64_t BytesRead() const { return FBase + static_cast<std::int64_t>(FKept.size()); }

private:
    TStream& FSource;
    const std::int64_t FWindow;
    std::string FKept;       // the source's bytes [FBase, BytesRead())
    std::int64_t FBase = 0;
    std::int64_t FPos = 0;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string Data) : FData(std::move(Data)) {}
    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    void Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() override { return FPos; }
    void Seek(std::int64_t Pos) override;
    const std::string& Data() const { return FData; }

private:
    std::string FData;
    std::int64_t FPos = 0;
};

}  // namespace tarvex
