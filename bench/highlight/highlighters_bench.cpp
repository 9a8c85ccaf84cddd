// The language highlighters over generated sources:
//   tarvex-bench-highlighters --generate pas|htm|cpp|sqldump FILE SIZE_MB
//   tarvex-bench-highlighters pas|htm|cpp|sql|log FILE SIZE_MB
// The full pass (start-stop keys, then keywords) over every paragraph with
// its time and peak memory, what a change point costs with the states kept
// once per text, the first screen, and a keystroke that opens a comment at the
// top of the text: the edit with its own paragraph, then the ripple to its end.
// "log" chains the URL and the number highlighters.

#include <cstdio>
#include <memory>
#include <string>

#include "bench/common/bench_util.h"
#include "bench/highlight/source_gen.h"
#include "highlight/factory.h"
#include "highlight/number_highlighter.h"
#include "highlight/url_highlighter.h"
#include "platform/huge_page_heap.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "textstore/stream.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// Addresses first, then numbers where no address is.
class TLogHighlighter : public TRiriHighlighter {
public:
    TURLHighlighter Url;
    TNumberHighlighter Numbers;
    void ScanKeywords(TRiriNavigator& From, TRiriNavigator& To, std::int32_t KeyBase) override {
        Url.ScanKeywords(From, To, KeyBase);
        Numbers.ScanKeywords(From, To, KeyBase + kURLPrefixCount);
    }
};

// The change points and the bytes their store holds.
std::int64_t CountPoints(const TDudiRiriBase& M, std::int64_t& Bytes) {
    std::int64_t n = 0;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) n += M.Pars.DynCount(M.Pars.At(p));
    Bytes = static_cast<std::int64_t>(M.Pars.DynBytes());
    return n;
}

int Run(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--generate") {
        if (!GenerateSource(argv[2], argv[3], static_cast<std::uint64_t>(std::stoll(argv[4])) * static_cast<std::uint64_t>(kMB)))
            throw std::runtime_error(std::string("unknown kind ") + argv[2]);
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-highlighters [--generate KIND] KIND FILE SIZE_MB\n");
        return 2;
    }
    const std::string kind = argv[1], file = argv[2];
    const Reporter out(argv[3], "tarvex", kind + " " + argv[3] + " MB", "." + kind);
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    LimitMemory();
    WarmPageCache(file);
    std::unique_ptr<TRiriHighlighter> h = kind == "log" ? std::make_unique<TLogHighlighter>() : CreateHighlighter(kind);
    if (!h) throw std::runtime_error("unknown highlighter " + kind);

    TDudiRiriBase memo;
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        TRiriLineBreak found = pbCRLF;
        memo.Pars.LoadFromStream(in, 0, 300, nullptr, found, false);
    }
    memo.SetHighlighter(h.get());
    const std::int32_t last = memo.Pars.Count() - 1;
    const std::int64_t rssLoaded = RssBytes();

    // The first screen: what the background formats before anything else.
    Stopwatch t;
    KeywordsOverRange(memo, 0, std::min(last, 99));
    out.Figure("first_screen", t.Ms(), "ms");

    t.Restart();
    KeysThrough(memo, last);
    const double keys = t.Seconds();
    KeywordsOverRange(memo, 0, last);
    const double pass = t.Seconds();
    // The two parts of the pass: regions between start and stop keys, then keywords (and numbers).
    out.Figure("regions_pass_time", keys, "s");
    out.Figure("keywords_pass_time", pass - keys, "s");
    out.Figure("full_pass_time", pass, "s");
    out.Figure("full_pass_throughput", mb / pass, "MB/s");
    std::int64_t cap = 0;
    const std::int64_t points = CountPoints(memo, cap);
    const std::int64_t rssDone = RssBytes();
    out.Figure("change_points", static_cast<double>(points), "points");
    out.Figure("distinct_states", memo.Pars.States.Count(), "states");
    // Per change point: its own 8 bytes with the arrays' spare room, and what
    // the whole highlighting added to the resident memory (the long form of
    // the paragraphs that got change points included).
    out.Figure("point_array_bytes", points ? static_cast<double>(cap) / static_cast<double>(points) : 0, "B/point");
    out.Figure("rss_per_point", points ? static_cast<double>(rssDone - rssLoaded) / static_cast<double>(points) : 0, "B/point");
    out.Figure("state_table", static_cast<double>(memo.Pars.States.Bytes()) / kMB, "MB");
    out.Figure("peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
    out.Figure("peak_rss_ratio", static_cast<double>(PeakRssBytes()) / kMB / mb, "x file");

    // A keystroke that opens a comment near the top: at the first line that
    // holds no comment already (where the opener would change nothing).
    const std::string opener = kind == "pas" ? "{" : kind == "htm" ? "<!--" : kind == "log" ? "x" : "/*";
    const std::string closer = kind == "pas" ? "}" : kind == "htm" ? "-->" : kind == "log" ? "x" : "*/";
    std::int32_t at = 0;
    while (at + 1 < memo.Pars.Count() && (memo.Pars.At(at).View().find(opener) != std::string_view::npos ||
                                         memo.Pars.At(at).View().find(closer) != std::string_view::npos))
        ++at;
    TRiriNavigator a(&memo), b(&memo);
    a.SetPos(memo.Pars.StartPos(at));
    b.SetPos(memo.Pars.StartPos(at));
    t.Restart();
    const TReplaceResult r = memo.ReplaceText(opener, a, b);
    HighlightAfterEdit(memo, r);
    out.Figure("keystroke_at_top", t.Ms(), "ms");
    // The ripple, paragraph by paragraph, up to where the states agree again.
    t.Restart();
    KeysThrough(memo, last);
    KeywordsOverRange(memo, 0, last);
    out.Figure("keystroke_ripple", t.Ms(), "ms");
    memo.SetHighlighter(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    return RunGuarded("tarvex-bench-highlighters", [&] { return Run(argc, argv); });
}
