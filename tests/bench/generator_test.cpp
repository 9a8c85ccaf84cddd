// The benchmark files must be byte-identical on every machine and for every
// run, or figures from different machines and cached data files disagree.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "bench/common/generator.h"

namespace tarvex::bench {
namespace {

std::string Generate(DataKind Kind, std::uint64_t Size) {
    std::string s;
    GenerateData(Kind, Size, [&](const char* p, std::size_t n) { s.append(p, n); });
    return s;
}

std::uint64_t Fnv1a(const std::string& S) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : S) h = (h ^ c) * 0x100000001B3ull;
    return h;
}

// Golden hashes of 1,000,000 bytes of each kind. When the generator's output
// changes on purpose, bump kGeneratorVersion (so cached files are remade) and
// update these.
TEST(BenchGenerator, OutputIsPinnedByVersion) {
    EXPECT_EQ(kGeneratorVersion, 1);
    EXPECT_EQ(Fnv1a(Generate(DataKind::Prose, 1'000'000)), 15964904832373711975ull);
    EXPECT_EQ(Fnv1a(Generate(DataKind::Log, 1'000'000)), 8342026795883009733ull);
    EXPECT_EQ(Fnv1a(Generate(DataKind::LongLines, 1'000'000)), 6456022517054942841ull);
}

TEST(BenchGenerator, SizesAreExactAndSmallerFilesArePrefixes) {
    for (DataKind k : {DataKind::Prose, DataKind::Log, DataKind::LongLines}) {
        const std::string big = Generate(k, 5'000'001);  // crosses the 4 MB chunk
        const std::string small = Generate(k, 12'345);
        ASSERT_EQ(big.size(), 5'000'001u) << DataKindName(k);
        ASSERT_EQ(small.size(), 12'345u) << DataKindName(k);
        // Only the cut at the end may differ (a CR LF split in two is patched).
        EXPECT_EQ(big.compare(0, small.size() - 1, small, 0, small.size() - 1), 0) << DataKindName(k);
        EXPECT_EQ(Generate(k, 0), "");
    }
}

TEST(BenchGenerator, ProseUsesCrLfOnlyAndHasAllParagraphKinds) {
    const std::string s = Generate(DataKind::Prose, 3'000'000);
    int empty = 0, shortPars = 0, normal = 0, cyrillic = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\n') FAIL() << "lone LF at " << i;
        if (c >= 0xC0) ++cyrillic;
        if (c == '\r') {
            ASSERT_LT(i + 1, s.size());
            ASSERT_EQ(s[i + 1], '\n') << "lone CR at " << i;
            const std::size_t len = i - start;
            if (len == 0)
                ++empty;
            else if (len < 100)
                ++shortPars;
            else if (len <= 1000)
                ++normal;
            start = i + 2;
            ++i;
        }
    }
    EXPECT_NE(s.back(), '\r');
    const int total = empty + shortPars + normal;
    EXPECT_GT(empty, total / 50);
    EXPECT_GT(shortPars, total / 20);
    EXPECT_GT(normal, total * 7 / 10);
    EXPECT_GT(cyrillic, static_cast<int>(s.size() / 3));
}

TEST(BenchGenerator, LogLinesEndInLfAndStayBetween60And200Bytes) {
    const std::string s = Generate(DataKind::Log, 2'000'000);
    std::size_t start = 0, lines = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        ASSERT_NE(s[i], '\r');
        if (s[i] == '\n') {
            const std::size_t len = i - start;
            EXPECT_GE(len, 60u) << "line " << lines;
            EXPECT_LE(len, 200u) << "line " << lines;
            start = i + 1;
            ++lines;
        }
    }
    EXPECT_GT(lines, 8000u);
}

TEST(BenchGenerator, LongLinesAreSeveralMegabytes) {
    const std::string s = Generate(DataKind::LongLines, 30'000'000);
    std::size_t start = 0, lines = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == '\n') {
            EXPECT_GE(i - start, 2u << 20);
            EXPECT_LE(i - start, 10u << 20);
            start = i + 1;
            ++lines;
        }
    EXPECT_GE(lines, 3u);
    EXPECT_EQ(s.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace tarvex::bench
