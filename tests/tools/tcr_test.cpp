#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "textstore/stream.h"
#include "tools/tcr.h"

using namespace tarvex;

namespace {
// A TCR file whose entry i is Dict[i] (missing entries empty), then Codes.
std::string Tcr(const std::vector<std::string>& Dict, const std::string& Codes) {
    std::string f("!!8-Bit!!", 9);
    f.push_back('\0');
    for (std::size_t i = 0; i < 256; ++i) {
        const std::string e = i < Dict.size() ? Dict[i] : std::string();
        f.push_back(static_cast<char>(e.size()));
        f += e;
    }
    return f + Codes;
}

// Hands out at most 7 bytes per read, so that entries straddle the reads.
class TTrickleStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::int64_t Read(void* Buffer, std::int64_t Count) override {
        return TMemoryStream::Read(Buffer, std::min<std::int64_t>(Count, 7));
    }
};
}  // namespace

TEST(Tcr, CodesBecomeTheirDictionaryEntries) {
    const std::string f = Tcr({"", "\xCF\xF0\xE8", "\xE2\xE5\xF2", " ", "\r\n", std::string(255, 'z')},
                              std::string("\x01\x02\x03\x04\x01\x05", 6));
    EXPECT_EQ(TcrDecompress(f), "\xCF\xF0\xE8\xE2\xE5\xF2 \r\n\xCF\xF0\xE8" + std::string(255, 'z'));
}

TEST(Tcr, CodesWithEmptyEntriesWriteNothing) {
    std::vector<std::string> dict(256);
    dict['a'] = "A";
    dict[255] = "end";
    EXPECT_EQ(TcrDecompress(Tcr(dict, std::string("a\x10" "a\x00\xFF" "b", 6))), "AAend");
    EXPECT_EQ(TcrDecompress(Tcr({}, "anything")), "");
}

TEST(Tcr, StreamAndStringGiveTheSameText) {
    std::vector<std::string> dict(256);
    for (int i = 0; i < 256; ++i) dict[static_cast<std::size_t>(i)] = std::string(static_cast<std::size_t>(i % 5), static_cast<char>('a' + i % 26));
    std::string codes;
    for (int i = 0; i < 5000; ++i) codes.push_back(static_cast<char>(i * 7));
    const std::string f = Tcr(dict, codes);
    TTrickleStream s(f);
    EXPECT_EQ(TcrDecompress(s), TcrDecompress(f));
    EXPECT_FALSE(TcrDecompress(f).empty());
}

TEST(Tcr, TruncatedFilesGiveWhatIsThere) {
    std::vector<std::string> dict(256, "xy");
    const std::string f = Tcr(dict, "abc");
    const std::size_t codesAt = f.size() - 3;
    for (std::size_t len = 0; len <= f.size(); ++len) {
        const std::string cut = f.substr(0, len);
        TMemoryStream s(cut);
        const std::string text = TcrDecompress(s);
        EXPECT_EQ(text, TcrDecompress(cut));
        EXPECT_EQ(text.size(), len > codesAt ? 2 * (len - codesAt) : 0) << len;
    }
}

TEST(Tcr, Signature) {
    EXPECT_TRUE(IsTcrSignature(std::string("!!8-Bit!!\0rest", 14)));
    EXPECT_FALSE(IsTcrSignature("!!8-Bit!!x"));  // the tenth byte must be zero
    EXPECT_FALSE(IsTcrSignature("!!8-Bit!!"));
}

namespace {
// The longest run of bytes between CR or LF bytes, up to the first NUL when NulEnds.
std::int64_t LongestLine(const std::string& Text, bool NulEnds) {
    std::int64_t longest = 0, run = 0;
    for (const char c : Text) {
        if (NulEnds && c == '\0') break;
        run = (c == '\r' || c == '\n') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}
}  // namespace

TEST(TcrStream, GivesTheTextPieceByPieceWithItsExactSize) {
    std::mt19937 rng(11);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> dict(256);
        for (auto& e : dict) {
            const std::size_t len = rng() % 4 == 0 ? 0 : rng() % 256;
            for (std::size_t i = 0; i < len; ++i) {
                const unsigned r = rng() % 40;
                e.push_back(r == 0 ? '\r' : r == 1 ? '\n' : r == 2 ? '\0' : static_cast<char>('a' + r % 26));
            }
        }
        std::string codes;
        const std::size_t n = rng() % 3000;
        for (std::size_t i = 0; i < n; ++i) codes.push_back(static_cast<char>(rng() % (round % 3 == 0 ? 4 : 256)));
        const std::string f = Tcr(dict, codes);
        const std::string want = TcrDecompress(f);
        TTrickleStream file(f);
        TTcrStream s(file);
        EXPECT_EQ(s.Size(), static_cast<std::int64_t>(want.size()));
        EXPECT_EQ(s.LongestLine(false), LongestLine(want, false)) << round;
        EXPECT_EQ(s.LongestLine(true), LongestLine(want, true)) << round;
        std::string got;
        char buf[777];
        for (std::int64_t k; (k = s.Read(buf, 1 + static_cast<std::int64_t>(rng() % sizeof buf))) > 0;)
            got.append(buf, static_cast<std::size_t>(k));
        EXPECT_EQ(got, want) << round;
        EXPECT_EQ(s.Position(), s.Size());
        if (!want.empty()) {
            // Back (decoded again from the start) and forward.
            const std::int64_t at = static_cast<std::int64_t>(rng() % want.size());
            s.Seek(at);
            EXPECT_EQ(ReadBytes(s, 100), want.substr(static_cast<std::size_t>(at), 100));
        }
        EXPECT_THROW(s.Seek(s.Size() + 1), EStreamError);
    }
}

TEST(TcrStream, ABombIsMeasuredNotExpanded) {
    // 4 MB of codes standing for a gigabyte of text on one line.
    std::vector<std::string> dict(256, std::string(255, 'x'));
    const std::string f = Tcr(dict, std::string(std::size_t(4) << 20, '\x07'));
    TMemoryStream file(f);
    TTcrStream s(file);
    EXPECT_EQ(s.Size(), std::int64_t(255) << 22);
    EXPECT_EQ(s.LongestLine(false), std::int64_t(255) << 22);
    char buf[10];
    EXPECT_EQ(s.Read(buf, 10), 10);
    EXPECT_EQ(std::string(buf, 10), std::string(10, 'x'));
}

TEST(TcrStream, ATruncatedDictionaryIsAnEmptyText) {
    std::vector<std::string> dict(256, "xy");
    const std::string f = Tcr(dict, "abc").substr(0, 200);
    TMemoryStream file(f);
    TTcrStream s(file);
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(ReadBytes(s), "");
}
