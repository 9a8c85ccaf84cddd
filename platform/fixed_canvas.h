#pragma once
// A canvas with exact, configurable metrics for tests: every character is
// CharWidth pixels wide unless given its own width; bold adds BoldExtra per
// character; a font name can be given a width of its own.

#include <array>
#include <map>

#include "platform/canvas.h"

namespace tarvex {

class TFixedCanvas : public TCanvas {
public:
    explicit TFixedCanvas(int CharWidth = 10, int LineHeight = 16);

    void SelectFont(const TFontSpec& F) override;
    const TFontSpec& Font() const override { return FFont; }
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override;
    TFontMetrics Metrics() override;
    const int* Advances() override { return FCurrent.data(); }

    // Width of one byte in every font (before the bold and font-name rules).
    void SetCharWidth(unsigned char C, int Width) {
        FWidths[C] = Width;
        SelectFont(FFont);
    }
    // Every character of the named font is Width pixels wide.
    void SetFontWidth(const std::string& Name, int Width) {
        FFontWidths[Name] = Width;
        SelectFont(FFont);
    }
    void SetBoldExtra(int Extra) {
        FBoldExtra = Extra;
        SelectFont(FFont);
    }
    int SelectCount = 0;  // how often a font was selected

private:
    int Width(unsigned char C) const;

    TFontSpec FFont;
    std::array<int, 256> FWidths{};
    std::array<int, 256> FCurrent{};
    int FBoldExtra = 0;
    std::map<std::string, int> FFontWidths;
    int FCharWidth;
    int FLineHeight;
};

}  // namespace tarvex
