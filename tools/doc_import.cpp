#include "tools/doc_import.h"

#include <algorithm>
#include <cstring>

#include "textstore/paragraphs_list.h"
#include "tools/tcr.h"
#include "tools/ucs2.h"
#include "tools/word_doc.h"

namespace tarvex {

namespace {
// Puts the target's NUL replacement back on every way out.
class TNullReplacementGuard {
public:
    explicit TNullReplacementGuard(TImportTarget& T) : FTarget(T), FSaved(T.NullReplacement()) {}
    ~TNullReplacementGuard() { FTarget.SetNullReplacement(FSaved); }
    TNullReplacementGuard(const TNullReplacementGuard&) = delete;
    TNullReplacementGuard& operator=(const TNullReplacementGuard&) = delete;

private:
    TImportTarget& FTarget;
    char FSaved;
};
}  // namespace

void TTextImportTarget::LoadFromStream(TStream& Stream) {
    FText.clear();
    char buf[1 << 16];
    for (;;) {
        const std::int64_t n = Stream.Read(buf, sizeof buf);
        if (n <= 0) return;
        const std::string_view piece(buf, static_cast<std::size_t>(n));
        const std::size_t nul = piece.find('\0');
        if (FNull == 0 && nul != std::string_view::npos) {
            // The text ends at the NUL; what follows is never read.
            FText.append(piece.substr(0, nul));
            return;
        }
        const std::size_t from = FText.size();
        FText.append(piece);
        if (nul != std::string_view::npos) std::replace(FText.begin() + static_cast<std::ptrdiff_t>(from), FText.end(), '\0', FNull);
    }
}

void ImportDocument(const std::string& FileName, TStream& File, bool IsTcr, TImportTarget& Target,
                    const TImportOptions& Options) {
    TNullReplacementGuard guard(Target);
    File.Seek(0);

    if (IsTcr) {
        // Expanded only as the target reads it; a line no paragraph could
        // hold is refused before anything is expanded.
        TTcrStream text(File);
        if (text.LongestLine(Target.NullReplacement() == 0) > TParagraphsList::kMaxParLen)
            throw ERiriError(kTextTooLong);
        Target.LoadFromStream(text);
        return;
    }

    if (Options.DocConvert && WordDocProbe(File, nullptr) != wkNone) {
        std::string text;
        if (ConvertWithTools(FileName, Options.Converters, text, Options.Cancelled)) {
            Target.SetTextBuf(text);
            return;
        }
    }

    TMemoryStream extracted;
    const TWordKind kind = WordDocProbe(File, &extracted);
    File.Seek(0);
    extracted.Seek(0);
    switch (kind) {
        case wkNone:
            Target.SetNullReplacement(' ');
            Target.LoadFromStream(File);
            break;
        case wkWord6:
            Target.SetNullReplacement(' ');
            Target.LoadFromStream(extracted);
            break;
        case wkWord97: {
            // The text may be 16-bit; too little of it means the offsets were
            // not usable, and the whole file is decoded instead.
            const std::string bytes = extracted.Size() > 3 ? extracted.Data() : ReadBytes(File);
            Target.SetTextBuf(Ucs2ToAnsi(bytes));
            break;
        }
    }
}

}  // namespace tarvex
