// The dictionary window's lookups on generated dictionaries.
//
//   tarvex-bench-dict gen FILE SIZE_MB SEED   writes a sorted KEY=VALUE dictionary
//   tarvex-bench-dict run FILE FOLDER SIZE_MB KEY
//
// A generated dictionary has about 50 bytes a line; one key in 20 holds the
// letter "a" (so "*a*" lists 5% of the keys), the others are syllables
// without it. run times, in the window itself (offscreen), a plain lookup of
// KEY from Enter to the value shown, a "*a*" lookup with its listed keys,
// and the search of every file of FOLDER; and the plain lookup of the file
// alone (no window) in MB/s.

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/common/bench_util.h"
#include "spell/dict_file.h"
#include "spell/qt/form_dict.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

const char* const kSyllables[] = {"bo", "de", "fi", "gu", "ki", "lo", "me", "ni", "po", "re",
                                   "si", "tu", "ve", "wo", "xi", "yu", "zo", "be", "do", "ke"};
constexpr int kSyl = 20;

// Key i of a dictionary: five syllables in order (so keys ascend with i),
// with "a" after every 20th.
std::string Key(std::uint64_t I) {
    std::string k;
    std::uint64_t v = I;
    char parts[5][3];
    for (int p = 4; p >= 0; --p) {
        std::snprintf(parts[p], sizeof parts[p], "%s", kSyllables[v % kSyl]);
        v /= kSyl;
    }
    for (auto& p : parts) k += p;
    if (I % 20 == 0) k += 'a';
    return k;
}

int Generate(const std::string& File, double SizeMb, std::uint64_t Seed) {
    std::ofstream out(File, std::ios::binary);
    const auto target = static_cast<std::uint64_t>(SizeMb * kMB);
    std::uint64_t written = 0, x = Seed * 2654435761u + 1;
    std::string line;
    // Keys are spread over the whole key space so that every file is sorted.
    const std::uint64_t lines = target / 50;
    const std::uint64_t step = std::max<std::uint64_t>(1, 3'200'000 / std::max<std::uint64_t>(1, lines));
    for (std::uint64_t i = 0; written < target; i += step) {
        line = Key(i % 3'200'000);
        line += '=';
        for (int w = 0; w < 6; ++w) {
            x = x * 6364136223846793005ull + 1442695040888963407ull;
            line += w ? " " : "";
            line += kSyllables[(x >> 33) % kSyl];
            line += kSyllables[(x >> 40) % kSyl];
        }
        line += "\r\n";
        out << line;
        written += line.size();
    }
    return out ? 0 : 1;
}

int Run(int argc, char** argv) {
    const std::string file = argv[2], folder = argv[3], size = argv[4], key = argv[5];
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    Reporter core(size, "tarvex", "dictionary " + size + " MB", "");
    WarmPageCache(file);

    // The lookup alone: a key that is not there reads the whole file.
    Stopwatch sw;
    TDictQuery q = QueryFromField("zzzz");
    TDictResult r = LookupDictFile(file, q);
    const double whole = sw.Seconds();
    core.Figure("dict_read_throughput", mb / whole, "MB/s");

    QApplication app(argc, argv);
    TFormDict form(nullptr);
    TDictOptions o;
    o.Dictionary = file;
    form.Ed->setEditText(QString::fromStdString(key));
    form.ShowDictionary(o, false);
    QApplication::processEvents();
    form.Ed->setEditText(QString::fromStdString(key));
    sw.Restart();
    form.LookupAndShow(false);
    QApplication::processEvents();
    core.Figure("dict_plain_lookup", sw.Seconds(), "s");
    if (form.Dic->Memo().CharCount() == 0) core.Note("the plain lookup found nothing");

    form.Ed->setEditText("*a*");
    sw.Restart();
    form.LookupAndShow(false);
    QApplication::processEvents();
    core.Figure("dict_wildcard_lookup", sw.Seconds(), "s");
    core.Figure("dict_wildcard_keys", form.Lb->count(), "keys");

    // Every file of the folder (ten 10 MB dictionaries).
    const std::string inFolder = folder + "/" + "dict-00.txt";
    TDictOptions f;
    f.Dictionary = inFolder;
    form.ShowDictionary(f, false);
    form.Ed->setEditText(QString::fromStdString(key));
    sw.Restart();
    form.SearchAllFiles();
    QApplication::processEvents();
    core.Figure("dict_all_files_search", sw.Seconds(), "s");
    core.Figure("dict_peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
    (void)r;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "gen")
        return RunGuarded("tarvex-bench-dict", [&] { return Generate(argv[2], std::stod(argv[3]), std::stoull(argv[4])); });
    if (argc == 6 && std::string(argv[1]) == "run") return RunGuarded("tarvex-bench-dict", [&] { return Run(argc, argv); });
    std::fprintf(stderr, "usage: tarvex-bench-dict gen FILE SIZE_MB SEED | run FILE FOLDER SIZE_MB KEY\n");
    return 2;
}
