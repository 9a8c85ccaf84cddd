// The screen benchmark, one engine and one file per process, on a 1280x1024
// window (offscreen):
//   tarvex-bench-screen tarvex|scintilla|qplaintextedit FILE SIZE_MB
// Times from the start of loading to the first painted screen, one full screen
// painted at the middle of the text, a keystroke in the middle up to the
// repainted screen, and 200 Page Down presses (each one painted).
//   tarvex-bench-screen tarvex-longline|scintilla-longline FILE SIZE_MB
// The first 5 MB of FILE as one line, word wrap off: End, Home and Ctrl+End,
// each up to the repainted screen.

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <algorithm>
#include <fstream>
#include <vector>

#include "bench/common/bench_util.h"
#include "bench/common/scintilla_fill.h"
#include "platform/codepage.h"
#include "platform/qt_text.h"
#include "editor/qt/riri_widget.h"
#include "textstore/stream.h"
#include "platform/huge_page_heap.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

std::string ReadAll(const std::string& File) {
    std::ifstream in(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Report(const Reporter& Out, double FirstScreen, double Paint, double Key, double Pages) {
    Out.Figure("first_screen", FirstScreen, "ms");
    Out.Figure("paint_screen", Paint, "ms");
    Out.Figure("keystroke_to_screen", Key, "ms");
    Out.Figure("page_down_200", Pages, "ms");
}

int RunTarvex(const std::string& File, const Reporter& Out) {
    TRiriWidget w;
    w.resize(1280, 1024);
    w.show();
    w.setFocus();
    QApplication::processEvents();
    TDudiRiri& m = w.Memo();
    m.ScrollTime = 0;
    Stopwatch t;
    {
        TFileStream in(File, TFileStream::fmOpenRead);
        m.LoadFromStream(in);
    }
    w.viewport()->repaint();
    const double first = t.Ms();
    // Let the background finish, then paint a screen in the middle.
    while (m.FormatProgress() < 100) QApplication::processEvents();
    m.SetTopLine(m.LineCount() / 2);
    t.Restart();
    w.viewport()->repaint();
    const double paint = t.Ms();
    TRiriNavigator mid(&m);
    mid.SetVisibleLine(m.TopLine() + 10);
    m.SetSelStart(mid.Pos());
    QApplication::processEvents();
    t.Restart();
    QTest::keyClick(&w, Qt::Key_X);
    w.viewport()->repaint();
    const double key = t.Ms();
    t.Restart();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(&w, Qt::Key_PageDown);
        w.viewport()->repaint();
    }
    Report(Out, first, paint, key, t.Ms());
    return 0;
}

int RunScintilla(const std::string& File, const Reporter& Out) {
    QsciScintilla sci;
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
    sci.SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE, static_cast<unsigned long>(QsciScintillaBase::SC_WRAP_WORD));
    sci.resize(1280, 1024);
    sci.show();
    QApplication::processEvents();
    Stopwatch t;
    FillScintilla(sci, File);
    sci.viewport()->repaint();
    const double first = t.Ms();
    const long lines = sci.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    sci.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(lines / 2));
    QApplication::processEvents();
    t.Restart();
    sci.viewport()->repaint();
    const double paint = t.Ms();
    t.Restart();
    QTest::keyClick(&sci, Qt::Key_X);
    sci.viewport()->repaint();
    const double key = t.Ms();
    t.Restart();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(&sci, Qt::Key_PageDown);
        sci.viewport()->repaint();
    }
    Report(Out, first, paint, key, t.Ms());
    return 0;
}

int RunPlainTextEdit(const std::string& File, const Reporter& Out) {
    QPlainTextEdit e;
    e.resize(1280, 1024);
    e.show();
    QApplication::processEvents();
    Stopwatch t;
    e.setPlainText(ToQString(ReadAll(File)));
    e.viewport()->repaint();
    const double first = t.Ms();
    QTextCursor c(e.document()->findBlockByNumber(e.document()->blockCount() / 2));
    e.setTextCursor(c);
    e.centerCursor();
    QApplication::processEvents();
    t.Restart();
    e.viewport()->repaint();
    const double paint = t.Ms();
    t.Restart();
    QTest::keyClick(&e, Qt::Key_X);
    e.viewport()->repaint();
    const double key = t.Ms();
    t.Restart();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(&e, Qt::Key_PageDown);
        e.viewport()->repaint();
    }
    Report(Out, first, paint, key, t.Ms());
    return 0;
}

