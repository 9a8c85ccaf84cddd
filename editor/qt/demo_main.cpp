// tarvex-widget-demo FILE: the editor control alone in a window.

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <iostream>

#include "editor/qt/riri_widget.h"
#include "textstore/stream.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* editor = new tarvex::TRiriWidget(&window);
    window.setCentralWidget(editor);
    window.resize(1000, 700);
    tarvex::TDudiRiri& m = editor->Memo();
    tarvex::TFontSpec f;
    f.Name = "DejaVu Sans Mono";
    f.Size = 11;
    m.SetFont(f);
    m.SetOptions(m.Options() | tarvex::droAutoLineBreak | tarvex::droBlockSelection);
    if (argc > 1) {
        try {
            tarvex::TFileStream s(argv[1], tarvex::TFileStream::fmOpenRead);
            m.LoadFromStream(s);
            window.setWindowTitle(QString::fromLocal8Bit(argv[1]) + " - Tarvex");
        } catch (const std::exception& e) {
            std::cerr << "tarvex-widget-demo: " << e.what() << "\n";
            return 1;
        }
    } else {
        window.setWindowTitle("Tarvex");
    }
    window.show();
    editor->setFocus();
    return app.exec();
}
