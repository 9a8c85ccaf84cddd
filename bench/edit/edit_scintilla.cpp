// The editing benchmark's baseline: Scintilla typing 1,000 characters one by
// one in the middle of the text, undoing them, and SCI_SEARCHINTARGET for a
// word that is not there.
//   tarvex-bench-edit-scintilla FILE SIZE_MB KIND

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <algorithm>
#include <fstream>
#include <vector>

#include "bench/common/bench_util.h"
#include "bench/common/scintilla_fill.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

int Run(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-edit-scintilla FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const Reporter out(argv[2], "scintilla", kind + " " + argv[2] + " MB", "." + kind);
    LimitMemory();
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    QsciScintilla sci;
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
    sci.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    FillScintilla(sci, file);
    const long length = sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    long pos = length / 2;
    std::vector<double> ms;
    const char* letters = "typing text in the middle ";
    for (int i = 0; i < 1000; ++i) {
        Stopwatch t;
        const char c[2] = {letters[i % 26], 0};
        sci.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(pos), c);
        ++pos;
        ms.push_back(t.Ms());
    }
    std::sort(ms.begin(), ms.end());
    out.Figure("keystroke_median", ms[ms.size() / 2], "ms");
    out.Figure("keystroke_worst", ms.back(), "ms");
    Stopwatch u;
    while (sci.SendScintilla(QsciScintillaBase::SCI_CANUNDO)) sci.SendScintilla(QsciScintillaBase::SCI_UNDO);
    out.Figure("undo_all", u.Ms(), "ms");

    auto search = [&](unsigned long flags) {
        sci.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, flags);
        sci.SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, 0UL);
        sci.SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, static_cast<unsigned long>(length));
        Stopwatch t;
        const long r = sci.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, 5UL, "Qzxqv");
        if (r >= 0) throw std::runtime_error("the absent word was found");
        return t.Seconds();
    };
    const double cs = search(QsciScintillaBase::SCFIND_MATCHCASE);
    out.Figure("find_case_time", cs, "s");
    out.Figure("find_case_throughput", mb / cs, "MB/s");
    const double ci = search(0);
    out.Figure("find_nocase_time", ci, "s");
    out.Figure("find_nocase_throughput", mb / ci, "MB/s");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return RunGuarded("tarvex-bench-edit-scintilla", [&] { return Run(argc, argv); });
}
