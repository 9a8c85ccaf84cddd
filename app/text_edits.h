#pragma once
// The Edit menu's own editing and navigation commands on an editor: Delete
// word, the Ctrl+Delete word deletion, Delete line, Swop two letters and Go
// to line. Each change is one undo step; a read-only editor is left alone.

#include <cstdint>
#include <optional>
#include <string_view>

#include "textstore/types.h"

namespace tarvex {

class TDudiRiri;

// The word at the caret goes, and one space after it. False when there is none.
bool DeleteWordAtCaret(TDudiRiri& M);
// From the caret over the rest of the word and the separators after it.
bool DeleteWordForward(TDudiRiri& M);
// The caret's display line goes with its line break; an empty last line stays.
bool DeleteDisplayLine(TDudiRiri& M);
// Swaps the characters before and after the caret (or the two selected
// ones) and leaves the caret between them. A pair with a line break in it is
// never swapped.
bool SwopTwoLetters(TDudiRiri& M);

// Display lines, the last one only when it holds text (the layout is completed first).
std::int32_t DisplayLineCount(TDudiRiri& M);
// The number typed into the Go to line box: digits with blanks or group
// separators; nothing for anything else, 0 or a negative number.
std::optional<std::int64_t> ParseLineNumber(std::string_view Text);
// Selects display line Line (1-based, clamped to the last line) with the caret at its start.
void GoToDisplayLine(TDudiRiri& M, std::int64_t Line);

}  // namespace tarvex
