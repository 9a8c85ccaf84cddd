// The Edit menu: Undo, Redo, the clipboard, Select all, the calculators,
// and the switches of the Convert submenu.

#include <QAction>

#include "app/qt/commands.h"
#include "calc/calc_command.h"
#include "app/qt/main_window.h"

namespace tarvex {

namespace {

// Runs an edit command on the editor and shows its outcome: the caret in
// view, the status bar and the command states.
template <typename F>
void EditCommand(TFrmMainTarvex& W, F&& Body) {
    TDudiRiri& m = W.Memo();
    Body(m);
    m.KeepCaretInView();
    W.Med->viewport()->update();
    W.MedSelMove();
}

}  // namespace

void AddEditCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mUndo", [&W] {
        EditCommand(W, [](TDudiRiri& m) {
            if (!m.ReadOnly && !m.DisplayOnly) m.Undo();
        });
        ChooseHighlighterAfterUndo(W);
    });
    c.On("mRedo", [&W] {
        EditCommand(W, [](TDudiRiri& m) {
            if (!m.ReadOnly && !m.DisplayOnly) m.Redo();
        });
    });
    c.On("mCut", [&W] { EditCommand(W, [](TDudiRiri& m) { m.CutToClipboard(); }); });
    c.On("mCopy", [&W] { EditCommand(W, [](TDudiRiri& m) { m.CopyToClipboard(); }); });
    c.On("mPaste", [&W] { EditCommand(W, [](TDudiRiri& m) { m.PasteFromClipboard(); }); });
    c.On("mSelectAll", [&W] { EditCommand(W, [](TDudiRiri& m) { m.SelectAll(); }); });
    for (const auto& [name, mode] : {std::pair{"mCalc", TCalcMode::Math}, std::pair{"mCalcDate", TCalcMode::DateTime}}) {
        c.On(name, [&W, mode] {
            const TCalcCommandResult r = CalculateCommand(
                W.Memo(), mode, W.Russian() ? TCalcLanguage::Russian : TCalcLanguage::English);
            if (r.Kind == TCalcCommandResult::ckShown) W.Prompts().ShowMessage(r.Message);
            if (r.Kind == TCalcCommandResult::ckFailed) {
                W.Prompts().ShowError(r.Message);
                W.Med->setFocus();
            }
            EditCommand(W, [](TDudiRiri&) {});
        });
    }
    c.On("mAuto", [&W] { W.Settings().AutoDecode = W.Action("mAuto")->isChecked(); });
}

}  // namespace tarvex
