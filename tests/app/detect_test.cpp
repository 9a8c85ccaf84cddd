// The content probes on crafted bytes, at the edges of what each reads.

#include "app/detect.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvex {
namespace {

TUnicodeKind Kind(const std::string& Bytes) {
    TMemoryStream s(Bytes);
    return DetectUnicodeKind(s);
}
bool Dos(const std::string& Bytes) {
    TMemoryStream s(Bytes);
    return LooksLikeDos(s);
}
bool Koi(const std::string& Bytes) {
    TMemoryStream s(Bytes);
    return LooksLikeKoi(s);
}

// "Привет, мир" in each encoding.
const std::string kUtf8Hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80";
const std::string kWinText =
    "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xDD\xF2\xEE \xEE\xE1\xFB\xF7\xED\xFB\xE9 \xF2\xE5\xEA\xF1\xF2 "
    "\xED\xE0 \xF0\xF3\xF1\xF1\xEA\xEE\xEC \xFF\xE7\xFB\xEA\xE5, \xE2 \xEA\xEE\xE4\xE8\xF0\xEE\xE2\xEA\xE5 "
    "Windows.\r\n";

std::string Repeat(const std::string& S, std::size_t N) {
    std::string r;
    for (std::size_t i = 0; i < N; ++i) r += S;
    return r;
}

// Windows-1251 text re-encoded byte by byte through a table of Cyrillic letters.
std::string Recode(const std::string& Win, const char* Letters) {
    std::string out = Win;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0xC0) c = Letters[u - 0xC0];
    }
    return out;
}
// KOI8-R codes of А..Я, а..я.
const char kKoiLetters[] =
    "\xE1\xE2\xF7\xE7\xE4\xE5\xF6\xFA\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF2\xF3\xF4\xF5\xE6\xE8\xE3\xFE\xFB\xFD\xFF\xF9"
    "\xF8\xFC\xE0\xF1\xC1\xC2\xD7\xC7\xC4\xC5\xD6\xDA\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD2\xD3\xD4\xD5\xC6\xC8\xC3\xDE"
    "\xDB\xDD\xDF\xD9\xD8\xDC\xC0\xD1";
// cp866 codes of А..Я, а..я.
const char kDosLetters[] =
    "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B"
    "\x9C\x9D\x9E\x9F\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7"
    "\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF";

TEST(DetectUnicodeKind, ByteOrderMarks) {
    EXPECT_EQ(Kind("\xEF\xBB\xBF"), ukUtf8) << "a UTF-8 mark alone is enough";
    EXPECT_EQ(Kind("\xEF\xBB\xBFplain"), ukUtf8);
    EXPECT_EQ(Kind(std::string("\xFF\xFEh\0i\0", 6)), ukUtf16LE);
    EXPECT_EQ(Kind(std::string("\xFE\xFF\0h\0i", 6)), ukUtf16BE);
    EXPECT_EQ(Kind(""), ukNone);
    EXPECT_EQ(Kind("a"), ukNone);
}

TEST(DetectUnicodeKind, FirstNonAsciiSequenceDecides) {
    EXPECT_EQ(Kind("Hello " + kUtf8Hello), ukUtf8);
    EXPECT_EQ(Kind(kWinText), ukNone);
    EXPECT_EQ(Kind(std::string(100, 'a')), ukNone) << "ASCII is never UTF-8";
    // Sequences that must be exactly as long as their lead byte says.
    EXPECT_EQ(Kind("x\xC3\xA9xx"), ukUtf8);
    EXPECT_EQ(Kind("x\xC3\xA9\xA9xx"), ukNone) << "one continuation byte too many";
    EXPECT_EQ(Kind("x\xC3xxx"), ukNone);
    EXPECT_EQ(Kind("x\xE2\x80\x94xx"), ukUtf8);
    EXPECT_EQ(Kind("x\xE0\xA0\x80xx"), ukUtf8);
    EXPECT_EQ(Kind("x\xE0\x80\x80xx"), ukNone) << "overlong three-byte form";
    EXPECT_EQ(Kind("x\xED\x9F\xBFxx"), ukUtf8);
    EXPECT_EQ(Kind("x\xED\xA0\x80xx"), ukNone) << "surrogate";
    EXPECT_EQ(Kind("x\xF0\x9F\x98\x80xx"), ukUtf8);
    EXPECT_EQ(Kind("x\xF0\x80\x80\x80xx"), ukNone);
    EXPECT_EQ(Kind("x\xF4\x8F\xBF\xBFxx"), ukUtf8);
    EXPECT_EQ(Kind("x\xF4\x90\x80\x80xx"), ukNone) << "beyond U+10FFFF";
    EXPECT_EQ(Kind("x\xC1\xBFxx"), ukNone);
    EXPECT_EQ(Kind("x\xF5\x80\x80\x80xx"), ukNone);
    // Only the first sequence is looked at: a bad one later does not matter.
    EXPECT_EQ(Kind("x\xC3\xA9 then \xFF\xFF"), ukUtf8);
}

