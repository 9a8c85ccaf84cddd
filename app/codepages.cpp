#include "app/codepages.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace tarvex {

namespace {

// Unicode characters of KOI8-R 0x80..0xFF.
constexpr char16_t kKoi8r[128] = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // 80
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // 88
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // 90
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // 98
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // A0
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // A8
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // B0
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // B8
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // C0 юабцдефг
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // C8 хийклмно
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // D0 пярстужв
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // D8 ьызшэщчъ
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // E0
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // E8
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // F0
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // F8
};

// Unicode characters of cp866 0x80..0xFF.
constexpr char16_t kCp866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80 А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98 ..Я
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0 а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8 ..п
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0 р..
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8 ..я
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

// What a DOS box-drawing character looks most like in plain ASCII, or 0.
unsigned char BoxFallback(char16_t C) {
    switch (C) {
        case 0x2500: return '-';
        case 0x2550: return '=';
        case 0x2502:
        case 0x2551: return '|';
        default: break;
    }
    // Corners, tees and crosses of the single and double line sets.
    if (C >= 0x250C && C <= 0x253C) return '+';
    if (C >= 0x2552 && C <= 0x256C) return '+';
    return 0;
}

using Table = std::array<unsigned char, 256>;

Table Identity() {
    Table t{};
    for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    return t;
}

// Windows-1251 side from a code page's Unicode table.
Table ToWin(const char16_t (&Upper)[128], bool Box, unsigned char Missing) {
    Table t = Identity();
    for (int i = 0; i < 128; ++i) {
        const char16_t u = Upper[i];
        const int w = UnicodeToCp1251(u);
        unsigned char b = w >= 0 ? static_cast<unsigned char>(w) : Missing;
        if (w < 0 && u == 0x2219) b = 0x95;  // bullet operator: the Windows bullet
        if (w < 0 && Box && BoxFallback(u)) b = BoxFallback(u);
        t[static_cast<std::size_t>(0x80 + i)] = b;
    }
    return t;
}

Table FromWin(const char16_t (&Upper)[128], unsigned char Missing) {
    Table t = Identity();
    for (int w = 0x80; w < 256; ++w) {
        const char16_t u = Cp1251ToUnicode(static_cast<unsigned char>(w));
        unsigned char b = Missing;
        for (int i = 0; i < 128; ++i)
            if (Upper[i] == u) b = static_cast<unsigned char>(0x80 + i);
        if (u == 0x2022) {  // the Windows bullet: the code page's bullet operator
            for (int i = 0; i < 128; ++i)
                if (Upper[i] == 0x2219) b = static_cast<unsigned char>(0x80 + i);
        }
        t[static_cast<std::size_t>(w)] = b;
    }
    return t;
}

const Table& KoiWin() {
    static const Table t = ToWin(kKoi8r, false, '?');
    return t;
}
const Table& WinKoi() {
    static const Table t = [] {
        Table k = FromWin(kKoi8r, 0x94);
        k[0x95] = 0x95;
        return k;
    }();
    return t;
}
const Table& DosWin() {
    static const Table t = ToWin(kCp866, true, '?');
    return t;
}
const Table& WinDos() {
    static const Table t = FromWin(kCp866, '?');
    return t;
}

void Apply(const Table& T, char* Buf, std::size_t Len) {
    auto* p = reinterpret_cast<unsigned char*>(Buf);
    for (std::size_t i = 0; i < Len; ++i) p[i] = T[p[i]];
}


}  // namespace

const unsigned char* KoiToWinTable() { return KoiWin().data(); }
const unsigned char* WinToKoiTable() { return WinKoi().data(); }
const unsigned char* DosToWinTable() { return DosWin().data(); }
const unsigned char* WinToDosTable() { return WinDos().data(); }

void KoiToWin(char* Buf, std::size_t Len) { Apply(KoiWin(), Buf, Len); }
void WinToKoi(char* Buf, std::size_t Len) { Apply(WinKoi(), Buf, Len); }
void DosToWin(char* Buf, std::size_t Len) { Apply(DosWin(), Buf, Len); }
void WinToDos(char* Buf, std::size_t Len) { Apply(WinDos(), Buf, Len); }

std::string Utf8ToAnsi(std::string_view Bytes, std::int64_t* Unmapped) {
    // A byte-order mark alone is an empty text, not a character.
    if (Bytes.size() >= 3 && Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
    return Utf8ToCp1251(Bytes, Unmapped);
}

void SwapByteOrder16(std::string& Bytes) {
    for (std::size_t i = 0; i + 1 < Bytes.size(); i += 2) std::swap(Bytes[i], Bytes[i + 1]);
}

}  // namespace tarvex
