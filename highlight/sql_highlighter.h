#pragma once
// TSQLHighlighter: SQL keywords (any case), operators, strings, "--", "/*"
// and, on request, "#" comments.

#include "highlight/table_highlighter.h"

namespace tarvex {

inline constexpr std::int32_t kSqlKeywordCount = 214;  // then the 8 operators
inline constexpr std::int32_t kSqlOperatorCount = 8;

class TSQLHighlighter : public TTableHighlighter {
public:
    TSQLHighlighter();

    THighlightInfo SQLKeywords{hsBold, clNoColor, clNoColor};
    THighlightInfo Strings{0, 0xC0C0C0, 0};
    THighlightInfo Comments{hsItalic, clNoColor, 0xFF0000};
    THighlightInfo Numbers{0, clNoColor, 0x0000FF};
    THighlightInfo Operators{hsBold, clNoColor, 0x0000FF};
    // Kept for the older form files; not used.
    TExtKeywordList KeywordsOvr;
    std::int32_t Scope = 0;

    // "#" starts a comment running to the line end.
    bool UseSharpAsComment() const { return FUseSharp; }
    void SetUseSharpAsComment(bool V);

protected:
    std::vector<TGroup> Groups() override;
    const THighlightInfo& KeywordGroup(std::int32_t) const override { return SQLKeywords; }
    void Loaded() override;
    void GroupChanged(THighlightInfo& Info) override;

private:
    TSaved FSavedKeywords;
    bool FUseSharp = false;
};

}  // namespace tarvex
