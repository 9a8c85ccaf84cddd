#pragma once
// TLinesList: a view of one paragraph's display-line records. Line 1 lives in
// the paragraph record (in the short form only its width), lines 2..n in
// MoreLines of the long form.

#include <cstdint>

#include "textstore/line_info.h"
#include "textstore/par_info.h"

namespace tarvex {

class TLinesList {
public:
    ParInfo* Par = nullptr;

    std::int32_t LineCount() const { return Par ? Par->LineCount() : 1; }
    // A negative I, or one at or beyond LineCount, is taken as 0. For line 0 of
    // a short-form paragraph the Scratch record is filled and returned.
    LineInfo* Line(std::int32_t I);
    void GetLine(std::int32_t I, LineInfo& Dest) { Dest = *Line(I); }
    void SetLine(std::int32_t I, const LineInfo& Source);
    // N below 1 is taken as 1; the paragraph switches to the long form when N > 1.
    void SetLineCount(std::int32_t N) { Par->SetLineCount(N); }

private:
    LineInfo Scratch;
};

// The display line of a paragraph that holds Offset: the first whose Stop is
// above it (a line's Stop belongs to the next line), else the last.
std::int32_t LineOfOffset(const ParInfo& Par, std::int32_t Offset);

}  // namespace tarvex
