#include "tools/word_doc.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

namespace {
constexpr std::int64_t kSector = 512;
constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kFibSize = 80;
constexpr std::int64_t kCopyChunk = 0x200000;

std::uint32_t U32(const unsigned char* P) {
    return P[0] | (P[1] << 8) | (P[2] << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}
std::uint16_t U16(const unsigned char* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }

// Reads until Count bytes or the end; returns the number read.
std::size_t ReadFull(TStream& S, void* Buffer, std::size_t Count) {
    auto* p = static_cast<char*>(Buffer);
    std::size_t got = 0;
    while (got < Count) {
        const std::int64_t n = S.Read(p + got, static_cast<std::int64_t>(Count - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// Seeks to Pos unless it lies at or past the known end of the stream.
bool SeekInside(TStream& S, std::int64_t Size, std::int64_t Pos) {
    if (Size >= 0 && Pos >= Size) return false;
    S.Seek(Pos);
    return true;
}

// The entry's name as the probe compares it: one byte per character.
std::string EntryName(const unsigned char* E) {
    const std::size_t nameLen = U16(E + 64);
    std::string name;
    if (E[1] == 0) {
        const std::size_t chars = std::min<std::size_t>(nameLen / 2, 32);
        for (std::size_t i = 0; i < chars; ++i) name.push_back(static_cast<char>(E[2 * i]));
    } else {
        name.assign(reinterpret_cast<const char*>(E), std::min<std::size_t>(nameLen, 64));
    }
    // The stored length counts the terminating zero.
    const std::size_t nul = name.find('\0');
    if (nul != std::string::npos) name.resize(nul);
    if (!name.empty() && (name[0] == 1 || name[0] == 5)) name.erase(0, 1);
    return name;
}

// Finds the "WordDocument" entry from Pos on; returns its start sector.
bool FindWordDocument(TStream& S, std::uint32_t& StartSector) {
    std::vector<unsigned char> buf(kEntrySize * 512);
    for (;;) {
        const std::size_t got = ReadFull(S, buf.data(), buf.size());
        for (std::size_t off = 0; off + kEntrySize <= got; off += kEntrySize) {
            const unsigned char* e = buf.data() + off;
            if (EntryName(e) == "WordDocument") {
                StartSector = U32(e + 0x74);
                return true;
            }
        }
        if (got < buf.size()) return false;
    }
}
}  // namespace

TWordKind WordDocProbe(TStream& File, TStream* Out) {
    const std::int64_t size = File.Size();
    File.Seek(0);
    unsigned char header[kHeaderSize];
    const std::size_t got = ReadFull(File, header, kHeaderSize);
    if (got < 0x34 || std::memcmp(header, "\xD0\xCF\x11\xE0", 4) != 0) {
        File.Seek(0);
        return wkNone;
    }

    const std::int64_t dirPos = (static_cast<std::int64_t>(U32(header + 0x30)) + 1) * kSector;
    std::uint32_t startSector = 0;
    if (!SeekInside(File, size, dirPos) || !FindWordDocument(File, startSector)) {
        File.Seek(0);
        return wkNone;
    }

    const std::int64_t docStart = (static_cast<std::int64_t>(startSector) + 1) * kSector;
    unsigned char fib[kFibSize];
    if (!SeekInside(File, size, docStart) || ReadFull(File, fib, kFibSize) < 0x20) {
        File.Seek(0);
        return wkNone;
    }
    const std::uint16_t ident = U16(fib);
    const TWordKind kind = ident == 0xA5DC ? wkWord6 : ident == 0xA5EC ? wkWord97 : wkNone;
    if (kind == wkNone || !Out) {
        File.Seek(0);
        return kind;
    }

    std::int64_t from = docStart + U32(fib + 0x18);
    std::int64_t to = docStart + U32(fib + 0x1C);
    if (size >= 0) to = std::min(to, size);
    if (from < to && SeekInside(File, size, from)) {
        std::vector<char> chunk(static_cast<std::size_t>(std::min(kCopyChunk, to - from)));
        while (from < to) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(kCopyChunk, to - from));
            const std::size_t n = ReadFull(File, chunk.data(), want);
            if (n == 0) break;
            Out->Write(chunk.data(), static_cast<std::int64_t>(n));
            from += static_cast<std::int64_t>(n);
            if (n < want) break;
        }
    }
    File.Seek(0);
    Out->Seek(0);
    return kind;
}

}  // namespace tarvex
