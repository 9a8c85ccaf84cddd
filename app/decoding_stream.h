#pragma once
// A read-only stream over a file in another Cyrillic encoding that hands out
// its text already in Windows-1251, piece by piece: the loader reads it like
// the file itself, so a large UTF-8, DOS or KOI8-R file loads in the same
// slices as a Windows-1251 one and is never held twice.

#include <cstddef>
#include <cstdint>
#include <string>

#include "textstore/stream.h"

namespace tarvex {

class TDecodingStream : public TStream {
public:
    enum TKind { dkUtf8, dkDos, dkKoi };
    // Bytes taken from the source at a time: small enough that what a reader
    // stopping early is charged for stays close to what it took.
    static constexpr std::size_t kPieceSize = 1 << 16;

    // Reads Source from its current position on (a UTF-8 byte-order mark
    // there is dropped). With StopAtNul the stream ends just behind the first
    // NUL byte, as a loader that stops there reads it.
    TDecodingStream(TStream& Source, TKind Kind, bool StopAtNul = false);

    std::int64_t Read(void* Buffer, std::int64_t Count) override;
    void Write(const void* Buffer, std::int64_t Count) override;
    // What is left of the source: no decoded text is longer.
    std::int64_t Size() override;
    // Decoded bytes handed out so far.
    std::int64_t Position() override;
    // Only to where the stream already is: decoded positions cannot be sought.
    void Seek(std::int64_t Pos) override;

    // Characters without a Windows-1251 byte, and bytes of malformed UTF-8
    // sequences, put in as '?', in the pieces handed out so far (a reader
    // that stops early is charged at most for the rest of one piece).
    std::int64_t Unmapped() const { return FUnmapped; }
    // The source offset of the first NUL byte read, or -1. A NUL is one byte
    // in every one of these encodings, so it is where a loader stopped at one.
    std::int64_t FirstNulAt() const { return FFirstNul; }

private:
    // Decodes the next piece of the source into FOut; false at its end.
    bool Refill();

    TStream& FSource;
    TKind FKind;
    std::int64_t FSourceStart;
    std::int64_t FSourceRead = 0;  // bytes taken from the source
    std::int64_t FPosition = 0;
    std::int64_t FUnmapped = 0;
    std::int64_t FFirstNul = -1;
    bool FSourceEnded = false;
    bool FStopAtNul;
    std::int64_t FPieceUnmapped = 0;  // of FOut, charged when its first byte goes out
    std::string FCarry;  // the start of a UTF-8 sequence the last piece cut
    std::string FOut;
    std::size_t FOutAt = 0;
};

}  // namespace tarvex
