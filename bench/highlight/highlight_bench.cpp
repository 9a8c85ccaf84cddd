// The highlighting benchmark:
//   tarvex-bench-highlight --generate FILE SIZE_MB   writes a C-like file
//   tarvex-bench-highlight FILE SIZE_MB              measures
// Forty C keywords and start-stop keys for block comments, line comments and
// strings: the full keyword and start-stop passes over the text, then the
// keystroke that opens a block comment near the top (before the ripple, which the
// background paces), and the ripple itself.

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/common/bench_util.h"
#include "bench/common/clike_keys.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {


// A deterministic C-like text: functions with statements, comments and strings.
void Generate(const std::string& File, std::uint64_t Size) {
    std::ofstream out(File, std::ios::binary);
    std::uint64_t seed = 12345, written = 0;
    auto rnd = [&](std::uint32_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(seed >> 33) % n;
    };
    const char* idents[] = {"count", "value", "buffer", "index", "result", "node", "length", "item", "state", "data"};
    std::string chunk;
    while (written < Size) {
        chunk.clear();
        for (int f = 0; f < 50; ++f) {
            chunk += "/* Function " + std::to_string(rnd(100000)) + ": computes the " + idents[rnd(10)] + " of a " +
                     idents[rnd(10)] + ".\r\n   It returns 0 when nothing is left. */\r\n";
            chunk += std::string(kCLikeKeywords[rnd(kCLikeKeywordCount)]) + " " + idents[rnd(10)] + "_" + std::to_string(rnd(1000)) + "(int " +
                     idents[rnd(10)] + ") {\r\n";
            const int lines = 3 + static_cast<int>(rnd(12));
            for (int l = 0; l < lines; ++l) {
                chunk += "    ";
                switch (rnd(6)) {
                    case 0: chunk += "if (" + std::string(idents[rnd(10)]) + " > " + std::to_string(rnd(100)) + ") return " + idents[rnd(10)] + ";"; break;
                    case 1: chunk += "for (int i = 0; i < " + std::string(idents[rnd(10)]) + "; ++i) { " + idents[rnd(10)] + " += i; }"; break;
                    case 2: chunk += "printf(\"" + std::string(idents[rnd(10)]) + " = %d\\n\", " + idents[rnd(10)] + ");"; break;
                    case 3: chunk += std::string(idents[rnd(10)]) + " = " + idents[rnd(10)] + " * 2; // double it"; break;
                    case 4: chunk += "static const char* name = \"" + std::string(idents[rnd(10)]) + "\";"; break;
                    default: chunk += "while (" + std::string(idents[rnd(10)]) + "--) { continue; }"; break;
                }
                chunk += "\r\n";
            }
            chunk += "}\r\n\r\n";
        }
        const std::uint64_t n = std::min<std::uint64_t>(chunk.size(), Size - written);
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        written += n;
    }
}

int Run(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--generate") {
        Generate(argv[2], static_cast<std::uint64_t>(std::stoll(argv[3])) * static_cast<std::uint64_t>(kMB));
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvex-bench-highlight [--generate] FILE SIZE_MB\n");
        return 2;
    }
    const std::string file = argv[1];
    const Reporter out(argv[2], "tarvex", std::string("c-like ") + argv[2] + " MB", ".clike");
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    WarmPageCache(file);
    KeepFreedMemory();
    TDudiRiriBase memo;
    SetUpCLikeKeys(memo);
    TFileStream in(file, TFileStream::fmOpenRead);
    TRiriLineBreak found = pbCRLF;
    memo.Pars.LoadFromStream(in, 0, 300, nullptr, found, false);
    out.Figure("paragraphs", memo.Pars.Count(), "paragraphs");

    Stopwatch t;
    KeysThrough(memo, memo.Pars.Count() - 1);
    const double keys = t.Seconds();
    t.Restart();
    KeywordsOverRange(memo, 0, memo.Pars.Count() - 1);
    const double words = t.Seconds();
    out.Figure("startstop_pass_time", keys, "s");
    out.Figure("keyword_pass_time", words, "s");
    out.Figure("highlight_throughput", mb / (keys + words), "MB/s");

    // Again over the same text, into memory the first passes left: the passes'
    // own work, without this machine's cost of touching fresh memory.
    for (std::int32_t p = 0; p < memo.Pars.Count(); ++p) {
        ParInfo& par = memo.Pars.At(p);
        par.Flags &= static_cast<std::uint8_t>(~(pfKeysApplied | pfKeywordsApplied));
        memo.Pars.ClearDyn(par);
    }
    memo.Pars.KeysThrough = -1;
    t.Restart();
    KeysThrough(memo, memo.Pars.Count() - 1);
    KeywordsOverRange(memo, 0, memo.Pars.Count() - 1);
    const double again = t.Seconds();
    out.Figure("highlight_again_throughput", mb / again, "MB/s");
    out.Figure("peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");

    // The keystroke that opens a block comment at the first line of code (the
    // text opens with a comment, where "/*" would change nothing).
    std::int32_t code = 0;
    while (code + 1 < memo.Pars.Count() && (memo.Pars.At(code).View().find("/*") != std::string_view::npos ||
                                           memo.Pars.At(code).View().find("*/") != std::string_view::npos))
        ++code;
    TRiriNavigator a(&memo), b(&memo);
    a.SetPos(memo.Pars.StartPos(code));
    b.SetPos(memo.Pars.StartPos(code));
    t.Restart();
    const TReplaceResult r = memo.ReplaceText("/*", a, b);
    HighlightAfterEdit(memo, r);
    out.Figure("open_comment_keystroke", t.Ms(), "ms");
    // The ripple, paragraph by paragraph, up to the next stop key.
    t.Restart();
    KeysThrough(memo, memo.Pars.Count() - 1);
    out.Figure("open_comment_ripple", t.Ms(), "ms");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    return RunGuarded("tarvex-bench-highlight", [&] { return Run(argc, argv); });
}
