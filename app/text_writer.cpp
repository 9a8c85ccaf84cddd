#include "app/text_writer.h"

#include "app/atomic_file.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

// Counts the text bytes that pass and converts them to UTF-8 when asked.
class TTextOutput : public TStream {
public:
    TTextOutput(TStream& Out, bool Utf8) : FOut(Out), FUtf8(Utf8) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    void Write(const void* B, std::int64_t N) override {
        Written += N;
        if (!FUtf8) {
            FOut.Write(B, N);
            return;
        }
        FBuf.clear();
        AppendCp1251AsUtf8(std::string_view(static_cast<const char*>(B), static_cast<std::size_t>(N)), FBuf);
        FOut.Write(FBuf.data(), static_cast<std::int64_t>(FBuf.size()));
    }
    std::int64_t Size() override { return Written; }
    std::int64_t Position() override { return Written; }
    void Seek(std::int64_t) override {}
    std::int64_t Written = 0;

private:
    TStream& FOut;
    bool FUtf8;
    std::string FBuf;
};

}  // namespace

void WriteText(TDudiRiri& M, TStream& Out, TTextEncoding E, const TWriteProgress& Progress, std::uint32_t IntervalMs) {
    if (E == teUtf8Bom) Out.Write("\xEF\xBB\xBF", 3);
    TTextOutput text(Out, E != teAnsi);
    const TPos total = M.CharCount();
    TProgressEvent progress;
    if (Progress && total > 0)
        progress = [&](TParagraphsList&) { Progress(static_cast<int>(std::min<TPos>(100, text.Written * 100 / total))); };
    M.Pars.SaveToStream(text, true, IntervalMs > 0 ? IntervalMs : M.ProgressInterval, progress, M.LineBreak,
                        M.HasOption(droDiscardTrailingSpaces));
}

void SaveText(TDudiRiri& M, const std::string& Path, TTextEncoding E, const TWriteProgress& Progress,
              std::uint32_t IntervalMs, const std::function<void()>& WhileFlushing) {
    SaveFileAtomically(Path, [&](TStream& Out) { WriteText(M, Out, E, Progress, IntervalMs); }, WhileFlushing);
}

}  // namespace tarvex
