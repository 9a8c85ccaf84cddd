#pragma once
// The highlighting passes: writing change points into paragraphs for keywords
// and for regions between start and stop keys, and the drivers that decide
// which paragraphs they run over.

#include <cstdint>

#include "textstore/dyn_info.h"
#include "textstore/types.h"

namespace tarvex {

class ParInfo;
class TDudiRiriBase;
class TParagraphsList;
class TRiriNavigator;
struct TReplaceResult;

// Number of change points of P with an offset below / at most Offset.
std::int32_t PointsBelow(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset);
std::int32_t PointsAtMost(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset);
// The attribute in force at Offset of a paragraph (change points at Offset included).
const TDynInfo& AttrAtOffset(const TParagraphsList& L, const ParInfo& P, std::int32_t Offset);

// ContextDepth: the depth of an attribute's context stack, -1 without one.
std::int32_t ContextDepth(const TDynInfo& A);
// The editor's own keywords may match under A.
bool KeywordsAllowed(const TDynInfo& A);
// A region may open under A (not inside another start-stop region).
bool StartAllowed(const TDynInfo& A);

// Gives the span between two navigators (either order) the attribute Attr
// (Set), or removes own attributes from it (not Set). The text behind the span
// keeps its attribute.
void ApplyAttribute(TDudiRiriBase& Memo, TRiriNavigator& NavA, TRiriNavigator& NavB, bool MarkDirty, bool Set,
                    const TDynInfo& Attr);

// The keyword pass: the highlighter's keywords, then the editor's own, over the
// range plus the longest keyword on either side.
void ApplyKeywords(TDudiRiriBase& Memo, TRiriNavigator& NavFrom, TRiriNavigator& NavTo);

// The first start key between Cur and Lim (one paragraph): opens its region,
// Lim ends behind the key.
bool FindStart(TDudiRiriBase& Memo, TRiriNavigator& Cur, TRiriNavigator& Lim);
// The end of the region in force at Cur: closes it, Lim ends behind the stop key.
bool FindStop(TDudiRiriBase& Memo, TRiriNavigator& Cur, TRiriNavigator& Lim);

// The start-stop pass over the range. EndAttr: the state the text behind the
// range expects; when the range ends in a different state, the rest of its
// paragraph is done too and the next paragraph is marked to be processed again
// (the change ripples on). Returns where the pass ended.
TPos ApplyStartStopKeys(TDudiRiriBase& Memo, TRiriNavigator& NavFrom, TRiriNavigator& NavTo, TDynInfo& EndAttr);

// --- drivers
// Runs the start-stop pass over every paragraph from KeysThrough + 1 to P
// whose keys are not applied; KeysThrough becomes P.
void KeysThrough(TDudiRiriBase& Memo, std::int32_t P);
// Keys through Last, then the keyword pass over every paragraph of the range
// whose keywords are not applied.
void KeywordsOverRange(TDudiRiriBase& Memo, std::int32_t First, std::int32_t Last);
// Re-highlights around an edit: the new text, widened to the key runs it
// touches, gets the start-stop pass (within its first paragraph; later
// paragraphs follow by the ripple), then the keyword pass.
void HighlightAfterEdit(TDudiRiriBase& Memo, const TReplaceResult& Edit);

}  // namespace tarvex
