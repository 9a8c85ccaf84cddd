#include <gtest/gtest.h>

#include <algorithm>

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
