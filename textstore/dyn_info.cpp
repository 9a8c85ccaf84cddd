#include "textstore/dyn_info.h"

#include <cstddef>
#include <atomic>
#include <cstring>

namespace tarvex {

namespace {
TDynInfo MakeDefault() {
    TDynInfo d;
    d.Color = clNone;
    d.BkColor = clNone;
    return d;
}
TDynInfo gDefaultAttr = MakeDefault();
}  // namespace

TDynInfo* DefaultAttr() { return &gDefaultAttr; }

namespace {
// The fields compared and hashed, Flags up to StopLen, lie without padding between them.
constexpr std::size_t kRecordFrom = offsetof(TDynInfo, Flags);
constexpr std::size_t kRecordBytes = offsetof(TDynInfo, StopLen) + sizeof(TDynInfo::StopLen) - kRecordFrom;
static_assert(kRecordBytes == 4 * sizeof(std::uint8_t) + 3 * sizeof(std::int32_t) + sizeof(std::int16_t) +
                                  16 * sizeof(std::int16_t) + 2 * sizeof(std::uint16_t),
              "TDynInfo has padding between Flags and StopLen");
const unsigned char* RecordBytes(const TDynInfo& A) { return reinterpret_cast<const unsigned char*>(&A) + kRecordFrom; }

// The record's bytes as 7 words read straight from it, the last one
// overlapping the one before (54 bytes). Copying the record into a word
// buffer first made every hash wait for the copy's stores: a third of its time.
constexpr std::size_t kWords = 7;
static_assert(kRecordBytes > 8 * (kWords - 1) && kRecordBytes <= 8 * kWords);
inline std::uint64_t Word(const unsigned char* P, std::size_t I) {
    std::uint64_t w;
    std::memcpy(&w, P + (I + 1 < kWords ? 8 * I : kRecordBytes - 8), sizeof w);
    return w;
}

struct TRecordWords {
    std::uint64_t W[kWords];
    explicit TRecordWords(const TDynInfo& A) {
        const unsigned char* p = RecordBytes(A);
        for (std::size_t i = 0; i < kWords; ++i) W[i] = Word(p, i);
    }
};

bool SameWords(const TRecordWords& X, const TDynInfo& B) {
    const unsigned char* p = RecordBytes(B);
    std::uint64_t d = 0;
    for (std::size_t i = 0; i < kWords; ++i) d |= X.W[i] ^ Word(p, i);
    return d == 0;
}

// Independent multiplies over the record's words (not the whole struct: the
// padding behind StopLen is undefined).
std::uint64_t HashWords(const TRecordWords& R) {
    const std::uint64_t* w = R.W;
    std::uint64_t h = (w[0] * 0x9E3779B97F4A7C15ull) ^ (w[1] * 0xC2B2AE3D27D4EB4Full) ^ (w[2] * 0x165667B19E3779F9ull) ^
                      (w[3] * 0xD6E8FEB86659FD93ull) ^ (w[4] * 0xFF51AFD7ED558CCDull) ^ (w[5] * 0xC4CEB9FE1A85EC53ull) ^
                      (w[6] * 0x27D4EB2F165667C5ull);
    h ^= h >> 31;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}
}  // namespace

bool SameRecord(const TDynInfo& A, const TDynInfo& B) { return SameWords(TRecordWords(A), B); }

TDynStates::TDynStates() { Clear(); }

void TDynStates::Clear() {
    static std::atomic<std::uint64_t> generations{0};
    FGeneration = ++generations;
    FChunks.clear();
    FCount = 0;
    FSlots.assign(64, 0);
    Intern(gDefaultAttr);
}

std::size_t TDynStates::Bytes() const {
    return FChunks.size() * kChunkSize * sizeof(TDynInfo) + FSlots.size() * sizeof(std::uint64_t);
}

std::uint64_t TDynStates::Hash(const TDynInfo& A) { return HashWords(TRecordWords(A)); }

void TDynStates::Grow() {
    std::vector<std::uint64_t> slots(FSlots.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < FCount; ++id) {
        const std::uint64_t h = Hash((*this)[id]);
        std::size_t i = h & mask;
        while (slots[i]) i = (i + 1) & mask;
        slots[i] = (h & 0xFFFFFFFF00000000ull) | (id + 1);
    }
    FSlots.swap(slots);
}

std::uint32_t TDynStates::Intern(const TDynInfo& A) {
    const std::size_t mask = FSlots.size() - 1;
    const TRecordWords r(A);
    const std::uint64_t h = HashWords(r);
    const std::uint64_t tag = h & 0xFFFFFFFF00000000ull;
    std::size_t i = h & mask;
    while (const std::uint64_t s = FSlots[i]) {
        if ((s & 0xFFFFFFFF00000000ull) == tag) {
            const auto id = static_cast<std::uint32_t>(s) - 1;
            if (SameWords(r, (*this)[id])) return id;
        }
        i = (i + 1) & mask;
    }
    if ((FCount >> kChunkBits) >= FChunks.size()) FChunks.push_back(std::make_unique<TDynInfo[]>(kChunkSize));
    TDynInfo& slot = FChunks[FCount >> kChunkBits][FCount & (kChunkSize - 1)];
    slot = A;
    slot.Offset = 0;
    FSlots[i] = tag | ++FCount;
    if (FCount * 2 > FSlots.size()) Grow();
    return FCount - 1;
}

bool SameState(const TDynInfo& A, const TDynInfo& B) {
    if ((A.Flags & (dfOwn | dfKeyed)) != (B.Flags & (dfOwn | dfKeyed))) return false;
    if (!(A.Flags & dfOwn)) return true;
    if (A.Depth != B.Depth || A.Context != B.Context) return false;
    for (int i = 0; i <= A.Depth && i < 16; ++i)
        if (A.Contexts[i] != B.Contexts[i]) return false;
    return true;
}

}  // namespace tarvex
