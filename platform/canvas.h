#pragma once
// The canvas: what the editor measures (and, later, draws) text with. Text
// is always Windows-1251 bytes here; implementations convert at their edge.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/font_style.h"

namespace tarvex {


struct TFontSpec {
    std::string Name = "Arial";
    int Size = 10;           // points
    std::uint8_t Style = 0;  // fsBold | fsItalic | fsUnderline | fsStrikeOut
    std::int32_t Color = 0;

    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

struct TFontMetrics {
    int Height = 0;  // cell height: ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
    int MaxCharWidth = 0;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual void SelectFont(const TFontSpec& Font) = 0;
    virtual const TFontSpec& Font() const = 0;
    // Width in pixels of Count bytes of Text in the selected font.
    virtual int TextExtent(const char* Text, int Count) = 0;
    virtual TFontMetrics Metrics() = 0;

    // The widths of the 256 byte values in the selected font, when every extent
    // is exactly the sum of them (so that layout may add them up itself);
    // nullptr otherwise.
    virtual const int* Advances() { return nullptr; }

    int TextExtent(std::string_view Text) { return TextExtent(Text.data(), static_cast<int>(Text.size())); }
    int AverageCharWidth() { return Metrics().AveCharWidth; }
    int MaxCharWidth() { return Metrics().MaxCharWidth; }
};

}  // namespace tarvex
