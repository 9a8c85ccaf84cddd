#pragma once
// Sort lines and Compress lines as editor commands: on the selection, or on
// the whole text without one, the result put back as one undo step.

#include <cstdint>
#include <string>

#include "tools/collation.h"
#include "tools/job_control.h"
#include "tools/sort_lines.h"

namespace tarvex {

class TDudiRiri;
struct TTextRange;

// Sorts the lines of the selection or the text (SortLinesText). Returns
// whether the text was replaced; EJobStopped leaves it unchanged.
bool SortLines(TDudiRiri& M, const TSortOptions& Options, const TCollation& Collation, TJobControl* Job = nullptr);
// The last step of Sort lines: Sorted in place of the range whose text was
// Old, as one undo step. A whole text goes into the store the lean way (Old
// becomes the undo record, Sorted is loaded without being split and copied).
void PutSortedText(TDudiRiri& M, const TTextRange& Range, std::string&& Old, std::string&& Sorted);

// Compresses the selection or the text with the steps of the Compress bit
// set. Returns whether the text changed (an unchanged text records nothing).
bool CompressLines(TDudiRiri& M, std::uint32_t Steps);

}  // namespace tarvex
