// The load benchmark's baselines, one engine and one file per process:
//   tarvex-bench-load-baseline scintilla|qplaintextedit FILE SIZE_MB KIND
// Runs the same steps as tarvex-bench-load: load, save a copy next to the file
// (deleted afterwards), one insertion and one paragraph split in the middle,
// a second load into the memory the first one left.
// The widgets are never shown (QT_QPA_PLATFORM=offscreen), as Tarvex's store
// is measured without a window.

#include <Qsci/qsciscintilla.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/common/bench_util.h"
#include "platform/codepage.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

class TFile {
public:
    TFile(const std::string& Path, bool Write) : FPath(Path) {
        FFd = Write ? ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)
                    : ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
        if (FFd < 0) throw std::runtime_error("cannot open " + Path + ": " + std::strerror(errno));
    }
    ~TFile() {
        if (FFd >= 0) ::close(FFd);
    }
    std::size_t Read(char* P, std::size_t N) {
        for (;;) {
            const ssize_t r = ::read(FFd, P, N);
            if (r >= 0) return static_cast<std::size_t>(r);
            if (errno != EINTR) throw std::runtime_error("cannot read " + FPath + ": " + std::strerror(errno));
        }
    }
    void Write(const char* P, std::size_t N) {
        while (N > 0) {
            const ssize_t w = ::write(FFd, P, std::min<std::size_t>(N, 1u << 30));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) throw std::runtime_error("cannot write " + FPath + ": " + std::strerror(errno));
            P += w;
            N -= static_cast<std::size_t>(w);
        }
    }

private:
    std::string FPath;
    int FFd;
};

struct TResult {
    double Load = 0, Save = 0, Insert = 0, Split = 0, Reload = 0, PeakMb = 0;
    std::int64_t Saved = 0;  // bytes written by the save
};

// The file's break, for the split and for encoding the save.
std::string FileBreak(const std::string& Kind) { return Kind == "prose" ? "\r\n" : "\n"; }

// --- Scintilla: the raw bytes appended in 1 MB pieces, as an editor reads a
// file, into a document allocated to the file's size; undo collection is off
// during the load (else the undo history would hold a second copy) and on for
// the edits.
TResult RunScintilla(const std::string& File, std::int64_t Size, const std::string& Kind, const Reporter& Out) {
    TResult r;
    QsciScintilla sci;
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);  // single-byte text
    // No modification notifications: QScintilla's handler of them costs time
    // proportional to the position of the change (10 MB appended in 64 KB
    // pieces: 3.2 s with them, 0.4 s without), which would measure the Qt
    // wrapper instead of Scintilla's text storage.
    sci.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    if (Size >= (std::int64_t{1} << 31) - (std::int64_t{64} << 20)) {
        // Positions beyond 2 GB need the large document form.
        const long doc = sci.SendScintilla(QsciScintillaBase::SCI_CREATEDOCUMENT, 0UL,
                                           static_cast<long>(QsciScintillaBase::SC_DOCUMENTOPTION_TEXT_LARGE));
        sci.SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, static_cast<long>(doc));
        sci.SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0UL, static_cast<long>(doc));
        Out.Note("large document form (positions beyond 2 GB)");
    }
    auto status = [&] { return sci.SendScintilla(QsciScintillaBase::SCI_GETSTATUS); };
    auto length = [&] { return static_cast<std::int64_t>(sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)); };

    std::vector<char> buf(1 << 20);
    // Returns the seconds taken.
    auto load = [&] {
        Stopwatch t;
        {
            TFile in(File, false);
            sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
            sci.SendScintilla(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(Size + 1));
            while (const std::size_t n = in.Read(buf.data(), buf.size())) {
                sci.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(n), buf.data());
                if (status() != QsciScintillaBase::SC_STATUS_OK) break;
            }
            sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
            sci.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        }
        const double s = t.Seconds();
        if (status() == QsciScintillaBase::SC_STATUS_BADALLOC) throw std::bad_alloc();
        if (length() != Size)
            throw std::runtime_error("Scintilla holds " + std::to_string(length()) + " bytes of " +
                                     std::to_string(Size) + " (status " + std::to_string(status()) + ")");
        return s;
    };
    r.Load = load();
    r.PeakMb = static_cast<double>(PeakRssBytes()) / kMB;
    Out.Note(std::to_string(sci.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT)) + " lines");

    const std::string saved = File + ".scintilla-save.tmp";
    Stopwatch t;
    {
        TFile o(saved, true);
        // Moves the gap to the end, making the text contiguous.
        const auto* p = reinterpret_cast<const char*>(sci.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        o.Write(p, static_cast<std::size_t>(length()));
    }
    r.Save = t.Seconds();
    r.Saved = FileSizeBytes(saved);
    ::unlink(saved.c_str());

    auto insertMiddle = [&](const std::string& Text) {
        Stopwatch e;
        std::int64_t pos = length() / 2;
        // Not between the CR and the LF of a break.
        if (sci.SendScintilla(QsciScintillaBase::SCI_GETCHARAT, static_cast<unsigned long>(pos)) == '\n') --pos;
        sci.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(pos), Text.c_str());
        const double ms = e.Ms();
        if (status() == QsciScintillaBase::SC_STATUS_BADALLOC) throw std::bad_alloc();
        return ms;
    };
    const std::int64_t before = length();
    r.Insert = insertMiddle("x");
    r.Split = insertMiddle(FileBreak(Kind));
    if (length() != before + 1 + static_cast<std::int64_t>(FileBreak(Kind).size()))
        throw std::runtime_error("Scintilla's edits changed the length by " + std::to_string(length() - before));

    KeepFreedMemory();
    // Undo off first, or the undo history would keep a copy of the deleted text.
    sci.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    sci.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    sci.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    r.Reload = load();
    return r;
}

