#pragma once
// Window placement strings: "L<left>;T<top>;W<width>;H<height>", with "M" in
// front when the window is maximized.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

struct TBounds {
    std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const TBounds&, const TBounds&) = default;
};

// Reads a placement string over Bounds: a missing or bad number keeps the
// value Bounds has; left and top become at least -20, width and height at
// least 20. Returns whether the string asks for a maximized window.
bool ReadPlacement(std::string_view S, TBounds& Bounds);
// The same, then kept within Area (the screen's available area, see ClampPlacement).
bool ReadPlacement(std::string_view S, TBounds& Bounds, const TBounds& Area);
// Keeps a window on the screen whose available area is Area: width and height
// at most Area's (at least 20), left and top at least 20 pixels before Area's
// and no further right or down than leaves the whole window inside it.
TBounds ClampPlacement(TBounds B, const TBounds& Area);
std::string PlacementString(const TBounds& B, bool Maximized);
// What to store at close: a maximized window keeps the bounds of the string
// it was started with (marked "M"), so that they come back when it is restored.
std::string PlacementToStore(std::string_view Previous, const TBounds& Current, bool Maximized);
// The same with every stored bound kept within Area: a placement that would not
// fit the screen is never written back.
std::string PlacementToStore(std::string_view Previous, const TBounds& Current, bool Maximized, const TBounds& Area);

}  // namespace tarvex
