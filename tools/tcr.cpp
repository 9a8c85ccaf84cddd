#include "tools/tcr.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvex {

namespace {
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kSlack = 8;
}  // namespace

class TTcrDecoder {
public:
    // Feeds the next bytes of the file; appends the decoded text of the codes among them.
    void Feed(const unsigned char* P, std::size_t N, std::string& Out);
    // Feeds the next bytes of the file until the codes begin; returns how many were taken.
    std::size_t FeedHead(const unsigned char* P, std::size_t N);
    bool DictionaryDone() const { return FEntry == 256; }
    std::string_view Entry(unsigned char C) const { return {FDict.data() + FOff[C], FLen[C]}; }

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
    if (FEntry == 256 && !FPadded) {
        FDict.append(kSlack, '\0');
        FPadded = true;
    }
    return FEntry == 256;
}

std::size_t TTcrDecoder::FeedHead(const unsigned char* P, std::size_t N) {
    const unsigned char* start = P;
    const unsigned char* end = P + N;
    const std::size_t skip = std::min(FSkip, N);
    P += skip;
    FSkip -= skip;
    ReadDictionary(P, end);
    return static_cast<std::size_t>(P - start);
}

void TTcrDecoder::Feed(const unsigned char* P, std::size_t N, std::string& Out) {
    const unsigned char* end = P + N;
    P += FeedHead(P, N);
    if (!DictionaryDone() || P == end) return;

    // Size the output once from the code histogram. Codes are decoded into a
    // small buffer that stays in the cache and appended from there, so the
    // output is written once instead of being zero-filled first.
    std::array<std::size_t, 256> count{};
    for (const unsigned char* q = P; q < end; ++q) ++count[*q];
    std::size_t total = 0;
    for (int i = 0; i < 256; ++i) total += count[i] * FLen[i];
    Out.reserve(Out.size() + total);
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
    TTcrStream s(File);
    return ReadBytes(s);
}

namespace {

// What an entry does to the length of the line being read.
struct TEntryLines {
    bool HasBreak = false;
    std::int64_t Lead = 0;     // bytes before its first break (all of it without one)
    std::int64_t Inner = 0;    // the longest line between two of its breaks
    std::int64_t Tail = 0;     // bytes after its last break
    std::int64_t NulAt = -1;   // offset of its first NUL byte
};

TEntryLines Measure(std::string_view E) {
    TEntryLines m;
    m.NulAt = static_cast<std::int64_t>(std::min(E.find('\0'), E.size()));
    if (m.NulAt == static_cast<std::int64_t>(E.size())) m.NulAt = -1;
    std::int64_t run = 0;
    for (const char c : E) {
        if (c == '\r' || c == '\n') {
            if (!m.HasBreak) m.Lead = run;
            else m.Inner = std::max(m.Inner, run);
            m.HasBreak = true;
            run = 0;
        } else {
            ++run;
        }
    }
    if (m.HasBreak) m.Tail = run;
    else m.Lead = run;
    return m;
}

// The longest line of Run (the line so far) followed by the text of E up to its NUL.
std::int64_t LongestUpToNul(std::int64_t Run, std::string_view E) {
    std::int64_t longest = Run;
    for (const char c : E) {
        if (c == '\0') break;
        Run = (c == '\r' || c == '\n') ? 0 : Run + 1;
        longest = std::max(longest, Run);
    }
    return longest;
}

constexpr std::int64_t kReadChunk = 1 << 16;
constexpr std::size_t kCodesPerRefill = 4096;  // at most 1 MB of text

}  // namespace

