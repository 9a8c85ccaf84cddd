// The code-page tables checked against the C library's converters, their
// round trips, and the fast UTF-8 decoder against the reference one.

#include "app/codepages.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <random>

#include "platform/codepage.h"

namespace tarvex {
namespace {

// The Unicode character of one byte in a code page, by iconv; kNone when it has none.
constexpr char32_t kNone = 0xFFFFFFFF;
char32_t ByIconv(const char* CodePage, unsigned char B) {
    iconv_t cd = iconv_open("UTF-32LE", CodePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) return kNone;
    char in[1] = {static_cast<char>(B)};
    char out[8] = {};
    char* ip = in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    const std::size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || ol != 4) return kNone;
    return static_cast<char32_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
                                 static_cast<unsigned char>(out[2]) << 16);
}

TEST(CodePages, KoiToWinFollowsTheCharacterSets) {
    const unsigned char* t = KoiToWinTable();
    for (int b = 0; b < 256; ++b) {
        const char32_t u = ByIconv("KOI8-R", static_cast<unsigned char>(b));
        ASSERT_NE(u, kNone) << b;
        const int w = UnicodeToCp1251(u);
        const int want = b == 0x95 ? 0x95 : w >= 0 ? w : '?';
        EXPECT_EQ(t[b], want) << "KOI8-R byte " << b;
    }
    std::string s = "\xF0\xD2\xC9\xD7\xC5\xD4 \xB3\xCC\xCB\xC1";  // "Привет Ёлка" in KOI8-R
    KoiToWin(s);
    EXPECT_EQ(s, "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xEB\xEA\xE0");
}

TEST(CodePages, WinToKoiIsTheInverseWithMarkers) {
    const unsigned char* to = WinToKoiTable();
    const unsigned char* back = KoiToWinTable();
    char32_t koi[256];
    for (int k = 0; k < 256; ++k) koi[k] = ByIconv("KOI8-R", static_cast<unsigned char>(k));
    int unmapped = 0;
    for (int b = 0; b < 256; ++b) {
        if (to[b] == 0x94 && Cp1251ToUnicode(static_cast<unsigned char>(b)) != koi[0x94]) {
            ++unmapped;
            const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(b));
            EXPECT_EQ(std::count(std::begin(koi), std::end(koi), u), 0) << "Windows byte " << b << " has a KOI8-R form";
            continue;
        }
        EXPECT_EQ(back[to[b]], b) << "Windows byte " << b << " comes back";
    }
    EXPECT_EQ(to[0x95], 0x95);
    EXPECT_GT(unmapped, 20) << "most Windows punctuation has no KOI8-R form";
    EXPECT_EQ(to[0xA8], 0xB3) << "Ё";
    EXPECT_EQ(to[0xB8], 0xA3) << "ё";
}

TEST(CodePages, DosToWinLettersAndBoxDrawing) {
    const unsigned char* t = DosToWinTable();
    for (int b = 0; b < 256; ++b) {
        const char32_t u = ByIconv("CP866", static_cast<unsigned char>(b));
        ASSERT_NE(u, kNone) << b;
        const int w = UnicodeToCp1251(u);
        if (w >= 0) {
            EXPECT_EQ(t[b], w) << "cp866 byte " << b;
        }
    }
    EXPECT_EQ(t[0xC4], '-');
    EXPECT_EQ(t[0xCD], '=');
    EXPECT_EQ(t[0xB3], '|');
    EXPECT_EQ(t[0xBA], '|');
    EXPECT_EQ(t[0xDA], '+');
    EXPECT_EQ(t[0xCE], '+');
    EXPECT_EQ(t[0xB0], '?') << "shades have no look-alike";
    EXPECT_EQ(t[0xF9], 0x95);
    // Letters survive the way back.
    const unsigned char* back = WinToDosTable();
    for (int b = 0xC0; b < 256; ++b) EXPECT_EQ(t[back[b]], b);
    EXPECT_EQ(t[back[0xA8]], 0xA8);
    EXPECT_EQ(t[back[0xB8]], 0xB8);
}

TEST(Utf8ToAnsi, AgreesWithTheReferenceDecoder) {
    std::mt19937 rng(11);
    const std::string pieces[] = {"a", "Zz ", "\xD0\x9F", "\xD1\x8F", "\xC2\xA0", "\xE2\x80\x94", "\xE2\x84\x96",
                                  "\xF0\x9F\x98\x80", "\xE4\xB8\xAD", "\xC0\x80", "\xED\xA0\x80", "\x80", "\xFF",
                                  "\xE2\x80", "\xF4\x90\x80\x80", "\xC3"};
    for (int round = 0; round < 3000; ++round) {
        std::string s;
        const int n = static_cast<int>(rng() % 24);
        for (int i = 0; i < n; ++i) s += pieces[rng() % std::size(pieces)];
        ASSERT_EQ(Utf8ToAnsi(s), Utf8ToCp1251(s)) << "round " << round;
    }
    // Long ASCII runs go through the eight-byte path, with bytes of every kind around them.
    const std::string mixed = std::string(37, 'x') + "\xD0\x96" + std::string(9, 'y') + "\xE2\x80\xA6" + "tail";
    EXPECT_EQ(Utf8ToAnsi(mixed), std::string(37, 'x') + "\xC6" + std::string(9, 'y') + "\x85" + "tail");
}

TEST(Utf8ToAnsi, ByteOrderMark) {
    EXPECT_EQ(Utf8ToAnsi("\xEF\xBB\xBF\xD0\x9F"), "\xCF");
    EXPECT_EQ(Utf8ToAnsi("\xEF\xBB\xBF"), "") << "a file holding only the mark is empty";
    EXPECT_EQ(Utf8ToAnsi("a\xEF\xBB\xBF"), "a?") << "a mark inside the text is a character without a form";
    EXPECT_EQ(Utf8ToAnsi(""), "");
}

}  // namespace
}  // namespace tarvex
