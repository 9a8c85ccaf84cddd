// The sorting benchmark:
//   tarvex-bench-sort --gen-dict FILE SIZE_MB    a dictionary of KEY=VALUE lines (Windows-1251)
//   tarvex-bench-sort --gen-book FILE SIZE_MB    prose with chapter headings in capitals
//   tarvex-bench-sort sort FILE SIZE_MB          Sort lines on the whole text, plain and joining
//   tarvex-bench-sort compress FILE SIZE_MB      Compress lines (all steps) on the whole text
//   tarvex-bench-sort headlines FILE SIZE_MB     the headline scan in the window's slices
// Each command works on the editor control loaded as the window loads it and
// reports the time from the command to its undoable result and the peak memory.

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/common/bench_util.h"
#include "bench/common/generator.h"
#include "editor/dudi_riri.h"
#include "platform/huge_page_heap.h"
#include "platform/qt_canvas.h"
#include "textstore/stream.h"
#include "tools/collation.h"
#include "tools/compress_lines.h"
#include "tools/headlines.h"
#include "tools/line_commands.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

class TRandom {
public:
    std::uint32_t Below(std::uint32_t N) {
        FSeed = FSeed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(FSeed >> 33) % N;
    }

private:
    std::uint64_t FSeed = 0x50525453ULL;
};

// A made-up word of 2-4 syllables (or more), Cyrillic or Latin, in lower
// case; keys of one word take 4-6, so that they rarely meet by chance.
std::string Word(TRandom& R, bool Cyrillic, std::uint32_t MinSyllables = 2) {
    static const char* kLat[] = {"ka", "lo", "mi", "ne", "ro", "su", "ta", "vi", "ber", "gal", "dor", "ex",
                                 "fin", "hut", "str", "qu", "pa", "de", "zo", "wy", "cha", "ri", "mon", "sel",
                                 "tu", "ga", "pli", "or", "an", "ve", "sto", "ju"};
    // Windows-1251 syllables: ка ло ми не ро су та ви бер гал дор ёж фин хут щу ья
    // па де зо вы ча ри мон сел ту га пли ор ан ве сто жу
    static const char* kCyr[] = {"\xEA\xE0", "\xEB\xEE", "\xEC\xE8", "\xED\xE5", "\xF0\xEE", "\xF1\xF3", "\xF2\xE0",
                                 "\xE2\xE8", "\xE1\xE5\xF0", "\xE3\xE0\xEB", "\xE4\xEE\xF0", "\xB8\xE6", "\xF4\xE8\xED",
                                 "\xF5\xF3\xF2", "\xF9\xF3", "\xFC\xFF", "\xEF\xE0", "\xE4\xE5", "\xE7\xEE", "\xE2\xFB",
                                 "\xF7\xE0", "\xF0\xE8", "\xEC\xEE\xED", "\xF1\xE5\xEB", "\xF2\xF3", "\xE3\xE0",
                                 "\xEF\xEB\xE8", "\xEE\xF0", "\xE0\xED", "\xE2\xE5", "\xF1\xF2\xEE", "\xE6\xF3"};
    std::string w;
    for (std::uint32_t i = 0, n = MinSyllables + R.Below(3); i < n; ++i) w += (Cyrillic ? kCyr : kLat)[R.Below(32)];
    return w;
}

std::string Capital(std::string W) {
    if (W.empty()) return W;
    auto c = static_cast<unsigned char>(W[0]);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 32);
    else if (c >= 0xE0) c = static_cast<unsigned char>(c - 32);
    else if (c == 0xB8) c = 0xA8;
    W[0] = static_cast<char>(c);
    return W;
}

// About 40 bytes a line: a key of one or two words, "=", a value of a few.
// One line in ten repeats a recent one (half of them with another case), and
// one in twenty gives a recent key another value, for the joining.
void GenerateDictionary(const std::string& File, std::uint64_t Size) {
    std::ofstream out(File, std::ios::binary);
    TRandom r;
    std::vector<std::string> recent;
    std::string chunk;
    std::uint64_t written = 0;
    while (written < Size) {
        chunk.clear();
        for (int i = 0; i < 4096; ++i) {
            std::string line;
            const std::uint32_t kind = r.Below(100);
            if (kind < 10 && !recent.empty()) {
                line = recent[r.Below(static_cast<std::uint32_t>(recent.size()))];
                if (kind < 5) line = Capital(line);
            } else {
                const bool cyr = r.Below(2) == 0;
                std::string key;
                if (r.Below(3) == 0) {
                    key = Word(r, cyr);
                    key += ' ';
                    key += Word(r, cyr);
                } else {
                    key = Word(r, cyr, 4);
                }
                if (kind < 15 && !recent.empty()) {
                    const std::string& old = recent[r.Below(static_cast<std::uint32_t>(recent.size()))];
                    key = old.substr(0, old.find('='));
                }
                std::string value;
                for (std::uint32_t w = 0, n = 2 + r.Below(4); w < n; ++w) {
                    if (w) value += ' ';
                    value += Word(r, r.Below(3) != 0);
                }
                line = key;
                line += '=';
                line += value;
            }
            if (recent.size() < 4096)
                recent.push_back(line);
            else
                recent[r.Below(4096)] = line;
            chunk += line + "\r\n";
        }
        const std::uint64_t n = std::min<std::uint64_t>(chunk.size(), Size - written);
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        written += n;
    }
}

