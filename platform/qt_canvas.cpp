#include "qt_canvas.h"

#include "qt_text.h"

namespace tarvex {

TQtCanvas::TQtCanvas() { SelectFont(FFont); }

QFont TQtCanvas::MakeFont(const TFontSpec& F) {
    QFont f(QString::fromStdString(F.Name));
    f.setPointSize(F.Size > 0 ? F.Size : 10);
    f.setBold(F.Style & fsBold);
    f.setItalic(F.Style & fsItalic);
    f.setUnderline(F.Style & fsUnderline);
    f.setStrikeOut(F.Style & fsStrikeOut);
    return f;
}

void TQtCanvas::SelectFont(const TFontSpec& F) {
    FFont = F;
    FMetrics.emplace(MakeFont(F));
}

int TQtCanvas::TextExtent(const char* Text, int Count) {
    if (Count <= 0) return 0;
    return FMetrics->horizontalAdvance(ToQString(std::string_view(Text, static_cast<std::size_t>(Count))));
}

TFontMetrics TQtCanvas::Metrics() {
    TFontMetrics m;
    m.Ascent = FMetrics->ascent();
    m.Descent = FMetrics->descent();
    m.Height = m.Ascent + m.Descent;
    m.ExternalLeading = FMetrics->leading();
    m.AveCharWidth = FMetrics->averageCharWidth();
    m.MaxCharWidth = FMetrics->maxWidth();
    return m;
}

}  // namespace tarvex
