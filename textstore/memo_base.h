#pragma once
// TDudiRiriBase: the part of the editor control that the text store and the
// navigators rely on: the paragraph store, the registered navigators and the
// few properties that layout, word moves and columns read. The editor control
// derives from it; tests and batch tools use it alone.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "textstore/component.h"
#include "textstore/dyn_info.h"
#include "textstore/keywords.h"
#include "textstore/paragraphs_list.h"
#include "textstore/start_stop_keys.h"
#include "textstore/types.h"

namespace tarvex {

class TRiriNavigator;
class TRiriHighlighter;

class TDudiRiriBase : public TComponent {
public:
    // Tab, LF, CR, space and $ % & , . / : ; < = >
    static constexpr std::string_view kDefaultSeparators = "\t\n\r $%&,./:;<=>";

    TDudiRiriBase();
    ~TDudiRiriBase() override;

    TParagraphsList Pars;

    // --- properties read by the store, layout and navigators
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool V) { FWordWrap = V; }
    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment V) { FAlignment = V; }
    bool Justified() const { return FJustified; }
    virtual void SetJustified(bool V) { FJustified = V; }
    std::int32_t TabStops() const { return FTabStops; }
    virtual void SetTabStops(std::int32_t V) { FTabStops = V; }
    std::int32_t ColumnWrap() const { return FColumnWrap; }
    virtual void SetColumnWrap(std::int32_t V) { FColumnWrap = V; }
    bool StaticFormat() const { return Pars.StaticFormat; }
    virtual void SetStaticFormat(bool V) { Pars.StaticFormat = V; }
    // The separator characters in ascending code order.
    std::string Separators() const;
    virtual void SetSeparators(std::string_view V);
    bool IsSeparator(unsigned char C) const { return FSeparatorSet[C]; }
    // Every paragraph is one display line: no wrap and left alignment.
    bool OneLinePerParagraph() const { return !FWordWrap && FAlignment == taLeftJustify; }

    // --- fonts, geometry and the measuring canvas (layout and pixel positions)
    const TFontSpec& Font() const { return FFont; }
    virtual void SetFont(const TFontSpec& F) {
        FFont = F;
        FMainSpaceWidth = -1;
    }
    const TFontSpec& AltFont() const { return FAltFont; }
    virtual void SetAltFont(const TFontSpec& F) { FAltFont = F; }
    std::int32_t LeftMargin() const { return FLeftMargin; }
    virtual void SetLeftMargin(std::int32_t V) { FLeftMargin = V; }
    std::int32_t RightMargin() const { return FRightMargin; }
    virtual void SetRightMargin(std::int32_t V) { FRightMargin = V; }
    std::int32_t ClientWidth() const { return FClientWidth; }
    std::int32_t ClientHeight() const { return FClientHeight; }
    virtual void SetClientSize(std::int32_t W, std::int32_t H) {
        FClientWidth = W;
        FClientHeight = H;
    }
    // The canvas text is measured with; nullptr: nothing is measured (every
    // paragraph is one line of width 0).
    TCanvas* Canvas() const { return FCanvas; }
    virtual void SetCanvas(TCanvas* C) {
        FCanvas = C;
        FMainSpaceWidth = -1;
    }
    // The line height in use: a fixed value, or the font's cell height + 1.
    std::int32_t LineHeight() const;
    std::int32_t FixedLineHeight() const { return FFixedLineHeight; }
    virtual void SetFixedLineHeight(std::int32_t V) { FFixedLineHeight = V; }
    // The widest display line laid out so far and the display line that holds it.
    std::int32_t WidestLine = 0;
    std::int32_t WidestLineIndex = -1;
    // Most characters measured in one call.
    std::int32_t MeasuringChunk = 4096;

    // The width of a blank in the main font: the unit of positive TabStops.
    std::int32_t MainSpaceWidth();
    // The pixel width of one tab stop; 0 when tabs have no width.
    std::int32_t TabWidthPixels();
    // The style byte that applies to text of static style S under attribute A.
    std::uint8_t EffectiveStyle(std::uint8_t S, const TDynInfo& A) const;
    // Selects the font of a style byte: AltFont with bit 5, else Font, with the
    // font styles of bits 0 to 3.
    void SelectStyleFont(TCanvas& C, std::uint8_t Style) const;

    // --- highlighting
    TKeywordList Keywords;
    TStartStopKeyList StartStopKeys;
    bool ApplyKeyWords() const { return FApplyKeyWords; }
    virtual void SetApplyKeyWords(bool V) { FApplyKeyWords = V; }
    bool ApplyStartStopKeys() const { return FApplyStartStopKeys; }
    virtual void SetApplyStartStopKeys(bool V) { FApplyStartStopKeys = V; }
    TdrUpperCase UpperCaseType() const { return FUpperCaseType; }
    // Passed on to both key lists.
    virtual void SetUpperCaseType(TdrUpperCase V);
    TRiriHighlighter* Highlighter() const { return FHighlighter; }
    // Detaches from the old highlighter's list of editors and attaches to the new one's.
    virtual void SetHighlighter(TRiriHighlighter* H);
    const std::bitset<256>& SeparatorSet() const { return FSeparatorSet; }

    // Buffers the highlighting passes reuse from one paragraph to the next.
    struct THighlightScratch {
        std::string Folded;
        std::vector<std::uint8_t> Used;
        std::vector<std::pair<std::int32_t, std::int32_t>> Candidates;  // keyword, offset in the window
    } HighlightScratch;

    // True when laying out a paragraph must first run the keyword pass over it.
    virtual bool WantsKeywordPass() const { return FApplyKeyWords || FHighlighter; }
    // The keyword pass over one whole paragraph.
    virtual void ApplyKeywordsToParagraph(std::int32_t ParIndex);

    // --- navigators
    void RegisterNavigator(TRiriNavigator* Nav);
    void UnregisterNavigator(TRiriNavigator* Nav);
    const std::vector<TRiriNavigator*>& Navigators() const { return FNavigators; }
    // Drops the cached values of every navigator (after structural changes).
    void InvalidateNavigators();

    // --- text
    TPos CharCount() const { return Pars.TotalLen; }
    std::int32_t ParagraphCount() const { return Pars.Count(); }
    // The whole text, paragraphs joined by CR LF.
    std::string Text() const;
    // Replaces the store's content by Text (split into paragraphs at any break,
    // as a load does); every navigator goes to position 0.
    void LoadText(std::string_view Text);
    // The store's replace, then every other registered navigator follows the edit.
    // With Adopt, the store takes the string over (see TParagraphsList::ReplaceText).
    TReplaceResult ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                               bool BalanceCodes = false, bool TrimTrailing = false, std::string* Adopt = nullptr);

private:
    bool FWordWrap = true;
    TAlignment FAlignment = taLeftJustify;
    bool FJustified = false;
    std::int32_t FTabStops = 8;
    std::int32_t FColumnWrap = 0;
    std::bitset<256> FSeparatorSet;
    TFontSpec FFont;
    TFontSpec FAltFont;
    std::int32_t FLeftMargin = 8;
    std::int32_t FRightMargin = 8;
    std::int32_t FClientWidth = 100;
    std::int32_t FClientHeight = 60;
    std::int32_t FFixedLineHeight = 0;
    std::int32_t FMainSpaceWidth = -1;
    TCanvas* FCanvas = nullptr;
    bool FApplyKeyWords = true;
    bool FApplyStartStopKeys = true;
    TdrUpperCase FUpperCaseType = druAscii;
    TRiriHighlighter* FHighlighter = nullptr;
    std::vector<TRiriNavigator*> FNavigators;
};

}  // namespace tarvex
