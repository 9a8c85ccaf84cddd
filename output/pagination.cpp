#include "output/pagination.h"

#include <algorithm>

namespace tarvex {

void TPagination::Compute(std::int32_t Lines, std::int32_t LinesPerPage, const std::vector<std::int32_t>& BreakLines) {
    FLines = std::max(0, Lines);
    FPerPage = std::max(1, LinesPerPage);
    FRuns.assign(1, TRun{0, 0});
    FBlanks.clear();
    std::int64_t blanks = 0;  // blank lines so far
    for (const std::int32_t b : BreakLines) {
        const std::int64_t used = (b + blanks) % FPerPage;
        const std::int64_t add = FPerPage - used;
        FBlanks.push_back(static_cast<std::int32_t>(add));
        blanks += add;
        FRuns.push_back(TRun{b, b + blanks});
    }
    const std::int64_t total = FLines + blanks;
    FPageCount = static_cast<std::int32_t>(std::max<std::int64_t>(1, (total + FPerPage - 1) / FPerPage));
}

TPagination::TPageLines TPagination::Page(std::int32_t P) const {
    TPageLines r;
    if (P < 0 || P >= FPageCount) return r;
    const std::int64_t first = static_cast<std::int64_t>(P) * FPerPage;
    const std::int64_t last = first + FPerPage;  // exclusive
    // The last run starting at or before the page's first row.
    auto it = std::upper_bound(FRuns.begin(), FRuns.end(), first,
                               [](std::int64_t v, const TRun& x) { return v < x.Virtual; });
    --it;
    std::int64_t line = it->Line + (first - it->Virtual);
    std::int64_t v = first;
    const std::int64_t runEnd = std::next(it) != FRuns.end() ? std::next(it)->Line : FLines;
    if (line >= runEnd) {
        // The page starts in the blank lines before the next break.
        if (std::next(it) == FRuns.end()) return r;
        ++it;
        line = it->Line;
        v = it->Virtual;
    }
    const std::int64_t end = std::next(it) != FRuns.end() ? std::next(it)->Line : FLines;
    if (v >= last || line >= FLines) return r;
    r.First = static_cast<std::int32_t>(line);
    r.Row = static_cast<std::int32_t>(v - first);
    r.Count = static_cast<std::int32_t>(std::min(end - line, last - v));
    return r;
}

std::int32_t TPagination::PageOfLine(std::int32_t Line) const {
    auto it = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<std::int64_t>(Line),
                               [](std::int64_t l, const TRun& x) { return l < x.Line; });
    --it;
    return static_cast<std::int32_t>((it->Virtual + (Line - it->Line)) / FPerPage);
}

}  // namespace tarvex
