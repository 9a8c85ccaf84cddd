#include "platform/huge_page_heap.h"

#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__linux__)
#include <unistd.h>
#endif

namespace tarvex {

namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb";

// "always [madvise] never": huge pages are given on request unless "never" is chosen.
bool KernelGivesHugePages() {
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string mode;
    if (!std::getline(f, mode)) return false;
    return mode.find("[never]") == std::string::npos;
}

}  // namespace

void UseHugePageHeap(char** Argv) {
#if defined(__linux__) && defined(__GLIBC__)
    if (!Argv || !Argv[0] || std::getenv("TARVEX_NO_HUGE_PAGES")) return;
    // Under valgrind a restart would leave the tool behind.
    if (const char* pre = std::getenv("LD_PRELOAD"); pre && std::string(pre).find("vgpreload") != std::string::npos) return;
    const char* current = std::getenv("GLIBC_TUNABLES");
    std::string tunables = current ? current : "";
    if (tunables.find(kTunable) != std::string::npos) return;
    if (!KernelGivesHugePages()) return;
    tunables += (tunables.empty() ? "" : ":") + std::string(kTunable) + "=1";
    if (::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0) return;
    ::execv("/proc/self/exe", Argv);
    // The restart failed: go on as we are, and do not hand the setting to
    // programs we start, which would not have asked for it.
    if (current)
        ::setenv("GLIBC_TUNABLES", current, 1);
    else
        ::unsetenv("GLIBC_TUNABLES");
#else
    (void)Argv;
#endif
}

}  // namespace tarvex
