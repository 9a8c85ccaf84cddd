// The layout benchmark for Tarvex, one file per process:
//   tarvex-bench-layout FILE SIZE_MB KIND
// Lays the whole text out with word wrap at an 800-pixel window in the
// default font (Qt canvas), then in character mode (80 columns), then times
// the re-layout after one-character edits inside wrapped paragraphs.

#include <QGuiApplication>
#include <algorithm>
#include <random>
#include <vector>

#include "bench/common/bench_util.h"
#include "textstore/layout.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "platform/qt_canvas.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

int Run(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-layout FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const Reporter out(argv[2], "tarvex", kind + " " + argv[2] + " MB", "." + kind);
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    WarmPageCache(file);

    TQtCanvas canvas;
    TDudiRiriBase memo;
    TFontSpec font;  // the default editor font
    memo.SetFont(font);
    memo.SetAltFont(font);
    memo.SetCanvas(&canvas);
    memo.SetClientSize(800 + memo.LeftMargin() + memo.RightMargin(), 600);
    TFileStream in(file, TFileStream::fmOpenRead);
    TRiriLineBreak found = pbCRLF;
    memo.Pars.LoadFromStream(in, 0, 300, nullptr, found, false);

    Stopwatch t;
    FormatAll(memo);
    double s = t.Seconds();
    out.Figure("layout_pixel_time", s, "s");
    out.Figure("layout_pixel_throughput", mb / s, "MB/s");
    out.Figure("layout_pixel_lines", memo.Pars.LineCount, "lines");

    memo.SetColumnWrap(80);
    memo.Pars.InvalidateLayout();
    t.Restart();
    FormatAll(memo);
    s = t.Seconds();
    out.Figure("layout_chars_time", s, "s");
    out.Figure("layout_chars_throughput", mb / s, "MB/s");

    // One-character edits in the middle of wrapped paragraphs, each laid out again.
    memo.SetColumnWrap(0);
    memo.Pars.InvalidateLayout();
    FormatAll(memo);
    std::mt19937 rng(7);
    std::vector<std::int32_t> wrapped;
    const std::int32_t mid = memo.Pars.Count() / 2;
    for (std::int32_t p = mid; p < memo.Pars.Count() && wrapped.size() < 400; ++p)
        if (memo.Pars.At(p).LineCount() >= 3) wrapped.push_back(p);
    if (wrapped.empty()) throw std::runtime_error("no wrapped paragraph in the middle of the text");
    TRiriNavigator a(&memo), b(&memo);
    // The edit itself (which moves the start of every later paragraph) is
    // timed apart from the layout that follows it.
    std::vector<double> us, editUs;
    for (std::int32_t p : wrapped) {
        const ParInfo& par = memo.Pars.At(p);
        const TPos at = memo.Pars.StartPos(p) + static_cast<TPos>(rng() % std::max(1, par.Len()));
        t.Restart();
        a.SetPos(at);
        b.SetPos(at);
        memo.ReplaceText("x", a, b);
        editUs.push_back(t.Seconds() * 1e6);
        t.Restart();
        FormatDirtyRange(memo);
        us.push_back(t.Seconds() * 1e6);
    }
    std::sort(us.begin(), us.end());
    std::sort(editUs.begin(), editUs.end());
    out.Figure("relayout_edit_median", us[us.size() / 2], "us");
    out.Figure("relayout_edit_worst", us.back(), "us");
    out.Figure("edit_before_relayout_median", editUs[editUs.size() / 2], "us");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QGuiApplication app(argc, argv);
    return RunGuarded("tarvex-bench-layout", [&] { return Run(argc, argv); });
}
