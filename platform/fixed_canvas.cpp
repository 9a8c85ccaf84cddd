#include "platform/fixed_canvas.h"

#include <algorithm>


namespace tarvex {

TFixedCanvas::TFixedCanvas(int CharWidth, int LineHeight) : FCharWidth(CharWidth), FLineHeight(LineHeight) {
    FWidths.fill(CharWidth);
    SelectFont(FFont);
    SelectCount = 0;
}

void TFixedCanvas::SelectFont(const TFontSpec& F) {
    FFont = F;
    ++SelectCount;
    for (int c = 0; c < 256; ++c) FCurrent[static_cast<std::size_t>(c)] = Width(static_cast<unsigned char>(c));
}

int TFixedCanvas::Width(unsigned char C) const {
    auto it = FFontWidths.find(FFont.Name);
    int w = it != FFontWidths.end() ? it->second : FWidths[C];
    if (FFont.Style & fsBold) w += FBoldExtra;
    return w;
}

int TFixedCanvas::TextExtent(const char* Text, int Count) {
    int w = 0;
    for (int i = 0; i < Count; ++i) w += FCurrent[static_cast<unsigned char>(Text[i])];
    return w;
}

TFontMetrics TFixedCanvas::Metrics() {
    TFontMetrics m;
    m.Height = FLineHeight - 1;
    m.Ascent = (FLineHeight - 1) * 4 / 5;
    m.Descent = m.Height - m.Ascent;
    m.AveCharWidth = Width('x');
    int widest = 0;
    for (int c = 32; c < 256; ++c) widest = std::max(widest, Width(static_cast<unsigned char>(c)));
    m.MaxCharWidth = widest;
    return m;
}

}  // namespace tarvex
