#include "highlight/highlight_info.h"

namespace tarvex {

THighlightInfo::THighlightInfo(std::uint8_t StyleByte, std::int32_t Background, std::int32_t Foreground,
                               std::int16_t Cursor_)
    : Cursor(Cursor_),
      FAltFont(StyleByte & hsAltFont),
      FStyle(static_cast<std::uint8_t>(StyleByte & 0x0F)),
      FBackground(Background),
      FForeground(Foreground) {}

void THighlightInfo::SetAltFont(bool V) {
    if (V == FAltFont) return;
    FAltFont = V;
    Changed();
}

void THighlightInfo::SetStyle(std::uint8_t V) {
    V &= 0x0F;
    if (V == FStyle) return;
    FStyle = V;
    Changed();
}

void THighlightInfo::SetBackground(std::int32_t V) {
    if (V == FBackground) return;
    FBackground = V;
    Changed();
}

void THighlightInfo::SetForeground(std::int32_t V) {
    if (V == FForeground) return;
    FForeground = V;
    Changed();
}

void THighlightInfo::SetStyleByte(std::uint8_t B) {
    const bool alt = B & hsAltFont;
    const auto style = static_cast<std::uint8_t>(B & 0x0F);
    if (alt == FAltFont && style == FStyle) return;
    FAltFont = alt;
    FStyle = style;
    Changed();
}

void THighlightInfo::Assign(const THighlightInfo& Source) {
    FAltFont = Source.FAltFont;
    FStyle = Source.FStyle;
    FBackground = Source.FBackground;
    FForeground = Source.FForeground;
    Changed();
}

}  // namespace tarvex
