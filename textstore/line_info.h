#pragma once
// LineInfo: the record of one display line of a paragraph.

#include <cstdint>

namespace tarvex {

struct LineInfo {
    std::int32_t Start = 0;        // offset of the line's first character
    std::int32_t Stop = 0;         // offset just behind its last character (next line's Start)
    std::int32_t Width = 0;        // pixels without the blanks at its end
    std::int32_t FullWidth = 0;    // pixels with those blanks
    std::int32_t Spaces = 0;       // blanks after JustifyFrom that justification may widen
    std::int32_t JustifyFrom = 0;  // offset from which blanks may be widened
    std::uint8_t Style = 0;        // static-format style in force at Start
    std::int32_t DynIndex = 0;     // first highlighting change point at or after Start

    friend bool operator==(const LineInfo&, const LineInfo&) = default;
};

}  // namespace tarvex
