// The editing benchmark for the editor control (laid out with the Qt canvas,
// no window): 1,000 characters typed one by one in the middle of the text,
// 100 paragraph splits there, undoing them all, FindText for a word that is
// not there, and saving the text; the peak memory against the file.
//   tarvex-bench-edit FILE SIZE_MB KIND
// With --comment, over a generated C-like text highlighted by the editor's
// own lists: the keystroke that opens a block comment near the top, to the
// highlighted and laid-out first screen, then the ripple of the comment.
//   tarvex-bench-edit --comment FILE SIZE_MB

#include <QGuiApplication>
#include <algorithm>
#include <vector>

#include <cstdio>

#include "bench/common/bench_util.h"
#include "bench/common/clike_keys.h"
#include "editor/dudi_riri.h"
#include "platform/qt_canvas.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

int RunComment(const std::string& File, const char* SizeMb);

int Run(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--comment") return RunComment(argv[2], argv[3]);
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-edit [--comment] FILE SIZE_MB [KIND]\n");
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
    // Enter there: a paragraph split shifts every paragraph behind it.
    ms.clear();
    for (int i = 0; i < 100; ++i) {
        Stopwatch t;
        m.SetSelTextBuf("\r\n");
        ms.push_back(t.Ms());
    }
    std::sort(ms.begin(), ms.end());
    out.Figure("split_median", ms[ms.size() / 2], "ms");
    out.Figure("split_worst", ms.back(), "ms");
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

    // Saving the whole text beside the file, then removing the copy.
    const std::string saved = file + ".saved";
    Stopwatch sv;
    {
        TFileStream o(saved, TFileStream::fmCreate);
        m.SaveToStream(o);
    }
    const double st = sv.Seconds();
    std::remove(saved.c_str());
    out.Figure("save_time", st, "s");
    out.Figure("save_throughput", mb / st, "MB/s");
    out.Figure("peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
    out.Figure("peak_rss_ratio", static_cast<double>(PeakRssBytes()) / kMB / mb, "x file");
    return 0;
}

// Paragraphs the first screen shows, laid out and highlighted as a paint does.
void ShowFirstScreen(TDudiRiri& M) {
    for (std::int32_t p = 0; p < std::min(M.Pars.Count(), 40); ++p) M.FormatThrough(p);
}

int RunComment(const std::string& File, const char* SizeMb) {
    const Reporter out(SizeMb, "tarvex", std::string("c-like ") + SizeMb + " MB", ".clike");
    LimitMemory();
    WarmPageCache(File);
    TQtCanvas canvas;
    TDudiRiri m;
    m.SetCanvas(&canvas);
    m.SetClientSize(816, 600);
    SetUpCLikeKeys(m);
    {
        TFileStream in(File, TFileStream::fmOpenRead);
        m.LoadFromStream(in);
    }
    // Laid out and highlighted throughout before the edit, as the background leaves it.
    Stopwatch t;
    m.FormatPending();
    out.Figure("layout_and_keys", t.Seconds(), "s");
    ShowFirstScreen(m);
    // At the first line of code (the text opens with a comment, where "/*"
    // would change nothing): from there the new comment runs to the next "*/".
    std::int32_t code = 0;
    while (code + 1 < m.Pars.Count() && (m.Pars.At(code).View().find("/*") != std::string_view::npos ||
                                        m.Pars.At(code).View().find("*/") != std::string_view::npos))
        ++code;
    m.SetSelStart(m.Pars.StartPos(code));
    const TDynInfo before = m.Pars.StartAttr(m.Pars.At(code + 1));
    t.Restart();
    m.SetSelTextBuf("/*");
    ShowFirstScreen(m);
    out.Figure("comment_keystroke", t.Ms(), "ms");
    if (SameState(before, m.Pars.StartAttr(m.Pars.At(code + 1))))
        std::fprintf(stderr, "tarvex-bench-edit: the line after the new \"/*\" is not in a comment\n");
    // The ripple: background slices until the comment's state is settled.
    double worst = 0, total = 0;
    int slices = 0;
    while (m.Pars.FormatLast >= 0 && m.Pars.FormatNext <= m.Pars.FormatLast && slices < 100000) {
        t.Restart();
        m.FormatSlice();
        const double ms = t.Ms();
        worst = std::max(worst, ms);
        total += ms;
        ++slices;
    }
    out.Figure("comment_ripple_slices", slices, "slices");
    out.Figure("comment_ripple_worst_slice", worst, "ms");
    out.Figure("comment_ripple_total", total, "ms");
    // Then the end of the text is shown: its highlighting is asked for.
    t.Restart();
    m.FormatThrough(m.Pars.Count() - 1);
    out.Figure("comment_then_end", t.Ms(), "ms");
    t.Restart();
    m.Undo();
    ShowFirstScreen(m);
    out.Figure("comment_undo", t.Ms(), "ms");
    out.Figure("peak_rss_ratio", static_cast<double>(PeakRssBytes()) / static_cast<double>(FileSizeBytes(File)), "x file");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QGuiApplication app(argc, argv);
    return RunGuarded("tarvex-bench-edit", [&] { return Run(argc, argv); });
}
