// The restart that puts the heap in huge pages keeps the arguments, keeps the
// user's own tunables, happens once, and can be turned off.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string RunProbe(const std::string& Env, const std::string& Args) {
    const std::string cmd = "env -u GLIBC_TUNABLES -u TARVEX_NO_HUGE_PAGES " + Env + " " TARVEX_HUGE_PAGE_PROBE " " + Args;
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        std::array<char, 256> buf{};
        while (std::fgets(buf.data(), buf.size(), p)) out += buf.data();
        ::pclose(p);
    }
    return out;
}

bool KernelGivesHugePages() {
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string mode;
    return std::getline(f, mode) && mode.find("[never]") == std::string::npos;
}

TEST(HugePageHeap, RestartsOnceWithTheTunableAndTheSameArguments) {
    if (!KernelGivesHugePages()) GTEST_SKIP() << "no transparent huge pages here";
    EXPECT_EQ(RunProbe("", "'two words' -x ''"), "tunables=glibc.malloc.hugetlb=1\narg=two words\narg=-x\narg=\n");
}

TEST(HugePageHeap, KeepsTheUsersTunables) {
    if (!KernelGivesHugePages()) GTEST_SKIP() << "no transparent huge pages here";
    EXPECT_EQ(RunProbe("GLIBC_TUNABLES=glibc.malloc.arena_max=2", "a"),
              "tunables=glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1\narg=a\n");
    // A choice of the user's own is never overridden.
    EXPECT_EQ(RunProbe("GLIBC_TUNABLES=glibc.malloc.hugetlb=0", "a"), "tunables=glibc.malloc.hugetlb=0\narg=a\n");
}

TEST(HugePageHeap, CanBeTurnedOff) {
    EXPECT_EQ(RunProbe("TARVEX_NO_HUGE_PAGES=1", "a"), "tunables=(none)\narg=a\n");
}

}  // namespace
