#include "tools/doc_import.h"

#include <cstring>

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
    FText = ReadBytes(Stream);
    if (FNull == 0) {
        const std::size_t nul = FText.find('\0');
        if (nul != std::string::npos) FText.resize(nul);
    } else {
        for (char& c : FText)
            if (c == '\0') c = FNull;
    }
}

void ImportDocument(const std::string& FileName, TStream& File, bool IsTcr, TImportTarget& Target,
                    const TImportOptions& Options) {
    TNullReplacementGuard guard(Target);
    File.Seek(0);

    if (IsTcr) {
        TMemoryStream text(TcrDecompress(File));
        Target.LoadFromStream(text);
        return;
    }

    if (Options.DocConvert && WordDocProbe(File, nullptr) != wkNone) {
        std::string text;
        if (ConvertWithTools(FileName, Options.Converters, text)) {
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
