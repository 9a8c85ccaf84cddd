// The layout benchmark's baseline: Scintilla wrapping the whole text by words
// in an 800-pixel window. Scintilla wraps in idle time; the figure is the time
// from switching wrapping on until the last document line's display line stops
// moving.
//   tarvex-bench-layout-scintilla FILE SIZE_MB KIND

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QFont>
#include <fstream>
#include <vector>

#include "bench/common/bench_util.h"
#include "bench/common/scintilla_fill.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

int Run(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-layout-scintilla FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const Reporter out(argv[2], "scintilla", kind + " " + argv[2] + " MB", "." + kind);
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    QsciScintilla sci;
    sci.setFont(QFont("Arial", 10));
    sci.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, 32UL, "Arial");
    sci.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZE, 32UL, 10L);
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
    sci.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, 1UL, 0L);
    sci.resize(800 + 30, 600);
    sci.show();
    FillScintilla(sci, file);
    const long lines = sci.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    auto lastDisplay = [&] { return sci.SendScintilla(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(lines - 1)); };
    Stopwatch t;
    sci.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, static_cast<unsigned long>(QsciScintillaBase::SC_WRAP_WORD));
    long last = -1;
    double lastChange = 0;
    Stopwatch quiet;
    // Idle wrapping runs from the event loop; it is done when nothing moves for a while.
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const long v = lastDisplay();
        if (v != last) {
            last = v;
            lastChange = t.Seconds();
            quiet.Restart();
        } else if (quiet.Seconds() > 2.0) {
            break;
        }
        if (t.Seconds() > 1200) throw std::runtime_error("wrapping did not finish in 20 minutes");
    }
    out.Figure("layout_pixel_time", lastChange, "s");
    out.Figure("layout_pixel_throughput", mb / lastChange, "MB/s");
    out.Figure("layout_pixel_lines", static_cast<double>(last + sci.SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, static_cast<unsigned long>(lines - 1))), "lines");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return RunGuarded("tarvex-bench-layout-scintilla", [&] { return Run(argc, argv); });
}
