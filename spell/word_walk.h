#pragma once
// The walk over a document's words for the spelling check. A word is a run
// of characters between the editor's separators, trimmed of the non-letters
// at its ends (quotes, apostrophes, hyphens, # $ and the like). Runs holding
// a digit (numbers, "1990-х", "3D") and words with a symbol between their
// letters (addresses, identifiers: a@b, snake_case, a&b) are skipped; inner
// apostrophes and hyphens stay. With SkipLatin, a word without a Cyrillic
// letter is skipped too.

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "textstore/navigator.h"
#include "textstore/types.h"

namespace tarvex {

class TDudiRiriBase;

// The next word to check in Text from Offset on: its start and length, with
// Offset moved behind the run it came from. False when none is left.
bool NextSpellWord(std::string_view Text, std::size_t& Offset, const std::bitset<256>& Separators, bool SkipLatin,
                   std::size_t& Start, std::size_t& Length);

struct TSpellWord {
    TPos Pos = 0;      // on the SelStart scale (each break counts 2)
    std::string Text;  // Windows-1251
};

// Walks [From, To) of an editor's text. Both ends are registered navigators,
// so edits made while the walk pauses (a replacement, typing in the
// editor) move them along.
class TWordWalk {
public:
    // To < 0: to the end of the text. A From inside a word starts at that word.
    TWordWalk(TDudiRiriBase& Memo, TPos From, TPos To, bool SkipLatin);
    ~TWordWalk();

    bool Next(TSpellWord& W);
    // Where the walk goes on.
    TPos Position() const { return FAt.Pos(); }
    void SetPosition(TPos P);
    TPos End() const;
    bool AtEnd() const;

private:
    TDudiRiriBase& FMemo;
    TRiriNavigator FAt;
    std::unique_ptr<TRiriNavigator> FEnd;  // nullptr: the end of the text
    bool FSkipLatin;
};

}  // namespace tarvex
