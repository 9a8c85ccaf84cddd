// The conversion benchmark on the editor control (no window): one Convert
// command over the whole text, from the command to the text replaced and
// undoable, its undo, and the peak memory of each against the file's size;
// or, with the operation "selection", the case and transliteration commands
// on a 10 MB selection.
//   tarvex-bench-conversions FILE SIZE_MB koi-win|first-large|ruslat|selection

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "app/convert_command.h"
#include "app/word_separators.h"
#include "bench/common/bench_util.h"
#include "editor/dudi_riri.h"
#include "platform/huge_page_heap.h"
#include "textstore/stream.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// Forgets the peak resident size so far: the next peak is this step's.
void ResetPeak() {
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return;
    const ssize_t n = ::write(fd, "5", 1);
    (void)n;
    ::close(fd);
}

// A checksum of the editor's text as it reads (paragraphs joined by CR LF).
std::uint64_t Checksum(TDudiRiri& M) {
    std::uint64_t h = 1469598103934665603ull;
    auto feed = [&h](std::string_view S) {
        for (const char c : S) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    };
    for (std::int32_t p = 0; p < M.ParagraphCount(); ++p) {
        if (p > 0) feed("\r\n");
        feed(M.Pars.At(p).View());
    }
    return h;
}

const std::map<std::string, int> kOps = {
    {"koi-win", ctKoiWin}, {"first-large", ctFirstLarge}, {"ruslat", ctRusLat}, {"upper", ctUpper},
    {"lower", ctLower},    {"sentence", ctSentence},      {"inverse", ctInverse}, {"latrus", ctLatRus},
    {"to-rus", ctToRus},
};

void Load(TDudiRiri& M, const std::string& File) {
    M.SetSeparators(AppWordSeparators());
    M.SetOptions(M.Options() | droAutoLineBreak);
    TFileStream in(File, TFileStream::fmOpenRead);
    M.LoadFromStream(in);
    M.ClearUndo();
}

int WholeText(const std::string& File, const std::string& Op, const Reporter& Out) {
    const double size = static_cast<double>(FileSizeBytes(File));
    TDudiRiri m;
    Load(m, File);
    const std::uint64_t before = Checksum(m);
    const std::string name = Op == "koi-win" ? "koi_win" : Op == "first-large" ? "first_large" : Op;
    ResetPeak();
    const std::int64_t loaded = RssBytes();
    Stopwatch t;
    if (!IsWholeTextTag(kOps.at(Op))) m.SelectAll();
    const TConvertResult r = RunConvertCommand(m, kOps.at(Op), {});
    const double seconds = t.Seconds();
    const std::int64_t peak = PeakRssBytes();
    if (r != TConvertResult::crChanged || !m.CanUndo()) {
        std::fprintf(stderr, "convert: %s changed nothing or left no undo step\n", Op.c_str());
        return 1;
    }
    Out.Figure("convert_time." + name, seconds, "s");
    Out.Figure("convert_throughput." + name, size / kMB / seconds, "MB/s");
    Out.Figure("convert_peak_ratio." + name, static_cast<double>(peak) / size, "x");
    Out.Figure("convert_added_ratio." + name, static_cast<double>(peak - loaded) / size, "x");
    ResetPeak();
    const std::int64_t converted = RssBytes();
    t.Restart();
    m.Undo();
    const double undo = t.Seconds();
    const std::int64_t undoPeak = PeakRssBytes();
    Out.Figure("undo_time." + name, undo, "s");
    Out.Figure("undo_peak_ratio." + name, static_cast<double>(undoPeak) / size, "x");
    Out.Figure("undo_added_ratio." + name, static_cast<double>(undoPeak - converted) / size, "x");
    if (Checksum(m) != before) {
        std::fprintf(stderr, "convert: undo of %s did not give back the text\n", Op.c_str());
        return 1;
    }
    return 0;
}

int Selection(const std::string& File, const Reporter& Out) {
    TDudiRiri m;
    Load(m, File);
    const TPos len = std::min<TPos>(10 << 20, m.CharCount());
    const TPos start = (m.CharCount() - len) / 2;
    for (const char* op : {"upper", "lower", "first-large", "sentence", "inverse", "ruslat", "latrus", "to-rus"}) {
        m.SetSelStart(start);
        m.SetSelLength(len);
        Stopwatch t;
        RunConvertCommand(m, kOps.at(op), {});
        const double seconds = t.Seconds();
        std::string name = op;
        for (char& c : name)
            if (c == '-') c = '_';
        Out.Figure("selection_10mb_time." + name, seconds, "s");
        m.Undo();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    UseHugePageHeap(argv);
    return RunGuarded("tarvex-bench-conversions", [&] {
        if (argc != 4 || (std::string(argv[3]) != "selection" && !kOps.count(argv[3]))) {
            std::fprintf(stderr, "usage: tarvex-bench-conversions FILE SIZE_MB koi-win|first-large|ruslat|selection\n");
            return 2;
        }
        const std::string file = argv[1], op = argv[3];
        const Reporter out(argv[2], "tarvex", "prose " + std::string(argv[2]) + " MB", ".prose");
        LimitMemory();
        WarmPageCache(file);
        return op == "selection" ? Selection(file, out) : WholeText(file, op, out);
    });
}
