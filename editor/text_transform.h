#pragma once
// The frame of every command that rewrites text (conversions, case, sorting,
// compressing, replace all, calculations): it works on the selection, or on
// the whole text when nothing is selected, and puts its result back through
// the editing primitive as one undo step. The undo space is raised to the
// text length + 8192 first so that even a whole-text change stays undoable,
// and the change runs inside BeginUpdate/EndUpdate (one repaint).

#include <functional>
#include <string>
#include <string_view>

#include "textstore/types.h"

namespace tarvex {

class TDudiRiri;

// The text a command works on: [Start, Start + Length) on the SelStart scale.
struct TTextRange {
    bool WholeText = true;
    TPos Start = 0;
    TPos Length = 0;
};

// The selection (a column block counts as the span of its rows), or the
// whole text without one.
TTextRange CommandRange(TDudiRiri& M);
// The range's text, paragraph breaks as CR LF.
std::string RangeText(TDudiRiri& M, const TTextRange& R);
// Puts NewText in place of the range as one undo step. A selection stays
// selected over the new text; after a whole-text change the caret goes to
// the start.
void ReplaceRange(TDudiRiri& M, const TTextRange& R, std::string_view NewText);
// The same, handing NewText over: the text store keeps its storage instead of
// copying it, so a whole-text result costs no second copy.
void ReplaceRangeMoved(TDudiRiri& M, const TTextRange& R, std::string&& NewText);
// Whether Text loads back exactly as it reads: no NUL byte, and every CR and
// LF part of a CR LF pair (TDudiRiri::ReplaceAllFromStream needs this).
bool LoadsAsIs(std::string_view Text);
// RangeText, F and ReplaceRange together. F returns false to leave the text
// as it is (nothing recorded). Returns whether the text was replaced.
bool ApplyTransform(TDudiRiri& M, const std::function<bool(std::string& Text)>& F);
// A rewrite of the whole text whatever is selected: Convert makes the new
// text from the old one (false: leave it). One undo step, the undo space
// raised, one update batch; a large text costs the memory of the old and the
// new text only (TDudiRiri::TransformWholeText). The caret goes to the start.
bool TransformWholeText(TDudiRiri& M, const std::function<bool(const std::string& Old, std::string& New)>& Convert);

}  // namespace tarvex
