// Saving the paragraph list to a stream, with any line break.

#include <chrono>
#include <string>

#include "textstore/paragraphs_list.h"
#include "textstore/static_format.h"

namespace tarvex {

namespace {
std::string_view BreakBytes(TRiriLineBreak B) {
    switch (B) {
        case pbLFCR: return "\n\r";
        case pbCR: return "\r";
        case pbLF: return "\n";
        case pbCRLF:
        default: return "\r\n";
    }
}

// Collects small writes into large ones.
class TBufferedWriter {
public:
    explicit TBufferedWriter(TStream& S) : FS(S) { FBuf.reserve(kSize); }
    void Put(std::string_view Bytes) {
        if (FBuf.size() + Bytes.size() > kSize) Flush();
        if (Bytes.size() >= kSize)
            FS.Write(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
        else
            FBuf.append(Bytes);
    }
    void Flush() {
        if (!FBuf.empty()) FS.Write(FBuf.data(), static_cast<std::int64_t>(FBuf.size()));
        FBuf.clear();
    }

private:
    static constexpr std::size_t kSize = 1 << 20;
    TStream& FS;
    std::string FBuf;
};
}  // namespace

void TParagraphsList::SaveToStream(TStream& Stream, bool CleanCodes, std::uint32_t ProgressInterval,
                                   const TProgressEvent& OnProgress, TRiriLineBreak LineBreak, bool TrimTrailing) {
    using Clock = std::chrono::steady_clock;
    const std::string_view brk = BreakBytes(LineBreak);
    const bool clean = StaticFormat && CleanCodes;
    TBufferedWriter out(Stream);
    std::string copy;
    auto last = Clock::now();
    for (std::int32_t i = 0; i < Count(); ++i) {
        std::string_view text = At(i).View();
        if (clean) {
            copy.assign(text);
            CleanCodePairs(copy);
            text = copy;
        }
        if (TrimTrailing)
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
        out.Put(text);
        if (i + 1 < Count()) out.Put(brk);
        if (OnProgress && (i & 15) == 15) {
            const auto now = Clock::now();
            if (now - last > std::chrono::milliseconds(ProgressInterval)) {
                last = now;
                out.Flush();
                OnProgress(*this);
            }
        }
    }
    out.Flush();
    if (OnProgress) OnProgress(*this);
}

}  // namespace tarvex
