// tarvex [FILE [CARETPOS]]: the editor.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "platform/huge_page_heap.h"
#include "platform/version.h"

namespace {
const char* kUsage =
    "Usage: tarvex [FILE [CARETPOS]]\n"
    "\n"
    "Tarvex, a fast editor for large text files. Opens FILE with the caret at\n"
    "the character position CARETPOS (each line break counts two characters;\n"
    "without it, where the file's history entry left it).\n"
    "\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "\n"
    "The batch tools are in tarvex-cli (tarvex-cli --help).\n";

// SIGTERM (a session ending, kill) closes the window the way the user does,
// so that the settings are written and unsaved text is asked about.
int gTermPipe[2] = {-1, -1};
void OnTerm(int) {
    const char c = 1;
    (void)!::write(gTermPipe[1], &c, 1);
}

// The signal is caught from the start; what it asks waits in the pipe until
// the window can answer.
void CatchTerm() {
    if (::pipe2(gTermPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnTerm;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
}

void CloseOnTerm(QWidget& Window) {
    if (gTermPipe[0] < 0) return;
    auto* n = new QSocketNotifier(gTermPipe[0], QSocketNotifier::Read, &Window);
    QObject::connect(n, &QSocketNotifier::activated, &Window, [&Window] {
        char c;
        while (::read(gTermPipe[0], &c, 1) > 0) {
        }
        Window.close();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tarvex %s\n", TARVEX_VERSION);
        return 0;
    }
    tarvex::UseHugePageHeap(argv);
    CatchTerm();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvex");
    QApplication::setApplicationVersion(TARVEX_VERSION);
    QApplication::setWindowIcon(QIcon(":/tarvex/tarvex-256.png"));
    // File names as the system gives them: they need not be UTF-8.
    const std::vector<std::string> args(argv + 1, argv + argc);
    tarvex::TFrmMainTarvex window(tarvex::TAppPaths::ForProgram(QApplication::applicationFilePath().toStdString()),
                                  !args.empty());
    CloseOnTerm(window);
    window.show();
    QTimer::singleShot(0, &window, [&window, args] { window.FormShow(args); });
    return app.exec();
}
