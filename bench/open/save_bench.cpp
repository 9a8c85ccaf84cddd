// tarvex-bench-save FILE SIZE_MB: saving an open document.
//
// Loads FILE into an editor control without a window, then saves it twice
// the way the File menu does (through a temporary file renamed into place
// beside FILE): as Windows-1251 and as UTF-8 with a byte-order mark. Prints
// each save's speed in megabytes of text per second, the number of progress
// reports ("Saving N%") it gave, and the largest resident memory seen
// while saving against the memory the open document takes. The writer's
// own speed (into no file) tells what the program adds to the disk's time.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/loader.h"
#include "app/text_writer.h"
#include "bench/common/bench_util.h"
#include "editor/dudi_riri.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvex-bench-save FILE SIZE_MB\n");
        return 2;
    }
    return RunGuarded("tarvex-bench-save", [&] {
        const std::string file = argv[1];
        const Reporter out(argv[2], "tarvex", std::string("prose ") + argv[2] + " MB", ".prose");
        TDudiRiri m;
        m.SetOptions(m.Options() | droAutoLineBreak);
        TLoadHooks hooks;
        hooks.ConfirmLarge = [](std::int64_t) { return true; };
        TLoadOutcome outcome;
        LoadDocument(m, file, TLoadSettings{}, hooks, outcome);
        const std::int64_t open = RssBytes();
        const std::string target = file + ".saved";
        struct TCase {
            const char* Name;
            TTextEncoding Encoding;
        } cases[] = {{"save_ansi", teAnsi}, {"save_utf8", teUtf8Bom}};
        m.ProgressInterval = 100;
        // The text through the writer alone (no disk): what the program adds to the disk's own time.
        struct TNull : TStream {
            std::int64_t Read(void*, std::int64_t) override { return 0; }
            void Write(const void*, std::int64_t N) override { Bytes += N; }
            std::int64_t Size() override { return Bytes; }
            std::int64_t Position() override { return Bytes; }
            void Seek(std::int64_t) override {}
            std::int64_t Bytes = 0;
        };
        for (const auto& [name, enc] : {std::pair{"write_ansi", teAnsi}, std::pair{"write_utf8", teUtf8Bom}}) {
            TNull sink;
            Stopwatch t;
            WriteText(m, sink, enc);
            out.Figure(std::string(name) + "_speed", static_cast<double>(m.CharCount()) / kMB / t.Seconds(), "MB/s");
        }
        for (const TCase& c : cases) {
            std::int64_t peak = RssBytes();
            int reports = 0;
            Stopwatch t;
            SaveText(m, target, c.Encoding, [&](int) {
                ++reports;
                peak = std::max(peak, RssBytes());
            });
            const double s = t.Seconds();
            peak = std::max(peak, RssBytes());
            out.Figure(std::string(c.Name) + "_speed", static_cast<double>(m.CharCount()) / kMB / s, "MB/s");
            out.Figure(std::string(c.Name) + "_progress_reports", reports, "count");
            out.Figure(std::string(c.Name) + "_rss_ratio", static_cast<double>(peak) / static_cast<double>(open), "x");
            ::unlink(target.c_str());
        }
        return 0;
    });
}