TTcrStream::TTcrStream(TStream& File) : FFile(File) {
    Restart();
    std::array<TEntryLines, 256> lines{};
    if (FDecoder->DictionaryDone())
        for (int c = 0; c < 256; ++c) lines[static_cast<std::size_t>(c)] = Measure(FDecoder->Entry(static_cast<unsigned char>(c)));
    else
        return;  // no codes: an empty text
    // One pass over the codes, without expanding them: lengths by histogram,
    // lines by what each entry does to the line being read.
    std::array<std::int64_t, 256> len{}, lead{}, tail{}, inner{};
    std::array<bool, 256> breaks{}, nul{};
    for (int c = 0; c < 256; ++c) {
        const auto i = static_cast<std::size_t>(c);
        len[i] = static_cast<std::int64_t>(FDecoder->Entry(static_cast<unsigned char>(c)).size());
        lead[i] = lines[i].Lead;
        tail[i] = lines[i].Tail;
        inner[i] = lines[i].Inner;
        breaks[i] = lines[i].HasBreak;
        nul[i] = lines[i].NulAt >= 0;
    }
    std::array<std::int64_t, 256> used{};
    std::int64_t run = 0;
    bool nulSeen = false;
    std::string chunk(static_cast<std::size_t>(kReadChunk), '\0');
    auto take = [&](const unsigned char* P, std::size_t N) {
        std::size_t i = 0;
        // Until the first NUL, which ends the text for a reader that stops there.
        for (; i < N && !nulSeen; ++i) {
            const unsigned char c = P[i];
            if (nul[c]) {
                FLongestBeforeNul = std::max(FLongest, LongestUpToNul(run, FDecoder->Entry(c)));
                nulSeen = true;
                break;
            }
            ++used[c];
            if (breaks[c]) {
                FLongest = std::max({FLongest, run + lead[c], inner[c]});
                run = tail[c];
            } else {
                run += len[c];
            }
        }
        for (; i < N; ++i) {
            const unsigned char c = P[i];
            ++used[c];
            if (breaks[c]) {
                FLongest = std::max({FLongest, run + lead[c], inner[c]});
                run = tail[c];
            } else {
                run += len[c];
            }
        }
    };
    if (FDecoder->DictionaryDone()) take(reinterpret_cast<const unsigned char*>(FIn.data()) + FInPos, FIn.size() - FInPos);
    while (FDecoder->DictionaryDone()) {
        const std::int64_t n = FFile.Read(chunk.data(), kReadChunk);
        if (n <= 0) break;
        take(reinterpret_cast<const unsigned char*>(chunk.data()), static_cast<std::size_t>(n));
    }
    for (std::size_t i = 0; i < 256; ++i) FSize += used[i] * len[i];
    FLongest = std::max(FLongest, run);
    if (!nulSeen) FLongestBeforeNul = FLongest;
    Restart();
}

TTcrStream::~TTcrStream() = default;

void TTcrStream::Restart() {
    FFile.Seek(0);
    FDecoder = std::make_unique<TTcrDecoder>();
    FIn.clear();
    FInPos = 0;
    FOut.clear();
    FOutPos = 0;
    FPos = 0;
    FFileEnded = false;
    // Through the header and the dictionary; what follows them stays in FIn.
    std::string chunk(static_cast<std::size_t>(kReadChunk), '\0');
    while (!FDecoder->DictionaryDone()) {
        const std::int64_t n = FFile.Read(chunk.data(), kReadChunk);
        if (n <= 0) {
            FFileEnded = true;
            return;
        }
        const std::size_t used =
            FDecoder->FeedHead(reinterpret_cast<const unsigned char*>(chunk.data()), static_cast<std::size_t>(n));
        FIn.assign(chunk, used, static_cast<std::size_t>(n) - used);
    }
}

bool TTcrStream::Refill() {
    FOut.clear();
    FOutPos = 0;
    if (!FDecoder->DictionaryDone()) return false;
    while (FOut.empty()) {
        if (FInPos == FIn.size()) {
            if (FFileEnded) return false;
            FIn.resize(static_cast<std::size_t>(kReadChunk));
            const std::int64_t n = FFile.Read(FIn.data(), kReadChunk);
            FIn.resize(static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
            FInPos = 0;
            if (n <= 0) {
                FFileEnded = true;
                return false;
            }
        }
        const std::size_t n = std::min(kCodesPerRefill, FIn.size() - FInPos);
        FDecoder->Feed(reinterpret_cast<const unsigned char*>(FIn.data()) + FInPos, n, FOut);
        FInPos += n;
    }
    return true;
}

std::int64_t TTcrStream::Read(void* Buffer, std::int64_t Count) {
    auto* o = static_cast<char*>(Buffer);
    std::int64_t done = 0;
    while (done < Count) {
        if (FOutPos == FOut.size() && !Refill()) break;
        const std::size_t n = std::min(static_cast<std::size_t>(Count - done), FOut.size() - FOutPos);
        std::memcpy(o + done, FOut.data() + FOutPos, n);
        FOutPos += n;
        done += static_cast<std::int64_t>(n);
    }
    FPos += done;
    return done;
}

void TTcrStream::Write(const void*, std::int64_t) { throw EStreamError("Cannot write to a TCR text"); }

void TTcrStream::Seek(std::int64_t Pos) {
    if (Pos < 0 || Pos > FSize) throw EStreamError("Cannot seek beyond the end of a TCR text");
    if (Pos < FPos) Restart();
    char scratch[1 << 14];
    while (FPos < Pos) {
        if (Read(scratch, std::min<std::int64_t>(Pos - FPos, sizeof scratch)) <= 0) break;
    }
}

}  // namespace tarvex
