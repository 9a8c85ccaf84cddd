#pragma once
// LineInfo: the record of one display line of a paragraph.

#include <cstdint>

namespace tarvex {

inline constexpr std::int32_t kMaxLineSpaces = (1 << 23) - 1;

struct LineInfo {
    std::int32_t Start = 0;        // offset of the line's first character
    std::int32_t Stop = 0;         // offset just behind its last character (next line's Start)
    std::int32_t Width = 0;        // pixels without the blanks at its end
    std::int32_t FullWidth = 0;    // pixels with those blanks
    std::int32_t JustifyFrom = 0;  // offset from which blanks may be widened
    std::int32_t DynIndex = 0;     // first highlighting change point at or after Start
    // Blanks after JustifyFrom that justification may widen (a justified line
    // is no wider than the window, so 24 bits never run out), and the
    // static-format style in force at Start: one word, a record of 28 bytes.
    std::int32_t Spaces : 24 = 0;
    std::uint32_t Style : 8 = 0;

    friend bool operator==(const LineInfo&, const LineInfo&) = default;
};

}  // namespace tarvex
