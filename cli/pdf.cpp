// tarvex-cli pdf: prints a file to PDF with the main window's printer
// settings. Printing needs Qt's fonts and PDF writer, not a display: a
// GUI application object on the offscreen platform lives for this command only.

#include <QGuiApplication>
#include <iostream>

#include "cli/commands.h"
#include "cli/output_input.h"
#include "output/print_settings.h"
#include "output/qt/qt_printer.h"
#include "platform/codepage.h"

namespace tarvex::cli {

namespace {

// Qt's notes about the environment (no runtime folder, font fallbacks) are
// no concern of a batch command; its errors are.
void QuietMessages(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
    if (Type == QtCriticalMsg || Type == QtFatalMsg) std::cerr << "tarvex-cli: " << Message.toStdString() << "\n";
}

// Arguments are the locale's (UTF-8); texts inside are Windows-1251.
std::string ArgText(const std::string& S) { return Utf8ToCp1251(S); }

}  // namespace

int Pdf(const Args& A) {
    std::string file, out, highlighter, header, footer;
    bool haveHeader = false, haveFooter = false, lineNumbers = false, parNumbers = false, plain = false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        auto value = [&](const char* What) -> const std::string& {
            if (++i >= A.size()) throw UsageError{a + " needs " + What};
            return A[i];
        };
        if (a == "--highlighter") {
            highlighter = value("a key file");
        } else if (a == "--line-numbers") {
            lineNumbers = true;
        } else if (a == "--paragraph-numbers") {
            parNumbers = true;
        } else if (a == "--plain") {
            plain = true;
        } else if (a == "--header") {
            header = value("a text");
            haveHeader = true;
        } else if (a == "--footer") {
            footer = value("a text");
            haveFooter = true;
        } else if (a == "-o") {
            out = value("a file");
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError{"pdf takes one file"};
        }
    }
    if (file.empty()) throw UsageError{"pdf needs a file"};
    if (out.empty()) throw UsageError{"pdf needs -o OUT.pdf"};
    if (lineNumbers && parNumbers) throw UsageError{"--line-numbers and --paragraph-numbers exclude each other"};

    const std::unique_ptr<TDudiRiri> memo = OpenForOutput(file, highlighter);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    int argc = 1;
    char name[] = "tarvex-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    TQtDudiRiriPrinter printer;
    ApplyMainPrintSettings(printer);
    // As the main window with PrintHeader on: the file's name heads every page.
    printer.Header = haveHeader ? ArgText(header) : FileNameHeader(file);
    if (haveFooter) printer.Footer = ArgText(footer);
    printer.LineNumbers = lineNumbers;
    printer.ParagraphNumbers = parNumbers;
    printer.SetPlainText(plain);
    printer.PreviewTitle = FileNameHeader(file);
    printer.SetMemoToPrint(memo.get());
    printer.PrintToPdf(out);
    std::cout << "pages: " << printer.PageCount() << "\n";
    return 0;
}

}  // namespace tarvex::cli
