#pragma once
// A page canvas over Qt: it measures fonts for one paint device (a printer,
// or the widget a preview draws on) and draws with a painter on it. Font
// sizes refer to the printer's resolution (FontDpi), so that a preview at
// scale s shows the printer's text s times its printed pixel size.

#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>
#include <array>
#include <memory>
#include <vector>

#include "output/print_device.h"

namespace tarvex {

class TQtPageCanvas : public TPageCanvas {
public:
    // Painter nullptr: a measuring context only.
    TQtPageCanvas(QPaintDevice& Device, QPainter* Painter, double FontDpi);

    void SelectFont(const TFontSpec& F) override;
    const TFontSpec& Font() const override { return FCur->Spec; }
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override;
    TFontMetrics Metrics() override { return FCur->Metrics; }
    const int* Advances() override { return FCur->Advances.data(); }

    void SetFontScale(double F) override;
    double FontScale() const override { return FScale; }

    void FillRect(const TRect& R, std::int32_t Color) override;
    void DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) override;
    void DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color, TLineStyle Style,
                  std::int32_t Width) override;
    void InvertRect(const TRect& R) override;
    // Pages have no background pictures.
    void TileImage(const TRect&, const std::string&, std::int32_t, std::int32_t) override {}
    bool HasImage(const std::string&) override { return false; }

    // A colour value on paper: system colours in the light scheme.
    static QColor ToQColor(std::int32_t Color);
    const QFont& QtFont() const { return FCur->Font; }

private:
    struct TEntry {
        TFontSpec Spec;
        double Scale = 1;
        QFont Font;
        std::array<int, 256> Advances{};
        TFontMetrics Metrics;
        // Glyphs of the 256 byte values in a raw font of the same pixel size:
        // runs are drawn glyph by glyph at the measured advances, with no
        // text layout on the way. Empty when the font needs Qt's own drawing
        // (synthesised styles, missing glyphs).
        QRawFont Raw;
        std::array<quint32, 256> Glyphs{};
    };
    void MakeRawFont(TEntry& E, double PixelSize);
    void Select(const TFontSpec& F);

    QPaintDevice& FDevice;
    QPainter* FPainter;
    double FFontDpi;
    double FScale = 1;
    std::vector<std::unique_ptr<TEntry>> FCache;
    TEntry* FCur = nullptr;
    TEntry* FOnPainter = nullptr;  // the font the painter has
    QVector<quint32> FRunGlyphs;
    QVector<QPointF> FRunPositions;
};

}  // namespace tarvex
