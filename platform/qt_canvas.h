#pragma once
// The canvas over Qt's font machinery.

#include <QFont>
#include <QFontMetrics>
#include <optional>

#include "canvas.h"

namespace tarvex {

class TQtCanvas : public TCanvas {
public:
    TQtCanvas();
    void SelectFont(const TFontSpec& F) override;
    const TFontSpec& Font() const override { return FFont; }
    int TextExtent(const char* Text, int Count) override;
    TFontMetrics Metrics() override;

    // The Qt font for a font spec, as every editor font is configured.
    static QFont MakeFont(const TFontSpec& F);

private:
    TFontSpec FFont;
    std::optional<QFontMetrics> FMetrics;
};

}  // namespace tarvex
