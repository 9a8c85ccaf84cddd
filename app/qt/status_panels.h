#pragma once
// The status bar's six panels: position, paragraph, line, column, the
// selection and the file name. Each number panel is as wide as its text
// needs (at least 110 pixels) so that no digit of a 64-bit position is ever
// cut; the file name takes what is left and is elided in the middle. Panels
// that do not fit a narrow window are cut at the window's edge, never drawn
// over each other.

#include <QWidget>
#include <array>

namespace tarvex {

class TStatusPanels : public QWidget {
public:
    static constexpr int kCount = 6;
    explicit TStatusPanels(QWidget* Parent = nullptr);
    void SetText(int Panel, const QString& Text);
    QString Text(int Panel) const { return FTexts[static_cast<std::size_t>(Panel)]; }
    // Where a panel is drawn (it may reach beyond the widget in a narrow window).
    QRect PanelRect(int Panel) const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent* E) override;

private:
    int PanelWidth(int Panel) const;
    std::array<QString, kCount> FTexts;
};

}  // namespace tarvex
