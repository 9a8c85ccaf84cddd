#include "textstore/static_format.h"

namespace tarvex {

std::uint8_t FoldStyle(std::uint8_t style, std::string_view text) {
    for (unsigned char c : text) style ^= StyleCodeBit(c);
    return style;
}

std::string StripCodes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text)
        if (!IsStyleCode(c)) out.push_back(static_cast<char>(c));
    return out;
}

void CleanCodePairs(std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsStyleCode(c)) {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < text.size() && IsStyleCode(static_cast<unsigned char>(text[j])) &&
               static_cast<unsigned char>(text[j]) != c)
            ++j;
        if (j < text.size() && static_cast<unsigned char>(text[j]) == c) {
            text.erase(j, 1);
            text.erase(i, 1);
            continue;  // the scan continues at i
        }
        ++i;
    }
}

std::string BalancingCodes(std::string_view text) {
    const std::uint8_t open = FoldStyle(0, text);
    std::string codes;
    for (unsigned char c : {21, 1, 2, 3, 4})
        if (open & StyleCodeBit(c)) codes.push_back(static_cast<char>(c));
    return codes;
}

}  // namespace tarvex
