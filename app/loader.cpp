#include "app/loader.h"

#include <unistd.h>

#include <optional>

#include "app/atomic_file.h"
#include "app/codepages.h"
#include "app/decoding_stream.h"
#include "app/settings.h"
#include "app/detect.h"
#include "textstore/scope_guard.h"
#include "tools/doc_import.h"
#include "tools/htm2txt.h"
#include "tools/rtf_to_text.h"
#include "tools/tcr.h"
#include "tools/ucs2.h"

namespace tarvex {

namespace {

// The document importer fills the editor control through this.
class TMemoImportTarget : public TImportTarget {
public:
    explicit TMemoImportTarget(TDudiRiri& M) : FMemo(M) {}
    char NullReplacement() const override { return FMemo.NullReplacement; }
    void SetNullReplacement(char C) override { FMemo.NullReplacement = C; }
    void LoadFromStream(TStream& Stream) override {
        FMemo.LoadFromStream(Stream);
        // The store leaves the stream at a NUL that ended the text.
        const std::int64_t size = Stream.Size();
        if (FMemo.NullReplacement == 0 && size >= 0 && Stream.Position() < size) NulAt = Stream.Position();
    }
    void SetTextBuf(std::string_view Text) override { FMemo.SetTextBuf(Text); }
    std::int64_t NulAt = -1;

private:
    TDudiRiri& FMemo;
};

// Where the NUL byte that ended a load from File lies, or -1: the store
// leaves the file just there.
std::int64_t NulEndedLoad(THandleStream& File, std::int64_t Size) {
    const std::int64_t at = File.Position();
    if (at >= Size) return -1;
    char c = 1;
    return ::pread(File.Handle(), &c, 1, at) == 1 && c == 0 ? at : -1;
}

// The whole-text UTF-8 test over the control's paragraphs, without copying
// them; fed while the text loads, so that no pass over all of it follows.
class TControlUtf8Check {
public:
    // Paragraphs [Fed, Upto) go in, each behind a line break but the first.
    void FeedThrough(const TParagraphsList& Pars, std::int32_t Upto) {
        for (; FFed < Upto && FOk; ++FFed) {
            if (FFed > 0 && !FCheck.Feed("\r\n")) FOk = false;
            if (FOk && !FCheck.Feed(Pars.At(FFed).View())) FOk = false;
        }
    }
    bool Result(const TParagraphsList& Pars) {
        FeedThrough(Pars, Pars.Count());
        return FOk && FCheck.Result();
    }

private:
    TUtf8TextCheck FCheck;
    std::int32_t FFed = 0;
    bool FOk = true;
};

}  // namespace

std::string LowerExtension(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    const std::size_t dot = Path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = Path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return ext;
}

bool IsHtmlExtension(const std::string& Ext) {
    for (const char* e : {".htm", ".html", ".shtml", ".phtml", ".xml", ".asp", ".aspx", ".php3", ".php", ".fb2", ".mht"})
        if (Ext == e) return true;
    return false;
}

TFormatFlags NameFlags(const std::string& Path, const TLoadSettings& Settings) {
    TFormatFlags f;
    f.FromIeCache = Path.find("content.ie") != std::string::npos;
    f.Ext = LowerExtension(Path);
    f.IsHtml = (IsHtmlExtension(f.Ext) || f.FromIeCache) && Settings.AutoDecode && Settings.AutoHtmTxt;
    return f;
}

void ProbeContent(TStream& S, TFormatFlags& F, const TLoadSettings& Settings) {
    if (!Settings.AutoDecode) return;
    S.Seek(0);
    F.IsRtf = IsRtfSignature(ReadBytes(S, 4));
    S.Seek(0);
    if (!F.IsRtf) {
        F.IsTcr = IsTcrSignature(ReadBytes(S, 10));
        S.Seek(0);
    }
    TUnicodeKind kind = ukNone;
    if (F.Ext == ".doc") {
        F.IsDoc = true;
    } else if (!F.IsTcr) {
        kind = DetectUnicodeKind(S);
        S.Seek(0);
        F.IsUtf8 = kind == ukUtf8;
        F.IsUcs2 = kind == ukUtf16LE || kind == ukUtf16BE;
        F.BigEndian = kind == ukUtf16BE;
    }
    if (kind == ukNone && !F.IsDoc && !F.IsTcr) {
        F.IsDos = LooksLikeDos(S);
        if (!F.IsDos) F.IsKoi = LooksLikeKoi(S);
    }
    S.Seek(0);
}

std::string FormatName(const TFormatFlags& F) {
    if (F.IsDoc) return "doc";
    if (F.IsTcr) return "tcr";
    if (F.IsRtf) return "rtf";
    if (F.IsHtml) return "html";
    return "plain";
}

std::string EncodingName(const TFormatFlags& F) {
    std::string e = "windows-1251";
    if (F.IsRtf)
        e = "windows-1251";
    else if (F.IsDos)
        e = "cp866";
    else if (F.IsKoi)
        e = "koi8-r";
    else if (F.IsUtf8)
        e = "utf-8";
    else if (F.IsUcs2)
        e = F.BigEndian ? "utf-16be" : "utf-16le";
    if (F.KoiAfterDecode || F.KoiAfterHtml) e += "+koi8-r";
    return e;
}

void LoadDocument(TDudiRiri& Memo, const std::string& Path, const TLoadSettings& Settings, const TLoadHooks& Hooks,
                  TLoadOutcome& Outcome) {
    Outcome = TLoadOutcome{};
    TFormatFlags& f = Outcome.Flags;
    f = NameFlags(Path, Settings);

    TFileStream file(Path, TFileStream::fmOpenRead);
    Outcome.Identity = FileIdentityOf(file.Handle());
    const std::int64_t size = file.Size();
    if (size > kLargeFileSize && Hooks.ConfirmLarge && !Hooks.ConfirmLarge(size)) return;
    RemoveStaleTemporaries(Path);
    ProbeContent(file, f, Settings);
    if (f.IsTcr) {
        // A few megabytes of codes can stand for gigabytes of text.
        const std::int64_t expanded = TTcrStream(file).Size();
        file.Seek(0);
        if (size <= kLargeFileSize && expanded > kLargeFileSize && Hooks.ConfirmLarge && !Hooks.ConfirmLarge(expanded))
            return;
    }

    Memo.SetHighlighter(nullptr);
    std::string raw;  // UTF-16 bytes, decoded from the file itself
    // A text whose head did not look like UTF-8 may still be UTF-8 as a whole.
    // It is fed from the load's progress (not a preview's) when the file's own
    // bytes are read as they are.
    const bool decodes = f.DecodesWhileLoading();
    const bool sniffUtf8 = !f.IsUtf8 && !f.IsUcs2 && !f.IsDoc && !f.IsTcr && !decodes;
    bool feeding = false;
    TControlUtf8Check utf8;
    {
        TRestore<std::function<void(TDudiRiri&)>> progress(Memo.OnProgress, nullptr);
        // The last paragraph read may still grow: the check takes those before it.
        if (Hooks.Progress)
            Memo.OnProgress = [&](TDudiRiri& M) {
                if (feeding) utf8.FeedThrough(M.Pars, M.Pars.Count() - 1);
                Hooks.Progress(file.Position(), size);
            };
        TRestore<char> nul(Memo.NullReplacement, Memo.NullReplacement);
        // The hook may already show part of the file in the control.
        Outcome.ControlTouched = true;
        try {
            if (Hooks.BeforeLoad) {
                Hooks.BeforeLoad(file, f);
                file.Seek(0);
            }
            if (f.IsDoc || f.IsTcr) {
                TMemoImportTarget target(Memo);
                TImportOptions options;
                options.DocConvert = Settings.DocConvert;
                options.Cancelled = Hooks.ConverterCancelled;
                ImportDocument(Path, file, f.IsTcr, target, options);
                Outcome.NulPos = target.NulAt;
            } else if (f.IsUcs2) {
                // The control's text is replaced by the decoded text anyway.
                Memo.Clear();
                raw = ReadBytes(file);
            } else {
                if (f.IsRtf) Memo.NullReplacement = ' ';
                try {
                    feeding = sniffUtf8;
                    if (decodes) {
                        const auto kind = f.IsUtf8  ? TDecodingStream::dkUtf8
                                          : f.IsDos ? TDecodingStream::dkDos
                                                    : TDecodingStream::dkKoi;
                        TDecodingStream decoded(file, kind, Memo.NullReplacement == 0);
                        struct TCount {
                            TDecodingStream& D;
                            std::int64_t& Unmapped;
                            ~TCount() { Unmapped = D.Unmapped(); }
                        } count{decoded, Outcome.Unmapped};
                        Memo.LoadFromStream(decoded);
                        if (Memo.NullReplacement == 0) Outcome.NulPos = decoded.FirstNulAt();
                    } else {
                        Memo.LoadFromStream(file);
                        if (Memo.NullReplacement == 0) Outcome.NulPos = NulEndedLoad(file, size);
                    }
                } catch (const ELoadStopped&) {
                    Outcome.Stopped = true;
                    // The lines read, without the empty one behind the last break.
                    const std::int32_t n = Memo.Pars.Count();
                    Outcome.StoppedAfter = n > 1 && Memo.Pars.At(n - 1).Len() == 0 ? n - 1 : n;
                }
            }
        } catch (...) {
            Memo.Clear();
            Memo.Modified = false;
            Memo.ClearUndo();
            throw;
        }
        Memo.Modified = false;
        Memo.ClearUndo();
    }
    Outcome.NulCut = Outcome.NulPos >= 0;

    if (!f.IsUtf8 && !f.IsUcs2 && !decodes)
        f.IsUtf8 = feeding ? utf8.Result(Memo.Pars) : TControlUtf8Check().Result(Memo.Pars);
    if (!f.Converts() || decodes) return void(Outcome.Loaded = true);

    struct TConvertScope {
        const TLoadHooks& H;
        explicit TConvertScope(const TLoadHooks& Hooks) : H(Hooks) {
            if (H.ConvertStarts) H.ConvertStarts();
        }
        ~TConvertScope() {
            if (H.ConvertEnds) H.ConvertEnds();
        }
    } scope(Hooks);
    try {
        std::string text = f.IsUcs2 ? std::string() : Memo.Text();
        if (f.IsRtf) {
            text = RtfToText(text);
        } else if (f.IsDos) {
            DosToWin(text);
        } else if (f.IsKoi) {
            KoiToWin(text);
        } else if (f.IsUtf8) {
            text = Utf8ToAnsi(text, &Outcome.Unmapped);
        } else if (f.IsUcs2) {
            // Units are decoded little-endian: a big-endian text is turned round first.
            if (f.BigEndian) SwapByteOrder16(raw);
            text = Ucs2ToAnsi(raw, &Outcome.Unmapped);
            std::string().swap(raw);
            if (Settings.AutoDecode && LooksLikeKoi(text)) {
                KoiToWin(text);
                f.KoiAfterDecode = true;
            }
        }
        if (f.IsHtml) {
            text = THtm2Txt::Convert(text, f.Ext == ".xml");
            if (Settings.AutoDecode && !f.IsKoi && LooksLikeKoi(text)) {
                KoiToWin(text);
                f.KoiAfterHtml = true;
            }
        }
        // Loaded like a file, so that the decoded text splits at every kind of
        // break. Text taken from the control has CR LF breaks: the file's own
        // break stays; decoded UTF-16 brings its own.
        const TRiriLineBreak fileBreak = Memo.LineBreak;
        {
            TRestore<std::function<void(TDudiRiri&)>> progress(Memo.OnProgress, nullptr);
            TRestore<char> nul(Memo.NullReplacement, ' ');
            TMemoryStream converted(std::move(text));
            Memo.LoadFromStream(converted);
        }
        if (!f.IsUcs2) Memo.LineBreak = fileBreak;
        Memo.Modified = false;
        Memo.ClearUndo();
    } catch (...) {
        Memo.Clear();
        Memo.Modified = false;
        Memo.ClearUndo();
        throw;
    }
    Outcome.Loaded = true;
}

std::string NulCutMessage(std::int64_t NulPos, bool Russian) {
    const std::string pos = std::to_string(NulPos);
    return Bilingual("The file holds a NUL byte at position " + pos +
                         ": only the text before it was loaded. Turn on Skip Null in the settings to load it all."
                         "=Файл содержит нулевой байт в позиции " +
                         pos +
                         ": загружен только текст до него. Включите «Пропускать нулевой символ» в настройках, "
                         "чтобы загрузить его целиком.",
                     Russian);
}

THighlighterKind HighlighterFor(const TFormatFlags& F, bool AutoHtmTxt) {
    const std::string ext = F.FromIeCache && !AutoHtmTxt ? std::string(".htm") : F.Ext;
    if (!(F.FromIeCache && !AutoHtmTxt) && F.IsHtml) return hkUrl;
    for (const char* e : {".pas", ".dpr", ".dpk", ".dfm", ".inc", ".~pas", ".~dfm"})
        if (ext == e) return hkPas;
    if (IsHtmlExtension(ext)) return hkHtm;
    for (const char* e : {".c", ".cpp", ".h", ".hpp"})
        if (ext == e) return hkCpp;
    if (ext == ".sql") return hkSql;
    return hkUrl;
}

THighlighterKind HighlighterForPath(const std::string& Path, const TLoadSettings& Settings) {
    return HighlighterFor(NameFlags(Path, Settings), Settings.AutoHtmTxt);
}

}  // namespace tarvex
