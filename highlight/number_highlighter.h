#pragma once
// TNumberHighlighter: colours numbers, words of decimal digits and "$" with
// hexadecimal digits. Whether numbers are coloured inside a run is decided
// per run by Scope, Priority and OnQueryHilit.

#include "highlight/ext_highlighter.h"

namespace tarvex {

class TNumberHighlighter : public TCustomExtHighlighter {
public:
    TNumberHighlighter();

    bool AltFont() const { return FAltFont; }
    void SetAltFont(bool V) { FAltFont = V; }
    std::int32_t Background() const { return FBackground; }
    void SetBackground(std::int32_t V) { FBackground = V; }
    std::int16_t ContextNum() const { return FContextNum; }
    void SetContextNum(std::int16_t V) { FContextNum = V; }
    std::int32_t Foreground() const { return FForeground; }
    void SetForeground(std::int32_t V) { FForeground = V; }
    std::uint8_t Style() const { return FStyle; }
    void SetStyle(std::uint8_t V) { FStyle = static_cast<std::uint8_t>(V & 0x0F); }
    std::int32_t Scope() const { return FScope; }
    void SetScope(std::int32_t V) { FScope = V; }
    std::int32_t Priority() const { return FPriority; }
    void SetPriority(std::int32_t V) { FPriority = V; }

    // The characters 0 to 26 always end a word; reading lists the others in ascending order.
    std::string Separators() const override;
    void SetSeparators(std::string_view V) override;

    // Called per run with the run's value (its context number for a key run,
    // -32768 for another own attribute, 0 for plain text).
    TQueryHilitEvent OnQueryHilit;

    // The number pass; it does not call a SubHighlighter.
    void ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;

    // A word that is a number: digits only, or "$" and hexadecimal digits.
    static bool IsNumber(std::string_view Word);

private:
    bool Allows(const TDynInfo& A);
    std::vector<std::pair<std::int32_t, std::int32_t>> FFound;  // a paragraph's numbers, reused
};

}  // namespace tarvex
