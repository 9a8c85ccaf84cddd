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

// A file opened for reading, or created (truncated) for writing.
class TFileStream : public THandleStream {
public:
    enum Mode { fmOpenRead, fmCreate };
    TFileStream(const std::string& FileName, Mode M);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
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
