#pragma once
// Font style bits, shared by the canvas and the style bytes of the text store.

#include <cstdint>

namespace tarvex {

inline constexpr std::uint8_t fsBold = 0x01;
inline constexpr std::uint8_t fsItalic = 0x02;
inline constexpr std::uint8_t fsUnderline = 0x04;
inline constexpr std::uint8_t fsStrikeOut = 0x08;
inline constexpr std::uint8_t kFontStyleMask = 0x0F;

}  // namespace tarvex
