#pragma once
// Replacing every occurrence: in a string, and in a range of the paragraph
// store, where the replaced text is built in one pass without copying the
// rest of the text.

#include <cstdint>
#include <string>
#include <string_view>

#include "textstore/types.h"
#include "tools/store_search.h"

namespace tarvex {

// Every occurrence of F in S replaced by R, left to right; a replacement is
// never searched again. With WholeWord only occurrences between separators
// (the ends of S count as separators) are replaced; the others stay.
std::string ReplaceAllInString(std::string_view S, std::string_view F, std::string_view R, bool MatchCase,
                               bool WholeWord, std::int64_t& Count);

// The occurrences a replacement of [From, To) takes, as TStoreSearch::Scan
// finds them: how many, and the span from the first to the end of the last,
// which is all that changes.
struct TReplacePlan {
    TPos From = 0, To = 0;
    bool WholeWord = false;
    std::int64_t Count = 0;
    TPos Start = 0, End = 0;
};
TReplacePlan PlanReplace(const TStoreSearch& Search, TPos From, TPos To, bool WholeWord);

// The span's new text, built in one pass into one allocation of its exact size.
std::string BuildReplacedSpan(const TStoreSearch& Search, const TReplacePlan& Plan, std::string_view Replacement);

}  // namespace tarvex
