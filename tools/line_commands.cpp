#include "tools/line_commands.h"

#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "tools/compress_lines.h"

namespace tarvex {

bool SortLines(TDudiRiri& M, const TSortOptions& Options, const TCollation& Collation, TJobControl* Job) {
    const TTextRange r = CommandRange(M);
    std::string sorted = SortLinesText(RangeText(M, r), Options, Collation, Job);
    ReplaceRange(M, r, sorted);
    return true;
}

bool CompressLines(TDudiRiri& M, std::uint32_t Steps) {
    return ApplyTransform(M, [Steps](std::string& Text) { return CompressText(Text, Steps); });
}

}  // namespace tarvex
