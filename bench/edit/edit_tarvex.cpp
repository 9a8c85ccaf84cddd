// The editing benchmark for the editor control (laid out with the Qt canvas,
// no window): 1,000 characters typed one by one in the middle of the text,
// undoing them, and FindText for a word that is not there.
//   tarvex-bench-edit FILE SIZE_MB KIND

#include <QGuiApplication>
#include <algorithm>
#include <vector>

#include "bench/common/bench_util.h"
#include "editor/dudi_riri.h"
#include "platform/qt_canvas.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

int Run(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-edit FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const Reporter out(argv[2], "tarvex", kind + " " + argv[2] + " MB", "." + kind);
    LimitMemory();
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    WarmPageCache(file);
    TQtCanvas canvas;
    TDudiRiri m;
    m.SetCanvas(&canvas);
    m.SetClientSize(816, 600);
    m.SetUndoMaxSpace(std::int64_t(1) << 40);
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        m.LoadFromStream(in);
    }
    m.FormatPending();

    // Typing in the middle, a character at a time.
    m.SetSelStart(m.CharCount() / 2);
    if (m.CaretNav().ParOffset() > m.CaretNav().Par()->Len()) m.SetSelStart(m.SelStart() - 1);
    std::vector<double> ms;
    const char* letters = "typing text in the middle ";
    for (int i = 0; i < 1000; ++i) {
        Stopwatch t;
        m.SetSelTextBuf(std::string_view(letters + i % 26, 1));
        ms.push_back(t.Ms());
    }
    std::sort(ms.begin(), ms.end());
    out.Figure("keystroke_median", ms[ms.size() / 2], "ms");
    out.Figure("keystroke_worst", ms.back(), "ms");
    Stopwatch u;
    int steps = 0;
    while (m.CanUndo()) {
        m.Undo();
        ++steps;
    }
    out.Figure("undo_all", u.Ms(), "ms");
    out.Figure("undo_steps", steps, "steps");

    // A word that is not in the text, from the start, forward.
    Stopwatch f;
    if (m.FindText("Qzxqv", true, true, false, true)) throw std::runtime_error("the absent word was found");
    const double cs = f.Seconds();
    out.Figure("find_case_time", cs, "s");
    out.Figure("find_case_throughput", mb / cs, "MB/s");
    f.Restart();
    if (m.FindText("Qzxqv", true, true, false, false)) throw std::runtime_error("the absent word was found");
    const double ci = f.Seconds();
    out.Figure("find_nocase_time", ci, "s");
    out.Figure("find_nocase_throughput", mb / ci, "MB/s");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QGuiApplication app(argc, argv);
    return RunGuarded("tarvex-bench-edit", [&] { return Run(argc, argv); });
}
