#include "output/qt/qt_print_device.h"

#include "textstore/types.h"

namespace tarvex {

namespace {
std::string Where(const QPrinter& P) {
    if (P.outputFormat() == QPrinter::PdfFormat) return "the file \"" + P.outputFileName().toStdString() + "\"";
    return "the printer \"" + P.printerName().toStdString() + "\"";
}
}  // namespace

TQtPrintDevice::TQtPrintDevice(QPrinter& Printer) : FPrinter(Printer) { FPrinter.setFullPage(true); }

TQtPrintDevice::~TQtPrintDevice() {
    if (FPainter && FPainter->isActive()) AbortDoc();
}

TPrinterMetrics TQtPrintDevice::Metrics() {
    TPrinterMetrics m;
    m.PpiX = FPrinter.logicalDpiX();
    m.PpiY = FPrinter.logicalDpiY();
    const QRect paper = FPrinter.paperRect(QPrinter::DevicePixel).toRect();
    m.PageWidth = paper.width();
    m.PageHeight = paper.height();
    // Device (0, 0) lies this far into the sheet (0 in full-page mode).
    m.OffsetX = -paper.left();
    m.OffsetY = -paper.top();
    return m;
}

TCanvas& TQtPrintDevice::InfoCanvas() {
    // Font sizes depend on the resolution: a changed one needs new fonts.
    if (!FInfo || FInfoDpi != FPrinter.logicalDpiY()) {
        FInfoDpi = FPrinter.logicalDpiY();
        FInfo = std::make_unique<TQtPageCanvas>(FPrinter, nullptr, FInfoDpi);
    }
    return *FInfo;
}

TPageCanvas& TQtPrintDevice::BeginDoc(const std::string& Title) {
    if (FPrinter.outputFormat() == QPrinter::PdfFormat && FPrinter.outputFileName().isEmpty())
        throw ERiriError("No printer chosen: choose a printer or a PDF file in the print dialog");
    FPrinter.setDocName(QString::fromStdString(Title));
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(&FPrinter)) {
        FPainter.reset();
        throw ERiriError("Cannot print to " + Where(FPrinter));
    }
    FPage = std::make_unique<TQtPageCanvas>(FPrinter, FPainter.get(), FPrinter.logicalDpiY());
    return *FPage;
}

void TQtPrintDevice::NewPage() {
    if (!FPrinter.newPage()) throw ERiriError("Cannot start a new sheet on " + Where(FPrinter));
}

void TQtPrintDevice::EndDoc() {
    FPage.reset();
    const bool ended = FPainter && FPainter->end();
    FPainter.reset();
    if (!ended || FPrinter.printerState() == QPrinter::Error) throw ERiriError("Printing to " + Where(FPrinter) + " failed");
}

void TQtPrintDevice::AbortDoc() {
    FPage.reset();
    FPrinter.abort();
    if (FPainter && FPainter->isActive()) FPainter->end();
    FPainter.reset();
}

}  // namespace tarvex
