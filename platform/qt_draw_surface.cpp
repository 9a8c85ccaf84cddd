#include "platform/qt_draw_surface.h"

#include <QPixmapCache>

#include "platform/qt_text.h"

namespace tarvex {

QColor TQtDrawSurface::ToQColor(std::int32_t Color, const QPalette& P) {
    if (static_cast<std::uint32_t>(Color) & 0x80000000u) {
        switch (static_cast<std::uint32_t>(Color) & 0xFF) {
            case 5: return P.color(QPalette::Base);
            case 8: return P.color(QPalette::Text);
            case 13: return P.color(QPalette::Highlight);
            case 14: return P.color(QPalette::HighlightedText);
            case 15: return P.color(QPalette::Button);
            case 24: return P.color(QPalette::ToolTipBase);
            default: return P.color(QPalette::WindowText);
        }
    }
    return QColor(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

void TQtDrawSurface::SelectFont(const TFontSpec& F) {
    FMeasure.SelectFont(F);
    FPainter.setFont(FMeasure.QtFont());
    FFontSet = true;
}

void TQtDrawSurface::FillRect(const TRect& R, std::int32_t Color) {
    FPainter.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), ToQColor(Color, FPalette));
}

void TQtDrawSurface::DrawText(std::int32_t X, std::int32_t Y, const char* Text, int Count, std::int32_t Color) {
    if (Count <= 0) return;
    if (!FFontSet) SelectFont(FMeasure.Font());
    FPainter.setPen(ToQColor(Color, FPalette));
    // The editor fonts advance by the sum of per-character widths, so one
    // run is drawn where the layout measured it.
    FPainter.drawText(QPoint(X, Y), ToQString(std::string_view(Text, static_cast<std::size_t>(Count))));
}

void TQtDrawSurface::DrawLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, std::int32_t Color,
                              TLineStyle Style, std::int32_t Width) {
    if (Style == lsNone) return;
    QPen pen(ToQColor(Color, FPalette));
    pen.setWidth(std::max(1, Width));
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    pen.setStyle(styles[Style]);
    FPainter.setPen(pen);
    FPainter.drawLine(X1, Y1, X2, Y2);
}

void TQtDrawSurface::InvertRect(const TRect& R) {
    FPainter.save();
    FPainter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FPainter.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), Qt::white);
    FPainter.restore();
}

bool TQtDrawSurface::HasImage(const std::string& Image) {
    QPixmap p;
    if (QPixmapCache::find(QString::fromStdString(Image), &p)) return !p.isNull();
    p.load(QString::fromStdString(Image));
    QPixmapCache::insert(QString::fromStdString(Image), p);
    return !p.isNull();
}

void TQtDrawSurface::TileImage(const TRect& R, const std::string& Image, std::int32_t OffsetX, std::int32_t OffsetY) {
    QPixmap p;
    if (!QPixmapCache::find(QString::fromStdString(Image), &p) || p.isNull()) return;
    const int ox = p.width() ? ((OffsetX % p.width()) + p.width()) % p.width() : 0;
    const int oy = p.height() ? ((OffsetY % p.height()) + p.height()) % p.height() : 0;
    FPainter.drawTiledPixmap(QRect(R.Left, R.Top, R.Width(), R.Height()), p, QPoint(-ox + p.width(), -oy + p.height()));
}

}  // namespace tarvex
