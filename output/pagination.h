#pragma once
// Pages of a printout: display lines cut into pages of a fixed number of
// lines, where some lines (paragraphs that began with a form feed) must
// begin a page and the rest of the page before them stays blank.

#include <cstdint>
#include <vector>

namespace tarvex {

class TPagination {
public:
    // Lines: display lines of the text; LinesPerPage >= 1; BreakLines: the
    // lines that begin a page, ascending. A break that already falls on a page
    // start is given a whole blank page before it.
    void Compute(std::int32_t Lines, std::int32_t LinesPerPage, const std::vector<std::int32_t>& BreakLines);

    std::int32_t PageCount() const { return FPageCount; }
    std::int32_t LinesPerPage() const { return FPerPage; }
    // The blank lines put before each break (in the order of BreakLines).
    const std::vector<std::int32_t>& Blanks() const { return FBlanks; }

    // The display lines one page shows: Count lines from First, the first of
    // them in row Row of the page. Count is 0 for a blank page or a page
    // beyond the last.
    struct TPageLines {
        std::int32_t First = 0;
        std::int32_t Row = 0;
        std::int32_t Count = 0;
    };
    TPageLines Page(std::int32_t Page) const;

    // The page a display line is printed on.
    std::int32_t PageOfLine(std::int32_t Line) const;

private:
    // Runs of lines printed without a gap: lines [Line, next run's Line) go
    // to the rows from Virtual on (row = virtual line mod lines per page).
    struct TRun {
        std::int64_t Line;
        std::int64_t Virtual;
    };
    std::vector<TRun> FRuns{{0, 0}};
    std::vector<std::int32_t> FBlanks;
    std::int64_t FLines = 0;
    std::int32_t FPerPage = 1;
    std::int32_t FPageCount = 1;
};

}  // namespace tarvex
