#pragma once
// TFrmDRPrintPreview: the modal window a printer's Preview opens. It shows
// one page at a time as it will print, drawn by the printer's own page and
// header/footer routines at a screen scale; pages, zoom, margins shown and
// dragged, line numbers, the print dialog and printing.

#include <QDialog>
#include <QPoint>
#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tarvex {

class TQtDudiRiriPrinter;

class TFrmDRPrintPreview : public QDialog {
public:
    explicit TFrmDRPrintPreview(TQtDudiRiriPrinter& Printer, QWidget* Parent = nullptr);
    ~TFrmDRPrintPreview() override;

    enum TMarginLine : std::int8_t { mlNone = -1, mlLeft, mlRight, mlTop, mlBottom };
    enum TZoom : std::int8_t { zPageWidth = 6, zWholePage = 7 };

    std::int32_t CurrentPage() const { return FPage; }
    // Screen pixels per printer pixel.
    double Scale() const { return FScale; }
    // Where a margin line lies on the page widget, in screen pixels from the page's corner.
    std::int32_t MarginLinePos(TMarginLine L) const { return FLines[L]; }
    TMarginLine Dragging() const { return FDrag; }

    // The parts of the form, by their names.
    QToolButton* BtnPrint;
    QToolButton* BtnPrinterSetup;
    QToolButton* BtnMargins;
    QToolButton* BtnPrevious;
    QToolButton* BtnNextPage;
    QToolButton* btnNumbers;
    QLabel* lbPage;
    QComboBox* cbZoom;
    QPushButton* BtnClose;
    QScrollArea* sbPreview;
    QWidget* PBPreview;  // the page

    // Event handlers (the buttons, the list and the page widget call them).
    void FormShow();
    void FormDestroy();
    void sbPreviewResize();
    void PBPreviewPaint();
    void PBPreviewMouseDown(Qt::MouseButton Button, QPoint P);
    void PBPreviewMouseMove(QPoint P);
    void PBPreviewMouseUp(Qt::MouseButton Button, QPoint P);
    void BtnNextPageClick();
    void BtnPreviousClick();
    void BtnPrinterSetupClick();
    void BtnPrintClick();
    void BtnMarginsClick();
    void cbZoomChange();
    void btnNumbersClick();

protected:
    void showEvent(QShowEvent* E) override;
    // Page Up and Page Down page through, Ctrl+Home and Ctrl+End go to the first and last page.
    void keyPressEvent(QKeyEvent* E) override;
    bool eventFilter(QObject* Watched, QEvent* E) override;

private:
    void SetLanguage(bool Russian);
    void ShowPageLabel();
    void GoToPage(std::int32_t Page);
    void PlaceMarginLines();
    void SetFooterTotal();
    TMarginLine LineNear(QPoint P) const;
    // Runs an action that may fail (printing); failures go to a message box.
    template <class F>
    void Safely(F&& Action);

    TQtDudiRiriPrinter& FPrinter;
    std::int32_t FPage = 0;
    double FScale = 1;
    std::int32_t FLines[4] = {0, 0, 0, 0};
    TMarginLine FDrag = mlNone;
    QPoint FLast;
    bool FRussian = false;
    bool FShown = false;
    bool FZooming = false;
    std::string FSavedFooter;
};

}  // namespace tarvex
