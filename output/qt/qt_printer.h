#pragma once
// TQtDudiRiriPrinter: the printer component on Qt's printing: a QPrinter (a
// printer, or a PDF file), the platform print and page set-up dialogs, and
// the preview window.

#include <QPrinter>
#include <functional>
#include <memory>
#include <string>

#include "output/dudi_riri_printer.h"
#include "output/qt/qt_print_device.h"

class QPrintDialog;
class QWidget;

namespace tarvex {

class TFrmDRPrintPreview;

class TQtDudiRiriPrinter : public TDudiRiriPrinter {
public:
    // Printer nullptr: a printer of its own (high resolution, the locale's paper).
    explicit TQtDudiRiriPrinter(QPrinter* Printer = nullptr);
    ~TQtDudiRiriPrinter() override;

    QPrinter& Printer() { return *FPrinter; }

    // Prints every page into a PDF file of real, selectable text. The file is
    // replaced only when the whole job succeeded. The printer's own output
    // (printer or file) is kept for later jobs.
    void PrintToPdf(const std::string& FileName);

    // The platform print dialog: pages 1 to PageCount, the selection when the
    // editor has one; prints the choice. False when the user cancelled.
    bool ExecPrintDialog(QWidget* Parent);
    // Prints what an accepted print dialog asks for.
    void PrintWithDialog(const QPrintDialog& Dialog);
    using TDudiRiriPrinter::PrintWithDialog;
    // Paper and orientation; the text is laid out again when they change.
    // False when the user cancelled.
    bool PrinterSetup(QWidget* Parent);

    // The preview window was created, before it is shown.
    std::function<void(TFrmDRPrintPreview& Window)> OnPreview;
    // Parent of the preview window.
    QWidget* PreviewParent = nullptr;

    // The device's paper or resolution may have changed (after a dialog).
    void CheckDevice();

protected:
    void ShowPreview() override;

private:
    std::unique_ptr<QPrinter> FOwned;
    QPrinter* FPrinter;
    TQtPrintDevice FDevice;
    TPrinterMetrics FKnown;
};

// The QPrinter page size of the locale's paper (A4 where the locale says nothing).
QPageSize LocalePageSize();

}  // namespace tarvex
