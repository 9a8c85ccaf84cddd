#include "textstore/dyn_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tarvex {

void TDynArray2::SetLayout(std::uint16_t ItemSize, std::uint16_t ItemStride) {
    FItemSize = ItemSize;
    FItemStride = ItemStride;
    SetPerBlock(kBlockSize / ItemStride);
}

void TDynArray2::SetPerBlock(std::int32_t N) {
    FItemsPerBlock = N;
    FShift = -1;
    if ((FItemsPerBlock & (FItemsPerBlock - 1)) == 0) {
        FShift = 0;
        while ((1 << FShift) < FItemsPerBlock) ++FShift;
    }
}

void TDynArray2::SetItemsPerBlock(std::int32_t N) {
    N = std::clamp(N, 1, kBlockSize / std::max<std::int32_t>(1, FItemStride));
    if (N == FItemsPerBlock) return;
    // The records are laid out afresh: copied out, the blocks resized, copied back.
    std::vector<std::byte> items(static_cast<std::size_t>(FCount) * FItemStride);
    for (std::int32_t i = 0; i < FCount; ++i)
        std::memcpy(items.data() + static_cast<std::size_t>(i) * FItemStride, Slot(i), FItemStride);
    const std::int32_t count = FCount;
    SetPerBlock(N);
    SetCapacity(std::max(count, 1));
    FCount = count;
    for (std::int32_t i = 0; i < FCount; ++i)
        std::memcpy(Slot(i), items.data() + static_cast<std::size_t>(i) * FItemStride, FItemStride);
}

std::byte* TDynArray2::ItemPtr(std::int32_t Index) {
    if (Index < 0) Index = 0;
    if (Index >= FCount) throw ERangeError();
    return Slot(Index);
}

const std::byte* TDynArray2::ItemPtr(std::int32_t Index) const {
    if (Index < 0) Index = 0;
    if (Index >= FCount) throw ERangeError();
    return Slot(Index);
}

void TDynArray2::GetItem(std::int32_t Index, void* Dest) const {
    std::memcpy(Dest, ItemPtr(Index), FItemSize);
}

void TDynArray2::SetItem(std::int32_t Index, const void* Source) {
    std::memcpy(ItemPtr(Index), Source, FItemSize);
}

std::int32_t TDynArray2::Add(const void* Record) {
    if (FCount >= Capacity()) SetCapacity(FCount + 1);
    std::memcpy(Slot(FCount), Record, FItemSize);
    return FCount++;
}

void TDynArray2::SetCount(std::int32_t N) {
    if (N < 0) N = 0;
    if (N > Capacity()) SetCapacity(N);
    FCount = N;
}

TDynArray2::~TDynArray2() {
    for (std::size_t b = 0; b < FBlocks.size(); ++b)
        if (!FPooled[b]) std::free(FBlocks[b]);
}

std::byte* TDynArray2::AllocBlock() {
    if (FBlocks.size() < kPlainBlocks) {
        auto* p = static_cast<std::byte*>(std::malloc(kBlockSize));
        if (!p) throw std::bad_alloc();
        FPooled.push_back(false);
        return p;
    }
    std::byte* p;
    if (!FFreeBlocks.empty()) {
        p = FFreeBlocks.back();
        FFreeBlocks.pop_back();
    } else {
        if (FSlabs.empty() || FSlabUsed == kSlabBlocks) {
            FSlabs.emplace_back(static_cast<std::size_t>(kSlabBlocks) * kBlockSize);
            FSlabUsed = 0;
        }
        p = reinterpret_cast<std::byte*>(FSlabs.back().Data()) + FSlabUsed++ * kBlockSize;
    }
    FPooled.push_back(true);
    ++FPooledInUse;
    return p;
}

void TDynArray2::FreeBlock(std::byte* B, bool Pooled) {
    if (!Pooled) {
        std::free(B);
        return;
    }
    FFreeBlocks.push_back(B);
    if (--FPooledInUse == 0) {
        // Nothing lives in the slabs any more: give them back.
        FFreeBlocks.clear();
        FSlabs.clear();
        FSlabUsed = 0;
    }
}

void TDynArray2::SetCapacity(std::int32_t N) {
    const std::int32_t blocks = (N > 0 ? (N - 1) / FItemsPerBlock : 0) + 1;
    while (static_cast<std::int32_t>(FBlocks.size()) > blocks) {
        FreeBlock(FBlocks.back(), FPooled.back());
        FBlocks.pop_back();
        FPooled.pop_back();
    }
    FBlocks.reserve(static_cast<std::size_t>(blocks));
    while (static_cast<std::int32_t>(FBlocks.size()) < blocks) {
        std::byte* b = AllocBlock();
        FBlocks.push_back(b);
    }
    FCount = std::min(FCount, Capacity());
}

void TDynArray2::MoveItems(std::int32_t Src, std::int32_t Dst, std::int32_t N) {
    if (N <= 0 || Src == Dst) return;
    const std::int32_t per = FItemsPerBlock;
    if (Dst < Src) {
        while (N > 0) {
            const std::int32_t seg = std::min({N, per - Src % per, per - Dst % per});
            std::memmove(Slot(Dst), Slot(Src), static_cast<std::size_t>(seg) * FItemStride);
            Src += seg;
            Dst += seg;
            N -= seg;
        }
    } else {
        std::int32_t srcEnd = Src + N, dstEnd = Dst + N;
        while (N > 0) {
            const std::int32_t seg = std::min({N, (srcEnd - 1) % per + 1, (dstEnd - 1) % per + 1});
            std::memmove(Slot(dstEnd - seg), Slot(srcEnd - seg), static_cast<std::size_t>(seg) * FItemStride);
            srcEnd -= seg;
            dstEnd -= seg;
            N -= seg;
        }
    }
}

void TDynArray2::InsertSlots(std::int32_t Index, std::int32_t N) {
    if (N <= 0) return;
    const std::int32_t old = FCount;
    SetCount(FCount + N);
    MoveItems(Index, Index + N, old - Index);
}

void TDynArray2::DeleteSlots(std::int32_t Index, std::int32_t N) {
    if (N <= 0) return;
    MoveItems(Index + N, Index, FCount - Index - N);
    FCount -= N;
}

}  // namespace tarvex
