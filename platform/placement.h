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
std::string PlacementString(const TBounds& B, bool Maximized);
// What to store at close: a maximized window keeps the bounds of the string
// it was started with (marked "M"), so that they come back when it is restored.
std::string PlacementToStore(std::string_view Previous, const TBounds& Current, bool Maximized);

}  // namespace tarvex
