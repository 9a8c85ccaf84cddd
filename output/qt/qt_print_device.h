#pragma once
// The printer interface over a QPrinter: a real printer, or a PDF file
// (QPrinter::PdfFormat), which needs neither a printer nor a display.

#include <QPainter>
#include <QPrinter>
#include <memory>

#include "output/print_device.h"
#include "output/qt/qt_page_canvas.h"

namespace tarvex {

class TQtPrintDevice : public TPrintDevice {
public:
    // Coordinates are the sheet's own: the printer is put in full-page mode.
    explicit TQtPrintDevice(QPrinter& Printer);
    ~TQtPrintDevice() override;

    TPrinterMetrics Metrics() override;
    TCanvas& InfoCanvas() override;
    TPageCanvas& BeginDoc(const std::string& Title) override;
    void NewPage() override;
    void EndDoc() override;
    void AbortDoc() override;

    QPrinter& Printer() { return FPrinter; }

private:
    QPrinter& FPrinter;
    std::unique_ptr<TQtPageCanvas> FInfo;
    int FInfoDpi = 0;
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<TQtPageCanvas> FPage;
};

}  // namespace tarvex
