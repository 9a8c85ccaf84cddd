#include "lines_list.h"

namespace tarvex {

LineInfo* TLinesList::Line(std::int32_t I) {
    if (I < 0 || I >= LineCount()) I = 0;
    if (I == 0) {
        if (Par && Par->HasExtra()) return &Par->Extra->FirstLineInfo;
        Scratch = Par ? Par->FirstLineInfo() : LineInfo{};
        return &Scratch;
    }
    return &Par->Extra->MoreLines[static_cast<std::size_t>(I - 1)];
}

void TLinesList::SetLine(std::int32_t I, const LineInfo& Source) {
    if (I < 0 || I >= LineCount()) I = 0;
    if (I == 0)
        Par->SetFirstLineInfo(Source);
    else
        Par->Extra->MoreLines[static_cast<std::size_t>(I - 1)] = Source;
}

}  // namespace tarvex
