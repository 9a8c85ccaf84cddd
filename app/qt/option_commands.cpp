// The Options menu and the language switch on the menu bar.

#include <QAction>
#include <QStatusBar>
#include <QToolBar>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"

namespace tarvex {

void AddOptionCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mToolbar", [&W] {
        W.Settings().ToolBar = W.Action("mToolbar")->isChecked();
        W.ToolBar()->setVisible(W.Settings().ToolBar);
    });
    c.On("mStatusbar", [&W] {
        W.Settings().Status = W.Action("mStatusbar")->isChecked();
        W.statusBar()->setVisible(W.Settings().Status);
    });
    c.On("mTop", [&W] { W.SetAlwaysOnTop(W.Action("mTop")->isChecked()); });
    c.On("mLang", [&W] { W.SetRussian(!W.Russian()); });
}

void AddCommandHandlers(TFrmMainTarvex& W) {
    AddFileCommands(W);
    AddEditCommands(W);
    AddOptionCommands(W);
}

}  // namespace tarvex
