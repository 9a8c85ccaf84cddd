#include "platform/qt_canvas.h"

#include "platform/codepage.h"
#include "platform/qt_text.h"

namespace tarvex {

TQtCanvas::TQtCanvas() { SelectFont(TFontSpec{}); }

QFont TQtCanvas::MakeFont(const TFontSpec& F) {
    QFont f(QString::fromStdString(F.Name));
    f.setPointSize(F.Size > 0 ? F.Size : 10);
    f.setBold(F.Style & fsBold);
    f.setItalic(F.Style & fsItalic);
    f.setUnderline(F.Style & fsUnderline);
    f.setStrikeOut(F.Style & fsStrikeOut);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

void TQtCanvas::SelectFont(const TFontSpec& F) {
    // Layout switches fonts at every change of style: the names are compared last.
    if (FCur && FCur->Spec.Style == F.Style && FCur->Spec.Size == F.Size && FCur->Spec.Name == F.Name) return;
    for (auto& e : FCache) {
        if (e->Spec.Style == F.Style && e->Spec.Size == F.Size && e->Spec.Name == F.Name) {
            FCur = e.get();
            return;
        }
    }
    auto e = std::make_unique<Entry>();
    e->Spec = F;
    e->Font = MakeFont(F);
    const QFontMetrics fm(e->Font);
    for (int b = 0; b < 256; ++b)
        e->Advances[static_cast<std::size_t>(b)] = fm.horizontalAdvance(QChar(Cp1251ToUnicode(static_cast<unsigned char>(b))));
    e->Metrics.Ascent = fm.ascent();
    e->Metrics.Descent = fm.descent();
    e->Metrics.Height = fm.ascent() + fm.descent();
    e->Metrics.ExternalLeading = fm.leading();
    e->Metrics.AveCharWidth = fm.averageCharWidth();
    e->Metrics.MaxCharWidth = fm.maxWidth();
    FCur = e.get();
    FCache.push_back(std::move(e));
}

int TQtCanvas::TextExtent(const char* Text, int Count) {
    const int* adv = FCur->Advances.data();
    int w = 0;
    for (int i = 0; i < Count; ++i) w += adv[static_cast<unsigned char>(Text[i])];
    return w;
}

}  // namespace tarvex
