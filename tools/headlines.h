#pragma once
// The headline scan behind the Content view: a table of contents guessed
// from the layout of the text. A headline is a block of one or two short
// non-empty paragraphs standing between empty ones (the start and the end
// of the text count as empty): one paragraph of 1 to MaxLength characters,
// or two whose lengths together stay below MaxLength, joined by a space.
// Lengths are those of the trimmed paragraphs. Each headline is listed as
// "HEADLINE = N", N the 1-based number of its first paragraph.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class TParagraphsList;

inline constexpr std::size_t kMaxHeadlines = 5000;

// The ContLen setting as the scan uses it: values outside 2..1000 give 100.
std::int32_t HeadlineMaxLength(std::int64_t ContLen);

struct THeadlineOptions {
    std::int32_t MaxLength = 100;
    bool CapitalsOnly = true;  // only headlines that equal their upper-case form
};

// Walks a paragraph store in slices, so that a window can answer between
// them; the store must not change while a scan is under way.
class THeadlineScan {
public:
    THeadlineScan(const TParagraphsList& Pars, const THeadlineOptions& Options);

    // Scans until Deadline or the end; returns true when the scan is complete
    // (the end of the text or kMaxHeadlines entries).
    bool Step(std::chrono::steady_clock::time_point Deadline);
    bool Done() const { return FDone; }
    // 0..100.
    std::int32_t Percent() const;
    const std::vector<std::string>& Entries() const { return FEntries; }
    std::vector<std::string> TakeEntries() { return std::move(FEntries); }

private:
    void EndOfBlock();
    std::string_view Trimmed(std::int32_t P) const;

    const TParagraphsList& FPars;
    THeadlineOptions FOptions;
    std::int32_t FNext = 0;        // the next paragraph to look at
    std::int32_t FBlockStart = 0;  // first paragraph of the current non-empty block
    std::int32_t FBlockCount = 0;  // its paragraphs so far
    bool FDone = false;
    std::vector<std::string> FEntries;
};

// The whole scan at once.
std::vector<std::string> ScanHeadlines(const TParagraphsList& Pars, const THeadlineOptions& Options);

// The paragraph number after the last "=" of an entry ("HEADLINE = N"); -1
// when there is none.
std::int64_t HeadlineParagraph(std::string_view Entry);

}  // namespace tarvex