TEST(DetectUnicodeKind, YoBytesAreNotContinuations) {
    // Ш is D0 A8 and и is D0 B8 in UTF-8: 0xA8 and 0xB8 are Windows-1251 Ё and ё.
    EXPECT_EQ(Kind("x\xD0\xA8xx"), ukNone);
    EXPECT_EQ(Kind("x\xD0\xB8xx"), ukNone);
    EXPECT_TRUE(IsUtf8Text("x\xD0\xA8xx")) << "the whole-text test still finds them";
    EXPECT_TRUE(IsUtf8Text("x\xD0\xB8xx"));
    // Windows-1251 "ЁЖ" and "ЕЁ": a letter followed by Ё is no UTF-8.
    EXPECT_EQ(Kind("x\xC5\xA8xx"), ukNone);
}

TEST(DetectUnicodeKind, SequenceNeedsTwoMoreBytesInsideTheProbe) {
    // The probe reads 4,096 bytes; the sequence counts with at least two bytes after it.
    for (std::size_t pad : {4090u, 4091u, 4092u, 4093u, 4094u}) {
        const std::string file = std::string(pad, 'a') + "\xD0\x9F" + std::string(10, 'b');
        const std::size_t after = 4096 > pad + 2 ? 4096 - (pad + 2) : 0;
        EXPECT_EQ(Kind(file), after >= 2 ? ukUtf8 : ukNone) << "padding " << pad;
        EXPECT_TRUE(IsUtf8Text(file)) << "padding " << pad;
    }
    // At the very end of a short file.
    EXPECT_EQ(Kind("ab\xD0\x9F"), ukNone);
    EXPECT_EQ(Kind("ab\xD0\x9F" "c"), ukNone);
    EXPECT_EQ(Kind("ab\xD0\x9F" "cd"), ukUtf8);
}

TEST(DetectUnicodeKind, ReadsFromThePositionAndPutsItBack) {
    TMemoryStream s("skip" + std::string("x\xC3\xA9xx"));
    s.Seek(4);
    EXPECT_EQ(DetectUnicodeKind(s), ukUtf8);
    EXPECT_EQ(s.Position(), 4);
    s.Seek(s.Size());
    EXPECT_EQ(DetectUnicodeKind(s), ukNone) << "nothing left to read";
}

TEST(DetectUnicodeKind, Utf16WithoutMarkByStatistics) {
    std::string le;
    for (char c : std::string("Plain ASCII text\r\n")) {
        le.push_back(c);
        le.push_back('\0');
    }
    le += std::string("\x1F\x04\x40\x04\x38\x04", 6);  // При
    EXPECT_EQ(Kind(le), ukUtf16LE);
    std::string be(le.size(), '\0');
    for (std::size_t i = 0; i + 1 < le.size(); i += 2) {
        be[i] = le[i + 1];
        be[i + 1] = le[i];
    }
    EXPECT_EQ(Kind(be), ukNone) << "no mark: big-endian is not guessed";
    EXPECT_EQ(Kind(std::string("a\0\0\0b\0c\0", 8)), ukNone) << "NUL characters are binary data";
    EXPECT_EQ(Kind(kWinText), ukNone);
    EXPECT_FALSE(LooksLikeUtf16("Two plain words in eight bits"));
    EXPECT_TRUE(LooksLikeUtf16(std::string("a\0b\0", 4)));
    EXPECT_FALSE(LooksLikeUtf16(std::string("a\0b", 3))) << "an odd length is never UTF-16";
}

TEST(LooksLikeDos, LetterRangesDecide) {
    const std::string win = Repeat(kWinText, 20);
    EXPECT_TRUE(Dos(Recode(win, kDosLetters)));
    EXPECT_FALSE(Dos(win));
    EXPECT_FALSE(Dos(Recode(win, kKoiLetters)));
    EXPECT_FALSE(Dos(Repeat("plain ASCII ", 50)));
}

