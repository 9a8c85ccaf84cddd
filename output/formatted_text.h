#pragma once
// TRiruDaRodozetedText: what every exporter of an editor's formatted text
// shares: the editor, the dynamic-format switch, progress reporting, and
// output to a file, a stream, a list of lines or the clipboard.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "editor/dudi_riri.h"
#include "textstore/stream.h"
#include "textstore/string_list.h"

namespace tarvex {

// The clipboard as an exporter sees it: one formatted item with the plain
// text beside it, so that programs that do not read the format still paste.
class TFormattedClipboard {
public:
    virtual ~TFormattedClipboard() = default;
    // Format: a MIME type ("text/rtf").
    virtual void SetFormattedText(const std::string& Format, const std::string& Data, const std::u16string& PlainText) = 0;
};

class TRiruDaRodozetedText : public TComponent, private TLinkedObject {
public:
    TRiruDaRodozetedText() = default;
    ~TRiruDaRodozetedText() override;

    // Include the colours and styles highlighting gives; off: static styles only.
    bool DynFormat = true;
    TDudiRiri* DudiRiri() const { return FMemo; }
    void SetDudiRiri(TDudiRiri* M);
    // While writing, at most every ProgressInterval ms of the editor, and at the end.
    std::function<void(TRiruDaRodozetedText&)> OnProgress;
    // Where CopyToClipboard puts its item (not owned).
    TFormattedClipboard* Clipboard = nullptr;

    // The MIME type of the clipboard item.
    virtual std::string ClipboardFormat() const { return "text/plain"; }
    // Writes the range [Start, Stop) of the text (positions as SelStart has
    // them) as lines, each to Lines when given and to Stream (followed by
    // CR LF) when given.
    virtual void WriteRange(TPos Start, TPos Stop, TStringList* Lines, TStream* Stream) = 0;
    // The selection, with its plain text beside it; nothing without one.
    virtual void CopyToClipboard();

    // Writes the whole text to a file, replacing it only once all is written.
    void SaveToFile(const std::string& FileName);
    void SaveToStream(TStream& S);

    // Where the writing is: characters of the range done and in all.
    TPos ProgressDone() const { return FDone; }
    TPos ProgressTotal() const { return FTotal; }

protected:
    // Output of one WriteRange: lines built piece by piece; stream output is
    // buffered and written in large blocks.
    class TLineWriter {
    public:
        TLineWriter(TStringList* Lines, TStream* Stream) : FLines(Lines), FStream(Stream) {}
        ~TLineWriter() = default;
        TLineWriter(const TLineWriter&) = delete;
        TLineWriter& operator=(const TLineWriter&) = delete;
        void Append(std::string_view S);
        // Room for N more bytes: write at the pointer, then Commit the new end.
        char* Reserve(std::size_t N);
        void Commit(char* End) { FSize = static_cast<std::size_t>(End - FBuf.get()); }
        void EndLine();
        // Writes what is buffered; call once at the end.
        void Finish();

    private:
        void Flush();
        TStringList* FLines;
        TStream* FStream;
        std::unique_ptr<char[]> FBuf;
        std::size_t FSize = 0, FCap = 0;
        std::size_t FLineStart = 0;  // where the current line begins in the buffer
    };

    // Reports progress when ProgressInterval ms passed since the last report (or Force).
    void Progress(TPos Done, bool Force);
    void BeginProgress(TPos Total);

private:
    void LinkNotify(TDudiRiri& Sender, std::uint32_t Code) override;
    TDudiRiri* FMemo = nullptr;
    TPos FDone = 0, FTotal = 0;
    std::int64_t FLastReport = 0;
};

}  // namespace tarvex
