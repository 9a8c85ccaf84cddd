#include "tools/headlines.h"

#include "platform/codepage.h"
#include "textstore/paragraphs_list.h"
#include "tools/line_text.h"

namespace tarvex {

std::int32_t HeadlineMaxLength(std::int64_t ContLen) {
    return ContLen < 2 || ContLen > 1000 ? 100 : static_cast<std::int32_t>(ContLen);
}

THeadlineScan::THeadlineScan(const TParagraphsList& Pars, const THeadlineOptions& Options)
    : FPars(Pars), FOptions(Options) {}

std::string_view THeadlineScan::Trimmed(std::int32_t P) const { return TrimBlanks(FPars.Par(P).View()); }

bool THeadlineScan::Step(std::chrono::steady_clock::time_point Deadline) {
    const std::int32_t count = FPars.Count();
    while (!FDone) {
        // The clock is read once per few thousand paragraphs.
        for (std::int32_t k = 0; k < 4096 && !FDone; ++k) {
            if (FNext >= count) {
                EndOfBlock();
                FDone = true;
                break;
            }
            if (Trimmed(FNext).empty()) {
                EndOfBlock();
            } else if (FBlockCount++ == 0) {
                FBlockStart = FNext;
            }
            ++FNext;
            if (FEntries.size() >= kMaxHeadlines) FDone = true;
        }
        if (std::chrono::steady_clock::now() >= Deadline) break;
    }
    return FDone;
}

void THeadlineScan::EndOfBlock() {
    const std::int32_t n = FBlockCount;
    FBlockCount = 0;
    if (n != 1 && n != 2) return;
    // A text that changed between slices may have lost the block.
    if (FBlockStart + n > FPars.Count()) return;
    std::string text(Trimmed(FBlockStart));
    if (n == 2) {
        const std::string_view second = Trimmed(FBlockStart + 1);
        if (static_cast<std::int64_t>(text.size() + second.size()) >= FOptions.MaxLength) return;
        (text += ' ') += second;
    } else if (static_cast<std::int64_t>(text.size()) > FOptions.MaxLength) {
        return;
    }
    if (FOptions.CapitalsOnly && Cp1251UpperCase(text) != text) return;
    FEntries.push_back(text + " = " + std::to_string(FBlockStart + 1));
}

std::int32_t THeadlineScan::Percent() const {
    const std::int32_t count = FPars.Count();
    if (FDone || count == 0) return 100;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(FNext) * 100 / count);
}

std::vector<std::string> ScanHeadlines(const TParagraphsList& Pars, const THeadlineOptions& Options) {
    THeadlineScan scan(Pars, Options);
    while (!scan.Step(std::chrono::steady_clock::time_point::max())) {
    }
    return scan.TakeEntries();
}

std::int64_t HeadlineParagraph(std::string_view Entry) {
    const std::size_t eq = Entry.rfind('=');
    if (eq == std::string_view::npos) return -1;
    const std::string_view num = TrimBlanks(Entry.substr(eq + 1));
    if (num.empty() || num.size() > 18) return -1;
    std::int64_t v = 0;
    for (char c : num) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace tarvex
