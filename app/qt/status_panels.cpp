#include "app/qt/status_panels.h"

#include <QPainter>
#include <QStyle>

namespace tarvex {

namespace {
constexpr int kMinWidth = 110;
constexpr int kNameMinWidth = 200;
constexpr int kPadding = 6;  // on each side of a text
}  // namespace

TStatusPanels::TStatusPanels(QWidget* Parent) : QWidget(Parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

int TStatusPanels::PanelWidth(int Panel) const {
    const int text = fontMetrics().horizontalAdvance(FTexts[static_cast<std::size_t>(Panel)]) + 2 * kPadding;
    return std::max(text, Panel == kCount - 1 ? kNameMinWidth : kMinWidth);
}

QRect TStatusPanels::PanelRect(int Panel) const {
    int x = 0;
    for (int i = 0; i < Panel; ++i) x += PanelWidth(i);
    // The last panel takes the rest of the bar (its text is elided when it must be).
    const int w = Panel == kCount - 1 ? std::max(width() - x, 0) : PanelWidth(Panel);
    return {x, 0, w, height()};
}

QSize TStatusPanels::sizeHint() const {
    int w = 0;
    for (int i = 0; i < kCount; ++i) w += PanelWidth(i);
    return {w, fontMetrics().height() + 6};
}

void TStatusPanels::SetText(int Panel, const QString& Text) {
    QString& t = FTexts[static_cast<std::size_t>(Panel)];
    if (t == Text) return;
    t = Text;
    if (Panel == kCount - 1) setToolTip(Text);
    updateGeometry();
    update();
}

void TStatusPanels::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor line = palette().color(QPalette::Mid);
    for (int i = 0; i < kCount; ++i) {
        const QRect r = PanelRect(i).intersected(rect());
        if (r.isEmpty()) break;
        p.save();
        p.setClipRect(r);
        const QRect textRect = r.adjusted(kPadding, 0, -kPadding, 0);
        QString t = FTexts[static_cast<std::size_t>(i)];
        if (i == kCount - 1) t = fontMetrics().elidedText(t, Qt::ElideMiddle, textRect.width());
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, t);
        p.restore();
        if (i < kCount - 1 && r.right() < width() - 1) {
            p.setPen(line);
            p.drawLine(r.right(), 2, r.right(), height() - 3);
        }
    }
}

}  // namespace tarvex
