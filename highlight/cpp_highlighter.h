#pragma once
// TCPPHighlighter: C++ keywords (case-sensitive), strings, "//" and "/*"
// comments and preprocessor directives, also behind leading blanks.

#include "highlight/table_highlighter.h"

namespace tarvex {

inline constexpr std::int32_t kCppKeywordCount = 97;

// Kept for the older form files: an empty persistent object.
class TCPPKeywordList {};

class TCPPHighlighter : public TTableHighlighter {
public:
    TCPPHighlighter();

    THighlightInfo CPPKeywords{hsBold, clNoColor, clNoColor};
    THighlightInfo Strings{hsItalic, 0xC0C0C0, 0};
    THighlightInfo CommentSingleLine{hsItalic, clNoColor, 0xFF0000};
    THighlightInfo CommentMultiLine{hsItalic, clNoColor, 0x800000};
    THighlightInfo Directives{hsItalic, 0x808000, 0xFFFFFF};
    THighlightInfo Numbers{0, clNoColor, 0x0000FF};
    TCPPKeywordList KeywordsOvr;

    // A directive is also found behind leading blanks: the search starts at the "#".
    bool FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;

protected:
    std::vector<TGroup> Groups() override;
    const THighlightInfo& KeywordGroup(std::int32_t) const override { return CPPKeywords; }
    void Loaded() override;
    void GroupChanged(THighlightInfo& Info) override;

private:
    TSaved FSavedKeywords;
};

}  // namespace tarvex