// --- QPlainTextEdit: the bytes decoded from Windows-1251 straight into a
// QString with the code-page table, then setPlainText; the save encodes
// toPlainText() back, writing the file's break for every paragraph end.
TResult RunQPlainTextEdit(const std::string& File, std::int64_t Size, const std::string& Kind, const Reporter& Out) {
    TResult r;
    QPlainTextEdit edit;
    QTextDocument* doc = edit.document();
    doc->setUndoRedoEnabled(false);

    auto load = [&] {
        Stopwatch t;
        QString text(static_cast<qsizetype>(Size), Qt::Uninitialized);
        auto* dst = reinterpret_cast<char16_t*>(text.data());
        std::vector<char> buf(1 << 20);
        TFile in(File, false);
        std::int64_t at = 0;
        while (const std::size_t n = in.Read(buf.data(), buf.size())) {
            if (at + static_cast<std::int64_t>(n) > Size) throw std::runtime_error("the file grew while loading");
            for (std::size_t i = 0; i < n; ++i) dst[at + static_cast<std::int64_t>(i)] = Cp1251ToUnicode(static_cast<unsigned char>(buf[i]));
            at += static_cast<std::int64_t>(n);
        }
        text.truncate(static_cast<qsizetype>(at));
        edit.setPlainText(text);
        return t.Seconds();
    };
    r.Load = load();
    doc->setUndoRedoEnabled(true);
    r.PeakMb = static_cast<double>(PeakRssBytes()) / kMB;
    Out.Note(std::to_string(doc->blockCount()) + " blocks");

    const std::string eol = FileBreak(Kind);
    const std::string saved = File + ".qplaintextedit-save.tmp";
    Stopwatch t;
    {
        const QString text = edit.toPlainText();
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(text.size()) + static_cast<std::size_t>(doc->blockCount()));
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u == u'\n') {
                bytes += eol;
            } else {
                const int b = u < 0x80 ? u : UnicodeToCp1251(u);
                bytes.push_back(b < 0 ? '?' : static_cast<char>(b));
            }
        }
        TFile o(saved, true);
        o.Write(bytes.data(), bytes.size());
    }
    r.Save = t.Seconds();
    r.Saved = FileSizeBytes(saved);
    ::unlink(saved.c_str());

    auto editMiddle = [&](bool Split) {
        Stopwatch e;
        QTextCursor c(doc);
        c.setPosition(doc->characterCount() / 2);
        if (Split)
            c.insertBlock();
        else
            c.insertText(QStringLiteral("x"));
        return e.Ms();
    };
    r.Insert = editMiddle(false);
    r.Split = editMiddle(true);

    KeepFreedMemory();
    doc->setUndoRedoEnabled(false);
    edit.clear();
    r.Reload = load();
    return r;
}

int Run(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: tarvex-bench-load-baseline scintilla|qplaintextedit FILE SIZE_MB KIND\n");
        return 2;
    }
    const std::string engine = argv[1], file = argv[2], kind = argv[4];
    if (engine != "scintilla" && engine != "qplaintextedit") {
        std::fprintf(stderr, "tarvex-bench-load-baseline: unknown engine %s\n", engine.c_str());
        return 2;
    }
    const Reporter out(argv[3], engine, kind + " " + argv[3] + " MB", "." + kind);
    const std::int64_t size = FileSizeBytes(file);
    if (size < 0) throw std::runtime_error("cannot read " + file);
    const double mb = static_cast<double>(size) / kMB;

    // No display needed: the widgets are never shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qargc = 1;
    char* qargv[] = {argv[0], nullptr};
    QApplication app(qargc, qargv);
    // After Qt's start-up, whose mappings count in the cap's base.
    LimitMemory();
    WarmPageCache(file);
    out.Note("RSS before loading: " + std::to_string(RssBytes() / (1 << 20)) + " MB");

    const TResult r = engine == "scintilla" ? RunScintilla(file, size, kind, out) : RunQPlainTextEdit(file, size, kind, out);
    out.Figure("load_time", r.Load, "s");
    out.Figure("load_throughput", mb / r.Load, "MB/s");
    out.Figure("peak_rss", r.PeakMb, "MB");
    out.Figure("rss_ratio", r.PeakMb / mb, "x");
    out.Figure("save_time", r.Save, "s");
    out.Figure("save_throughput", mb / r.Save, "MB/s");
    if (r.Saved != size)
        out.Note("warning: the saved copy has " + std::to_string(r.Saved) + " bytes, the file " + std::to_string(size));
    out.Figure("insert_middle", r.Insert, "ms");
    out.Figure("split_middle", r.Split, "ms");
    out.Figure("reload_time", r.Reload, "s");
    out.Figure("reload_throughput", mb / r.Reload, "MB/s");
    std::fflush(stdout);
    std::fflush(stderr);
    // Tearing down a document of gigabytes measures nothing.
    ::_exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    return RunGuarded("tarvex-bench-load-baseline", [&] { return Run(argc, argv); });
}
