#pragma once
// A printer for tests: exact metrics (100 pixels per inch, a 8.5 x 11 inch
// sheet, every character 10 pixels wide, text 15 pixels high) and a sheet
// that records what is drawn on which page.

#include <stdexcept>
#include <string>
#include <vector>

#include "output/print_device.h"
#include "platform/fixed_canvas.h"

namespace tarvex::test {

struct TDrawn {
    std::int32_t Page = 0;
    std::int32_t X = 0, Y = 0;
    std::string Text;  // empty for a filled rectangle
    std::int32_t Color = 0;
    TFontSpec Font;
    double Scale = 1;
    TRect Rect;
};

class TRecordingCanvas : public TPageCanvas {
public:
    TRecordingCanvas() : FMeasure(10, 16) {}
    void SelectFont(const TFontSpec& F) override { FMeasure.SelectFont(F); }
    const TFontSpec& Font() const override { return FMeasure.Font(); }
    using TCanvas::TextExtent;
    int TextExtent(const char* T, int N) override { return FMeasure.TextExtent(T, N); }
    TFontMetrics Metrics() override { return FMeasure.Metrics(); }
    const int* Advances() override { return FMeasure.Advances(); }
    void SetFontScale(double F) override { FScale = F; }
    double FontScale() const override { return FScale; }
    void FillRect(const TRect& R, std::int32_t Color) override {
        TDrawn d;
        d.Page = Page;
        d.Rect = R;
        d.Color = Color;
        Items.push_back(d);
    }
    void DrawText(std::int32_t X, std::int32_t Y, const char* T, int N, std::int32_t Color) override {
        Items.push_back(TDrawn{Page, X, Y, std::string(T, static_cast<std::size_t>(N)), Color, FMeasure.Font(), FScale, {}});
    }
    void DrawLine(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, TLineStyle, std::int32_t) override {}
    void InvertRect(const TRect&) override {}
    void TileImage(const TRect&, const std::string&, std::int32_t, std::int32_t) override {}
    bool HasImage(const std::string&) override { return false; }

    // The texts drawn on a page, in order.
    std::vector<TDrawn> TextsOn(std::int32_t P) const {
        std::vector<TDrawn> r;
        for (const TDrawn& d : Items)
            if (d.Page == P && !d.Text.empty()) r.push_back(d);
        return r;
    }
    // Everything drawn on a page joined, texts separated by '|'.
    std::string JoinedOn(std::int32_t P) const {
        std::string s;
        for (const TDrawn& d : TextsOn(P)) s += (s.empty() ? "" : "|") + d.Text;
        return s;
    }
    const TDrawn* Find(const std::string& Text) const {
        for (const TDrawn& d : Items)
            if (d.Text == Text) return &d;
        return nullptr;
    }

    std::vector<TDrawn> Items;
    std::int32_t Page = 0;

private:
    TFixedCanvas FMeasure;
    double FScale = 1;
};

class TTestPrintDevice : public TPrintDevice {
public:
    TTestPrintDevice() : Info(10, 16) {}
    TPrinterMetrics Metrics() override { return M; }
    TCanvas& InfoCanvas() override { return Info; }
    TPageCanvas& BeginDoc(const std::string& T) override {
        ++Jobs;
        Title = T;
        Sheet.Items.clear();
        Sheet.Page = 0;
        Sheets = 1;
        return Sheet;
    }
    void NewPage() override {
        if (FailOnSheet == Sheets) throw std::runtime_error("paper jam");
        ++Sheet.Page;
        ++Sheets;
    }
    void EndDoc() override { ++Ended; }
    void AbortDoc() override { ++Aborted; }

    TPrinterMetrics M{100, 100, 850, 1100, 0, 0};
    TFixedCanvas Info;
    TRecordingCanvas Sheet;
    std::string Title;
    int Jobs = 0, Sheets = 0, Ended = 0, Aborted = 0;
    int FailOnSheet = -1;  // NewPage fails when this many sheets are done
};

}  // namespace tarvex::test