// The first 5 MB of the file with its breaks turned into blanks: one line.
std::string LongLine(const std::string& File) {
    std::string t = ReadAll(File);
    t.resize(std::min<std::size_t>(t.size(), 5 << 20));
    for (char& c : t)
        if (c == '\r' || c == '\n') c = ' ';
    return t;
}

void ReportLongLine(const Reporter& Out, double End, double Home, double CtrlEnd) {
    Out.Figure("long_line_end", End, "ms");
    Out.Figure("long_line_home", Home, "ms");
    Out.Figure("long_line_ctrl_end", CtrlEnd, "ms");
}

template <class W>
double TimeKey(W& Widget, Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    Stopwatch t;
    QTest::keyClick(&Widget, K, Mods);
    Widget.viewport()->repaint();
    return t.Ms();
}

int RunTarvexLongLine(const std::string& File, const Reporter& Out) {
    const std::string text = LongLine(File);
    TRiriWidget w;
    w.resize(1280, 1024);
    w.show();
    w.setFocus();
    QApplication::processEvents();
    TDudiRiri& m = w.Memo();
    m.SetWordWrap(false);
    {
        TMemoryStream in(text);
        m.LoadFromStream(in);
    }
    while (m.FormatProgress() < 100) QApplication::processEvents();
    w.viewport()->repaint();
    // As the program runs: animated scrolling.
    m.ScrollTime = 300;
    const double end = TimeKey(w, Qt::Key_End);
    if (m.SelStart() != m.CharCount()) throw std::runtime_error("End did not reach the end of the line");
    const double home = TimeKey(w, Qt::Key_Home);
    const double ctrlEnd = TimeKey(w, Qt::Key_End, Qt::ControlModifier);
    ReportLongLine(Out, end, home, ctrlEnd);
    return 0;
}

int RunScintillaLongLine(const std::string& File, const Reporter& Out) {
    const std::string text = LongLine(File);
    QsciScintilla sci;
    sci.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, 0UL);
    sci.resize(1280, 1024);
    sci.show();
    QApplication::processEvents();
    sci.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
    sci.viewport()->repaint();
    const double end = TimeKey(sci, Qt::Key_End);
    const double home = TimeKey(sci, Qt::Key_Home);
    const double ctrlEnd = TimeKey(sci, Qt::Key_End, Qt::ControlModifier);
    ReportLongLine(Out, end, home, ctrlEnd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Each engine runs as it ships: the baselines with glibc's default heap.
    if (argc > 1 && std::string(argv[1]) == "tarvex") tarvex::UseHugePageHeap(argv);
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: tarvex-bench-screen tarvex|scintilla|qplaintextedit|tarvex-longline|scintilla-longline FILE SIZE_MB\n");
        return 2;
    }
    const std::string engine = argv[1], file = argv[2];
    LimitMemory();
    WarmPageCache(file);
    if (engine == "tarvex-longline" || engine == "scintilla-longline") {
        const std::string name = engine.substr(0, engine.find('-'));
        const Reporter out("5", name, "one 5 MB line", ".prose");
        return RunGuarded("tarvex-bench-screen", [&] {
            return name == "tarvex" ? RunTarvexLongLine(file, out) : RunScintillaLongLine(file, out);
        });
    }
    const Reporter out(argv[3], engine, std::string("prose ") + argv[3] + " MB", ".prose");
    return RunGuarded("tarvex-bench-screen", [&] {
        if (engine == "tarvex") return RunTarvex(file, out);
        if (engine == "scintilla") return RunScintilla(file, out);
        return RunPlainTextEdit(file, out);
    });
}
