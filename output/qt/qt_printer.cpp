#include "output/qt/qt_printer.h"

#include <QPageSetupDialog>
#include <QPrintDialog>

#include "app/atomic_file.h"
#include "output/paper.h"
#include "output/qt/print_preview.h"
#include "platform/qt_text.h"

namespace tarvex {

QPageSize LocalePageSize() {
    const TPaperSize p = LocalePaper();
    const QPageSize::PageSizeId id =
        QPageSize::id(QSizeF(p.WidthMm, p.HeightMm), QPageSize::Millimeter, QPageSize::FuzzyMatch);
    return id != QPageSize::Custom ? QPageSize(id) : QPageSize(QSizeF(p.WidthMm, p.HeightMm), QPageSize::Millimeter);
}

namespace {
QPrinter* MakePrinter(std::unique_ptr<QPrinter>& Owned, QPrinter* Given) {
    if (Given) return Given;
    Owned = std::make_unique<QPrinter>(QPrinter::HighResolution);
    Owned->setPageSize(LocalePageSize());
    return Owned.get();
}
}  // namespace

TQtDudiRiriPrinter::TQtDudiRiriPrinter(QPrinter* Printer)
    : FPrinter(MakePrinter(FOwned, Printer)), FDevice(*FPrinter) {
    SetDevice(&FDevice);
    FKnown = FDevice.Metrics();
}

TQtDudiRiriPrinter::~TQtDudiRiriPrinter() = default;

void TQtDudiRiriPrinter::CheckDevice() {
    const TPrinterMetrics now = FDevice.Metrics();
    if (now == FKnown) return;
    FKnown = now;
    DeviceChanged();
}

void TQtDudiRiriPrinter::PrintToPdf(const std::string& FileName) {
    if (!MemoToPrint()) return;
    const QPrinter::OutputFormat format = FPrinter->outputFormat();
    const QString file = FPrinter->outputFileName();
    struct TRestore {
        QPrinter& P;
        QPrinter::OutputFormat Format;
        QString File;
        ~TRestore() {
            P.setOutputFormat(Format);
            if (Format == QPrinter::PdfFormat) P.setOutputFileName(File);
        }
    } restore{*FPrinter, format, file};
    SaveFileAtomicallyByName(FileName, [&](const std::string& Temp) {
        FPrinter->setOutputFormat(QPrinter::PdfFormat);
        FPrinter->setOutputFileName(QString::fromStdString(Temp));
        CheckDevice();
        Print();
    });
}

bool TQtDudiRiriPrinter::ExecPrintDialog(QWidget* Parent) {
    if (!MemoToPrint()) return false;
    QPrintDialog d(FPrinter, Parent);
    d.setMinMax(1, std::max(1, PageCount()));
    d.setFromTo(1, std::max(1, PageCount()));
    d.setPrintRange(QAbstractPrintDialog::AllPages);
    QAbstractPrintDialog::PrintDialogOptions o = d.options() | QAbstractPrintDialog::PrintPageRange;
    if (MemoToPrint()->SelLength() != 0)
        o |= QAbstractPrintDialog::PrintSelection;
    else
        o &= ~QAbstractPrintDialog::PrintSelection;
    d.setOptions(o);
    const bool ok = d.exec() == QDialog::Accepted;
    CheckDevice();
    if (ok) PrintWithDialog(d);
    return ok;
}

void TQtDudiRiriPrinter::PrintWithDialog(const QPrintDialog& Dialog) {
    CheckDevice();
    TPrintChoice c;
    switch (Dialog.printRange()) {
        case QAbstractPrintDialog::Selection: c.Range = TPrintChoice::prSelection; break;
        case QAbstractPrintDialog::PageRange:
            c.Range = TPrintChoice::prPageNums;
            c.FromPage = Dialog.fromPage();
            c.ToPage = Dialog.toPage();
            break;
        case QAbstractPrintDialog::CurrentPage:
        case QAbstractPrintDialog::AllPages:
        default: c.Range = TPrintChoice::prAllPages; break;
    }
    TDudiRiriPrinter::PrintWithDialog(c);
}

bool TQtDudiRiriPrinter::PrinterSetup(QWidget* Parent) {
    QPageSetupDialog d(FPrinter, Parent);
    const bool ok = d.exec() == QDialog::Accepted;
    CheckDevice();
    return ok;
}

void TQtDudiRiriPrinter::ShowPreview() {
    TFrmDRPrintPreview w(*this, PreviewParent);
    if (!PreviewTitle.empty()) w.setWindowTitle(ToQString(PreviewTitle));
    if (OnPreview) OnPreview(w);
    w.exec();
}

}  // namespace tarvex
