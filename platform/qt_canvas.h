#pragma once
// The canvas over Qt's font machinery. Every editor font is set up so that the
// advance of a run equals the sum of its characters' integer advances (no
// kerning, no shaping, full hinting); the canvas then measures by adding up a
// table of the 256 byte values per font and style, and drawing places glyphs at
// exactly those advances, so that caret, hit-testing and text never drift apart.

#include <QFont>
#include <QFontMetrics>
#include <array>
#include <memory>
#include <vector>

#include "platform/canvas.h"

namespace tarvex {

class TQtCanvas : public TCanvas {
public:
    TQtCanvas();
    void SelectFont(const TFontSpec& F) override;
    const TFontSpec& Font() const override { return FCur->Spec; }
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override;
    TFontMetrics Metrics() override { return FCur->Metrics; }
    const int* Advances() override { return FCur->Advances.data(); }

    const QFont& QtFont() const { return FCur->Font; }

    // The Qt font for a font spec, as every editor font is configured.
    static QFont MakeFont(const TFontSpec& F);

private:
    struct Entry {
        TFontSpec Spec;
        QFont Font;
        std::array<int, 256> Advances{};
        TFontMetrics Metrics;
    };
    std::vector<std::unique_ptr<Entry>> FCache;
    Entry* FCur = nullptr;
};

}  // namespace tarvex
