#include "output/qt/print_preview.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "output/qt/qt_page_canvas.h"
#include "output/qt/qt_printer.h"

namespace tarvex {

// The white page: its paint and mouse events go to the form.
class TPreviewPage : public QWidget {
public:
    TPreviewPage(TFrmDRPrintPreview& Form, QWidget* Parent) : QWidget(Parent), F(Form) {
        setObjectName("PBPreview");
        setMouseTracking(true);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override { F.PBPreviewPaint(); }
    void mousePressEvent(QMouseEvent* E) override { F.PBPreviewMouseDown(E->button(), E->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* E) override { F.PBPreviewMouseMove(E->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent* E) override { F.PBPreviewMouseUp(E->button(), E->position().toPoint()); }

private:
    TFrmDRPrintPreview& F;
};

namespace {

constexpr int kScrollMargin = 10;  // around the page in the scroll box
constexpr int kGrip = 2;           // how near a margin line the mouse grabs it
constexpr int kMinGap = 3;         // opposite margin lines stay this far apart
const double kZoomFactors[] = {5, 2, 1.5, 1, 0.75, 0.5};

QToolButton* MakeButton(QWidget* Parent, const char* Name) {
    auto* b = new QToolButton(Parent);
    b->setObjectName(Name);
    b->setAutoRaise(false);
    return b;
}

}  // namespace

TFrmDRPrintPreview::TFrmDRPrintPreview(TQtDudiRiriPrinter& Printer, QWidget* Parent)
    : QDialog(Parent), FPrinter(Printer) {
    setObjectName("FrmDRPrintPreview");
    setWindowTitle("Print preview");
    resize(820, 720);
    auto* top = new QWidget(this);
    top->setObjectName("PanTop");
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(4, 4, 4, 4);
    BtnPrint = MakeButton(top, "BtnPrint");
    BtnPrinterSetup = MakeButton(top, "BtnPrinterSetup");
    BtnMargins = MakeButton(top, "BtnMargins");
    BtnMargins->setCheckable(true);
    BtnPrevious = MakeButton(top, "BtnPrevious");
    BtnPrevious->setArrowType(Qt::LeftArrow);
    BtnPrevious->setEnabled(false);
    BtnNextPage = MakeButton(top, "BtnNextPage");
    BtnNextPage->setArrowType(Qt::RightArrow);
    btnNumbers = MakeButton(top, "btnNumbers");
    btnNumbers->setCheckable(true);
    btnNumbers->setAutoRaise(true);
    btnNumbers->setText("#");
    lbPage = new QLabel("Page 100 of 1000", top);
    lbPage->setObjectName("lbPage");
    cbZoom = new QComboBox(top);
    cbZoom->setObjectName("cbZoom");
    cbZoom->addItems({"500%", "200%", "150%", "100%", "75%", "50%", "Page width", "Whole page"});
    cbZoom->setCurrentIndex(zPageWidth);
    BtnClose = new QPushButton(top);
    BtnClose->setObjectName("BtnClose");
    for (QWidget* w : std::initializer_list<QWidget*>{BtnPrint, BtnPrinterSetup, BtnMargins, BtnPrevious, BtnNextPage,
                                                      btnNumbers, lbPage, cbZoom})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(BtnClose);

    sbPreview = new QScrollArea(this);
    sbPreview->setObjectName("sbPreview");
    sbPreview->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    sbPreview->setBackgroundRole(QPalette::Dark);
    QPalette pal = sbPreview->palette();
    pal.setColor(QPalette::Dark, Qt::gray);
    sbPreview->setPalette(pal);
    auto* holder = new QWidget;
    holder->setObjectName("PanPage");
    PBPreview = new TPreviewPage(*this, holder);
    PBPreview->move(kScrollMargin, kScrollMargin);
    sbPreview->setWidget(holder);
    sbPreview->viewport()->installEventFilter(this);

    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    col->addWidget(top);
    col->addWidget(sbPreview, 1);

    connect(BtnPrint, &QToolButton::clicked, this, [this] { BtnPrintClick(); });
    connect(BtnPrinterSetup, &QToolButton::clicked, this, [this] { BtnPrinterSetupClick(); });
    connect(BtnMargins, &QToolButton::clicked, this, [this] { BtnMarginsClick(); });
    connect(BtnPrevious, &QToolButton::clicked, this, [this] { BtnPreviousClick(); });
    connect(BtnNextPage, &QToolButton::clicked, this, [this] { BtnNextPageClick(); });
    connect(btnNumbers, &QToolButton::clicked, this, [this] { btnNumbersClick(); });
    connect(cbZoom, &QComboBox::currentIndexChanged, this, [this] { cbZoomChange(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
    SetLanguage(FPrinter.MemoToPrint() && FPrinter.MemoToPrint()->RussianInterface);
}

TFrmDRPrintPreview::~TFrmDRPrintPreview() { FormDestroy(); }

template <class F>
void TFrmDRPrintPreview::Safely(F&& Action) {
    try {
        Action();
    } catch (const std::exception& e) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(e.what()));
    }
}

void TFrmDRPrintPreview::SetLanguage(bool Russian) {
    FRussian = Russian;
    auto tr = [Russian](const char* En, const char* Ru) { return QString::fromUtf8(Russian ? Ru : En); };
    BtnPrint->setText(tr("&Print", "Печать"));
    BtnPrint->setToolTip(tr("Print Document(s)", "Печать документа"));
    BtnPrinterSetup->setText(tr("&Setup", "Установ."));
    BtnPrinterSetup->setToolTip(tr("Printer Setup", "Установки принтера"));
    BtnMargins->setText(tr("&Margins", "Поля"));
    BtnMargins->setToolTip(tr("Show/hide margins", "Показать/Скрыть поля страницы"));
    BtnPrevious->setToolTip(tr("Previous Page", "Пред. стр-ца"));
    BtnNextPage->setToolTip(tr("Next Page", "След. стр-ца"));
    btnNumbers->setToolTip(tr("Show/Hide line numbers", "Нумерация строк"));
    BtnClose->setText(tr("&Close", "Закрыть"));
    cbZoom->setItemText(zPageWidth, tr("Page width", "По ширине"));
    cbZoom->setItemText(zWholePage, tr("Whole page", "Полностью"));
}

void TFrmDRPrintPreview::showEvent(QShowEvent* E) {
    QDialog::showEvent(E);
    if (!FShown) {
        FShown = true;
        FormShow();
    }
}

void TFrmDRPrintPreview::keyPressEvent(QKeyEvent* E) {
    const bool ctrl = E->modifiers() & Qt::ControlModifier;
    switch (E->key()) {
        case Qt::Key_PageDown: BtnNextPageClick(); break;
        case Qt::Key_PageUp: BtnPreviousClick(); break;
        case Qt::Key_Home:
            if (!ctrl) return QDialog::keyPressEvent(E);
            GoToPage(0);
            break;
        case Qt::Key_End:
            if (!ctrl) return QDialog::keyPressEvent(E);
            GoToPage(FPrinter.PageCount() - 1);
            break;
        default: QDialog::keyPressEvent(E); return;
    }
    E->accept();
}

bool TFrmDRPrintPreview::eventFilter(QObject* Watched, QEvent* E) {
    if (Watched == sbPreview->viewport() && E->type() == QEvent::Resize) sbPreviewResize();
    return QDialog::eventFilter(Watched, E);
}

void TFrmDRPrintPreview::FormShow() {
    FSavedFooter = FPrinter.Footer;
    Safely([this] {
        FPrinter.Prepare();
        SetFooterTotal();
    });
    const std::int32_t count = FPrinter.PageCount();
    FPage = 0;
    BtnPrevious->setEnabled(false);
    BtnNextPage->setEnabled(count >= 2);
    btnNumbers->setChecked(FPrinter.LineNumbers);
    ShowPageLabel();
    cbZoomChange();
}

void TFrmDRPrintPreview::FormDestroy() {
    // The total belongs to this preview; later printouts keep the footer they had.
    if (FShown) FPrinter.Footer = FSavedFooter;
    FShown = false;
}

void TFrmDRPrintPreview::SetFooterTotal() {
    FPrinter.Footer = "- {p} -    (" + std::to_string(FPrinter.PageCount()) + ")";
}

void TFrmDRPrintPreview::ShowPageLabel() {
    lbPage->setText(QString::fromUtf8(FRussian ? "Стр. " : "Page ") + QString::number(FPage + 1) + "/" +
                    QString::number(FPrinter.PageCount()));
}

void TFrmDRPrintPreview::GoToPage(std::int32_t Page) {
    const std::int32_t count = FPrinter.PageCount();
    FPage = std::clamp(Page, 0, std::max(0, count - 1));
    BtnNextPage->setEnabled(FPage < count - 1);
    BtnPrevious->setEnabled(FPage > 0);
    ShowPageLabel();
    PBPreview->update();
}

void TFrmDRPrintPreview::BtnNextPageClick() {
    if (FPage + 1 < FPrinter.PageCount()) GoToPage(FPage + 1);
}

void TFrmDRPrintPreview::BtnPreviousClick() {
    if (FPage > 0) GoToPage(FPage - 1);
}

void TFrmDRPrintPreview::cbZoomChange() {
    if (FZooming) return;
    FZooming = true;
    sbPreview->horizontalScrollBar()->setValue(0);
    sbPreview->verticalScrollBar()->setValue(0);
    try {
        FPrinter.Prepare();
    } catch (const std::exception&) {
        // Reported where the preview was opened; the page shows what failed.
        FZooming = false;
        return;
    }
    const TPrinterMetrics& m = FPrinter.Metrics();
    const double pw = std::max(1, m.PageWidth), ph = std::max(1, m.PageHeight);
    const QSize client = sbPreview->viewport()->size();
    const int i = cbZoom->currentIndex();
    if (i == zPageWidth) {
        FScale = (client.width() - 2 * kScrollMargin) / pw;
    } else if (i == zWholePage) {
        FScale = std::min((client.width() - 2 * kScrollMargin) / pw, (client.height() - 2 * kScrollMargin) / ph);
    } else {
        const double base = static_cast<double>(PBPreview->logicalDpiX()) / std::max(1, m.PpiX);
        FScale = base * kZoomFactors[std::clamp(i, 0, 5)];
    }
    FScale = std::max(FScale, 0.01);
    const QSize page(static_cast<int>(std::floor(pw * FScale)), static_cast<int>(std::floor(ph * FScale)));
    PBPreview->resize(page);
    sbPreview->widget()->resize(page.width() + 2 * kScrollMargin, page.height() + 2 * kScrollMargin);
    PlaceMarginLines();
    PBPreview->update();
    FZooming = false;
}

void TFrmDRPrintPreview::sbPreviewResize() {
    const int i = cbZoom->currentIndex();
    if (FShown && (i == zPageWidth || i == zWholePage)) cbZoomChange();
}

void TFrmDRPrintPreview::PlaceMarginLines() {
    const TPrinterMetrics& m = FPrinter.Metrics();
    FLines[mlLeft] = static_cast<std::int32_t>(std::lround(FPrinter.MarginLeft() * m.PpiX * FScale));
    FLines[mlRight] = static_cast<std::int32_t>(std::lround((m.PageWidth - FPrinter.MarginRight() * m.PpiX) * FScale));
    FLines[mlTop] = static_cast<std::int32_t>(std::lround(FPrinter.MarginTop() * m.PpiY * FScale));
    FLines[mlBottom] = static_cast<std::int32_t>(std::lround((m.PageHeight - FPrinter.MarginBottom() * m.PpiY) * FScale));
}

void TFrmDRPrintPreview::PBPreviewPaint() {
    QPainter p(PBPreview);
    p.fillRect(PBPreview->rect(), Qt::white);
    try {
        TQtPageCanvas c(*PBPreview, &p, FPrinter.Metrics().PpiY);
        FPrinter.DrawPage(c, FPage, FScale, poSheet);
        if (!FPrinter.Header.empty()) FPrinter.DrawHeaderFooter(c, FPage, false, FScale, poSheet);
        if (!FPrinter.Footer.empty()) FPrinter.DrawHeaderFooter(c, FPage, true, FScale, poSheet);
    } catch (const std::exception& e) {
        p.setPen(Qt::red);
        p.drawText(PBPreview->rect(), Qt::AlignCenter | Qt::TextWordWrap, QString::fromUtf8(e.what()));
    }
    if (BtnMargins->isChecked()) {
        QPen pen(Qt::gray, 1, Qt::DotLine);
        p.setPen(pen);
        const int w = PBPreview->width(), h = PBPreview->height();
        p.drawLine(FLines[mlLeft], 0, FLines[mlLeft], h);
        p.drawLine(FLines[mlRight], 0, FLines[mlRight], h);
        p.drawLine(0, FLines[mlTop], w, FLines[mlTop]);
        p.drawLine(0, FLines[mlBottom], w, FLines[mlBottom]);
    }
}

TFrmDRPrintPreview::TMarginLine TFrmDRPrintPreview::LineNear(QPoint P) const {
    if (std::abs(P.x() - FLines[mlLeft]) <= kGrip) return mlLeft;
    if (std::abs(P.x() - FLines[mlRight]) <= kGrip) return mlRight;
    if (std::abs(P.y() - FLines[mlTop]) <= kGrip) return mlTop;
    if (std::abs(P.y() - FLines[mlBottom]) <= kGrip) return mlBottom;
    return mlNone;
}

void TFrmDRPrintPreview::PBPreviewMouseDown(Qt::MouseButton Button, QPoint P) {
    if (Button != Qt::LeftButton || !BtnMargins->isChecked()) return;
    FDrag = LineNear(P);
    FLast = P;
}

void TFrmDRPrintPreview::PBPreviewMouseMove(QPoint P) {
    if (!BtnMargins->isChecked()) {
        PBPreview->unsetCursor();
        return;
    }
    if (FDrag == mlNone) {
        const TMarginLine l = LineNear(P);
        if (l == mlNone)
            PBPreview->unsetCursor();
        else
            PBPreview->setCursor(l == mlLeft || l == mlRight ? Qt::SizeHorCursor : Qt::SizeVerCursor);
        return;
    }
    const int w = PBPreview->width(), h = PBPreview->height();
    std::int32_t& v = FLines[FDrag];
    switch (FDrag) {
        case mlLeft: v = std::clamp(P.x(), 0, std::max(0, FLines[mlRight] - kMinGap)); break;
        case mlRight: v = std::clamp(P.x(), std::min(w, FLines[mlLeft] + kMinGap), w); break;
        case mlTop: v = std::clamp(P.y(), 0, std::max(0, FLines[mlBottom] - kMinGap)); break;
        case mlBottom: v = std::clamp(P.y(), std::min(h, FLines[mlTop] + kMinGap), h); break;
        default: break;
    }
    FLast = P;
    PBPreview->update();
}

void TFrmDRPrintPreview::PBPreviewMouseUp(Qt::MouseButton Button, QPoint P) {
    if (Button != Qt::LeftButton || FDrag == mlNone) return;
    PBPreviewMouseMove(P);
    const TPrinterMetrics& m = FPrinter.Metrics();
    const double w = PBPreview->width(), h = PBPreview->height();
    const double px = FScale * std::max(1, m.PpiX), py = FScale * std::max(1, m.PpiY);
    switch (FDrag) {
        case mlLeft: FPrinter.SetMarginLeft(static_cast<float>(FLines[mlLeft] / px)); break;
        case mlRight: FPrinter.SetMarginRight(static_cast<float>((w - FLines[mlRight]) / px)); break;
        case mlTop: FPrinter.SetMarginTop(static_cast<float>(FLines[mlTop] / py)); break;
        case mlBottom: FPrinter.SetMarginBottom(static_cast<float>((h - FLines[mlBottom]) / py)); break;
        default: break;
    }
    FDrag = mlNone;
    Safely([this] {
        FPrinter.Prepare();
        SetFooterTotal();
    });
    GoToPage(FPage);
}

void TFrmDRPrintPreview::BtnMarginsClick() {
    PlaceMarginLines();
    PBPreview->update();
}

void TFrmDRPrintPreview::btnNumbersClick() {
    FPrinter.LineNumbers = btnNumbers->isChecked();
    PBPreview->update();
}

void TFrmDRPrintPreview::BtnPrintClick() {
    Safely([this] { FPrinter.Print(); });
}

void TFrmDRPrintPreview::BtnPrinterSetupClick() {
    Safely([this] {
        QPrintDialog d(&FPrinter.Printer(), this);
        const std::int32_t count = std::max(1, FPrinter.PageCount());
        d.setMinMax(1, count);
        d.setFromTo(1, count);
        d.setPrintRange(QAbstractPrintDialog::AllPages);
        d.setOptions(d.options() | QAbstractPrintDialog::PrintPageRange);
        const bool ok = d.exec() == QDialog::Accepted;
        // A changed paper or resolution: lay out again and fit the zoom to it.
        FPrinter.CheckDevice();
        FPrinter.Prepare();
        SetFooterTotal();
        cbZoomChange();
        GoToPage(FPage);
        if (ok) FPrinter.PrintWithDialog(d);
    });
}

}  // namespace tarvex
