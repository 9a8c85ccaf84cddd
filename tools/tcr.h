#pragma once
// TCR e-books: a 256-entry dictionary followed by one-byte codes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "textstore/stream.h"

namespace tarvex {

// True when Head starts with the TCR signature "!!8-Bit!!" and a zero byte.
bool IsTcrSignature(std::string_view Head);

// Decodes a whole TCR file (signature included; it is not checked again).
// A truncated dictionary leaves the missing entries empty; codes whose entry
// is empty write nothing.
std::string TcrDecompress(std::string_view File);
// The same over a stream, read from its start.
std::string TcrDecompress(TStream& File);

// The text of a TCR file, decoded while it is read: a file of a few
// megabytes may stand for gigabytes of text, and only what the reader asks
// for at a time is ever expanded. Construction reads the dictionary and goes
// over the codes once to learn the text's size and its longest line, without
// expanding them. File must stay alive and is read from its start.
class TTcrStream : public TStream {
public:
    explicit TTcrStream(TStream& File);
    ~TTcrStream() override;

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    void Write(const void*, std::int64_t) override;
    // The exact length of the decoded text (as the file stood when it was measured).
    std::int64_t Size() override { return FSize; }
    std::int64_t Position() override { return FPos; }
    // Anywhere up to Size; going back decodes again from the start.
    void Seek(std::int64_t Pos) override;

    // The most bytes the text holds between two line breaks (CR or LF), so
    // that a text that could not be held is refused before it is expanded.
    // With NulEnds, only the text before the first NUL byte counts.
    std::int64_t LongestLine(bool NulEnds) const { return NulEnds ? FLongestBeforeNul : FLongest; }

private:
    void Restart();
    bool Refill();

    TStream& FFile;
    std::unique_ptr<class TTcrDecoder> FDecoder;
    std::string FIn;       // codes read from the file, not yet decoded
    std::size_t FInPos = 0;
    bool FFileEnded = false;
    std::string FOut;      // decoded, not yet handed out
    std::size_t FOutPos = 0;
    std::int64_t FPos = 0;
    std::int64_t FSize = 0;
    std::int64_t FLongest = 0, FLongestBeforeNul = 0;
};

}  // namespace tarvex
