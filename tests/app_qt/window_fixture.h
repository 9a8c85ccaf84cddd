#pragma once
// The main window as a user drives it: a window whose questions the test
// answers, keys and typing through QTest, files checked byte by byte.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <deque>
#include <filesystem>

#include "tests/app/test_files.h"
#include "platform/codepage.h"
#include "app/instance_link.h"
#include "app/qt/commands.h"
#include "app/qt/main_window.h"

namespace tarvex {

using test::ReadFile;
using test::TReadOnlyFolder;
using test::TTempDir;
using test::WriteFile;

// Scripted answers; with Live, long work (loads, saves) lets the window
// answer between slices as it does with its own prompts, and OnSlice runs
// first in each pause (the test's keys and clicks).
struct TWindowPrompts : TScriptedPrompts {
    bool Live = false;
    std::function<void()> OnSlice;
    std::function<void()> Starts, Ends;
    std::function<bool()> Keep;
    void WorkStarts() override {
        if (Live) Starts();
    }
    bool KeepWorking() override {
        if (!Live) return TScriptedPrompts::KeepWorking();
        if (OnSlice) OnSlice();
        return Keep();
    }
    void WorkEnds() override {
        if (Live) Ends();
    }
};

// A window whose questions the test answers.
struct TAnswers {
    TWindowPrompts P;
};
class TTestWindow : private TAnswers, public TFrmMainTarvex {
public:
    TTestWindow(const TAppPaths& Paths, bool HasFile) : TAnswers{}, TFrmMainTarvex(Paths, HasFile, &P) {
        P.Starts = [this] { WorkStarts(); };
        P.Keep = [this] { return KeepWorking(); };
        P.Ends = [this] { WorkEnds(); };
    }
    using TAnswers::P;
};

// Runs Body on the next modal dialog of type T that opens, from the event loop.
template <typename T>
void WhenModal(std::function<void(T&)> Body) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, Body] {
        auto* d = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (!d) return;
        timer->stop();
        timer->deleteLater();
        Body(*d);
    });
    timer->start();
}

inline std::string Join(const std::vector<std::string>& V) {
    std::string out;
    for (const std::string& s : V) out += (out.empty() ? "" : "|") + s;
    return out;
}

inline bool StartsWith(const std::string& S, const char* Prefix) { return S.rfind(Prefix, 0) == 0; }

class MainWindow : public ::testing::Test {
protected:
    TTempDir Dir;
    std::unique_ptr<TTestWindow> W;

    TAppPaths Paths() const { return TAppPaths::InFolder(Dir.Path()); }
    void Start(bool HasFile = false) {
        W = std::make_unique<TTestWindow>(Paths(), HasFile);
        W->show();
        W->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    }
    void TearDown() override {
        if (W) {
            W->Memo().Modified = false;
            W->close();
        }
    }
    TDudiRiri& M() { return W->Memo(); }
    // Runs the event loop until the background layout is done.
    void WaitForLayout() {
        QElapsedTimer t;
        t.start();
        while ((W->JustLoaded() || M().FormatProgress() < 100) && t.elapsed() < 10000)
            QTest::qWait(5);
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(W->Med, K, Mods); }
    // Typed characters; QTest's own typing knows ASCII only.
    void Type(const QString& S) {
        for (const QChar c : S) {
            QKeyEvent press(QEvent::KeyPress, c.unicode() < 128 ? int(c.toUpper().unicode()) : int(Qt::Key_unknown),
                            Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, QString(c));
            QApplication::sendEvent(W->Med, &press);
            QApplication::sendEvent(W->Med, &release);
        }
    }
    std::string Win(const char* Utf8) { return Utf8ToCp1251(Utf8); }
};

}  // namespace tarvex
