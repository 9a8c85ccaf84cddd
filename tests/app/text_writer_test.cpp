// Saving streams the store: the result equals converting the whole text at
// once, across the writer's 1 MB pieces and every byte value.

#include <gtest/gtest.h>

#include "app/text_writer.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"

namespace tarvex {
namespace {

std::string EveryByteText() {
    std::string t;
    for (int rep = 0; t.size() < (3u << 20); ++rep) {
        for (int b = 1; b < 256; ++b)
            if (b != '\r' && b != '\n') t.push_back(static_cast<char>(b));
        t += rep % 7 == 0 ? "\r\n\r\n" : "\r\n";
    }
    return t;
}

TEST(TextWriter, Utf8StreamEqualsWholeTextConversion) {
    TDudiRiri M;
    const std::string text = EveryByteText();
    M.SetTextBuf(text);
    std::vector<int> progress;
    M.ProgressInterval = 0;
    TMemoryStream out;
    WriteText(M, out, teUtf8Bom, [&](int P) { progress.push_back(P); });
    EXPECT_EQ(out.Data(), "\xEF\xBB\xBF" + Cp1251ToUtf8(text));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    TMemoryStream plain;
    WriteText(M, plain, teUtf8);
    EXPECT_EQ(plain.Data(), Cp1251ToUtf8(text));
    EXPECT_EQ(Utf8ToCp1251(plain.Data()), text) << "every byte but the unassigned 0x98 round-trips";
}

TEST(TextWriter, AnsiKeepsTheLineBreakOfTheDocument) {
    TDudiRiri M;
    M.SetTextBuf("a\r\nb\r\n");
    M.LineBreak = pbLF;
    TMemoryStream out;
    WriteText(M, out, teAnsi);
    EXPECT_EQ(out.Data(), "a\nb\n");
}

}  // namespace
}  // namespace tarvex
