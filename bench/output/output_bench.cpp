// The output benchmark, one file per process:
//   tarvex-bench-output FILE SIZE_MB OUTDIR PARTS      PARTS: a comma list of pages, pdf, rtf
// pages: lays the text out for an A4 printer at 1200 dpi with the main
//        window's printer settings and counts the pages;
// pdf:   prints every page to a PDF file (after the page count);
// rtf:   exports the text as RTF without highlighting (into a stream that
//        only counts, then saved to a file as Save As does), then with
//        keyword highlighting of common words (the highlighting pass timed apart).
// Peak memory is reported at the end. The files written go to OUTDIR.

#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "bench/common/bench_util.h"
#include "output/print_settings.h"
#include "output/qt/qt_printer.h"
#include "output/riri_to_rtf.h"
#include "platform/codepage.h"
#include "platform/huge_page_heap.h"
#include "textstore/highlight_passes.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// Frequent words of the generated prose, Cyrillic and Latin (UTF-8 here).
const char* kWords[] = {"и", "в", "не", "на", "что", "он", "как", "когда", "город", "дорога", "человек", "время",
                        "the", "of", "and", "to", "in", "is", "editor", "text", "window", "memory", "river", "train"};

// Counts what is written and keeps nothing: the export's own speed, apart from the disk's.
class TCountingStream : public TStream {
public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    void Write(const void*, std::int64_t Count) override { FSize += Count; }
    std::int64_t Size() override { return FSize; }
    std::int64_t Position() override { return FSize; }
    void Seek(std::int64_t) override {}

private:
    std::int64_t FSize = 0;
};

bool Has(const std::string& Parts, const char* Part) { return ("," + Parts + ",").find(std::string(",") + Part + ",") != std::string::npos; }

std::unique_ptr<TDudiRiri> Load(const std::string& File) {
    auto memo = std::make_unique<TDudiRiri>();
    TFontSpec f;  // the editor's default font: Arial 10
    memo->SetFont(f);
    TFileStream in(File, TFileStream::fmOpenRead);
    memo->LoadFromStream(in);
    return memo;
}

int Run(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: tarvex-bench-output FILE SIZE_MB OUTDIR pages,pdf,rtf\n");
        return 2;
    }
    const std::string file = argv[1], dir = argv[3], parts = argv[4];
    const Reporter out(argv[2], "tarvex", std::string("prose ") + argv[2] + " MB", ".prose");
    const double mb = static_cast<double>(FileSizeBytes(file)) / kMB;
    WarmPageCache(file);
    std::unique_ptr<TDudiRiri> memo = Load(file);

    if (Has(parts, "pages") || Has(parts, "pdf")) {
        TQtDudiRiriPrinter printer;
        printer.Printer().setPageSize(QPageSize(QPageSize::A4));
        printer.CheckDevice();
        ApplyMainPrintSettings(printer);
        printer.Header = FileNameHeader(file);
        printer.SetMemoToPrint(memo.get());
        Stopwatch t;
        const std::int32_t pages = printer.PageCount();
        const double layout = t.Seconds();
        out.Figure("print_page_count_time", layout, "s");
        out.Figure("print_pages", pages, "pages");
        if (Has(parts, "pdf")) {
            const std::string pdf = dir + "/tarvex.pdf";
            t.Restart();
            printer.PrintToPdf(pdf);
            const double s = t.Seconds();
            out.Figure("pdf_time", s, "s");
            out.Figure("pdf_total_time", layout + s, "s");
            out.Figure("pdf_pages_per_s", pages / s, "pages/s");
            out.Figure("pdf_throughput", mb / (layout + s), "MB/s");
            out.Figure("pdf_size", static_cast<double>(FileSizeBytes(pdf)) / kMB, "MB");
            std::remove(pdf.c_str());
        }
    }

    if (Has(parts, "rtf")) {
        const std::string rtfFile = dir + "/tarvex.rtf";
        TRiriToRTF rtf;
        rtf.SetDudiRiri(memo.get());
        rtf.RTFLeading = -1;
        TCountingStream sink;
        Stopwatch t;
        rtf.SaveToStream(sink);
        double s = t.Seconds();
        out.Figure("rtf_time", s, "s");
        out.Figure("rtf_throughput", mb / s, "MB/s");
        out.Figure("rtf_size", static_cast<double>(sink.Size()) / kMB, "MB");
        // Save As RTF: the same into a file, flushed to the disk and renamed.
        t.Restart();
        rtf.SaveToFile(rtfFile);
        s = t.Seconds();
        out.Figure("rtf_save_time", s, "s");
        out.Figure("rtf_save_throughput", mb / s, "MB/s");

        // The same text with common words highlighted (bold and coloured).
        memo.reset();
        memo = Load(file);
        std::int32_t colour = 0x0000C0;
        for (const char* w : kWords) {
            memo->Keywords.AddKeyword(Utf8ToCp1251(w), koWholeWord, -1, colour, 0, 1, fsBold);
            colour = (colour * 7 + 0x102030) & 0xFFFFFF;
        }
        t.Restart();
        KeywordsOverRange(*memo, 0, memo->ParagraphCount() - 1);
        const double hl = t.Seconds();
        out.Figure("rtf_highlight_pass_time", hl, "s");
        rtf.SetDudiRiri(memo.get());
        TCountingStream sink2;
        t.Restart();
        rtf.SaveToStream(sink2);
        s = t.Seconds();
        out.Figure("rtf_highlighted_time", s, "s");
        out.Figure("rtf_highlighted_throughput", mb / s, "MB/s");
        out.Figure("rtf_highlighted_with_pass_throughput", mb / (s + hl), "MB/s");
        out.Figure("rtf_highlighted_size", static_cast<double>(sink2.Size()) / kMB, "MB");
        std::remove(rtfFile.c_str());
    }
    out.Figure("peak_rss", static_cast<double>(PeakRssBytes()) / kMB, "MB");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RunGuarded("tarvex-bench-output", [&] { return Run(argc, argv); });
}
