#pragma once
// Text in a box, broken at blanks to the box's width and aligned in it:
// headers and footers of printed pages.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw_surface.h"
#include "textstore/types.h"

namespace tarvex {

// The lines Text breaks into at Width in the canvas's current font. Line
// breaks in the text (CR, LF, CR LF) are kept; a line breaks before a word
// that would pass Width; a word wider than Width stands alone on its line;
// blanks where a line breaks are dropped.
std::vector<std::string> BreakIntoLines(TCanvas& C, std::string_view Text, std::int32_t Width);

// Draws Text from the box's top, each line aligned between R.Left and
// R.Right, in the current font and Color. Nothing is clipped: lines may run
// below the box.
void DrawTextBox(TDrawSurface& C, const TRect& R, std::string_view Text, TAlignment Align, std::int32_t Color);

// Text with its first "{p}" replaced by Number.
std::string WithPageNumber(std::string_view Text, std::int32_t Number);

}  // namespace tarvex
