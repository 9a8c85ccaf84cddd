#pragma once
// Breaking paragraphs into display lines, and the layout drivers.

#include <cstdint>
#include <vector>

#include "platform/canvas.h"
#include "textstore/line_info.h"
#include "textstore/par_info.h"

namespace tarvex {

class TDudiRiriBase;

// What a batch of FormatParagraph calls carries from one call to the next:
// the blank width and overhang of the font left selected in the canvas.
struct TFormatState {
    std::int32_t SpaceWidth = 1;
    std::int32_t Overhang = 0;
    std::int32_t Selected = -1;  // the style byte (without bit 4) whose font is selected; -1 unknown
    std::vector<LineInfo> Scratch;  // reused for the new lines of each paragraph
};

struct TFormatResult {
    std::int32_t NewCount = 1;  // the paragraph's display lines now
    std::int32_t Delta = 0;     // their change
};

// Lays out one paragraph into display lines.
// - Canvas nullptr: the paragraph becomes one line of width 0.
// - MeasureFont: the canvas font may differ from the paragraph's; select and measure afresh.
// - Full false allows stopping as soon as a new line break meets an old one.
// - FirstLine (in/out): the first line to lay out again; on return one smaller
//   when the line before it changed. LastLine (in/out): on input the last old
//   line the change is known to reach (no early stop before it); on return the
//   last line that changed.
// - Par may be nullptr (then fetched by ParIndex).
TFormatResult FormatParagraph(TDudiRiriBase& Memo, TCanvas* Canvas, bool MeasureFont, TFormatState& State, bool Full,
                              std::int32_t& LastLine, std::int32_t& FirstLine, std::int32_t ParIndex, ParInfo* Par,
                              std::int32_t ClientWidth);

// The sum of the extents of Count characters measured in pieces of at most Chunk.
std::int64_t TextExtentSum(TCanvas& Canvas, const char* Text, std::int64_t Count, std::int32_t Chunk);

// Blank width and overhang of the canvas's current font (1 and 0 when measuring fails).
void MeasureSpace(TCanvas& Canvas, std::int32_t& SpaceWidth, std::int32_t& Overhang);

struct TLayoutStats {
    std::int32_t Paragraphs = 0;       // paragraphs laid out
    std::int32_t LinesAdded = 0;       // change of the display-line count
    std::int32_t FirstChangedLine = -1;
    std::int32_t LastChangedLine = -1;
};

// Lays out the store's dirty range, keeps LineCount and every FirstLine in
// step, and clears the range.
TLayoutStats FormatDirtyRange(TDudiRiriBase& Memo);
// Lays out paragraphs From..To in full and keeps the line bookkeeping in step.
TLayoutStats FormatParagraphs(TDudiRiriBase& Memo, std::int32_t From, std::int32_t To);
// Lays out the paragraphs Pars (ascending, distinct) in full and keeps every
// later FirstLine and LineCount in step, in one pass over the rest.
TLayoutStats FormatParagraphSet(TDudiRiriBase& Memo, const std::vector<std::int32_t>& Pars);
// Lays out the whole text; nothing is left pending.
TLayoutStats FormatAll(TDudiRiriBase& Memo);

}  // namespace tarvex
