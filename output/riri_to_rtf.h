#pragma once
// TRiriToRTF: an editor's text as Rich Text Format, with its alignment,
// fonts, static styles and highlighting colours, for word processors.
//
// The document declares Windows-1251 (\ansicpg1251, Cyrillic font charsets)
// and writes every byte above 127 as \'hh, so that readers that take RTF as
// 7-bit text (as the format asks) get the Cyrillic letters right.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "output/formatted_text.h"

namespace tarvex {

class TRiriToRTF : public TRiruDaRodozetedText {
public:
    // Paragraph line spacing: > 0 inches, < 0 a multiple of single spacing, 0 none.
    float RTFLeading = -1.0f;

    std::string ClipboardFormat() const override { return "text/rtf"; }
    void WriteRange(TPos Start, TPos Stop, TStringList* Lines, TStream* Stream) override;

private:
    struct TColorTable {
        std::vector<std::int32_t> Colors;  // the four fixed entries, then the dynamic ones
        std::int32_t IndexOf(std::int32_t Color) const;
        void Add(std::int32_t Color);
    };
    void BuildColorTable(TColorTable& T, std::int32_t P1, std::int32_t P2, std::int32_t O1, std::int32_t O2);
    // "\plain\f0\fs20\b\cf0\cb2 " for static style S under attribute A.
    std::string RunAttributes(std::uint8_t S, const TDynInfo& A, const TColorTable& T) const;
    void WriteParagraph(TLineWriter& W, const ParInfo& P, std::int32_t O1, std::int32_t O2, std::uint8_t& Style,
                        std::string& Current, const TColorTable& T);
};

// Save As RTF: the whole text of Memo as the main window's exporter writes it
// (highlighting included, single line spacing) into Path, which is replaced
// only once everything is written. Progress gets the characters done and in
// all. Failures raise EStreamError naming the file.
void SaveRtfFile(TDudiRiri& Memo, const std::string& Path,
                 const std::function<void(TPos Done, TPos Total)>& Progress = {});

// Characters as RTF text: \ { } escaped, bytes above 127 and control
// characters other than tab as \'hh.
std::string RtfEscape(std::string_view Text);

}  // namespace tarvex
