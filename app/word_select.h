#pragma once
// The word and the sentence at the caret, and the commands that select them:
// Select Word (Sent.) cycles word, sentence, next word. Positions are the
// editor's (a paragraph break counts CR and LF); the text is read from the
// store in place, so a sentence in a huge paragraph costs no copy.

#include <cstdint>

#include "textstore/types.h"

namespace tarvex {

class TDudiRiri;

struct TSpan {
    TPos Start = 0, Stop = 0;
    TPos Length() const { return Stop - Start; }
    friend bool operator==(const TSpan&, const TSpan&) = default;
};

// One character before Caret, back over separators to a word character, then
// out to the separators on both sides. Empty when there is no such word.
TSpan WordAt(TDudiRiri& M, TPos Caret);
// The sentence around Caret: from after the previous full stop, "!", "?",
// ellipsis or blank line to its own end, trailing blanks left out.
TSpan SentenceAt(TDudiRiri& M, TPos Caret);
// Where the next word starts at or after Pos (the end of the text when none).
TPos NextWordStart(TDudiRiri& M, TPos Pos);

// Selects Span with the caret at its end.
void SelectSpan(TDudiRiri& M, const TSpan& Span);
// The word (or sentence) at the caret becomes the selection. A sentence that
// is the selection already moves the caret to the next word instead.
void SelectWordAt(TDudiRiri& M, bool Sentence);
// Select Word (Sent.): no selection selects the word; the word selected
// selects the sentence; any other selection moves to the next word.
void SelectWordCycle(TDudiRiri& M);

// The current selection as a span (lower end first).
TSpan SelectionSpan(TDudiRiri& M);

}  // namespace tarvex
