#include "platform/codepage.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace tarvex {

namespace {
// 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr char16_t kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

struct ReverseEntry {
    char16_t Code;
    unsigned char Byte;
};

// Characters of 0x80..0xBF, sorted by code for binary search.
struct ReverseTable {
    std::array<ReverseEntry, 64> E{};
    constexpr ReverseTable() {
        for (int i = 0; i < 64; ++i) E[static_cast<std::size_t>(i)] = {kHigh[i], static_cast<unsigned char>(0x80 + i)};
        for (std::size_t i = 1; i < 64; ++i)
            for (std::size_t j = i; j > 0 && E[j - 1].Code > E[j].Code; --j) {
                const ReverseEntry t = E[j];
                E[j] = E[j - 1];
                E[j - 1] = t;
            }
    }
};
constexpr ReverseTable kReverse;
}  // namespace

char16_t Cp1251ToUnicode(unsigned char B) {
    if (B < 0x80) return B;
    if (B >= 0xC0) return static_cast<char16_t>(0x0410 + (B - 0xC0));
    return kHigh[B - 0x80];
}

int UnicodeToCp1251(char32_t C) {
    if (C < 0x80) return static_cast<int>(C);
    if (C >= 0x0410 && C <= 0x044F) return static_cast<int>(0xC0 + (C - 0x0410));
    std::size_t lo = 0, hi = kReverse.E.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (kReverse.E[mid].Code < C)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < kReverse.E.size() && kReverse.E[lo].Code == C) return kReverse.E[lo].Byte;
    return -1;
}

std::u16string Cp1251ToUtf16(std::string_view Text) {
    std::u16string out(Text.size(), u'\0');
    for (std::size_t i = 0; i < Text.size(); ++i) out[i] = Cp1251ToUnicode(static_cast<unsigned char>(Text[i]));
    return out;
}

std::string Utf16ToCp1251(std::u16string_view Text, char Replacement) {
    std::string out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t c = Text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
            ++i;  // a surrogate pair: never in the code page
            out.push_back(Replacement);
            continue;
        }
        const int b = UnicodeToCp1251(c);
        out.push_back(b < 0 ? Replacement : static_cast<char>(b));
    }
    return out;
}

namespace {
// The UTF-8 form of every Windows-1251 byte: its bytes packed little-endian
// in Bytes (so that one 4-byte store writes them all) and their count in Len.
struct TUtf8Table {
    std::uint32_t Bytes[256];
    unsigned char Len[256];
    TUtf8Table() {
        for (int b = 0; b < 256; ++b) {
            const char16_t c = Cp1251ToUnicode(static_cast<unsigned char>(b));
            std::uint32_t v;
            if (c < 0x80) {
                v = c;
                Len[b] = 1;
            } else if (c < 0x800) {
                v = (0xC0u | (c >> 6)) | (0x80u | (c & 0x3Fu)) << 8;
                Len[b] = 2;
            } else {
                v = (0xE0u | (c >> 12)) | (0x80u | ((c >> 6) & 0x3Fu)) << 8 | (0x80u | (c & 0x3Fu)) << 16;
                Len[b] = 3;
            }
            Bytes[b] = v;
        }
    }
};
const TUtf8Table& Utf8Table() {
    static const TUtf8Table t;
    return t;
}
}  // namespace

void AppendCp1251AsUtf8(std::string_view Text, std::string& Out) {
    const TUtf8Table& t = Utf8Table();
    const std::size_t start = Out.size();
    // Three bytes a character at most, and one to spare for the last 4-byte store.
    Out.resize(start + Text.size() * 3 + 1);
    char* o = Out.data() + start;
    // No branch per character: prose mixes one-, two- and three-byte forms
    // too irregularly for a branch to be predicted.
    for (const unsigned char b : Text) {
        std::memcpy(o, &t.Bytes[b], 4);
        o += t.Len[b];
    }
    Out.resize(static_cast<std::size_t>(o - Out.data()));
}

std::string Cp1251ToUtf8(std::string_view Text) {
    std::string out;
    AppendCp1251AsUtf8(Text, out);
    return out;
}

