// tarvex [FILE [CARETPOS]]: the editor.

#include <QApplication>
#include <QTimer>

#include "app/main_window.h"
#include "platform/huge_page_heap.h"

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvex");
    const QStringList args = QApplication::arguments().mid(1);
    tarvex::TFrmMainTarvex window(tarvex::TAppPaths::ForProgram(QApplication::applicationFilePath().toStdString()),
                                  !args.isEmpty());
    window.show();
    QTimer::singleShot(0, &window, [&window, args] { window.FormShow(args); });
    return app.exec();
}
