// Decoding while reading must give, byte for byte, what decoding the whole
// file at once gives, wherever the pieces it reads happen to cut the text.

#include "app/decoding_stream.h"

#include <gtest/gtest.h>

#include "app/codepages.h"

namespace tarvex {
namespace {

constexpr std::size_t kPiece = TDecodingStream::kPieceSize;

// Reads S to its end in reads of Step bytes.
std::string ReadAllIn(TStream& S, std::int64_t Step) {
    std::string out, buf(static_cast<std::size_t>(Step), '\0');
    while (const std::int64_t n = S.Read(buf.data(), Step)) out.append(buf, 0, static_cast<std::size_t>(n));
    return out;
}

TEST(DecodingStream, Utf8CutAtEveryPieceBoundaryDecodesAsAWhole) {
    // Sequences of every length, well formed and broken, placed so that the
    // first piece ends inside them at each possible byte.
    const std::string tails[] = {"\xD0\x9F", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xD0" "a", "\xE2\x82" "b",
                                 "\xF0\x9F\x98" "c", "\xC3\xE2\x82\xAC", "\xBF\xBF", "\xD0\x9F\xD0"};
    for (const std::string& tail : tails)
        for (std::size_t back = 1; back <= 4; ++back) {
            const std::string text = std::string(kPiece - back, 'x') + tail + "\r\n\xD0\x96\xD1\x8B\xD0";
            std::int64_t wholeUnmapped = 0;
            const std::string whole = Utf8ToAnsi(text, &wholeUnmapped);
            for (const std::int64_t step : {std::int64_t{7}, std::int64_t{1} << 16, std::int64_t{3} << 20}) {
                TMemoryStream src(text);
                TDecodingStream d(src, TDecodingStream::dkUtf8);
                EXPECT_EQ(ReadAllIn(d, step), whole) << "tail " << tail.size() << " back " << back << " step " << step;
                EXPECT_EQ(d.Unmapped(), wholeUnmapped);
                EXPECT_EQ(d.Position(), static_cast<std::int64_t>(whole.size()));
            }
        }
}

TEST(DecodingStream, ByteOrderMarkOnlyAtTheStart) {
    TMemoryStream a(std::string("\xEF\xBB\xBF") + "\xD0\x9F" + "\xEF\xBB\xBF");
    TDecodingStream d(a, TDecodingStream::dkUtf8);
    EXPECT_EQ(ReadAllIn(d, 100), "\xCF?") << "a mark inside the text is a character without a form";
    EXPECT_EQ(d.Unmapped(), 1);
    TMemoryStream b(std::string("\xEF\xBB"));
    TDecodingStream e(b, TDecodingStream::dkUtf8);
    EXPECT_EQ(ReadAllIn(e, 100), "??") << "half a mark is two broken bytes";
}

TEST(DecodingStream, SingleByteCodePagesAndTheFirstNul) {
    std::string text;
    for (int i = 0; i < 3 * static_cast<int>(kPiece) / 256 + 7; ++i)
        for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
    const std::size_t nul = text.size() - 100;
    text[nul] = 0;
    text[nul + 10] = 0;
    for (const auto kind : {TDecodingStream::dkDos, TDecodingStream::dkKoi}) {
        std::string whole = text;
        if (kind == TDecodingStream::dkDos)
            DosToWin(whole);
        else
            KoiToWin(whole);
        TMemoryStream src(text);
        TDecodingStream d(src, kind);
        EXPECT_EQ(d.Size(), static_cast<std::int64_t>(text.size()));
        EXPECT_EQ(ReadAllIn(d, 4096), whole);
        EXPECT_EQ(d.FirstNulAt(), static_cast<std::int64_t>(nul));
        EXPECT_EQ(d.Unmapped(), 0);
    }
    // Breaks and NUL pass through every table unchanged: the loader splits on them.
    for (const char c : {'\r', '\n', '\0', '\t'}) {
        std::string s(1, c), k(1, c);
        DosToWin(s);
        KoiToWin(k);
        EXPECT_EQ(s[0], c);
        EXPECT_EQ(k[0], c);
    }
}

TEST(DecodingStream, CharactersLostAreCountedOnlyInWhatWasTaken) {
    // "世" has no Windows-1251 byte: one in the first piece, two behind a NUL
    // in the third, more in the pieces after.
    const std::string lost = "\xE4\xB8\x96";
    std::string text = lost + std::string(kPiece, 'a') + std::string(kPiece, 'b') + lost + std::string(1, '\0') +
                       lost + lost + std::string(3 * kPiece, 'c') + lost;
    {
        TMemoryStream src(text);
        TDecodingStream d(src, TDecodingStream::dkUtf8, true);
        const std::string got = ReadAllIn(d, 1000);
        EXPECT_EQ(got.back(), '\0') << "the stream ends just behind the NUL";
        EXPECT_EQ(got.size(), 2 * kPiece + 3);
        EXPECT_EQ(d.Unmapped(), 2) << "nothing behind the NUL counts";
        EXPECT_EQ(d.FirstNulAt(), static_cast<std::int64_t>(2 * kPiece + 6));
    }
    {
        TMemoryStream src(text);
        TDecodingStream d(src, TDecodingStream::dkUtf8);
        std::string first(100, '\0');
        EXPECT_EQ(d.Read(first.data(), 100), 100);
        EXPECT_EQ(d.Unmapped(), 1) << "a reader that stops early is charged for the pieces it began";
        EXPECT_EQ(ReadAllIn(d, 1 << 20).size(), text.size() - 100 - 5 * 2);
        EXPECT_EQ(d.Unmapped(), 5);
    }
}

TEST(DecodingStream, ReadsFromWhereTheSourceStandsAndCannotBeSought) {
    TMemoryStream src(std::string("skip") + "\xD0\x9F" + std::string(10, '\0'));
    src.Seek(4);
    TDecodingStream d(src, TDecodingStream::dkUtf8);
    EXPECT_EQ(d.Size(), 12);
    char b[3] = {};
    EXPECT_EQ(d.Read(b, 2), 2);
    EXPECT_EQ(std::string(b, 2), std::string("\xCF", 1) + '\0');
    EXPECT_EQ(d.FirstNulAt(), 6) << "an offset in the source";
    EXPECT_NO_THROW(d.Seek(2));
    EXPECT_THROW(d.Seek(1), EStreamError);
    EXPECT_THROW(d.Write("x", 1), EStreamError);
}

}  // namespace
}  // namespace tarvex
