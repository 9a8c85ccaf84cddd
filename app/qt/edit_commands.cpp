// The Edit menu: Undo, Redo, the clipboard, Select all, and the switches of
// the Convert submenu.

#include <QAction>

#include "app/qt/commands.h"
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
    c.On("mAuto", [&W] { W.Settings().AutoDecode = W.Action("mAuto")->isChecked(); });
}

}  // namespace tarvex
