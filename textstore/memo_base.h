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

#include "component.h"
#include "paragraphs_list.h"
#include "types.h"

namespace tarvex {

class TRiriNavigator;

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
    TReplaceResult ReplaceText(std::string_view NewText, TRiriNavigator& FromNav, TRiriNavigator& ToNav,
                               bool BalanceCodes = false, bool TrimTrailing = false);

private:
    bool FWordWrap = true;
    TAlignment FAlignment = taLeftJustify;
    bool FJustified = false;
    std::int32_t FTabStops = 8;
    std::int32_t FColumnWrap = 0;
    std::bitset<256> FSeparatorSet;
    std::vector<TRiriNavigator*> FNavigators;
};

}  // namespace tarvex
