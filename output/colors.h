#pragma once
// Colour values (0x00BBGGRR, or a system colour 0x80000000 | index) as RGB
// for output that leaves the screen: paper and documents get the classic
// light scheme, whatever the desktop's theme is.

#include <cstdint>

namespace tarvex {

struct TRgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const TRgb&, const TRgb&) = default;
};

bool IsSystemColor(std::int32_t Color);
// System colours through the light scheme; an unknown index is black.
TRgb ResolveColor(std::int32_t Color);

}  // namespace tarvex
