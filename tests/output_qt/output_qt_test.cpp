// Printing on Qt: PDF files read back by poppler's tools (skipped where they
// are not installed), the preview window driven by mouse clicks, and the
// clipboard's formatted text.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "output/print_settings.h"
#include "output/qt/print_preview.h"
#include "output/qt/qt_printer.h"
#include "output/qt/rtf_clipboard.h"
#include "output/riri_to_rtf.h"
#include "tools/rtf_to_text.h"

namespace tarvex {
namespace {

namespace fs = std::filesystem;

bool HaveTool(const char* Name) {
    const std::string cmd = std::string("command -v ") + Name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::string Shell(const std::string& Command) {
    std::string out;
    if (FILE* p = ::popen(Command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

std::string Lines(int N, const char* Word) {
    std::string s;
    for (int i = 0; i < N; ++i) s += (i ? "\r\n" : "") + std::string(Word) + " " + std::to_string(i + 1);
    return s;
}

class QtPrinting : public ::testing::Test {
protected:
    fs::path Dir;
    std::unique_ptr<TDudiRiri> Memo = std::make_unique<TDudiRiri>();
    std::unique_ptr<TQtDudiRiriPrinter> P;

    void SetUp() override {
        Dir = fs::temp_directory_path() / ("tarvex-print-" + std::to_string(::getpid()));
        fs::create_directories(Dir);
        P = std::make_unique<TQtDudiRiriPrinter>();
        P->Printer().setPageSize(QPageSize(QPageSize::A4));
        P->CheckDevice();
        ApplyMainPrintSettings(*P);
        P->SetMemoToPrint(Memo.get());
    }
    void TearDown() override { fs::remove_all(Dir); }
    std::string Pdf(const char* Name) { return (Dir / Name).string(); }
};

TEST_F(QtPrinting, PdfHoldsRealTextWithFootersAndThePageCount) {
    if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) not installed";
    // "Строка" (line) in Windows-1251.
    Memo->SetTextBuf(Lines(100, "\xd1\xf2\xf0\xee\xea\xe0"));
    const std::int32_t pages = P->PageCount();
    ASSERT_GE(pages, 3);
    const std::string file = Pdf("out.pdf");
    P->PrintToPdf(file);
    EXPECT_NE(Shell("pdfinfo '" + file + "'").find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos)
        << "poppler counts the pages the printer computed";
    const std::string text = Shell("pdftotext -raw '" + file + "' -");
    EXPECT_NE(text.find("Строка 1\n"), std::string::npos) << text.substr(0, 300);
    EXPECT_NE(text.find("Строка 100\n"), std::string::npos);
    for (int p = 1; p <= pages; ++p) EXPECT_NE(text.find("- " + std::to_string(p) + " -"), std::string::npos) << p;
    EXPECT_EQ(text.find("- " + std::to_string(pages + 1) + " -"), std::string::npos);
}

TEST_F(QtPrinting, PdfOfASelectionAndTheLinesAsWrapped) {
    if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext not installed";
    Memo->SetTextBuf("keep out\r\nprinted part\r\nout too");
    Memo->SetSelStart(10);
    Memo->SetSelLength(12);
    P->Printer().setOutputFormat(QPrinter::PdfFormat);
    const std::string file = Pdf("sel.pdf");
    P->Printer().setOutputFileName(QString::fromStdString(file));
    P->PrintSelection();
    const std::string text = Shell("pdftotext -raw '" + file + "' -");
    EXPECT_NE(text.find("printed part"), std::string::npos) << text;
    EXPECT_EQ(text.find("keep"), std::string::npos);
    EXPECT_EQ(text.find("too"), std::string::npos);
}

TEST_F(QtPrinting, PrintDialogChoiceOfPages) {
    if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext not installed";
    P->SetLineSpacing(1.0f);  // ten lines a page
    Memo->SetTextBuf(Lines(35, "line"));
    ASSERT_EQ(P->PageCount(), 4);
    const std::string file = Pdf("range.pdf");
    P->Printer().setOutputFormat(QPrinter::PdfFormat);
    P->Printer().setOutputFileName(QString::fromStdString(file));
    QPrintDialog d(&P->Printer());
    d.setMinMax(1, 4);
    d.setPrintRange(QAbstractPrintDialog::PageRange);
    d.setFromTo(2, 3);
    P->PrintWithDialog(d);
    const std::string text = Shell("pdftotext -raw '" + file + "' -");
    EXPECT_EQ(text.find("- 1 -"), std::string::npos) << text;
    EXPECT_NE(text.find("- 2 -"), std::string::npos);
    EXPECT_NE(text.find("- 3 -"), std::string::npos);
    EXPECT_EQ(text.find("- 4 -"), std::string::npos);
    EXPECT_NE(text.find("line 11\n"), std::string::npos) << "page 2 begins with line 11";
}

TEST_F(QtPrinting, FailedPdfLeavesNoFileAndKeepsTheOldOne) {
    Memo->SetTextBuf("text");
    EXPECT_THROW(P->PrintToPdf((Dir / "missing" / "x.pdf").string()), std::exception);
    const std::string file = Pdf("kept.pdf");
    {
        std::FILE* f = std::fopen(file.c_str(), "w");
        std::fputs("old", f);
        std::fclose(f);
    }
    P->PrintToPdf(file);
    EXPECT_GT(fs::file_size(file), 100u) << "replaced by the PDF";
    for (const auto& e : fs::directory_iterator(Dir)) EXPECT_EQ(e.path().filename().string().rfind(".kept", 0), std::string::npos);
}

TEST_F(QtPrinting, PageMetricsComeFromThePrinter) {
    Memo->SetTextBuf("x");
    ASSERT_EQ(P->PageCount(), 1);
    const TPrinterMetrics& m = P->Metrics();
    EXPECT_EQ(m.PpiX, P->Printer().logicalDpiX());
    EXPECT_NEAR(m.PageWidth / static_cast<double>(m.PpiX), 8.27, 0.02) << "A4 is 210 mm wide";
    EXPECT_NEAR(m.PageHeight / static_cast<double>(m.PpiY), 11.69, 0.02);
    P->Printer().setPageOrientation(QPageLayout::Landscape);
    P->CheckDevice();
    EXPECT_EQ(P->PageCount(), 1);
    EXPECT_NEAR(P->Metrics().PageWidth / static_cast<double>(P->Metrics().PpiX), 11.69, 0.02) << "laid out again";
}

class Preview : public QtPrinting {
protected:
    std::unique_ptr<TFrmDRPrintPreview> W;
    void Open() {
        W = std::make_unique<TFrmDRPrintPreview>(*P);
        W->show();
        QApplication::processEvents();
    }
    void Click(QAbstractButton* B) { QTest::mouseClick(B, Qt::LeftButton); }
};

TEST_F(Preview, OnePageDocument) {
    Memo->SetTextBuf("a single line");
    Open();
    EXPECT_EQ(W->lbPage->text(), "Page 1/1");
    EXPECT_FALSE(W->BtnPrevious->isEnabled());
    EXPECT_FALSE(W->BtnNextPage->isEnabled());
    EXPECT_EQ(W->cbZoom->currentText(), "Page width");
    EXPECT_EQ(W->BtnPrint->toolTip(), "Print Document(s)");
}

TEST_F(Preview, PagingAndTheFooterTotal) {
    P->SetLineSpacing(1.0f);  // one line an inch: 10 lines a page
    Memo->SetTextBuf(Lines(45, "line"));
    ASSERT_EQ(P->PageCount(), 5);
    Open();
    EXPECT_EQ(P->Footer, "- {p} -    (5)");
    EXPECT_EQ(W->lbPage->text(), "Page 1/5");
    Click(W->BtnNextPage);
    Click(W->BtnNextPage);
    EXPECT_EQ(W->CurrentPage(), 2);
    EXPECT_EQ(W->lbPage->text(), "Page 3/5");
    EXPECT_TRUE(W->BtnPrevious->isEnabled());
    for (int i = 0; i < 5; ++i) Click(W->BtnNextPage);
    EXPECT_EQ(W->CurrentPage(), 4);
    EXPECT_FALSE(W->BtnNextPage->isEnabled());
    Click(W->BtnPrevious);
    EXPECT_EQ(W->lbPage->text(), "Page 4/5");
    Click(W->btnNumbers);
    EXPECT_TRUE(P->LineNumbers);
    QTest::keyClick(W.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(W->lbPage->text(), "Page 5/5");
    QTest::keyClick(W.get(), Qt::Key_PageUp);
    EXPECT_EQ(W->CurrentPage(), 3);
    QTest::keyClick(W.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(W->CurrentPage(), 0);
    EXPECT_FALSE(W->BtnPrevious->isEnabled());
    QTest::keyClick(W.get(), Qt::Key_PageDown);
    EXPECT_EQ(W->CurrentPage(), 1);
    W.reset();
    EXPECT_EQ(P->Footer, "- {p} -") << "the total goes with the preview";
}

TEST_F(Preview, WholePageFitsTheScrollBox) {
    Memo->SetTextBuf(Lines(10, "line"));
    Open();
    // Size the window so that the scroll box's client area is 600 pixels high.
    const int extra = W->height() - W->sbPreview->viewport()->height();
    W->resize(700, 600 + extra);
    QApplication::processEvents();
    ASSERT_EQ(W->sbPreview->viewport()->height(), 600);
    W->cbZoom->setCurrentIndex(TFrmDRPrintPreview::zWholePage);
    QApplication::processEvents();
    EXPECT_LE(W->PBPreview->height(), 580);
    EXPECT_GE(W->PBPreview->height(), 570) << "as large as fits";
    W->cbZoom->setCurrentIndex(3);  // 100%
    EXPECT_NEAR(W->Scale(), W->PBPreview->logicalDpiX() / static_cast<double>(P->Metrics().PpiX), 1e-9);
}

TEST_F(Preview, DraggedMarginStopsThreePixelsBeforeTheOpposite) {
    Memo->SetTextBuf(Lines(30, "line"));
    Open();
    ASSERT_EQ(P->PageCount(), 1);
    Click(W->BtnMargins);
    const int left = W->MarginLinePos(TFrmDRPrintPreview::mlLeft);
    const int right = W->MarginLinePos(TFrmDRPrintPreview::mlRight);
    ASSERT_GT(right - left, 100);
    QTest::mouseMove(W->PBPreview, QPoint(left + 1, 200));
    EXPECT_EQ(W->PBPreview->cursor().shape(), Qt::SizeHorCursor) << "the mouse is on the line";
    QTest::mousePress(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(left + 1, 200));
    EXPECT_EQ(W->Dragging(), TFrmDRPrintPreview::mlLeft);
    QTest::mouseMove(W->PBPreview, QPoint(right + 40, 200));
    EXPECT_EQ(W->MarginLinePos(TFrmDRPrintPreview::mlLeft), right - 3);
    QTest::mouseRelease(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(right + 40, 200));
    EXPECT_EQ(W->Dragging(), TFrmDRPrintPreview::mlNone);
    const double inches = (right - 3) / W->Scale() / P->Metrics().PpiX;
    EXPECT_NEAR(P->MarginLeft(), inches, 1e-3) << "the new distance from the page edge in inches";
    EXPECT_GT(P->PageCount(), 1) << "the narrow column lays the text out again";
    EXPECT_EQ(W->lbPage->text(), QString("Page 1/%1").arg(P->PageCount()));

    // The top line cannot pass the bottom one either.
    const int bottom = W->MarginLinePos(TFrmDRPrintPreview::mlBottom);
    const int top = W->MarginLinePos(TFrmDRPrintPreview::mlTop);
    QTest::mousePress(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(W->PBPreview->width() / 2 + 7, top));
    QTest::mouseMove(W->PBPreview, QPoint(W->PBPreview->width() / 2 + 7, bottom + 100));
    EXPECT_EQ(W->MarginLinePos(TFrmDRPrintPreview::mlTop), bottom - 3);
    QTest::mouseRelease(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(W->PBPreview->width() / 2 + 7, bottom + 100));
}

TEST_F(Preview, MarginsAreOnlyDraggedWhenShown) {
    Memo->SetTextBuf("x");
    Open();
    const int left = W->MarginLinePos(TFrmDRPrintPreview::mlLeft);
    QTest::mousePress(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(left, 200));
    EXPECT_EQ(W->Dragging(), TFrmDRPrintPreview::mlNone);
    QTest::mouseRelease(W->PBPreview, Qt::LeftButton, Qt::NoModifier, QPoint(left, 200));
}

TEST_F(Preview, RussianCaptions) {
    Memo->RussianInterface = true;
    Memo->SetTextBuf("x");
    Open();
    EXPECT_EQ(W->BtnPrint->text(), QString::fromUtf8("Печать"));
    EXPECT_EQ(W->BtnClose->text(), QString::fromUtf8("Закрыть"));
    EXPECT_EQ(W->cbZoom->itemText(TFrmDRPrintPreview::zPageWidth), QString::fromUtf8("По ширине"));
    EXPECT_EQ(W->cbZoom->itemText(TFrmDRPrintPreview::zWholePage), QString::fromUtf8("Полностью"));
    EXPECT_EQ(W->lbPage->text(), QString::fromUtf8("Стр. 1/1"));
}

TEST_F(Preview, PaintsThePageText) {
    Memo->SetTextBuf("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX");
    Open();
    W->cbZoom->setCurrentIndex(3);
    QApplication::processEvents();
    const QImage img = W->PBPreview->grab().toImage();
    // Text starts at the left margin, one inch less a quarter from the page's corner.
    const int x0 = static_cast<int>(P->MarginLeft() * P->Metrics().PpiX * W->Scale());
    const int y0 = static_cast<int>(P->MarginTop() * P->Metrics().PpiY * W->Scale());
    int dark = 0;
    for (int y = std::max(0, y0 - 20); y < y0 + 5; ++y)
        for (int x = x0; x < x0 + 100; ++x)
            if (qGray(img.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 50) << "the first line is drawn on the page";
    int above = 0;
    for (int y = 0; y < y0 / 2; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) ++above;
    EXPECT_EQ(above, 0) << "nothing above the header";
}

TEST_F(Preview, PreviewRunsModallyAndTellsItsOwner) {
    Memo->SetTextBuf("x");
    P->PreviewTitle = "Preview of x";
    QString title;
    P->OnPreview = [&](TFrmDRPrintPreview& Window) {
        title = Window.windowTitle();
        QTimer::singleShot(0, &Window, [&Window] { Window.BtnClose->click(); });
    };
    P->Preview();
    EXPECT_EQ(title, "Preview of x");
}

TEST(RtfClipboard, PutsRtfBesideThePlainText) {
    TDudiRiri memo;
    memo.SetTextBuf("one {two} \xf2\xf0\xe8");  // "три"
    memo.SelectAll();
    TRiriToRTF rtf;
    TQtFormattedClipboard clip;
    rtf.Clipboard = &clip;
    rtf.SetDudiRiri(&memo);
    rtf.CopyToClipboard();
    const QMimeData* m = QApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    ASSERT_TRUE(m->hasFormat("text/rtf"));
    EXPECT_EQ(RtfToText(m->data("text/rtf").toStdString()), "one {two} \xf2\xf0\xe8");
    EXPECT_EQ(m->text(), QString::fromUtf8("one {two} три"));
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