// The prose file with a chapter heading in capitals, between empty lines,
// about every 500 KB (at a paragraph's end).
void GenerateBook(const std::string& File, std::uint64_t Size) {
    constexpr std::uint64_t kEvery = 500000;
    std::ofstream out(File, std::ios::binary);
    std::uint64_t since = 0;  // bytes written since the last heading
    int chapter = 0;
    GenerateData(DataKind::Prose, Size, [&](const char* P, std::size_t N) {
        const std::string_view s(P, N);
        std::size_t from = 0;
        for (;;) {
            const std::uint64_t need = since >= kEvery ? 0 : kEvery - since;
            if (from + need >= s.size()) break;
            const std::size_t br = s.find("\r\n", from + need);
            if (br == std::string_view::npos) break;
            const std::string heading = "\r\nCHAPTER " + std::to_string(++chapter) + "\r\n\r\n";
            out.write(P + from, static_cast<std::streamsize>(br + 2 - from));
            out.write(heading.data(), static_cast<std::streamsize>(heading.size()));
            from = br + 2;
            since = 0;
        }
        out.write(P + from, static_cast<std::streamsize>(s.size() - from));
        since += s.size() - from;
    });
}

void Load(TDudiRiri& M, const std::string& File) {
    WarmPageCache(File);
    TFileStream in(File, TFileStream::fmOpenRead);
    M.LoadFromStream(in);
    M.FormatPending();
}

int Run(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--gen-dict") {
        GenerateDictionary(argv[2], static_cast<std::uint64_t>(std::stoll(argv[3]) * kMB));
        return 0;
    }
    if (argc == 4 && std::string(argv[1]) == "--gen-book") {
        GenerateBook(argv[2], static_cast<std::uint64_t>(std::stoll(argv[3]) * kMB));
        return 0;
    }
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-sort sort|compress|headlines FILE SIZE_MB\n");
        return 2;
    }
    const std::string command = argv[1], file = argv[2];
    LimitMemory();
    const double fileMb = static_cast<double>(FileSizeBytes(file)) / kMB;
    TQtCanvas canvas;
    TDudiRiri m;
    m.SetCanvas(&canvas);
    m.SetClientSize(816, 600);
    Load(m, file);
    const double loadedMb = static_cast<double>(RssBytes()) / kMB;

    if (command == "sort") {
        const Reporter out(argv[3], "tarvex", "dictionary " + std::string(argv[3]) + " MB", ".dict");
        const TCollation collation(true);
        const std::int32_t lines = m.ParagraphCount();
        TSortOptions plain;
        Stopwatch t;
        SortLines(m, plain, collation);
        const double s = t.Seconds();
        if (!m.CanUndo()) throw std::runtime_error("the sort cannot be undone");
        out.Figure("sort_time", s, "s");
        out.Figure("sort_lines", lines, "lines");
        out.Figure("sort_kept_lines", m.ParagraphCount() - 1, "lines");
        out.Figure("sort_peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
        m.Undo();
        TSortOptions join;
        join.JoinItems = true;
        t.Restart();
        SortLines(m, join, collation);
        out.Figure("sort_join_time", t.Seconds(), "s");
        out.Figure("sort_join_kept_lines", m.ParagraphCount() - 1, "lines");
    } else if (command == "compress") {
        const Reporter out(argv[3], "tarvex", "prose " + std::string(argv[3]) + " MB", ".prose");
        Stopwatch t;
        const bool changed = CompressLines(m, cmpAll);
        const double s = t.Seconds();
        if (!changed || !m.CanUndo()) throw std::runtime_error("the compress changed nothing or cannot be undone");
        const double peak = static_cast<double>(PeakRssBytes()) / kMB;
        out.Figure("compress_time", s, "s");
        out.Figure("compress_throughput", fileMb / s, "MB/s");
        out.Figure("compress_loaded_rss", loadedMb, "MB");
        out.Figure("compress_peak_rss", peak, "MB");
        out.Figure("compress_peak_to_file", peak / fileMb, "x");
    } else if (command == "headlines") {
        const Reporter out(argv[3], "tarvex", "book " + std::string(argv[3]) + " MB", ".book");
        THeadlineScan scan(m.Pars, {});
        double longest = 0;
        int slices = 0;
        Stopwatch t;
        for (;;) {
            Stopwatch slice;
            const bool done = scan.Step(std::chrono::steady_clock::now() + std::chrono::milliseconds(30));
            longest = std::max(longest, slice.Ms());
            ++slices;
            if (done) break;
        }
        const double s = t.Seconds();
        out.Figure("headlines_time", s, "s");
        out.Figure("headlines_found", static_cast<double>(scan.Entries().size()), "entries");
        out.Figure("headlines_longest_slice", longest, "ms");
        out.Figure("headlines_slices", slices, "slices");
    } else {
        std::fprintf(stderr, "tarvex-bench-sort: unknown command %s\n", command.c_str());
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QGuiApplication app(argc, argv);
    return RunGuarded("tarvex-bench-sort", [&] { return Run(argc, argv); });
}