TEST(LooksLikeDos, BoxDrawingDominatedByOneCharacter) {
    // A frame of ─ (0xC4) with corners: box drawing, no letters.
    const std::string frame = "\xDA" + std::string(40, '\xC4') + "\xBF\r\n\xB3 menu \xB3\r\n\xC0" +
                              std::string(40, '\xC4') + "\xD9\r\n";
    EXPECT_TRUE(Dos(Repeat(frame, 10)));
    // The same share of bytes, spread evenly over many values: no single one dominates.
    std::string spread;
    for (int i = 0; i < 400; ++i) spread += static_cast<char>(0xB0 + i % 16) + std::string("ab");
    EXPECT_FALSE(Dos(spread));
}

TEST(LooksLikeDos, SampleEndsOneByteBeforeTheEndOfShortFiles) {
    EXPECT_FALSE(Dos("\x80")) << "a 1-byte file: nothing is read";
    EXPECT_FALSE(Dos(""));
    EXPECT_TRUE(Dos("\x80z")) << "the first of two bytes is read";
    EXPECT_FALSE(Dos("z\x80")) << "the last byte is not";
    // Beyond 5,000 bytes only the first 5,000 count.
    EXPECT_FALSE(Dos(std::string(5000, 'a') + std::string(100, '\x80')));
    EXPECT_TRUE(Dos(std::string(4900, 'a') + std::string(200, '\x80')));
}

TEST(LooksLikeKoi, KoiTextAgainstOtherCodePages) {
    const std::string win = Repeat(kWinText, 20);
    EXPECT_TRUE(Koi(Recode(win, kKoiLetters)));
    EXPECT_FALSE(Koi(win));
    EXPECT_FALSE(Koi(Recode(win, kDosLetters)));
    EXPECT_FALSE(Koi(Repeat("plain ASCII ", 50)));
    EXPECT_TRUE(LooksLikeKoi(std::string_view(Recode(win, kKoiLetters)))) << "the in-memory form agrees";
    EXPECT_FALSE(LooksLikeKoi(std::string_view(win)));
}

TEST(LooksLikeKoi, SampleIncludesTheLastByteOfShortFilesAndStopsAt5001) {
    // Ъ after a space is an error Russian never makes: alone it makes the text KOI8.
    EXPECT_TRUE(Koi("\xDA")) << "a 1-byte file: its byte is read";
    EXPECT_FALSE(Koi(""));
    EXPECT_TRUE(Koi(std::string(5000, ' ') + "\xDA")) << "byte 5,000 is the last one read";
    EXPECT_FALSE(Koi(std::string(5001, ' ') + "\xDA"));
    EXPECT_TRUE(LooksLikeKoi(std::string_view(std::string(5000, ' ') + "\xDA")));
    EXPECT_FALSE(LooksLikeKoi(std::string_view(std::string(5001, ' ') + "\xDA")));
}

TEST(LooksLikeKoi, ProbesPutThePositionBack) {
    TMemoryStream s(Recode(Repeat(kWinText, 5), kKoiLetters));
    s.Seek(17);
    EXPECT_TRUE(LooksLikeKoi(s));
    EXPECT_EQ(s.Position(), 17);
    EXPECT_FALSE(LooksLikeDos(s));
    EXPECT_EQ(s.Position(), 17);
}

TEST(IsUtf8Text, WholeTextMustBeWellFormed) {
    EXPECT_FALSE(IsUtf8Text(""));
    EXPECT_FALSE(IsUtf8Text("pure ASCII"));
    EXPECT_TRUE(IsUtf8Text(kUtf8Hello));
    EXPECT_FALSE(IsUtf8Text(kUtf8Hello + "\xD0")) << "cut off by the end";
    EXPECT_FALSE(IsUtf8Text(kUtf8Hello + " and " + kWinText));
    EXPECT_FALSE(IsUtf8Text(kWinText));
    EXPECT_TRUE(IsUtf8Text(std::string(5000, 'a') + "\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsUtf8Text("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsUtf8Text("\xE0\x9F\xBF"));
    EXPECT_FALSE(IsUtf8Text("\xC0\xAF"));
}

TEST(IsUtf8Text, PiecesGiveTheSameAnswerAsTheWhole) {
    std::mt19937 rng(7);
    const std::string parts[] = {"abc", kUtf8Hello, "\xE2\x80\x94", "\xF0\x9F\x98\x80", "\xD0", "\x80", "\xFF", "\r\n"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i) text += parts[rng() % (round % 3 == 0 ? 8 : 4)];
        TUtf8TextCheck check;
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t len = std::min<std::size_t>(rng() % 4, text.size() - at);
            check.Feed(std::string_view(text).substr(at, len));
            at += len;
        }
        ASSERT_EQ(check.Result(), IsUtf8Text(text)) << "round " << round;
    }
}

}  // namespace
}  // namespace tarvex
