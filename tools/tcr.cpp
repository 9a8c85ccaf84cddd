#include "tools/tcr.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tarvex {

namespace {
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kSlack = 8;

class TTcrDecoder {
public:
    // Feeds the next bytes of the file; returns the decoded text of the codes among them.
    void Feed(const unsigned char* P, std::size_t N, std::string& Out);

private:
    bool ReadDictionary(const unsigned char*& P, const unsigned char* End);

    std::size_t FSkip = kHeaderSize;
    int FEntry = 0;         // next dictionary entry to read; 256 when done
    int FEntryLen = -1;     // length of the entry being read, -1 before its length byte
    std::string FDict;      // all entries, back to back, then kSlack spare bytes
    bool FPadded = false;
    std::array<std::uint32_t, 256> FOff{};
    std::array<std::uint8_t, 256> FLen{};
};

bool TTcrDecoder::ReadDictionary(const unsigned char*& P, const unsigned char* End) {
    while (FEntry < 256 && P < End) {
        if (FEntryLen < 0) {
            FEntryLen = *P++;
            FOff[FEntry] = static_cast<std::uint32_t>(FDict.size());
            FLen[FEntry] = 0;
        }
        const std::size_t want = static_cast<std::size_t>(FEntryLen) - FLen[FEntry];
        const std::size_t take = std::min<std::size_t>(want, static_cast<std::size_t>(End - P));
        FDict.append(reinterpret_cast<const char*>(P), take);
        P += take;
        FLen[FEntry] = static_cast<std::uint8_t>(FLen[FEntry] + take);
        if (FLen[FEntry] == FEntryLen) {
            ++FEntry;
            FEntryLen = -1;
        }
    }
    return FEntry == 256;
}

void TTcrDecoder::Feed(const unsigned char* P, std::size_t N, std::string& Out) {
    const unsigned char* end = P + N;
    const std::size_t skip = std::min(FSkip, N);
    P += skip;
    FSkip -= skip;
    if (!ReadDictionary(P, end) || P == end) return;

    // Size the output once from the code histogram. Codes are decoded into a
    // small buffer that stays in the cache and appended from there, so the
    // output is written once instead of being zero-filled first.
    std::array<std::size_t, 256> count{};
    for (const unsigned char* q = P; q < end; ++q) ++count[*q];
    std::size_t total = 0;
    for (int i = 0; i < 256; ++i) total += count[i] * FLen[i];
    Out.reserve(Out.size() + total);
    if (!FPadded) {
        FDict.append(kSlack, '\0');
        FPadded = true;
    }
    const char* dict = FDict.data();
    // Every code copies a fixed 8 bytes (entries and buffer have slack for it)
    // and moves on by its entry's length: no branch on the length.
    constexpr std::size_t kBuffer = 1 << 15;
    char buf[kBuffer + 256 + kSlack];
    while (P < end) {
        char* o = buf;
        while (P < end && o < buf + kBuffer) {  // the last code may run 263 bytes past kBuffer
            const unsigned c = *P++;
            const std::size_t len = FLen[c];
            const char* src = dict + FOff[c];
            std::memcpy(o, src, kSlack);
            if (len > kSlack) std::memcpy(o + kSlack, src + kSlack, len - kSlack);
            o += len;
        }
        Out.append(buf, static_cast<std::size_t>(o - buf));
    }
}
}  // namespace

bool IsTcrSignature(std::string_view Head) {
    return Head.size() >= kHeaderSize && std::memcmp(Head.data(), "!!8-Bit!!\0", kHeaderSize) == 0;
}

std::string TcrDecompress(std::string_view File) {
    TTcrDecoder d;
    std::string out;
    d.Feed(reinterpret_cast<const unsigned char*>(File.data()), File.size(), out);
    return out;
}

std::string TcrDecompress(TStream& File) {
    TTcrDecoder d;
    std::string out;
    const std::int64_t size = File.Size();
    if (size > 0) out.reserve(static_cast<std::size_t>(std::min<std::int64_t>(size * 2, std::int64_t{1} << 30)));
    const std::int64_t chunk = size > 0 ? std::min<std::int64_t>(size, 1 << 20) : 1 << 16;
    std::string buf(static_cast<std::size_t>(chunk), '\0');
    for (;;) {
        const std::int64_t n = File.Read(buf.data(), static_cast<std::int64_t>(buf.size()));
        if (n <= 0) break;
        d.Feed(reinterpret_cast<const unsigned char*>(buf.data()), static_cast<std::size_t>(n), out);
    }
    return out;
}

}  // namespace tarvex
