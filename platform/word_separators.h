#pragma once
// The word separators the program gives its editors, and the separators of
// whole-word searching: control characters,
// space, quote, most punctuation and the Windows-1251 dashes, quotes,
// ellipsis and no-break space (63 byte values). The apostrophe, hyphen,
// # $ % & @ _ ` ~ are word characters.

#include <string>

namespace tarvex {

inline std::string AppWordSeparators() {
    std::string s;
    for (int c = 0; c <= 0x22; ++c) s.push_back(static_cast<char>(c));
    s += "()*+,./:;<=>?[\\]^{|}";
    s += "\x85\x93\x94\x96\x97\xA0\xAB\xBB";
    return s;
}

}  // namespace tarvex
