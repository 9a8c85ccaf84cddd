#include "dyn_array.h"

#include <algorithm>
#include <cstring>

namespace tarvex {

void TDynArray2::SetLayout(std::uint16_t ItemSize, std::uint16_t ItemStride) {
    FItemSize = ItemSize;
    FItemStride = ItemStride;
    FItemsPerBlock = kBlockSize / ItemStride;
    FShift = -1;
    if ((FItemsPerBlock & (FItemsPerBlock - 1)) == 0) {
        FShift = 0;
        while ((1 << FShift) < FItemsPerBlock) ++FShift;
    }
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

void TDynArray2::SetCapacity(std::int32_t N) {
    const std::int32_t blocks = (N > 0 ? (N - 1) / FItemsPerBlock : 0) + 1;
    const auto have = static_cast<std::int32_t>(FBlocks.size());
    if (blocks < have) {
        FBlocks.resize(blocks);
    } else {
        FBlocks.reserve(blocks);
        for (std::int32_t b = have; b < blocks; ++b)
            FBlocks.push_back(std::make_unique_for_overwrite<std::byte[]>(kBlockSize));
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
