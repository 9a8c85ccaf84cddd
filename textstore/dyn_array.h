#pragma once
// TDynArray2: an array of fixed-size records kept in 32 KB blocks.
//
// Item i lies in block i / ItemsPerBlock at byte (i % ItemsPerBlock) * ItemStride.
// Invariants: Count <= Capacity = ItemsPerBlock * blocks; at least one block;
// ItemsPerBlock * ItemStride <= kBlockSize.
// Records never move unless the array inserts or deletes items, so pointers to
// items stay valid across appends that stay within the capacity.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "textstore/large_alloc.h"
#include "textstore/types.h"

namespace tarvex {

class TDynArray2 {
public:
    static constexpr int kBlockSize = 32768;

    TDynArray2(const TDynArray2&) = delete;
    TDynArray2& operator=(const TDynArray2&) = delete;

    // Pointer to item Index. A negative Index means item 0; Index >= Count
    // raises "List index out of bounds".
    std::byte* ItemPtr(std::int32_t Index);
    const std::byte* ItemPtr(std::int32_t Index) const;

    void GetItem(std::int32_t Index, void* Dest) const;
    void SetItem(std::int32_t Index, const void* Source);
    // Appends a copy of Record; returns its index.
    std::int32_t Add(const void* Record);

    // N below 0 is taken as 0; grows the capacity when needed. New slots are not cleared.
    void SetCount(std::int32_t N);
    // The number of blocks becomes (N - 1) / ItemsPerBlock + 1 (at least one).
    void SetCapacity(std::int32_t N);

    std::int32_t Count() const { return FCount; }
    std::int32_t Capacity() const { return FItemsPerBlock * static_cast<std::int32_t>(FBlocks.size()); }
    std::int32_t ItemsPerBlock() const { return FItemsPerBlock; }
    std::uint16_t ItemSize() const { return FItemSize; }
    std::uint16_t ItemStride() const { return FItemStride; }
    std::int32_t BlockCount() const { return static_cast<std::int32_t>(FBlocks.size()); }
    std::byte* Block(std::int32_t b) { return FBlocks[b]; }

    // Opens Count slots at Index (later items move up, block by block).
    void InsertSlots(std::int32_t Index, std::int32_t N);
    // Removes N items at Index (later items move down, block by block).
    void DeleteSlots(std::int32_t Index, std::int32_t N);

    // Fewer slots a block (1 up to what a 32 KB block holds), the items kept:
    // tests replay edits with records a few a block to cross block boundaries often.
    void SetItemsPerBlock(std::int32_t N);

protected:
    TDynArray2() = default;
    ~TDynArray2();
    // Set by the descendant before the first item is stored.
    void SetLayout(std::uint16_t ItemSize, std::uint16_t ItemStride);

    // Unchecked access for hot loops (Index must lie in 0..Capacity-1).
    std::byte* Slot(std::int32_t Index) const {
        const std::int32_t b = FShift >= 0 ? Index >> FShift : Index / FItemsPerBlock;
        const std::int32_t i = FShift >= 0 ? Index & (FItemsPerBlock - 1) : Index % FItemsPerBlock;
        return FBlocks[b] + static_cast<std::size_t>(i) * FItemStride;
    }

    // Moves N items from Src to Dst (ranges may overlap).
    void MoveItems(std::int32_t Src, std::int32_t Dst, std::int32_t N);
    void SetPerBlock(std::int32_t N);

private:
    // Blocks of large arrays come from huge-page slabs of kSlabBlocks blocks;
    // the first few are ordinary allocations so that small arrays stay small.
    static constexpr int kSlabBlocks = 64;
    static constexpr int kPlainBlocks = 16;
    std::byte* AllocBlock();
    void FreeBlock(std::byte* B, bool Pooled);

    std::vector<std::byte*> FBlocks;
    std::vector<bool> FPooled;          // per block: from a slab
    std::vector<TLargeBuffer> FSlabs;
    std::vector<std::byte*> FFreeBlocks;  // slab blocks not in use
    std::size_t FSlabUsed = 0;            // blocks handed out from the last slab
    std::size_t FPooledInUse = 0;
    std::int32_t FCount = 0;
    std::int32_t FItemsPerBlock = 1;
    std::int32_t FShift = -1;  // log2(ItemsPerBlock) when it is a power of two
    std::uint16_t FItemSize = 0;
    std::uint16_t FItemStride = 0;
};

}  // namespace tarvex
