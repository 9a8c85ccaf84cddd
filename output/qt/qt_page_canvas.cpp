#include "output/qt/qt_page_canvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <cmath>

#include "output/colors.h"
#include "platform/codepage.h"
#include "platform/qt_text.h"

namespace tarvex {

TQtPageCanvas::TQtPageCanvas(QPaintDevice& Device, QPainter* Painter, double FontDpi)
    : FDevice(Device), FPainter(Painter), FFontDpi(FontDpi > 0 ? FontDpi : 96) {
    Select(TFontSpec{});
}

QColor TQtPageCanvas::ToQColor(std::int32_t Color) {
    const TRgb c = ResolveColor(Color);
    return QColor(c.R, c.G, c.B);
}

void TQtPageCanvas::SetFontScale(double F) {
    if (F <= 0 || F == FScale) return;
    FScale = F;
    Select(FCur->Spec);
}

void TQtPageCanvas::SelectFont(const TFontSpec& F) { Select(F); }

void TQtPageCanvas::Select(const TFontSpec& F) {
    if (FCur && FCur->Scale == FScale && FCur->Spec.Name == F.Name && FCur->Spec.Size == F.Size &&
        FCur->Spec.Style == F.Style) {
        FCur->Spec.Color = F.Color;
        return;
    }
    for (auto& e : FCache) {
        if (e->Scale == FScale && e->Spec.Name == F.Name && e->Spec.Size == F.Size && e->Spec.Style == F.Style) {
            FCur = e.get();
            FCur->Spec.Color = F.Color;
            return;
        }
    }
    auto e = std::make_unique<TEntry>();
    e->Spec = F;
    e->Scale = FScale;
    QFont f(QString::fromStdString(F.Name));
    // Points on this device that make the printer's pixel size times the scale.
    const double deviceDpi = FDevice.logicalDpiY() > 0 ? FDevice.logicalDpiY() : 96;
    const double points = std::abs(F.Size > 0 ? F.Size : 10) * FFontDpi * FScale / deviceDpi;
    f.setPointSizeF(std::max(0.1, points));
    f.setBold(F.Style & fsBold);
    f.setItalic(F.Style & fsItalic);
    f.setUnderline(F.Style & fsUnderline);
    f.setStrikeOut(F.Style & fsStrikeOut);
    // Glyphs at their design widths: what is measured for the paper is what prints.
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferNoShaping);
    e->Font = f;
    const QFontMetricsF fm(f, &FDevice);
    for (int b = 0; b < 256; ++b)
        e->Advances[static_cast<std::size_t>(b)] = static_cast<int>(
            std::lround(fm.horizontalAdvance(QChar(Cp1251ToUnicode(static_cast<unsigned char>(b))))));
    e->Metrics.Ascent = static_cast<int>(std::lround(fm.ascent()));
    e->Metrics.Descent = static_cast<int>(std::lround(fm.descent()));
    e->Metrics.Height = e->Metrics.Ascent + e->Metrics.Descent;
    e->Metrics.ExternalLeading = static_cast<int>(std::lround(fm.leading()));
    e->Metrics.AveCharWidth = static_cast<int>(std::lround(fm.averageCharWidth()));
    e->Metrics.MaxCharWidth = static_cast<int>(std::lround(fm.maxWidth()));
    if (FPainter) MakeRawFont(*e, points * deviceDpi / 72.0);
    FCur = e.get();
    FCache.push_back(std::move(e));
}

void TQtPageCanvas::MakeRawFont(TEntry& E, double PixelSize) {
    QRawFont raw = QRawFont::fromFont(E.Font);
    if (!raw.isValid()) return;
    // A style the font file does not have is synthesised by Qt's own drawing only.
    if ((E.Spec.Style & fsBold) && raw.weight() < QFont::DemiBold) return;
    if ((E.Spec.Style & fsItalic) && raw.style() == QFont::StyleNormal) return;
    raw.setPixelSize(PixelSize);
    QString all;
    for (int b = 0; b < 256; ++b) all += QChar(Cp1251ToUnicode(static_cast<unsigned char>(b)));
    const QList<quint32> glyphs = raw.glyphIndexesForString(all);
    if (glyphs.size() != 256) return;
    for (int b = 0; b < 256; ++b) E.Glyphs[static_cast<std::size_t>(b)] = glyphs[b];
    E.Raw = raw;
}

int TQtPageCanvas::TextExtent(const char* Text, int Count) {
    const int* adv = FCur->Advances.data();
    int w = 0;
    for (int i = 0; i < Count; ++i) w += adv[static_cast<unsigned char>(Text[i])];
    return w;
}

void TQtPageCanvas::FillRect(const TRect& R, std::int32_t Color) {
    if (FPainter) FPainter->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), ToQColor(Color));
}

void TQtPageCanvas::DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) {
    if (!FPainter || Count <= 0) return;
    FPainter->setPen(ToQColor(Color));
    if (FCur->Raw.isValid()) {
        // Each glyph where the layout measured it.
        FRunGlyphs.resize(Count);
        FRunPositions.resize(Count);
        int x = 0;
        bool drawable = true;
        for (int i = 0; i < Count; ++i) {
            const auto b = static_cast<unsigned char>(Text[i]);
            const quint32 g = FCur->Glyphs[b];
            if (g == 0 && b >= 0x20) drawable = false;  // not in this font: Qt's drawing falls back to another
            FRunGlyphs[i] = g;
            FRunPositions[i] = QPointF(x, 0);
            x += FCur->Advances[b];
        }
        if (drawable) {
            QGlyphRun run;
            run.setRawFont(FCur->Raw);
            run.setGlyphIndexes(FRunGlyphs);
            run.setPositions(FRunPositions);
            run.setUnderline(FCur->Spec.Style & fsUnderline);
            run.setStrikeOut(FCur->Spec.Style & fsStrikeOut);
            FPainter->drawGlyphRun(QPointF(X, Y), run);
            return;
        }
    }
    if (FOnPainter != FCur) {
        FPainter->setFont(FCur->Font);
        FOnPainter = FCur;
    }
    FPainter->drawText(QPointF(X, Y), ToQString(std::string_view(Text, static_cast<std::size_t>(Count))));
}

void TQtPageCanvas::DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color,
                             TLineStyle Style, std::int32_t Width) {
    if (!FPainter || Style == lsNone) return;
    QPen pen(ToQColor(Color));
    pen.setWidth(std::max(1, Width));
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    pen.setStyle(styles[Style]);
    FPainter->setPen(pen);
    FPainter->drawLine(X1, Y1, X2, Y2);
}

void TQtPageCanvas::InvertRect(const TRect& R) {
    if (!FPainter) return;
    FPainter->save();
    FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FPainter->fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), Qt::white);
    FPainter->restore();
}

}  // namespace tarvex
