#include "textstore/dyn_store.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "textstore/types.h"

namespace tarvex {

namespace {
// Header word: the count, the width code and whether a start state follows.
constexpr std::uint32_t kCountMask = (1u << 29) - 1;
constexpr std::uint32_t kHasStart = 1u << 31;
std::uint8_t WidthOf(std::uint32_t Header) { return static_cast<std::uint8_t>(2u << ((Header >> 29) & 3)); }
std::uint32_t WidthCode(std::uint8_t Width) { return Width == 2 ? 0u : Width == 4 ? 1u : 2u; }
}  // namespace

std::int32_t TDynView::CountBelow(std::int32_t O) const {
    std::int32_t lo = 0, hi = FCount;
    while (lo < hi) {
        const std::int32_t mid = (lo + hi) >> 1;
        if (Offset(mid) < O)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

std::int32_t TDynView::CountAtMost(std::int32_t O) const {
    std::int32_t lo = 0, hi = FCount;
    while (lo < hi) {
        const std::int32_t mid = (lo + hi) >> 1;
        if (Offset(mid) <= O)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

TDynStore::TDynStore() = default;
TDynStore::~TDynStore() = default;

void TDynStore::Clear() {
    FChunks.clear();
    FUsed = 0;
    std::fill(std::begin(FFree), std::end(FFree), 0u);
    FLarge.clear();
    FLargeSize.clear();
    FLargeFree.clear();
}

std::size_t TDynStore::Bytes() const {
    std::size_t n = 0;
    for (const TChunk& c : FChunks) n += std::size_t(c.Units) * 4;
    for (std::size_t i = 0; i < FLarge.size(); ++i)
        if (FLarge[i]) n += std::size_t(FLargeSize[i]) * 4;
    return n;
}

void TDynStore::NewChunk() {
    const auto k = static_cast<std::uint32_t>(FChunks.size());
    if (k >= (kLarge >> kChunkBits)) throw std::bad_alloc();
    // Small texts take small chunks; from 4 MB on every chunk is whole.
    const std::uint32_t units = 1u << std::min<std::uint32_t>(kChunkBits, 12 + k);
    TChunk c;
    c.Buf = TLargeBuffer(std::size_t(units) * 4);
    c.Units = units;
    FChunks.push_back(std::move(c));
    // Unit 0 of the first chunk is never handed out: handle 0 means no entry.
    FUsed = k == 0 ? 1 : 0;
}

std::uint32_t TDynStore::Allocate(std::uint32_t Units) {
    if (Units <= kMaxSmall) {
        if (const std::uint32_t h = FFree[Units]) {
            FFree[Units] = *Entry(h);
            return h;
        }
        if (FChunks.empty() || FUsed + Units > FChunks.back().Units) {
            // The rest of the full chunk serves entries of its size later.
            if (!FChunks.empty() && FUsed < FChunks.back().Units) {
                const std::uint32_t rest = std::min(FChunks.back().Units - FUsed, kMaxSmall);
                const std::uint32_t h = ((static_cast<std::uint32_t>(FChunks.size()) - 1) << kChunkBits) + FUsed;
                *Entry(h) = FFree[rest];
                FFree[rest] = h;
            }
            NewChunk();
        }
        const std::uint32_t h = ((static_cast<std::uint32_t>(FChunks.size()) - 1) << kChunkBits) + FUsed;
        FUsed += Units;
        return h;
    }
    std::uint32_t i;
    if (!FLargeFree.empty()) {
        i = FLargeFree.back();
        FLargeFree.pop_back();
    } else {
        i = static_cast<std::uint32_t>(FLarge.size());
        if (i >= kLarge - 1) throw std::bad_alloc();
        FLarge.emplace_back();
        FLargeSize.push_back(0);
    }
    FLarge[i] = std::unique_ptr<std::uint32_t[]>(new std::uint32_t[Units]);
    FLargeSize[i] = Units;
    return kLarge | (i + 1);
}

const std::uint32_t* TDynStore::Entry(std::uint32_t H) const {
    if (H & kLarge) return FLarge[(H & ~kLarge) - 1].get();
    return reinterpret_cast<const std::uint32_t*>(FChunks[H >> kChunkBits].Buf.Data()) + (H & ((1u << kChunkBits) - 1));
}

std::uint32_t TDynStore::Write(const TDynPoint* Points, std::int32_t N, std::uint32_t StartState) {
    if (N == 0 && StartState == 0) return 0;
    if (N > kMaxPoints) throw ERiriError(kTextTooLong);
    std::int32_t maxOff = 0;
    std::uint32_t maxState = 0;
    for (std::int32_t i = 0; i < N; ++i) {
        maxOff = std::max(maxOff, Points[i].Offset);
        maxState = std::max(maxState, Points[i].State);
    }
    const std::uint8_t width = maxOff < 256 && maxState < 256 ? 2 : maxOff < 65536 && maxState < 65536 ? 4 : 8;
    const std::uint32_t head = StartState ? 2 : 1;
    const std::uint64_t dataUnits = (std::uint64_t(N) * width + 3) / 4;
    const std::uint32_t units = head + static_cast<std::uint32_t>(dataUnits);
    const std::uint32_t h = Allocate(units);
    std::uint32_t* e = Entry(h);
    e[0] = static_cast<std::uint32_t>(N) | (WidthCode(width) << 29) | (StartState ? kHasStart : 0);
    if (StartState) e[1] = StartState;
    auto* d = reinterpret_cast<std::uint8_t*>(e + head);
    switch (width) {
        case 2:
            for (std::int32_t i = 0; i < N; ++i) {
                d[2 * i] = static_cast<std::uint8_t>(Points[i].Offset);
                d[2 * i + 1] = static_cast<std::uint8_t>(Points[i].State);
            }
            break;
        case 4: {
            auto* w = reinterpret_cast<std::uint16_t*>(d);
            for (std::int32_t i = 0; i < N; ++i) {
                w[2 * i] = static_cast<std::uint16_t>(Points[i].Offset);
                w[2 * i + 1] = static_cast<std::uint16_t>(Points[i].State);
            }
            break;
        }
        default:
            std::memcpy(d, Points, std::size_t(N) * sizeof(TDynPoint));
    }
    return h;
}

TDynView TDynStore::View(std::uint32_t H, std::uint32_t& Start) const {
    if (H == 0) {
        Start = 0;
        return {};
    }
    const std::uint32_t* e = Entry(H);
    const bool hasStart = e[0] & kHasStart;
    Start = hasStart ? e[1] : 0;
    return TDynView(e + (hasStart ? 2 : 1), static_cast<std::int32_t>(e[0] & kCountMask), WidthOf(e[0]));
}

std::uint32_t TDynStore::StartState(std::uint32_t H) const {
    if (H == 0) return 0;
    const std::uint32_t* e = Entry(H);
    return (e[0] & kHasStart) ? e[1] : 0;
}

std::int32_t TDynStore::Count(std::uint32_t H) const {
    return H == 0 ? 0 : static_cast<std::int32_t>(Entry(H)[0] & kCountMask);
}

bool TDynStore::SetState(std::uint32_t H, std::int32_t I, std::uint32_t State) {
    std::uint32_t* e = Entry(H);
    const std::uint8_t width = WidthOf(e[0]);
    auto* d = reinterpret_cast<std::uint8_t*>(e + ((e[0] & kHasStart) ? 2 : 1));
    switch (width) {
        case 2:
            if (State >= 256) return false;
            d[2 * I + 1] = static_cast<std::uint8_t>(State);
            return true;
        case 4:
            if (State >= 65536) return false;
            reinterpret_cast<std::uint16_t*>(d)[2 * I + 1] = static_cast<std::uint16_t>(State);
            return true;
        default:
            reinterpret_cast<TDynPoint*>(d)[I].State = State;
            return true;
    }
}

void TDynStore::Free(std::uint32_t H) {
    if (H == 0) return;
    if (H & kLarge) {
        const std::uint32_t i = (H & ~kLarge) - 1;
        FLarge[i].reset();
        FLargeSize[i] = 0;
        FLargeFree.push_back(i);
        return;
    }
    std::uint32_t* e = Entry(H);
    const std::uint8_t width = WidthOf(e[0]);
    const std::uint32_t n = e[0] & kCountMask;
    const std::uint32_t units = ((e[0] & kHasStart) ? 2 : 1) + static_cast<std::uint32_t>((std::uint64_t(n) * width + 3) / 4);
    *e = FFree[units];
    FFree[units] = H;
}

}  // namespace tarvex
