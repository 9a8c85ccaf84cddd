#include "textstore/large_alloc.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace tarvex {

namespace {
constexpr std::size_t kHuge = std::size_t(2) << 20;
std::size_t RoundUp(std::size_t S) { return (S + kHuge - 1) & ~(kHuge - 1); }
}  // namespace

void* AllocLarge(std::size_t Size) {
    if (Size < kHuge) {
        void* p = std::malloc(Size ? Size : 1);
        if (!p) throw std::bad_alloc();
        return p;
    }
    // Map one huge page more than needed and trim, so the block starts on a
    // huge-page boundary.
    const std::size_t want = RoundUp(Size);
    void* raw = mmap(nullptr, want + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHuge - 1) & ~(kHuge - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + want + kHuge;
    if (end > aligned + want) munmap(reinterpret_cast<void*>(aligned + want), end - (aligned + want));
    madvise(reinterpret_cast<void*>(aligned), want, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* P, std::size_t Size) {
    if (!P) return;
    if (Size < kHuge)
        std::free(P);
    else
        munmap(P, RoundUp(Size));
}

}  // namespace tarvex
