// The load benchmark for Tarvex's paragraph store, one file per process so that
// the peak memory belongs to that file alone.
//   tarvex-bench-load FILE SIZE_MB KIND
// Loads FILE from a TFileStream, saves it next to itself (deleting the copy),
// inserts one character and splits one paragraph in the middle of the text,
// then loads the file again into the memory the first load left.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "bench/common/bench_util.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "textstore/paragraphs_list.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// The middle of the text, moved off the LF half of a break.
TPos Middle(const TParagraphsList& L) {
    const TPos half = L.TotalLen / 2;
    const std::int32_t i = L.ParagraphAt(half);
    return std::min<TPos>(half, L.StartPos(i) + L.At(i).Len());
}

// Replaces nothing at the middle by Text; returns the milliseconds taken,
// finding the position included.
double EditAtMiddle(TDudiRiriBase& Memo, std::string_view Text) {
    TRiriNavigator from(&Memo), to(&Memo);
    const TPos before = Memo.Pars.TotalLen;
    const std::int32_t pars = Memo.Pars.Count();
    Stopwatch t;
    const TPos pos = Middle(Memo.Pars);
    from.SetPos(pos);
    to.SetPos(pos);
    Memo.ReplaceText(Text, from, to);
    const double ms = t.Ms();
    // Every break counts 2 in the position model, as CR LF.
    if (Memo.Pars.TotalLen != before + static_cast<TPos>(Text.size()))
        throw std::runtime_error("the edit changed the length by " + std::to_string(Memo.Pars.TotalLen - before));
    const std::int32_t newPars = Text.find('\r') != std::string_view::npos ? 1 : 0;
    if (Memo.Pars.Count() != pars + newPars) throw std::runtime_error("the split made no paragraph");
    return ms;
}

const char* BreakName(TRiriLineBreak B) {
    switch (B) {
        case pbCRLF: return "CR LF";
        case pbLFCR: return "LF CR";
        case pbCR: return "CR";
        case pbLF: return "LF";
    }
    return "?";
}

int Run(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-load FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string file = argv[1], kind = argv[3];
    const Reporter out(argv[2], "tarvex", kind + " " + argv[2] + " MB", "." + kind);
    LimitMemory();
    const std::int64_t size = FileSizeBytes(file);
    if (size < 0) throw std::runtime_error("cannot read " + file);
    const double mb = static_cast<double>(size) / kMB;
    WarmPageCache(file);

    TDudiRiriBase memo;
    // Navigators an editor keeps (caret, selection anchor, top of the window);
    // every edit shifts them.
    TRiriNavigator caret(&memo), anchor(&memo), top(&memo);

    TRiriLineBreak found = pbCRLF;
    Stopwatch t;
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        memo.Pars.LoadFromStream(in, 0, 300, nullptr, found, false);
    }
    const double load = t.Seconds();
    memo.InvalidateNavigators();
    const double peak = static_cast<double>(PeakRssBytes()) / kMB;
    out.Note(std::to_string(memo.Pars.Count()) + " paragraphs, break " + BreakName(found));
    out.Figure("load_time", load, "s");
    out.Figure("load_throughput", mb / load, "MB/s");
    out.Figure("peak_rss", peak, "MB");
    out.Figure("rss_ratio", peak / mb, "x");

    const std::string saved = file + ".tarvex-save.tmp";
    t.Restart();
    {
        TFileStream o(saved, TFileStream::fmCreate);
        memo.Pars.SaveToStream(o, false, 300, nullptr, found, false);
    }
    const double save = t.Seconds();
    const std::int64_t savedSize = FileSizeBytes(saved);
    ::unlink(saved.c_str());
    if (savedSize != size)
        throw std::runtime_error("the saved copy has " + std::to_string(savedSize) + " bytes, the file " +
                                 std::to_string(size));
    out.Figure("save_time", save, "s");
    out.Figure("save_throughput", mb / save, "MB/s");

    caret.SetPos(memo.Pars.TotalLen / 3);
    anchor.SetPos(memo.Pars.TotalLen / 3 + 10);
    top.SetPos(memo.Pars.TotalLen * 2 / 3);
    out.Figure("insert_middle", EditAtMiddle(memo, "x"), "ms");
    out.Figure("split_middle", EditAtMiddle(memo, "\r\n"), "ms");

    KeepFreedMemory();
    memo.Pars.Clear();
    t.Restart();
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        memo.Pars.LoadFromStream(in, 0, 300, nullptr, found, false);
    }
    const double reload = t.Seconds();
    memo.InvalidateNavigators();
    out.Figure("reload_time", reload, "s");
    out.Figure("reload_throughput", mb / reload, "MB/s");

    std::fflush(stdout);
    std::fflush(stderr);
    // Freeing gigabytes of paragraphs measures nothing.
    ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    return RunGuarded("tarvex-bench-load", [&] { return Run(argc, argv); });
}
