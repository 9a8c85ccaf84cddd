#pragma once
// The document importer: TCR e-books and Word documents into the editor.

#include <string>
#include <string_view>
#include <vector>

#include "tools/external_converter.h"
#include "textstore/stream.h"

namespace tarvex {

// What the importer fills: the editor control, or a plain text buffer.
class TImportTarget {
public:
    virtual ~TImportTarget() = default;
    // The character NUL bytes become while loading a stream; 0 ends the text at a NUL.
    virtual char NullReplacement() const = 0;
    virtual void SetNullReplacement(char C) = 0;
    // Replaces the text by the bytes of Stream from its position on, honouring NullReplacement.
    virtual void LoadFromStream(TStream& Stream) = 0;
    // Replaces the text by Text as it stands.
    virtual void SetTextBuf(std::string_view Text) = 0;
};

// A target that just keeps the text, for the command line and tests.
class TTextImportTarget : public TImportTarget {
public:
    explicit TTextImportTarget(char NullReplace = 0) : FNull(NullReplace) {}
    char NullReplacement() const override { return FNull; }
    void SetNullReplacement(char C) override { FNull = C; }
    void LoadFromStream(TStream& Stream) override;
    void SetTextBuf(std::string_view Text) override { FText.assign(Text); }
    const std::string& Text() const { return FText; }

private:
    char FNull;
    std::string FText;
};

struct TImportOptions {
    // Try the external converters first for Word documents.
    bool DocConvert = false;
    std::vector<TDocConverter> Converters = DefaultDocConverters();
    // Lets the user stop a converter that takes too long; the built-in
    // extraction runs then.
    TCancelled Cancelled;
};

// Imports the file (a TCR e-book when IsTcr, else a ".doc" document) open as
// File into Target. Target's NullReplacement is the same afterwards, also when
// an exception leaves. Read errors propagate as EStreamError.
void ImportDocument(const std::string& FileName, TStream& File, bool IsTcr, TImportTarget& Target,
                    const TImportOptions& Options);

}  // namespace tarvex
