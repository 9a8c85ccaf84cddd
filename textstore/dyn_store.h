#pragma once
// The change points of a text's paragraphs, stored compactly in shared
// chunks. A paragraph's points (and the state its text starts in, when that
// is not the default) form one entry: a header word, then the points at the
// narrowest width that holds them: 2 bytes a point (offset and state below
// 256), 4 (below 65536) or 8. Entries are allocated at their exact size in
// 4-byte units from chunks with free lists per size; large ones separately.
// A paragraph without points in the default state has no entry at all.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "textstore/dyn_info.h"
#include "textstore/large_alloc.h"

namespace tarvex {

// A read-only view of one paragraph's change points, sorted by offset. It is
// valid until that paragraph's points change.
class TDynView {
public:
    TDynView() = default;
    TDynView(const void* Data, std::int32_t Count, std::uint8_t Width)
        : FData(static_cast<const std::uint8_t*>(Data)), FCount(Count), FWidth(Width) {}

    std::int32_t size() const { return FCount; }
    bool empty() const { return FCount == 0; }
    std::int32_t Offset(std::int32_t I) const {
        switch (FWidth) {
            case 2: return FData[2 * I];
            case 4: return reinterpret_cast<const std::uint16_t*>(FData)[2 * I];
            default: return reinterpret_cast<const TDynPoint*>(FData)[I].Offset;
        }
    }
    std::uint32_t State(std::int32_t I) const {
        switch (FWidth) {
            case 2: return FData[2 * I + 1];
            case 4: return reinterpret_cast<const std::uint16_t*>(FData)[2 * I + 1];
            default: return reinterpret_cast<const TDynPoint*>(FData)[I].State;
        }
    }
    TDynPoint operator[](std::int32_t I) const { return {Offset(I), State(I)}; }
    // The number of points with an offset below O / at most O.
    std::int32_t CountBelow(std::int32_t O) const;
    std::int32_t CountAtMost(std::int32_t O) const;
    // Bytes a point takes: 2, 4 or 8.
    std::uint8_t Width() const { return FWidth; }

private:
    const std::uint8_t* FData = nullptr;
    std::int32_t FCount = 0;
    std::uint8_t FWidth = 8;
};

class TDynStore {
public:
    TDynStore();
    ~TDynStore();
    TDynStore(const TDynStore&) = delete;
    TDynStore& operator=(const TDynStore&) = delete;

    // An entry for N points and the start state; 0 (no entry) when there are
    // no points and the start state is the default (0).
    std::uint32_t Write(const TDynPoint* Points, std::int32_t N, std::uint32_t StartState);
    // The points of entry H (H may be 0) and its start state.
    TDynView View(std::uint32_t H, std::uint32_t& StartState) const;
    std::uint32_t StartState(std::uint32_t H) const;
    std::int32_t Count(std::uint32_t H) const;
    // Gives point I of entry H another state when the entry's width holds it; false otherwise.
    bool SetState(std::uint32_t H, std::int32_t I, std::uint32_t State);
    void Free(std::uint32_t H);
    // Forgets every entry.
    void Clear();
    // Memory held, in bytes.
    std::size_t Bytes() const;

    // The most points one paragraph may hold.
    static constexpr std::int32_t kMaxPoints = (1 << 29) - 1;

private:
    static constexpr std::uint32_t kChunkBits = 20;       // 4-byte units a chunk addresses
    static constexpr std::uint32_t kMaxSmall = 256;       // larger entries are allocated alone
    static constexpr std::uint32_t kLarge = 0x80000000u;  // handle bit of those

    const std::uint32_t* Entry(std::uint32_t H) const;
    std::uint32_t* Entry(std::uint32_t H) { return const_cast<std::uint32_t*>(std::as_const(*this).Entry(H)); }
    std::uint32_t Allocate(std::uint32_t Units);
    void NewChunk();

    struct TChunk {
        TLargeBuffer Buf;
        std::uint32_t Units = 0;  // its size in units
    };
    std::vector<TChunk> FChunks;
    std::uint32_t FUsed = 0;  // units handed out of the last chunk
    std::uint32_t FFree[kMaxSmall + 1] = {};  // per size: the first free entry (its first unit links the next)
    std::vector<std::unique_ptr<std::uint32_t[]>> FLarge;
    std::vector<std::uint32_t> FLargeSize;  // units of each large entry
    std::vector<std::uint32_t> FLargeFree;  // indexes of FLarge not in use
};

}  // namespace tarvex
