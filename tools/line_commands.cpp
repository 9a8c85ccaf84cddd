#include "tools/line_commands.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "textstore/stream.h"
#include "tools/compress_lines.h"

namespace tarvex {

namespace {

// From this size on a whole text is compressed straight into the store.
constexpr TPos kStreamFrom = 4 << 20;

// The compressed form of a text, produced as the store reads it: a worker
// compresses the next pieces while the store takes in the last ones.
class TCompressStream : public TStream {
public:
    TCompressStream(std::string_view Source, std::uint32_t Steps) : FSource(Source), FCompressor(Steps) {
        FWorker = std::thread([this] { Produce(); });
    }
    ~TCompressStream() override {
        {
            const std::lock_guard<std::mutex> lock(FMutex);
            FQuit = true;
        }
        FRoom.notify_all();
        FWorker.join();
    }
    TCompressStream(const TCompressStream&) = delete;
    TCompressStream& operator=(const TCompressStream&) = delete;

    std::int64_t Read(void* Buffer, std::int64_t Count) override {
        auto* out = static_cast<char*>(Buffer);
        std::int64_t done = 0;
        while (done < Count) {
            if (FAt == FCurrent.size() && !NextPiece()) break;
            const auto n = std::min<std::int64_t>(Count - done, static_cast<std::int64_t>(FCurrent.size() - FAt));
            std::copy_n(FCurrent.data() + FAt, n, out + done);
            FAt += static_cast<std::size_t>(n);
            done += n;
        }
        FPosition += done;
        return done;
    }
    void Write(const void*, std::int64_t) override { throw EStreamError("The compressed text cannot be written to"); }
    // Compressing never lengthens the text: the source's size is an upper bound.
    std::int64_t Size() override { return static_cast<std::int64_t>(FSource.size()); }
    std::int64_t Position() override { return FPosition; }
    void Seek(std::int64_t Pos) override {
        if (Pos != FPosition) throw EStreamError("The compressed text cannot be positioned");
    }
    // Valid once the whole text has been read.
    bool Changed() const { return FCompressor.Changed(); }

private:
    static constexpr std::size_t kPiece = 1u << 20;
    static constexpr std::size_t kAhead = 4;

    void Produce() {
        try {
            for (std::size_t at = 0;; at += kPiece) {
                std::string piece;
                const bool last = at >= FSource.size();
                if (last)
                    FCompressor.Finish(piece);
                else
                    FCompressor.Feed(FSource.substr(at, std::min(kPiece, FSource.size() - at)), piece);
                std::unique_lock<std::mutex> lock(FMutex);
                FRoom.wait(lock, [this] { return FQuit || FReady.size() < kAhead; });
                if (FQuit) return;
                FReady.push_back(std::move(piece));
                FEnded = last;
                FData.notify_all();
                if (last) return;
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(FMutex);
            FError = std::current_exception();
            FEnded = true;
            FData.notify_all();
        }
    }

    // The next compressed piece; false at the end.
    bool NextPiece() {
        std::unique_lock<std::mutex> lock(FMutex);
        FData.wait(lock, [this] { return !FReady.empty() || FEnded; });
        if (FError) std::rethrow_exception(FError);
        if (FReady.empty()) return false;
        FCurrent = std::move(FReady.front());
        FReady.pop_front();
        FAt = 0;
        FRoom.notify_all();
        return true;
    }

    std::string_view FSource;
    TCompressor FCompressor;  // the worker's alone until it has ended
    std::string FCurrent;
    std::size_t FAt = 0;
    std::int64_t FPosition = 0;
    std::mutex FMutex;
    std::condition_variable FData, FRoom;
    std::deque<std::string> FReady;
    bool FEnded = false, FQuit = false;
    std::exception_ptr FError;
    std::thread FWorker;
};

}  // namespace

bool SortLines(TDudiRiri& M, const TSortOptions& Options, const TCollation& Collation, TJobControl* Job) {
    const TTextRange r = CommandRange(M);
    std::string text = RangeText(M, r);
    std::string sorted = SortLinesText(text, Options, Collation, Job);
    PutSortedText(M, r, std::move(text), std::move(sorted));
    return true;
}

void PutSortedText(TDudiRiri& M, const TTextRange& Range, std::string&& Old, std::string&& Sorted) {
    if (!Range.WholeText || M.StaticFormat() || M.OnBeforeChange || !LoadsAsIs(Sorted)) {
        ReplaceRange(M, Range, Sorted);
        return;
    }
    if (M.UndoMaxSpace() < M.CharCount() + 8192) M.SetUndoMaxSpace(M.CharCount() + 8192);
    TMemoryStream s(std::move(Sorted));
    M.ReplaceAllFromStream(s, std::move(Old));
}

bool CompressLines(TDudiRiri& M, std::uint32_t Steps) {
    const TTextRange r = CommandRange(M);
    // A large whole text goes the lean way when it loads back as it reads:
    // its old form becomes the undo record, the new one is compressed
    // straight into the store, and the text is never held three times.
    if (r.WholeText && r.Length >= kStreamFrom && !M.StaticFormat() && !M.OnBeforeChange) {
        std::string old = RangeText(M, r);
        if (LoadsAsIs(old)) {
            const bool modified = M.Modified;
            if (M.UndoMaxSpace() < M.CharCount() + 8192) M.SetUndoMaxSpace(M.CharCount() + 8192);
            TCompressStream compressed(old, Steps);
            M.ReplaceAllFromStream(compressed, std::move(old));
            if (compressed.Changed()) return true;
            // Nothing changed: nothing to undo either.
            TUndoList& undo = M.UndoList();
            if (M.UndoMaxLevel() > 0 && undo.Position > 0) undo.Delete(undo.Position - 1);
            M.Modified = modified;
            return false;
        }
    }
    return ApplyTransform(M, [Steps](std::string& Text) { return CompressText(Text, Steps); });
}

}  // namespace tarvex
