#include "output/colors.h"

#include <array>

namespace tarvex {

namespace {
// The classic light desktop scheme, by system colour index.
constexpr std::array<TRgb, 31> kScheme = {{
    {200, 200, 200},  // 0 scroll bar
    {0, 0, 0},        // 1 desktop
    {153, 180, 209},  // 2 active caption
    {191, 205, 219},  // 3 inactive caption
    {240, 240, 240},  // 4 menu
    {255, 255, 255},  // 5 window
    {100, 100, 100},  // 6 window frame
    {0, 0, 0},        // 7 menu text
    {0, 0, 0},        // 8 window text
    {0, 0, 0},        // 9 caption text
    {180, 180, 180},  // 10 active border
    {244, 247, 252},  // 11 inactive border
    {171, 171, 171},  // 12 application workspace
    {0, 120, 215},    // 13 highlight
    {255, 255, 255},  // 14 highlighted text
    {240, 240, 240},  // 15 button face
    {160, 160, 160},  // 16 button shadow
    {109, 109, 109},  // 17 gray text
    {0, 0, 0},        // 18 button text
    {0, 0, 0},        // 19 inactive caption text
    {255, 255, 255},  // 20 button highlight
    {105, 105, 105},  // 21 3-D dark shadow
    {227, 227, 227},  // 22 3-D light
    {0, 0, 0},        // 23 tooltip text
    {255, 255, 225},  // 24 tooltip background
    {0, 0, 0},        // 25 (unused)
    {0, 102, 204},    // 26 hot light
    {185, 209, 234},  // 27 gradient active caption
    {215, 228, 242},  // 28 gradient inactive caption
    {240, 240, 240},  // 29 menu highlight
    {240, 240, 240},  // 30 menu bar
}};
}  // namespace

bool IsSystemColor(std::int32_t Color) { return (static_cast<std::uint32_t>(Color) & 0xFF000000u) == 0x80000000u; }

TRgb ResolveColor(std::int32_t Color) {
    const auto c = static_cast<std::uint32_t>(Color);
    if (IsSystemColor(Color)) {
        const std::uint32_t i = c & 0xFF;
        return i < kScheme.size() ? kScheme[i] : TRgb{};
    }
    return TRgb{static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

}  // namespace tarvex
