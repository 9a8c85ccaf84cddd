// tarvex-bench-convert FILE SIZE_MB: how fast opening decodes a file.
//
// From a Windows-1251 FILE it makes its UTF-8 and KOI8-R forms in memory and
// measures, best of three, the conversions alone (Utf8ToAnsi, KoiToWin, into
// memory already mapped) and the whole loader (probes, load, conversion, each
// time into a new control) on each form written to a temporary file, in input
// megabytes per second.

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/common/bench_util.h"
#include "platform/codepage.h"
#include "app/codepages.h"
#include "app/loader.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename F>
double BestMbPerSecond(std::size_t Bytes, F&& Run) {
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        Stopwatch t;
        Run();
        best = std::max(best, static_cast<double>(Bytes) / kMB / t.Seconds());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvex-bench-convert FILE SIZE_MB\n");
        return 2;
    }
    return RunGuarded("tarvex-bench-convert", [&] {
        const std::string win = ReadFile(argv[1]);
        const Reporter out(argv[2], "tarvex", std::string("prose ") + argv[2] + " MB", ".prose");
        const std::string utf8 = Cp1251ToUtf8(win);
        std::string koi = win;
        WinToKoi(koi);

        std::size_t sink = 0;
        // The conversions' own speed: repeated runs reuse the memory the first
        // one mapped (fresh pages cost this machine more than the work).
        mallopt(M_MMAP_THRESHOLD, 1 << 30);
        KeepFreedMemory();
        out.Figure("convert_utf8", BestMbPerSecond(utf8.size(), [&] { sink += Utf8ToAnsi(utf8).size(); }), "MB/s");
        std::string k = koi;
        out.Figure("convert_koi8", BestMbPerSecond(koi.size(), [&] {
                       KoiToWin(k);
                       sink += k.size();
                   }),
                   "MB/s");

        const std::string dir = std::string(argv[1]) + ".convert-bench";
        for (const auto& [name, bytes] : {std::pair<std::string, const std::string*>{"utf8", &utf8}, {"koi8", &koi}}) {
            const std::string path = dir + "." + name + ".txt";
            {
                std::ofstream f(path, std::ios::binary);
                f.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
            }
            WarmPageCache(path);
            TLoadOutcome outcome;
            const double rate = BestMbPerSecond(bytes->size(), [&] {
                TDudiRiri memo;
                memo.SetOptions(memo.Options() | droAutoLineBreak);
                LoadDocument(memo, path, TLoadSettings{}, TLoadHooks{}, outcome);
                sink += static_cast<std::size_t>(memo.CharCount());
            });
            ::unlink(path.c_str());
            out.Note("detected as " + EncodingName(outcome.Flags));
            out.Figure("open_decode_" + name, rate, "MB/s");
        }
        return sink == 0 ? 1 : 0;
    });
}
