#pragma once
// What printing needs from the platform: a printer with its metrics, a
// measuring context on it, and a drawing surface for the sheets of a job.

#include <cstdint>
#include <string>

#include "platform/draw_surface.h"

namespace tarvex {

// A printer's geometry in its own pixels.
struct TPrinterMetrics {
    std::int32_t PpiX = 0, PpiY = 0;              // pixels per inch
    std::int32_t PageWidth = 0, PageHeight = 0;   // the physical sheet
    std::int32_t OffsetX = 0, OffsetY = 0;        // where device (0, 0) lies on the sheet
    friend bool operator==(const TPrinterMetrics&, const TPrinterMetrics&) = default;
};

// A drawing surface whose fonts can be drawn at a scale: pages are laid out
// in printer pixels and shown smaller or larger in a preview.
class TPageCanvas : public TDrawSurface {
public:
    // Fonts selected from now on are drawn at F times the size they have on
    // the printer (1 on the printer itself).
    virtual void SetFontScale(double F) = 0;
    virtual double FontScale() const = 0;
};

// The printer a job goes to. Metrics and the measuring canvas reflect the
// current device settings (paper, orientation, resolution).
class TPrintDevice {
public:
    virtual ~TPrintDevice() = default;
    virtual TPrinterMetrics Metrics() = 0;
    // Measures text as it will print (fonts sized for the printer's resolution).
    virtual TCanvas& InfoCanvas() = 0;
    // Starts a job; the surface draws on its first sheet in device coordinates.
    virtual TPageCanvas& BeginDoc(const std::string& Title) = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // Ends a job after a failure; whatever was produced is discarded if possible.
    virtual void AbortDoc() = 0;
};

// What the user chose in a print dialog. Pages are numbered from 1 there.
struct TPrintChoice {
    enum TRange : std::uint8_t { prAllPages, prSelection, prPageNums };
    TRange Range = prAllPages;
    std::int32_t FromPage = 1, ToPage = 1;
};

}  // namespace tarvex
