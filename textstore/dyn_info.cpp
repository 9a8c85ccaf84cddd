#include "textstore/dyn_info.h"

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

bool SameRecord(const TDynInfo& A, const TDynInfo& B) {
    if (A.Flags != B.Flags || A.Depth != B.Depth || A.Nesting != B.Nesting || A.Extra != B.Extra ||
        A.Color != B.Color || A.BkColor != B.BkColor || A.Context != B.Context || A.Cursor != B.Cursor ||
        A.KeyLen != B.KeyLen || A.StopLen != B.StopLen)
        return false;
    for (int i = 0; i < 16; ++i)
        if (A.Contexts[i] != B.Contexts[i]) return false;
    return true;
}

TDynStates::TDynStates() { Clear(); }

void TDynStates::Clear() {
    FChunks.clear();
    FCount = 0;
    FSlots.assign(64, 0);
    Intern(gDefaultAttr);
}

std::size_t TDynStates::Bytes() const {
    return FChunks.size() * kChunkSize * sizeof(TDynInfo) + FSlots.size() * sizeof(std::uint32_t);
}

std::uint64_t TDynStates::Hash(const TDynInfo& A) {
    // FNV-1a over the fields (not the bytes: padding is undefined).
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(A.Flags | (std::uint64_t(std::uint8_t(A.Depth)) << 8) | (std::uint64_t(A.Nesting) << 16) |
        (std::uint64_t(A.Extra) << 24) | (std::uint64_t(std::uint16_t(A.Cursor)) << 32));
    mix(std::uint32_t(A.Color) | (std::uint64_t(std::uint32_t(A.BkColor)) << 32));
    mix(std::uint32_t(A.Context) | (std::uint64_t(A.KeyLen) << 32) | (std::uint64_t(A.StopLen) << 48));
    for (int i = 0; i < 16; i += 4)
        mix(std::uint16_t(A.Contexts[i]) | (std::uint64_t(std::uint16_t(A.Contexts[i + 1])) << 16) |
            (std::uint64_t(std::uint16_t(A.Contexts[i + 2])) << 32) |
            (std::uint64_t(std::uint16_t(A.Contexts[i + 3])) << 48));
    return h ^ (h >> 29);
}

void TDynStates::Grow() {
    std::vector<std::uint32_t> slots(FSlots.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < FCount; ++id) {
        std::size_t i = Hash((*this)[id]) & mask;
        while (slots[i]) i = (i + 1) & mask;
        slots[i] = id + 1;
    }
    FSlots.swap(slots);
}

std::uint32_t TDynStates::Intern(const TDynInfo& A) {
    const std::size_t mask = FSlots.size() - 1;
    std::size_t i = Hash(A) & mask;
    while (const std::uint32_t s = FSlots[i]) {
        if (SameRecord((*this)[s - 1], A)) return s - 1;
        i = (i + 1) & mask;
    }
    if ((FCount >> kChunkBits) >= FChunks.size()) FChunks.push_back(std::make_unique<TDynInfo[]>(kChunkSize));
    TDynInfo& slot = FChunks[FCount >> kChunkBits][FCount & (kChunkSize - 1)];
    slot = A;
    slot.Offset = 0;
    FSlots[i] = ++FCount;
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