namespace {

// U+0080..U+07FF (the two-byte UTF-8 forms) to Windows-1251.
const std::array<unsigned char, 0x780>& TwoByteTable() {
    static const auto t = [] {
        std::array<unsigned char, 0x780> a{};
        for (char32_t c = 0x80; c < 0x800; ++c) {
            const int b = UnicodeToCp1251(c);
            a[c - 0x80] = b < 0 ? '?' : static_cast<unsigned char>(b);
        }
        return a;
    }();
    return t;
}

bool IsCont(unsigned char B) { return (B & 0xC0) == 0x80; }

}  // namespace

std::string Utf8ToCp1251(std::string_view Bytes, std::int64_t* Unmapped) {
    const auto* s = reinterpret_cast<const unsigned char*>(Bytes.data());
    const std::size_t n = Bytes.size();
    const auto& two = TwoByteTable();
    std::string out(n, '\0');  // never longer than the input
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    std::size_t i = 0, k = 0;
    std::int64_t missing = 0;
    while (i < n) {
        const unsigned char b0 = s[i];
        if (b0 < 0x80) {
            // Runs of ASCII eight bytes at a time.
            while (i + 8 <= n) {
                std::uint64_t w;
                std::memcpy(&w, s + i, 8);
                if (w & 0x8080808080808080ull) break;
                std::memcpy(o + k, &w, 8);
                i += 8;
                k += 8;
            }
            while (i < n && s[i] < 0x80) o[k++] = s[i++];
            continue;
        }
        // Two-byte forms (Cyrillic among them) by table.
        if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < n && IsCont(s[i + 1])) {
            const unsigned char b = two[(((b0 & 0x1Fu) << 6) | (s[i + 1] & 0x3Fu)) - 0x80];
            missing += b == '?';  // no two-byte form stands for '?' itself
            o[k++] = b;
            i += 2;
            continue;
        }
        // Everything else as the reference decoder does it.
        std::size_t len;
        char32_t c;
        if ((b0 & 0xE0) == 0xC0) {
            len = 2;
            c = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
            c = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
            c = b0 & 0x07;
        } else {
            o[k++] = '?';
            ++missing;
            ++i;
            continue;
        }
        bool ok = i + len <= n;
        for (std::size_t j = 1; ok && j < len; ++j) {
            if (!IsCont(s[i + j]))
                ok = false;
            else
                c = (c << 6) | (s[i + j] & 0x3F);
        }
        static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            o[k++] = '?';
            ++missing;
            ++i;
            continue;
        }
        const int b = UnicodeToCp1251(c);
        missing += b < 0;
        o[k++] = b < 0 ? '?' : static_cast<unsigned char>(b);
        i += len;
    }
    out.resize(k);
    if (Unmapped) *Unmapped = missing;
    return out;
}

namespace {
struct UpperTable {
    unsigned char T[256];
    constexpr UpperTable() : T() {
        for (int b = 0; b < 256; ++b) T[b] = static_cast<unsigned char>(b);
        for (int b = 'a'; b <= 'z'; ++b) T[b] = static_cast<unsigned char>(b - 32);
        for (int b = 0xE0; b <= 0xFF; ++b) T[b] = static_cast<unsigned char>(b - 32);
        // The Cyrillic letters outside the Russian alphabet, and yo.
        const unsigned char pairs[][2] = {{0x83, 0x81}, {0x90, 0x80}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
                                          {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xB3, 0xB2}, {0xB4, 0xA5},
                                          {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBC, 0xA3}, {0xBE, 0xBD}, {0xBF, 0xAF}};
        for (const auto& p : pairs) T[p[0]] = p[1];
    }
};
constexpr UpperTable kUpper;
}  // namespace

unsigned char Cp1251Upper(unsigned char B) { return kUpper.T[B]; }

std::string Cp1251UpperCase(std::string_view Text) {
    std::string out(Text);
    for (char& c : out) c = static_cast<char>(kUpper.T[static_cast<unsigned char>(c)]);
    return out;
}

std::string AsciiUpperCase(std::string_view Text) {
    std::string out(Text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

}  // namespace tarvex
