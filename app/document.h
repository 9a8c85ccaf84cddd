#pragma once
// TDocument: the file behind the editor. It opens files through the loader,
// saves them safely (Windows-1251 with the loaded line breaks, or UTF-8 with
// a byte-order mark), keeps the name, the date and the format the file was
// loaded in, records the history, and asks its questions through TPrompts.
// The window, tests and tarvex-cli share it.

#include <functional>
#include <span>
#include <string>

#include "app/loader.h"
#include "app/prompts.h"
#include "app/settings.h"
#include "app/text_writer.h"
#include "textstore/file_identity.h"

namespace tarvex {

// The Open and Save dialogs' filters: caption, then the patterns.
struct TFileFilter {
    const char* Caption;
    const char* Patterns;  // ";"-separated, upper case; the dialogs match either case
};
enum TSaveFormat { sfText, sfUtf8, sfRtf, sfAll };
struct TSaveFilter {
    TFileFilter Filter;
    TSaveFormat Format;
};
std::span<const TFileFilter> OpenFilters();
std::span<const TSaveFilter> SaveFilters();

inline constexpr const char* kUntitled = "Untitled";

class TDocument {
public:
    // The window's parts of opening: all optional.
    struct THooks {
        // True when another instance shows Path and the user chose to go there
        // (asked only with WatchOpen): the load stops.
        std::function<bool(const std::string& Path)> AlreadyOpen;
        // Once the format is known, before the text is replaced (a preview of a large file).
        std::function<void(TStream& S, const TFormatFlags& F, TPos CaretPos)> BeforeLoad;
        // Replaces the "Too large file! Continue?" question (the benchmarks answer it).
        std::function<bool(std::int64_t Size)> ConfirmLarge;
        // The name, the caption or the shown name changed.
        std::function<void()> OnNameChanged;
    };

    TDocument(TDudiRiri& Memo, TPrompts& Prompts, TSettings& Settings, THistory& History);

    THooks Hooks;
    // How often (ms) a save and a load let the window answer; 0: the editor's ProgressInterval.
    std::uint32_t SliceMs = 40;
    std::uint32_t LoadSliceMs = 20;
    // Writes the text as RTF to a path, safely (the RTF exporter lives above this library).
    std::function<void(const std::string& Path, const TWriteProgress& Progress)> RtfWriter;

    // --- state
    const std::string& FileName() const { return FFileName; }  // empty: a new document
    bool Named() const { return !FFileName.empty(); }
    // The name without its folder, "Untitled" for a new document.
    std::string Title() const;
    // The name other instances compare and the status bar shows; empty while loading.
    const std::string& ShownName() const { return FShownName; }
    const std::string& OpenedName() const { return FOpenedName; }
    const TFormatFlags& Flags() const { return FFlags; }
    // Save is offered while the text is modified, or after a load that converted it.
    bool SaveEnabled() const { return FSaveEnabled || FMemo.Modified; }
    bool JustLoaded() const { return FJustLoaded; }
    void ConsumeJustLoaded() { FJustLoaded = false; }
    TPos LoadedPos() const { return FLoadedPos; }
    THighlighterKind Highlighter() const { return FHighlighter; }

    // --- operations
    // Loads a file without asking about the current document (callers ask
    // first). CaretPos 0 takes the place from the history. False when the file
    // was not loaded (an error was shown, or the user stopped it).
    bool Open(const std::string& Name, TPos CaretPos);
    // Save (Ctrl+S): false when nothing was saved. A new document goes through SaveAs.
    bool Save();
    // Asks for a name and a format, then saves.
    bool SaveAs();
    // Saves under Path in Format, binding the document to it.
    bool SaveAsFile(const std::string& Path, TSaveFormat Format);
    // The unsaved-changes question: true when the current text may go.
    bool DiscardQuery();
    void New();
    // ReOpen: whether the file may be loaded again (it exists, and changes
    // were saved or the user chose to drop them). The caller then opens it
    // with the caret where it is.
    bool ConfirmRefresh();
    // Records the current document in the history before another replaces it.
    void AddToHistory();

private:
    std::string Text(const char* Bilingual) const { return tarvex::Bilingual(Bilingual, FSettings.Lang); }
    void SetFileName(const std::string& Name);
    void SetShownName(const std::string& Name);
    bool WriteFile(const std::string& Path, TTextEncoding E);
    bool ExportRtf(const std::string& Path);
    bool ConfirmSourceFormat();
    bool ConfirmNotChangedOnDisk();
    bool ConfirmWholeFile();
    bool ConfirmWritable();

    TDudiRiri& FMemo;
    TPrompts& FPrompts;
    TSettings& FSettings;
    THistory& FHistory;

    std::string FFileName, FShownName, FOpenedName;
    // The file as loaded or last saved; Exists false: not known (the user
    // chose to replace whatever is there).
    TFileIdentity FIdentity;
    // Set when a NUL byte cut the loaded text: saving over that file would
    // drop everything after it, so Save asks first.
    std::string FPartialFile;
    std::int64_t FNulPos = -1;
    std::int32_t FStoppedAfter = -1;  // lines a stopped load left; -1 when it was not stopped
    std::int64_t FUnmapped = 0;  // characters the loading conversion turned into '?'
    TFormatFlags FFlags;         // how the file under FFileName was read
    bool FSaveEnabled = false;
    bool FJustLoaded = false;
    TPos FLoadedPos = 0;
    THighlighterKind FHighlighter = hkUrl;
};

}  // namespace tarvex
