// QScintilla's lexers over the same generated sources, for the ratios:
//   tarvex-bench-highlighters-qsci pas|htm|cpp|sql FILE SIZE_MB
// The whole text is styled at once (SCI_COLOURISE over all of it).

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <memory>

#include "bench/common/bench_util.h"
#include "bench/common/scintilla_fill.h"

using namespace tarvex::bench;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-highlighters-qsci pas|htm|cpp|sql FILE SIZE_MB\n");
        return 2;
    }
    QApplication app(argc, argv);
    return RunGuarded("tarvex-bench-highlighters-qsci", [&] {
        const std::string kind = argv[1], file = argv[2];
        const Reporter out(argv[3], "qscintilla", kind + " " + argv[3] + " MB", "." + kind);
        const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
        LimitMemory();
        WarmPageCache(file);
        QsciScintilla sci;
        QsciLexer* lexer = nullptr;
        if (kind == "pas") lexer = new QsciLexerPascal(&sci);
        else if (kind == "htm") lexer = new QsciLexerHTML(&sci);
        else if (kind == "cpp") lexer = new QsciLexerCPP(&sci);
        else if (kind == "sql") lexer = new QsciLexerSQL(&sci);
        else throw std::runtime_error("unknown lexer " + kind);
        sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
        sci.setLexer(lexer);
        FillScintilla(sci, file);
        Stopwatch t;
        sci.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
        const double pass = t.Seconds();
        out.Figure("full_pass_time", pass, "s");
        out.Figure("full_pass_throughput", mb / pass, "MB/s");
        out.Figure("peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
        return 0;
    });
}
