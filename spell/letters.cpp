#include "spell/letters.h"

#include <array>

#include "platform/codepage.h"

namespace tarvex {

namespace {

struct TTables {
    std::array<bool, 256> Cyrillic{};
    std::array<unsigned char, 256> Lower{};
    TTables() {
        for (int c = 0; c < 256; ++c) Lower[c] = static_cast<unsigned char>(c);
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = Cp1251Upper(static_cast<unsigned char>(c));
            if (u != c) Lower[u] = static_cast<unsigned char>(c);
        }
        for (int c = 0xC0; c < 256; ++c) Cyrillic[c] = true;
        // Ђ Ѓ ѓ Љ Њ Ќ Ћ Џ ђ љ њ ќ ћ џ Ў ў Ј Ґ Ё Є Ї І і ґ ё є ј Ѕ ѕ ї
        for (unsigned char c : {0x80, 0x81, 0x83, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9A, 0x9C, 0x9D, 0x9E, 0x9F,
                                0xA1, 0xA2, 0xA3, 0xA5, 0xA8, 0xAA, 0xAF, 0xB2, 0xB3, 0xB4, 0xB8, 0xBA, 0xBC, 0xBD,
                                0xBE, 0xBF})
            Cyrillic[c] = true;
    }
};

const TTables& Tables() {
    static const TTables t;
    return t;
}

}  // namespace

bool IsCyrillicLetter(unsigned char C) { return Tables().Cyrillic[C]; }

unsigned char ToLowerCp1251(unsigned char C) { return Tables().Lower[C]; }

std::string LowerCaseCp1251(std::string_view S) {
    const auto& t = Tables().Lower;
    std::string r(S);
    for (char& c : r) c = static_cast<char>(t[static_cast<unsigned char>(c)]);
    return r;
}

}  // namespace tarvex
