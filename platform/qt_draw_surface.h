#pragma once
// The drawing surface over a QPainter. Measuring goes to the editor's Qt
// canvas, so drawing and layout use the very same fonts and advances.

#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include "platform/draw_surface.h"
#include "platform/qt_canvas.h"

namespace tarvex {

class TQtDrawSurface : public TDrawSurface {
public:
    TQtDrawSurface(QPainter& Painter, TQtCanvas& Measure, const QPalette& Palette)
        : FPainter(Painter), FMeasure(Measure), FPalette(Palette) {}

    void SelectFont(const TFontSpec& F) override;
    const TFontSpec& Font() const override { return FMeasure.Font(); }
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override { return FMeasure.TextExtent(Text, Count); }
    TFontMetrics Metrics() override { return FMeasure.Metrics(); }
    const int* Advances() override { return FMeasure.Advances(); }

    void FillRect(const TRect& R, std::int32_t Color) override;
    void DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) override;
    void DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color, TLineStyle Style,
                  std::int32_t Width) override;
    void InvertRect(const TRect& R) override;
    void TileImage(const TRect& R, const std::string& Image, std::int32_t OffsetX, std::int32_t OffsetY) override;
    bool HasImage(const std::string& Image) override;

    // A colour value (0x00BBGGRR or a system colour) in the palette.
    static QColor ToQColor(std::int32_t Color, const QPalette& Palette);

private:
    QPainter& FPainter;
    TQtCanvas& FMeasure;
    const QPalette& FPalette;
    bool FFontSet = false;
};

}  // namespace tarvex
