// The Convert submenu: every item runs one dispatcher by its tag, inside the
// frame all whole-text changes share (busy cursor, one update batch, the
// caption kept, the status bar and the view refreshed).

#include <QAction>

#include "app/convert_command.h"
#include "app/qt/commands.h"
#include "app/qt/desktop.h"
#include "app/qt/main_window.h"

namespace tarvex {

namespace {

void RunConvert(TFrmMainTarvex& W, int Tag) {
    TDudiRiri& m = W.Memo();
    const QString caption = W.windowTitle();
    TConvertContext c;
    c.Reverse = Desktop().ShiftHeld();
    c.AutoDecode = W.Settings().AutoDecode;
    c.FileName = W.Doc().FileName();
    W.Prompts().Busy(true);
    try {
        m.BeginUpdate();
        struct TEnd {
            TDudiRiri& M;
            ~TEnd() { M.EndUpdate(); }
        } end{m};
        RunConvertCommand(m, Tag, c);
    } catch (const std::exception& e) {
        W.Prompts().Busy(false);
        W.Prompts().ShowError(e.what());
        W.MedSelMove();
        return;
    }
    W.Prompts().Busy(false);
    // A page turned into text keeps its addresses: they are shown as links.
    if (Tag == ctHtml && W.Settings().Highlight && W.ChooseHighlighter) W.ChooseHighlighter(hkUrl);
    if (W.windowTitle() != caption) W.setWindowTitle(caption);
    m.KeepCaretInView();
    W.Med->viewport()->update();
    W.MedSelMove();
}

}  // namespace

void AddConvertCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    for (const TCommandDef& r : CommandRows()) {
        if (r.Kind != ikCommand || !r.Menu || r.Tag == 0) continue;
        const std::string_view menu = r.Menu;
        if (menu != "mConvert" && menu != "mCase") continue;
        if (r.Tag > ctInverse || r.Tag == 11 || r.Tag == 12) continue;  // the line tools register their own
        c.On(r.Name, [&W, tag = r.Tag] { RunConvert(W, tag); });
    }
}

}  // namespace tarvex
