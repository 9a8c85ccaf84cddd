// The Options and Help menus and the language switch on the menu bar.

#include <QAction>
#include <QStatusBar>
#include <QToolBar>

#include "app/qt/commands.h"
#include "app/qt/about_dialog.h"
#include "app/qt/main_window.h"
#include "app/qt/settings_dialog.h"

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
    c.On("mAbout", [&W] { TFormAbout(W.Russian(), &W).exec(); });
    c.On("mSets", [&W] {
        const TSettings before = W.Settings();
        TFormSet f(W.Settings(), W.DateFormatter, &W);
        if (f.exec() == QDialog::Accepted) ApplyChangedSettings(W, before);
    });
}

void ApplyChangedSettings(TFrmMainTarvex& W, const TSettings& Before) {
    const TSettings& s = W.Settings();
    TDudiRiri& m = W.Memo();
    W.Action("mAuto")->setChecked(s.AutoDecode);
    if (s.DragText)
        m.SetOptions(m.Options() & ~droNoDragnDrop);
    else
        m.SetOptions(m.Options() | droNoDragnDrop);
    m.NullReplacement = s.SkipNull ? ' ' : '\0';
    if (s.TabStops >= 2 && s.TabStops <= 100 && s.TabStops != m.TabStops())
        m.SetTabStops(static_cast<std::int32_t>(s.TabStops));
    if (s.HideCaret != Before.HideCaret && W.OnReadOnlyStyle) W.OnReadOnlyStyle();
    W.MedSelMove();
}

void AddCommandHandlers(TFrmMainTarvex& W) {
    AddFileCommands(W);
    AddDesktopCommands(W);
    AddEditCommands(W);
    AddNavigationCommands(W);
    AddConvertCommands(W);
    AddOptionCommands(W);
    AddOutputCommands(W);
    AddSpellCommands(W);
    AddHighlightCommands(W);
    AddSearchCommands(W);
    AddMarkCommands(W);
    AddViewCommands(W);
    AddStyleCommands(W);
}

}  // namespace tarvex
