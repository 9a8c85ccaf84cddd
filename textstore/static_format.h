#pragma once
// Static-format control characters: with StaticFormat on, the characters
// 2, 1, 21, 3 and 4 in the text toggle bold, italic, underline, highlight and
// the alternative font of the text that follows them.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The style bit a control character toggles, or 0 for an ordinary character.
constexpr std::uint8_t StyleCodeBit(unsigned char c) {
    switch (c) {
        case 2: return 0x01;   // bold
        case 1: return 0x02;   // italic
        case 21: return 0x04;  // underline
        case 3: return 0x10;   // highlight colours
        case 4: return 0x20;   // alternative font
        default: return 0;
    }
}

constexpr bool IsStyleCode(unsigned char c) { return StyleCodeBit(c) != 0; }

// The style byte after folding the control characters of text into style.
std::uint8_t FoldStyle(std::uint8_t style, std::string_view text);

// The text without the characters 1, 2, 3, 4 and 21.
std::string StripCodes(std::string_view text);

// Removes redundant code pairs: a control character and the same character
// again with only other control characters between them change nothing, so
// both go. The scan continues at the first one's place.
void CleanCodePairs(std::string& text);

// The codes (in the order 21, 1, 2, 3, 4) that close the styles text leaves toggled.
std::string BalancingCodes(std::string_view text);

}  // namespace tarvex
