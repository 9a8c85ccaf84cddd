// The find benchmark for the editor in its window (not shown), on a text at
// rest (laid out in full, as after the background layout): counting a word
// three ways, Find all of a rarer word through the Find/Replace dialog to its
// filled list, F3 with a search text holding a line break from the start to a
// match near the end, Replace all of the frequent word by a longer text and
// undoing it.
//   tarvex-bench-find FILE SIZE_MB KIND COUNT_WORD LIST_WORD REPLACEMENT
// (words as UTF-8).

#include <QApplication>
#include <QCheckBox>
#include <fstream>

#include "bench/common/bench_util.h"
#include "editor/qt/riri_widget.h"
#include "platform/codepage.h"
#include "platform/huge_page_heap.h"
#include "textstore/stream.h"
#include "tools/find_commands.h"
#include "tools/qt/form_fnd.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// Starts a new peak of the resident set (Linux 4.0 and later).
void ResetPeak() {
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}

TSearchState Search(const std::string& Text, bool MatchCase, bool WholeWord, const std::string& With = {}) {
    TSearchState s;
    s.SearchText = Text;
    s.ReplaceText = With;
    s.MatchCase = MatchCase;
    s.WholeWord = WholeWord;
    return s;
}

// A text made of a paragraph's end, the break and the next one's start, from
// about 98% into the text: unique in practice and found only near the end.
std::string BreakSearchText(TDudiRiri& M, TPos& At) {
    for (std::int32_t p = M.ParagraphCount() * 49 / 50; p + 1 < M.ParagraphCount(); ++p) {
        const std::string_view a = M.Pars.At(p).View(), b = M.Pars.At(p + 1).View();
        if (a.size() < 24 || b.size() < 24) continue;
        At = M.Pars.StartPos(p) + static_cast<TPos>(a.size()) - 16;
        return std::string(a.substr(a.size() - 16)) + "\r\n" + std::string(b.substr(0, 16));
    }
    throw std::runtime_error("no two long paragraphs near the end");
}

int Run(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: tarvex-bench-find FILE SIZE_MB KIND COUNT_WORD LIST_WORD REPLACEMENT\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const std::string word = Utf8ToCp1251(argv[4]), listWord = Utf8ToCp1251(argv[5]), longer = Utf8ToCp1251(argv[6]);
    const Reporter out(argv[2], "tarvex", kind + " " + argv[2] + " MB", "." + kind);
    LimitMemory();
    const double bytes = static_cast<double>(FileSizeBytes(file));
    const double gb = bytes / (kMB * 1024);
    WarmPageCache(file);
    TRiriWidget window;
    window.resize(1000, 700);
    TDudiRiri& m = window.Memo();
    // Scrolling to a match is not animated here: the figures are the search's own.
    m.ScrollTime = 0;
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        m.LoadFromStream(in);
    }
    Stopwatch lay;
    m.FormatPending();
    out.Note("laid out in " + std::to_string(lay.Seconds()) + " s");
    const TPos length = m.CharCount();

    // Counting, best of three.
    struct TCount {
        const char* Name;
        bool MatchCase, WholeWord;
    };
    for (const TCount c : {TCount{"count_case", true, false}, TCount{"count_nocase", false, false},
                           TCount{"count_word", false, true}}) {
        const TSearchState s = Search(word, c.MatchCase, c.WholeWord);
        double best = 1e9;
        std::int64_t n = 0;
        for (int i = 0; i < 3; ++i) {
            Stopwatch t;
            n = CountOccurrences(m, s, frGlobal);
            best = std::min(best, t.Seconds());
        }
        out.Figure(std::string(c.Name) + "_time", best, "s");
        out.Figure(std::string(c.Name) + "_throughput", gb / best, "GB/s");
        out.Figure(std::string(c.Name) + "_matches", static_cast<double>(n), "matches");
    }

    // Find all in the dialog: to the list filled with every entry's line and text.
    {
        TSearchState s;
        TFindSettings settings;
        TScriptedPrompts prompts;
        TFindDialogSetup setup;
        setup.InitialText = listWord;
        TFormFnd dialog(window, s, settings, prompts, setup);
        dialog.ChReg->setChecked(true);
        dialog.show();
        QApplication::processEvents();
        Stopwatch t;
        dialog.ButListClick();
        const double sec = t.Seconds();
        if (!dialog.ListShown())
            throw std::runtime_error("Find all: no list (" + (prompts.Messages.empty() ? "" : prompts.Messages.back()) + ")");
        out.Figure("findall_time", sec, "s");
        out.Figure("findall_entries", static_cast<double>(dialog.Lb->count()), "entries");
    }

    // F3 with a line break in the search text, from the start.
    {
        TPos expected = 0;
        TSearchState s = Search(BreakSearchText(m, expected), true, false);
        TScriptedPrompts prompts;
        m.SetSelStart(0);
        const std::int64_t before = RssBytes();
        ResetPeak();
        Stopwatch t;
        const bool found = TFindCommands(m, s, prompts, false).FindNext();
        const double sec = t.Seconds();
        if (!found || m.SelStart() != expected) throw std::runtime_error("F3: the occurrence near the end was not found");
        out.Figure("f3_break_time", sec, "s");
        out.Figure("f3_break_extra_memory", static_cast<double>(PeakRssBytes() - before) / kMB, "MB");
    }

    // Replace all of the frequent word (case-sensitive) by a longer text, to
    // the undoable result, and undoing it.
    {
        const TSearchState s = Search(word, true, false, longer);
        m.SetSelStart(0);
        m.SetUndoMaxSpace(length + 8192);
        ResetPeak();
        Stopwatch t;
        const std::int64_t n = ReplaceAllOccurrences(m, s, frGlobal);
        const double sec = t.Seconds();
        const double peak = static_cast<double>(PeakRssBytes());
        if (!m.CanUndo()) throw std::runtime_error("Replace all left nothing to undo");
        out.Figure("replace_all_time", sec, "s");
        out.Figure("replace_all_count", static_cast<double>(n), "replacements");
        out.Figure("replace_all_peak_rss", peak / kMB, "MB");
        out.Figure("replace_all_rss_ratio", peak / bytes, "x");
        ResetPeak();
        Stopwatch u;
        m.Undo();
        out.Figure("replace_undo_time", u.Seconds(), "s");
        out.Figure("replace_undo_peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
        if (m.CharCount() != length) throw std::runtime_error("undo did not restore the length");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QApplication app(argc, argv);
    return RunGuarded("tarvex-bench-find", [&] { return Run(argc, argv); });
}
