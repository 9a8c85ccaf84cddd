#pragma once
// Status texts and the complete layout of a freshly loaded short text:
// plain functions over the editor that the window calls.

#include <array>
#include <string>

namespace tarvex {

class TDudiRiri;

// A text shorter than this many display lines is laid out completely once
// loaded (one edit that is undone at once), so that its scroll range is exact.
inline constexpr int kShortTextLines = 300;
// Keeps Modified, the caret and the undo history as they were.
void ForceCompleteLayout(TDudiRiri& M);

// The status bar's panels 0..4: position, paragraph, line, column, and the
// selected character's code or the selection's length. Keep: the panel
// keeps what it shows (one selected NUL byte has no code to show).
struct TStatusText {
    std::string Text;
    bool Keep = false;
};
std::array<TStatusText, 5> StatusTexts(TDudiRiri& M);

}  // namespace tarvex
