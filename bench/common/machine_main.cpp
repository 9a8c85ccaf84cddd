// tarvex-bench-machine: how fast this machine writes memory it has never
// touched versus memory already mapped. On some virtual machines the first
// touch of a page costs far more than copying it, which caps every load that
// builds its text in fresh memory; the benchmarks print this line for context.

#include <sys/mman.h>

#include <cstdio>
#include <cstring>

#include "bench/common/bench_util.h"

int main() {
    using namespace tarvex::bench;
    constexpr std::size_t kSize = 256u << 20;
    void* p = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
        std::fprintf(stderr, "tarvex-bench-machine: cannot map %zu MB\n", kSize >> 20);
        return 1;
    }
    Stopwatch t;
    std::memset(p, 1, kSize);
    const double fresh = t.Seconds();
    t.Restart();
    std::memset(p, 2, kSize);
    const double reused = t.Seconds();
    std::printf("memory writes: %.0f MB/s to fresh pages, %.0f MB/s to pages already mapped\n",
                static_cast<double>(kSize) / kMB / fresh, static_cast<double>(kSize) / kMB / reused);
    ::munmap(p, kSize);
    return 0;
}
