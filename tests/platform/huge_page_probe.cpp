// Prints what the process runs with after UseHugePageHeap: its tunables and
// its arguments, one per line.
#include <cstdio>
#include <cstdlib>

#include "platform/huge_page_heap.h"

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    const char* t = std::getenv("GLIBC_TUNABLES");
    std::printf("tunables=%s\n", t ? t : "(none)");
    for (int i = 1; i < argc; ++i) std::printf("arg=%s\n", argv[i]);
    return 0;
}
