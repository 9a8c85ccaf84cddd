#pragma once
// The bookmark commands on an editor: adding a bookmark at the caret, going
// to the last one, selecting to it, and stepping through them by position.

#include <cstdint>
#include <string>

#include "textstore/types.h"
#include "tools/bookmarks.h"

namespace tarvex {

class TDudiRiri;

// Longest label taken from a selection: a bookmark is a place, not a copy of
// the text.
inline constexpr TPos kMaxBookmarkLabel = 1000;

// The position a bookmark at the caret gets: the start of the selected
// range (whichever way it runs), never below 0.
TPos BookmarkPositionAtCaret(TDudiRiri& M);
// The trimmed text of the caret's display line.
std::string CaretLineLabel(TDudiRiri& M);
// The selected text with each CR LF as one space, trimmed (at most
// kMaxBookmarkLabel characters of it); the caret's line without a selection.
std::string SelectionLabel(TDudiRiri& M);

// Add bookmark (F9): position and label from the caret and selection.
// Returns whether an entry was added.
bool AddBookmarkAtCaret(TDudiRiri& M, TBookmarks& B, std::int64_t MarkCount);
// Add current position (the bookmark window): the caret's line as label, the
// selection not used.
bool AddCurrentPosition(TDudiRiri& M, TBookmarks& B, std::int64_t MarkCount);

// Puts the caret at P (kept within the text) and scrolls it into view.
void GoToPosition(TDudiRiri& M, TPos P);
// Caret to the 1-based paragraph N (kept within the text), scrolled into view.
void GoToParagraph(TDudiRiri& M, std::int64_t N);
// Go to last bookmark (Ctrl+F7); FirstPos, where the document was opened,
// stands in for a missing or bad one.
void GoToLastBookmark(TDudiRiri& M, const TBookmarks& B, TPos FirstPos);
// Select to last bookmark (Ctrl+F8): from the caret to that position.
void SelectToLastBookmark(TDudiRiri& M, const TBookmarks& B, TPos FirstPos);
// Next (Ctrl+Tab) or previous (Ctrl+Shift+Tab) bookmark by position,
// wrapping round; returns false when there is none to go to.
bool GoToNextBookmark(TDudiRiri& M, const TBookmarks& B, bool Backward);

}  // namespace tarvex
