// tarvex [FILE [CARETPOS]]: the editor.

#include <QApplication>
#include <QTimer>
#include <string>
#include <vector>

#include "app/qt/main_window.h"
#include "platform/huge_page_heap.h"

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvex");
    // File names as the system gives them: they need not be UTF-8.
    const std::vector<std::string> args(argv + 1, argv + argc);
    tarvex::TFrmMainTarvex window(tarvex::TAppPaths::ForProgram(QApplication::applicationFilePath().toStdString()),
                                  !args.empty());
    window.show();
    QTimer::singleShot(0, &window, [&window, args] { window.FormShow(args); });
    return app.exec();
}
