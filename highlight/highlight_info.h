#pragma once
// THighlightInfo: the style of one kind of token (keywords, strings,
// comments...), so that a whole class of keys is restyled at once.

#include <cstdint>
#include <functional>

namespace tarvex {

// The colour that lets the colour underneath show through (as -1 does).
inline constexpr std::int32_t clNoColor = 0x1FFFFFFF;
// The hand cursor shown over links.
inline constexpr std::int16_t crHandPoint = -21;

// Font-style bits of a style byte; bit 5 (0x20) is the alternative font.
inline constexpr std::uint8_t hsBold = 1, hsItalic = 2, hsUnderline = 4, hsStrikeOut = 8, hsAltFont = 0x20;

class THighlightInfo {
public:
    THighlightInfo() = default;
    // From a style byte: AltFont from bit 5, Style from bits 0 to 3.
    THighlightInfo(std::uint8_t StyleByte, std::int32_t Background, std::int32_t Foreground, std::int16_t Cursor = 0);
    THighlightInfo(const THighlightInfo&) = delete;
    THighlightInfo& operator=(const THighlightInfo&) = delete;

    bool AltFont() const { return FAltFont; }
    void SetAltFont(bool V);
    std::uint8_t Style() const { return FStyle; }  // hsBold | hsItalic | hsUnderline | hsStrikeOut
    void SetStyle(std::uint8_t V);
    std::int32_t Background() const { return FBackground; }
    void SetBackground(std::int32_t V);
    std::int32_t Foreground() const { return FForeground; }
    void SetForeground(std::int32_t V);
    // No notification: a cursor never changes how text looks.
    std::int16_t Cursor = 0;

    // The packed style byte: Style plus 0x20 with AltFont.
    std::uint8_t StyleByte() const { return static_cast<std::uint8_t>(FStyle | (FAltFont ? hsAltFont : 0)); }
    // Sets AltFont and Style from a style byte, with one notification.
    void SetStyleByte(std::uint8_t B);

    // Called once after each setter that changed its value, and after Assign.
    std::function<void(THighlightInfo&)> OnChange;

    // Copies AltFont, Style, Background and Foreground (not Cursor), then notifies once.
    void Assign(const THighlightInfo& Source);

private:
    void Changed() {
        if (OnChange) OnChange(*this);
    }

    bool FAltFont = false;
    std::uint8_t FStyle = 0;
    std::int32_t FBackground = clNoColor;
    std::int32_t FForeground = clNoColor;
};

}  // namespace tarvex
