#pragma once
// TOOPHighlighter: Object Pascal with embedded asm ... end blocks. Its
// keyword and start-stop lists are filled by the constructor; a style group
// per token kind restyles a whole class of keys.

#include "highlight/table_highlighter.h"

namespace tarvex {

// Keyword index ranges.
inline constexpr std::int32_t kOopKeywordsFirst = 0, kOopKeywordsLast = 84;
inline constexpr std::int32_t kAsmWordsFirst = 85, kAsmWordsLast = 250;
inline constexpr std::int32_t kSymbolsFirst = 251, kSymbolsLast = 265;

// The Formats list of the older form of per-keyword formats (6 integers per
// keyword, keywords 0, 1, 2...): read for compatibility, never written.
class TOOPKeywordList {
public:
    std::vector<std::int32_t> Formats;
};

class TOOPHighlighter : public TTableHighlighter {
public:
    TOOPHighlighter();

    THighlightInfo KeywordsOOP{hsBold, clNoColor, clNoColor};
    THighlightInfo KeywordsASM{hsBold, 0x00FFFF, clNoColor};
    THighlightInfo ASMHighlight{0, clNoColor, 0x800080};
    THighlightInfo Strings{hsItalic, 0xC0C0C0, 0};
    THighlightInfo CommentSingleLine{hsItalic, clNoColor, 0xFF0000};
    THighlightInfo CommentBrace{hsItalic, clNoColor, 0x800000};
    THighlightInfo CommentParAst{hsItalic, clNoColor, 0x008000};
    THighlightInfo Directives{hsItalic, 0x808000, 0xFFFFFF};
    THighlightInfo Numbers{0, clNoColor, 0x0000FF};
    THighlightInfo Properties{0, clNoColor, clNoColor};
    THighlightInfo Symbols{0, clNoColor, clNoColor};
    // Applies the older Formats to keywords 0, 1, 2... (options, style, context, cursor, colours).
    void ApplyKeywordsOvr(const TOOPKeywordList& L);

    // The region of "#" character codes ends at the first character after "#" that is not a digit.
    bool FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;

protected:
    std::vector<TGroup> Groups() override;
    const THighlightInfo& KeywordGroup(std::int32_t Index) const override;
    void Loaded() override;
    void GroupChanged(THighlightInfo& Info) override;

private:
    TSaved FSavedOOP, FSavedASM;
};

}  // namespace tarvex
