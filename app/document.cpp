#include "app/document.h"

#include <ctime>
#include <filesystem>

#include "app/atomic_file.h"
#include "editor/dudi_riri.h"
#include "textstore/scope_guard.h"

namespace tarvex {

namespace {

constexpr TFileFilter kOpenFilters[] = {
    {"Text files (*.TXT)", "*.TXT"},
    {"Pascal files (*.pas,*.dpr,*.dpk,*.inc,*.dfm)", "*.PAS;*.DPK;*.DPR;*.INC;*.DFM"},
    {"C files (*.c,*.cpp,*.h,*.hpp)", "*.C;*.CPP;*.H;*.HPP"},
    {"Rich text files (*.rtf)", "*.RTF"},
    {"HTML files (*.htm,*.xml,*.php,*.asp,*.fb2)", "*.*HTM*;*.XML;*.PHP*;*.ASP*;*.FB2"},
    {"DOC files (*.doc)", "*.DOC"},
    {"SQL files (*.sql)", "*.SQL"},
    {"TCR files (*.tcr)", "*.TCR"},
    {"All files (*.*)", "*"},
};
constexpr TSaveFilter kSaveFilters[] = {
    {{"Text files (*.txt)", "*.TXT"}, sfText},
    {{"UTF-8 files (*.txt)", "*.TXT"}, sfUtf8},
    {{"RTF files (*.rtf)", "*.RTF"}, sfRtf},
    {{"All files (*.*)", "*"}, sfAll},
};

std::string BaseName(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Names are kept absolute so that the history works from any folder.
std::string AbsolutePath(const std::string& Name) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(Name), ec);
    return ec ? Name : p.lexically_normal().string();
}

std::string LocalTime(std::int64_t Ns) {
    const std::time_t t = static_cast<std::time_t>(Ns / 1'000'000'000);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// The flags of a file that now holds the editor's own Windows-1251 text.
TFormatFlags PlainFlags(const std::string& Path) {
    TFormatFlags f;
    f.Ext = LowerExtension(Path);
    return f;
}

// Work the user may watch and stop: the text stays read-only meanwhile.
class TWorking {
public:
    explicit TWorking(TPrompts& P) : FP(P) { FP.WorkStarts(); }
    ~TWorking() {
        FP.WorkEnds();
        FP.Progress({});
    }
    TWorking(const TWorking&) = delete;
    TWorking& operator=(const TWorking&) = delete;

private:
    TPrompts& FP;
};

// A save the user watches: the busy cursor, "Saving N%", and the window
// answering between slices, where the user may stop it.
class TSaving {
public:
    explicit TSaving(TPrompts& P) : FP(P) {
        FP.Busy(true);
        FP.WorkStarts();
    }
    ~TSaving() {
        FP.WorkEnds();
        FP.Progress({});
        FP.Busy(false);
    }
    TSaving(const TSaving&) = delete;
    TSaving& operator=(const TSaving&) = delete;
    // The window answers while the disk catches up; the bytes are written by
    // then, so a stop request waits for the flush.
    std::function<void()> WhileFlushing() {
        return [this] { FP.KeepWorking(); };
    }
    TWriteProgress Progress() {
        return [this](int Percent) {
            FP.Progress("Saving " + FormatCount(Percent) + "%");
            if (!FP.KeepWorking()) throw EStreamError("saving was stopped; the file is as it was");
        };
    }

private:
    TPrompts& FP;
};

}  // namespace

std::span<const TFileFilter> OpenFilters() { return kOpenFilters; }
std::span<const TSaveFilter> SaveFilters() { return kSaveFilters; }

TDocument::TDocument(TDudiRiri& Memo, TPrompts& Prompts, TSettings& Settings, THistory& History)
    : FMemo(Memo), FPrompts(Prompts), FSettings(Settings), FHistory(History) {}

std::string TDocument::Title() const { return Named() ? BaseName(FFileName) : std::string(kUntitled); }

void TDocument::SetFileName(const std::string& Name) {
    FFileName = Name;
    if (Hooks.OnNameChanged) Hooks.OnNameChanged();
}

void TDocument::SetShownName(const std::string& Name) {
    FShownName = Name;
    if (Hooks.OnNameChanged) Hooks.OnNameChanged();
}

// --- opening

bool TDocument::Open(const std::string& Name, TPos CaretPos) {
    AddToHistory();
    const std::string resolved = AbsolutePath(Name);
    FOpenedName = resolved;
    if (FSettings.WatchOpen && Hooks.AlreadyOpen && Hooks.AlreadyOpen(resolved)) return false;
    SetShownName({});
    if (CaretPos == 0)
        if (const THistory::TItem* h = FHistory.Find(resolved)) CaretPos = h->Pos;

    TLoadSettings ls;
    ls.AutoDecode = FSettings.AutoDecode;
    ls.AutoHtmTxt = FSettings.AutoHtmTxt;
    ls.DocConvert = FSettings.DocConvert;
    TLoadHooks hooks;
    hooks.ConfirmLarge = [this](std::int64_t Size) {
        if (Hooks.ConfirmLarge) return Hooks.ConfirmLarge(Size);
        return FPrompts.Ask("Too large file! Continue?", TPrompts::pcYesNo) == TPrompts::paYes;
    };
    hooks.BeforeLoad = [this, CaretPos](TStream& S, const TFormatFlags& F) {
        if (Hooks.BeforeLoad) Hooks.BeforeLoad(S, F, CaretPos);
    };
    hooks.Progress = [this](std::int64_t Pos, std::int64_t Size) {
        if (Size > 0 && Pos < Size) FPrompts.Progress("Loading " + FormatCount(Pos * 100 / Size) + "%");
        if (!FPrompts.KeepWorking()) throw ELoadStopped();
    };
    hooks.ConvertStarts = [this] { FPrompts.Busy(true); };
    hooks.ConvertEnds = [this] { FPrompts.Busy(false); };
    TLoadOutcome outcome;
    try {
        // The window answers between slices of the load; the text is read-only meanwhile.
        TWorking working(FPrompts);
        TRestore<std::uint32_t> interval(FMemo.ProgressInterval, LoadSliceMs > 0 ? LoadSliceMs : FMemo.ProgressInterval);
        LoadDocument(FMemo, resolved, ls, hooks, outcome);
    } catch (const std::exception& e) {
        if (outcome.ControlTouched) {
            // The previous document is gone: what is left must not be saved under its name.
            FFlags = {};
            FSaveEnabled = false;
            SetFileName({});
        }
        FPrompts.ShowError(e.what());
        return false;
    }
    if (!outcome.Loaded) return false;
    FIdentity = outcome.Identity;
    FFlags = outcome.Flags;
    FUnmapped = outcome.Unmapped;
    FNulPos = outcome.NulPos;
    FStoppedAfter = outcome.Stopped ? outcome.StoppedAfter : -1;
    FPartialFile = outcome.NulCut || outcome.Stopped ? resolved : std::string();
    // A converted document can be saved although it is unmodified.
    FSaveEnabled = FFlags.Converts();
    SetFileName(resolved);
    SetShownName(resolved);
    FJustLoaded = true;
    if (CaretPos > 0) {
        // SelStart clamps to the text: a history entry of a file that shrank is fine.
        FMemo.SetSelStart(CaretPos);
        FMemo.SetTopLine(FMemo.SelLine());
    }
    FLoadedPos = FMemo.SelStart();
    FHighlighter = FSettings.Highlight ? HighlighterFor(FFlags, FSettings.AutoHtmTxt) : hkNone;
    if (outcome.NulCut) FPrompts.ShowMessage(NulCutMessage(FNulPos, FSettings.Lang));
    if (outcome.Stopped) {
        std::string m = Text("Loading was stopped: only the first %s lines of the file are in the editor.=Загрузка "
                             "остановлена: в редакторе только первые %s строк файла.");
        m.replace(m.find("%s"), 2, FormatCount(FStoppedAfter));
        FPrompts.ShowMessage(m);
    }
    return true;
}

void TDocument::AddToHistory() {
    if (!Named()) return;
    if (FSettings.MaxFiles < 1) {
        FHistory.Clear();
        return;
    }
    // The remembered place is the first line on screen, not the caret.
    if (FSettings.MemFirstLine && FMemo.LineCount() > 0) FMemo.SetSelLine(FMemo.TopLine());
    FHistory.Add(FFileName, FMemo.SelStart(), FSettings.MaxFiles);
}

// --- saving

bool TDocument::ConfirmSourceFormat() {
    std::string ext = LowerExtension(FFileName);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    // Saving text over a document it was taken from loses the document's
    // formatting; over a Unicode file, the characters Windows-1251 lacks.
    std::string what;
    if (ext == ".DOC" || ext == ".RTF" || ext == ".TCR" || FFlags.IsHtml)
        what = ext;
    else if (FFlags.IsUtf8)
        what = "UTF-8";
    else if (FFlags.IsUcs2)
        what = "UTF-16";
    if (what.empty()) return true;
    std::string q = Text("Attention! Source file is %s! Continue saving?=Внимание! Исходный файл - это %s! "
                         "Продолжать сохранение?");
    q.replace(q.find("%s"), 2, what);
    if ((FFlags.IsUtf8 || FFlags.IsUcs2) && FUnmapped > 0) {
        std::string lost = Text("%s characters that Windows-1251 lacks were loaded as \"?\" and will be saved so. "
                                "Save As UTF-8 keeps them.=%s символов, которых нет в Windows-1251, загружены как "
                                "\"?\" и так и будут сохранены. Сохранить как UTF-8 сохранит их.");
        lost.replace(lost.find("%s"), 2, FormatCount(FUnmapped));
        q = lost + "\n" + q;
    }
    return FPrompts.Ask(q, TPrompts::pcYesNo) == TPrompts::paYes;
}

bool TDocument::ConfirmNotChangedOnDisk() {
    // Size, times and inode: a program that put the modification time back is caught too.
    if (!FIdentity.Exists || !FileExists(FFileName) || FileUnchanged(FIdentity, FFileName)) return true;
    const std::int64_t now = FileModifiedNs(FFileName);
    return FPrompts.Ask("File was changed " + LocalTime(now) + "\nwith another program!\nSave file anyway???",
                        TPrompts::pcYesNo) == TPrompts::paYes;
}

bool TDocument::ConfirmWholeFile() {
    if (FPartialFile.empty() || FPartialFile != FFileName) return true;
    if (FStoppedAfter >= 0) {
        std::string q = Text("Loading was stopped after %s lines: saving replaces the whole file with them and the rest "
                             "is lost. Save anyway?=Загрузка была остановлена после %s строк: сохранение заменит ими "
                             "весь файл, остальное будет потеряно. Всё равно сохранить?");
        q.replace(q.find("%s"), 2, FormatCount(FStoppedAfter));
        return FPrompts.Ask(q, TPrompts::pcYesNo) == TPrompts::paYes;
    }
    std::string q = Text("Only the text before the NUL byte at position %s was loaded: saving replaces the whole "
                         "file with it and the rest is lost. Save anyway?=Загружен только текст до нулевого байта в "
                         "позиции %s: сохранение заменит им весь файл, остальное будет потеряно. Всё равно сохранить?");
    q.replace(q.find("%s"), 2, std::to_string(FNulPos));
    return FPrompts.Ask(q, TPrompts::pcYesNo) == TPrompts::paYes;
}

bool TDocument::ConfirmWritable() {
    if (MayWriteFile(FFileName)) return true;
    return FPrompts.Ask(Text("File is read-only! Save anyway?=Файл только для чтения! Всё равно сохранить?"),
                        TPrompts::pcYesNo) == TPrompts::paYes;
}

bool TDocument::WriteFile(const std::string& Path, TTextEncoding E) {
    TSaving saving(FPrompts);
    try {
        SaveText(FMemo, Path, E, saving.Progress(), SliceMs, saving.WhileFlushing());
    } catch (const std::exception& e) {
        FPrompts.ShowError(e.what());
        return false;
    }
    return true;
}

bool TDocument::Save() {
    if (!Named()) return SaveAs();
    if (!ConfirmWholeFile() || !ConfirmSourceFormat() || !ConfirmNotChangedOnDisk() || !ConfirmWritable())
        return false;
    if (!WriteFile(FFileName, teAnsi)) return false;
    FMemo.Modified = false;
    FSaveEnabled = false;
    FFlags = PlainFlags(FFileName);
    FUnmapped = 0;
    FPartialFile.clear();
    if (FShownName.empty()) SetShownName(FFileName);
    FIdentity = FileIdentityOf(FFileName);
    return true;
}

bool TDocument::SaveAs() {
    std::string proposed = Named() ? FFileName : std::string(kUntitled);
    const std::string ext = LowerExtension(proposed);
    if (!ext.empty()) proposed.resize(proposed.size() - ext.size());
    int filter = 1;
    std::string chosen = FPrompts.AskSaveFileName(proposed, filter);
    if (chosen.empty()) return false;
    const auto filters = SaveFilters();
    const TSaveFormat format =
        filter >= 1 && filter <= static_cast<int>(filters.size()) ? filters[static_cast<std::size_t>(filter - 1)].Format : sfText;
    if (LowerExtension(chosen).empty() && chosen.back() != '.') chosen += format == sfRtf ? ".rtf" : ".txt";
    return SaveAsFile(AbsolutePath(chosen), format);
}

bool TDocument::SaveAsFile(const std::string& Path, TSaveFormat Format) {
    if (Format == sfRtf) return ExportRtf(Path);
    if (Format != sfUtf8) {
        SetFileName(Path);
        FFlags = PlainFlags(Path);
        // The user agreed to replace whatever is there.
        FIdentity = {};
        const bool saved = Save();
        SetShownName(Path);
        return saved;
    }
    // A UTF-8 copy: the text stays unsaved as far as Windows-1251 goes, and
    // a later Save over this file asks first, as over any UTF-8 source.
    if (!WriteFile(Path, teUtf8Bom)) return false;
    SetFileName(Path);
    FFlags = PlainFlags(Path);
    FFlags.IsUtf8 = true;
    FUnmapped = 0;
    FIdentity = FileIdentityOf(Path);
    SetShownName(Path);
    return true;
}

// An RTF copy is an export: the document stays bound to its own file and
// unsaved, since the next Save would write plain text over the formatting.
bool TDocument::ExportRtf(const std::string& Path) {
    TSaving saving(FPrompts);
    try {
        if (!RtfWriter) throw EStreamError("Cannot save \"" + Path + "\" as RTF here");
        RtfWriter(Path, saving.Progress());
    } catch (const std::exception& e) {
        FPrompts.ShowError(e.what());
        return false;
    }
    return true;
}

bool TDocument::DiscardQuery() {
    if (!FMemo.Modified) return true;
    const auto r = FPrompts.Ask(Text("Save changes to=Сохранить изменения в") + "\n\"" + Title() + "\"?",
                                TPrompts::pcYesNoCancel);
    if (r == TPrompts::paCancel) return false;
    if (r == TPrompts::paNo) return true;
    // A save that did not happen keeps the document.
    return Save();
}

void TDocument::New() {
    AddToHistory();
    FMemo.Clear();
    FFlags = {};
    FIdentity = {};
    FPartialFile.clear();
    FUnmapped = 0;
    FMemo.SetUndoMaxSpace(65000);
    FMemo.Modified = false;
    FSaveEnabled = false;
    FFileName.clear();
    SetShownName({});
}

bool TDocument::ConfirmRefresh() {
    if (!Named() || !FileExists(FFileName)) return false;
    if (FMemo.Modified) {
        const auto r = FPrompts.Ask(Text("Save changes to=Сохранить изменения в") + "\n\"" + Title() + "\"?",
                                    TPrompts::pcYesNo);
        if (r == TPrompts::paYes && !Save()) return false;
    }
    return true;
}

}  // namespace tarvex
