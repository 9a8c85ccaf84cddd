#include "textstore/lines_list.h"

#include <algorithm>

namespace tarvex {

LineInfo* TLinesList::Line(std::int32_t I) {
    if (I < 0 || I >= LineCount()) I = 0;
    if (I == 0) {
        if (Par && Par->HasExtra()) return &Par->Extra()->FirstLineInfo;
        Scratch = Par ? Par->FirstLineInfo() : LineInfo{};
        return &Scratch;
    }
    return &Par->Extra()->MoreLines[static_cast<std::size_t>(I - 1)];
}

void TLinesList::SetLine(std::int32_t I, const LineInfo& Source) {
    if (I < 0 || I >= LineCount()) I = 0;
    if (I == 0)
        Par->SetFirstLineInfo(Source);
    else
        Par->Extra()->MoreLines[static_cast<std::size_t>(I - 1)] = Source;
}

std::int32_t LineOfOffset(const ParInfo& Par, std::int32_t Offset) {
    const std::int32_t n = Par.LineCount();
    if (n == 1 || Par.Extra()->FirstLineInfo.Stop > Offset) return 0;
    const auto& more = Par.Extra()->MoreLines;
    const auto it = std::upper_bound(more.begin(), more.end(), Offset,
                                     [](std::int32_t o, const LineInfo& l) { return o < l.Stop; });
    return it == more.end() ? n - 1 : 1 + static_cast<std::int32_t>(it - more.begin());
}

}  // namespace tarvex
