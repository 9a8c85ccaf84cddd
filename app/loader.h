#pragma once
// Opening a document: what the bytes of a file are (container format and
// encoding), and putting its text into an editor control as Windows-1251.
// The window and tarvex-cli share this; nothing here asks the user anything
// except through the hooks.

#include <cstdint>
#include <functional>
#include <string>

#include "textstore/file_identity.h"
#include "editor/dudi_riri.h"
#include "highlight/factory.h"
#include "textstore/stream.h"

namespace tarvex {

struct TLoadSettings {
    bool AutoDecode = true;  // probe for RTF, TCR, DOC, UTF-16, DOS and KOI8-R
    bool AutoHtmTxt = true;  // HTML and XML (by extension) to text
    bool DocConvert = false; // external converters first for ".doc"
};

// What the loader decided about one file.
struct TFormatFlags {
    bool IsRtf = false, IsTcr = false, IsDoc = false, IsHtml = false, FromIeCache = false;
    bool IsUtf8 = false, IsUcs2 = false, BigEndian = false, IsDos = false, IsKoi = false;
    // KOI8-R found in the text after UTF-16 decoding or HTML conversion.
    bool KoiAfterDecode = false, KoiAfterHtml = false;
    std::string Ext;  // lower-cased extension with its dot; empty without one

    // Whether the loader puts converted text into the control.
    bool Converts() const { return IsRtf || IsDos || IsKoi || IsUtf8 || IsUcs2 || IsHtml; }
    // Whether the text is decoded as it is read (plain UTF-8, DOS or KOI8-R
    // known from the file's head), rather than converted once it is in.
    bool DecodesWhileLoading() const {
        return (IsUtf8 || IsDos || IsKoi) && !IsRtf && !IsHtml && !IsUcs2 && !IsDoc && !IsTcr;
    }
    // Whether the text was decoded from UTF-8 or UTF-16: characters Windows-1251
    // lacks were lost on the way, and a save writes Windows-1251.
    bool FromUnicode() const { return IsUtf8 || IsUcs2; }
};

// The lower-cased extension of a path's file-name part, with its dot.
std::string LowerExtension(const std::string& Path);
bool IsHtmlExtension(const std::string& Ext);

// From the name alone: the extension, HTML by extension and the browser-cache rule.
TFormatFlags NameFlags(const std::string& Path, const TLoadSettings& Settings);
// The content probes (with AutoDecode): RTF and TCR signatures, ".doc", then
// UTF-8/UTF-16, then DOS and KOI8-R. The stream is at 0 afterwards.
void ProbeContent(TStream& S, TFormatFlags& F, const TLoadSettings& Settings);

// "plain", "rtf", "tcr", "doc" or "html".
std::string FormatName(const TFormatFlags& F);
// The conversion applied to the bytes: "windows-1251" (none), "cp866",
// "koi8-r", "utf-8", "utf-16le" or "utf-16be"; "+koi8-r" follows when the
// KOI8-R check after UTF-16 decoding or HTML conversion converted as well.
std::string EncodingName(const TFormatFlags& F);

// Files above this size (for a TCR book, its expanded text) need a
// confirmation before they are loaded.
inline constexpr std::int64_t kLargeFileSize = 536'870'912;

struct TLoadHooks {
    // Asked for files above kLargeFileSize; false stops the load (nothing changed).
    std::function<bool(std::int64_t Size)> ConfirmLarge;
    // Called once the format is known, before the control's text is replaced,
    // with the stream at 0; it may show a part of the file in the control.
    std::function<void(TStream& S, const TFormatFlags& F)> BeforeLoad;
    // Loading progress: bytes read so far of Size. It may let the window paint
    // and scroll what is loaded, and throw ELoadStopped to stop reading.
    std::function<void(std::int64_t Pos, std::int64_t Size)> Progress;
    // Around the conversion of the loaded text.
    std::function<void()> ConvertStarts, ConvertEnds;
    // Polled (several times a second) while an external Word converter runs;
    // true stops it, and the built-in extraction goes on instead.
    std::function<bool()> ConverterCancelled;
};

struct TLoadOutcome {
    bool Loaded = false;        // false: the large-file question was answered no
    bool ControlTouched = false; // the control's text was replaced (also when an error left)
    TFormatFlags Flags;
    // A NUL byte ended the text (the control's NullReplacement is 0): the
    // document is only the part before it, and saving it over the file would
    // drop the rest. NulPos is the NUL's byte offset in the file (for a TCR
    // book, in its expanded text); -1 without one.
    bool NulCut = false;
    std::int64_t NulPos = -1;
    // The progress hook stopped the load (ELoadStopped): the document is the
    // StoppedAfter paragraphs read by then, and saving it over the file would
    // drop the rest.
    bool Stopped = false;
    std::int32_t StoppedAfter = 0;
    // How many characters the decoding of UTF-8 or UTF-16 turned into '?'.
    std::int64_t Unmapped = 0;
    // The file as it was opened, for the changed-on-disk check before a save.
    TFileIdentity Identity;
};

// The warning for a document cut at a NUL byte, in English or Russian (UTF-8).
std::string NulCutMessage(std::int64_t NulPos, bool Russian);

// Loads Path into Memo, converting it to Windows-1251: the converted text is
// loaded as a file is (split at any break), not typed in, so the conversion
// is no undo step. Afterwards Modified and the undo history are clear, and
// with droAutoLineBreak the control's LineBreak is the file's (for UTF-16,
// that of the decoded text). Errors propagate as
// exceptions; Outcome tells whether the control's text was replaced by then
// (it is then empty), so that the caller knows whether the previous document
// is still there. Anything but a regular file is refused before it is read,
// and temporaries that killed saves of the file left beside it are removed.
void LoadDocument(TDudiRiri& Memo, const std::string& Path, const TLoadSettings& Settings, const TLoadHooks& Hooks,
                  TLoadOutcome& Outcome);

// The highlighter chosen by extension once a document is open (THighlighterSet::For gives it).
THighlighterKind HighlighterFor(const TFormatFlags& F, bool AutoHtmTxt);
// The same choice from the document's name alone, as Undo makes it again.
THighlighterKind HighlighterForPath(const std::string& Path, const TLoadSettings& Settings);

}  // namespace tarvex
