#pragma once
// Large allocations backed by huge pages where the kernel offers them. Loading
// touches every page of the text once; with 4 KB pages the page faults cost
// more than reading the file.

#include <cstddef>

namespace tarvex {

// Bytes; throws std::bad_alloc. Sizes of 2 MB or more are mapped directly and
// asked for transparent huge pages.
void* AllocLarge(std::size_t Size);
void FreeLarge(void* P, std::size_t Size);

// An owned large allocation.
class TLargeBuffer {
public:
    TLargeBuffer() = default;
    explicit TLargeBuffer(std::size_t Size) : FPtr(static_cast<char*>(AllocLarge(Size))), FSize(Size) {}
    ~TLargeBuffer() { Reset(); }
    TLargeBuffer(TLargeBuffer&& O) noexcept : FPtr(O.FPtr), FSize(O.FSize) { O.FPtr = nullptr; O.FSize = 0; }
    TLargeBuffer& operator=(TLargeBuffer&& O) noexcept {
        if (this != &O) {
            Reset();
            FPtr = O.FPtr;
            FSize = O.FSize;
            O.FPtr = nullptr;
            O.FSize = 0;
        }
        return *this;
    }
    char* Data() const { return FPtr; }
    std::size_t Size() const { return FSize; }
    void Reset() {
        if (FPtr) FreeLarge(FPtr, FSize);
        FPtr = nullptr;
        FSize = 0;
    }

private:
    char* FPtr = nullptr;
    std::size_t FSize = 0;
};

}  // namespace tarvex
