#pragma once
// Searching the paragraph store in place. The text is seen as the paragraphs
// joined by CR LF, so every position is on the editor's SelStart scale, but
// nothing is copied: each paragraph is searched where it lies, and a search
// text with line breaks is matched paragraph by paragraph (its middle parts
// must be whole paragraphs, its first part a paragraph's end, its last part
// the next one's start).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "textstore/paragraphs_list.h"
#include "textstore/types.h"
#include "tools/find_pattern.h"

namespace tarvex {

class TStoreSearch {
public:
    TStoreSearch(const TParagraphsList& L, std::string_view Text, bool MatchCase);

    const TFindPattern& Pattern() const { return FPattern; }
    const TParagraphsList& Store() const { return L; }
    TPos Length() const { return static_cast<TPos>(FPattern.Size()); }

    // The first occurrence that starts at or after From and ends at or
    // before To; -1 when there is none.
    TPos Next(TPos From, TPos To) const;
    // The last occurrence that starts at or after From and before Before; -1
    // when there is none.
    TPos Prev(TPos From, TPos Before) const;
    // Whether the occurrence at P stands between separators; the text
    // outside [From, To) counts as a separator.
    bool WholeWordAt(TPos P, TPos From, TPos To) const;
    // Every occurrence in [From, To), left to right: each accepted one (with
    // WholeWord, only those between separators) is counted and passed to
    // OnMatch, and the search goes on behind it; behind a rejected one it
    // goes on at its second character, so that an overlapping whole word is
    // still found. OnMatch returns false to stop. Returns the count. StartAt
    // (at least From) resumes a scan at an accepted occurrence it found.
    std::int64_t Scan(TPos From, TPos To, bool WholeWord, const std::function<bool(TPos)>& OnMatch = {},
                      TPos StartAt = -1) const;

private:
    TPos ParStart(std::int32_t P) const { return L.StartPos(P); }
    TPos ParEnd(std::int32_t P) const { return L.StartPos(P) + L.At(P).Len(); }
    std::int32_t ParAt(TPos P) const;
    // The byte at P (CR and LF for a paragraph break).
    unsigned char CharAt(TPos P) const;
    // Whether the text with line breaks starts at paragraph P's end.
    bool BreakMatchAt(std::int32_t P) const;
    // Whether the text without CR starts at the LF of the break behind paragraph P.
    bool LfMatchAt(std::int32_t P) const;
    TPos NextInParagraphs(TPos From, TPos To) const;
    TPos PrevInParagraphs(TPos From, TPos Before) const;
    TPos NextAcrossBreaks(TPos From, TPos To) const;
    TPos PrevAcrossBreaks(TPos From, TPos Before) const;

    const TParagraphsList& L;
    TFindPattern FPattern;
    // The text cut at its CRs: Parts[0] ends a paragraph, Parts[i] (without
    // its leading LF) is a whole paragraph, the last starts one.
    struct TPart {
        std::size_t Offset;  // in the search text, behind the LF
        std::size_t Size;
    };
    std::vector<TPart> FParts;
    bool FBreaks = false;       // the text holds a CR
    bool FLeadingLf = false;    // without CR: it starts with an LF (a break's second half)
    bool FEndsWithCr = false;   // its last part is empty: any following paragraph
    bool FImpossible = false;   // a CR not followed by LF inside: the text never holds it
};

// Appends the text of [From, To) (breaks as CR LF) to Out.
void AppendStoreText(const TParagraphsList& L, TPos From, TPos To, std::string& Out);

}  // namespace tarvex
