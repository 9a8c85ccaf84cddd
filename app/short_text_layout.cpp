#include "app/short_text_layout.h"

#include "editor/dudi_riri.h"
#include "platform/interface_text.h"

namespace tarvex {

void ForceCompleteLayout(TDudiRiri& M) {
    const bool modified = M.Modified;
    const TPos caret = M.SelStart();
    const bool couldUndo = M.CanUndo(), couldRedo = M.CanRedo();
    M.SetSelStart(0);
    M.SetSelTextBuf(" ");
    M.Undo();
    if (!couldUndo && !couldRedo) {
        M.ClearUndo();
    } else if (!couldRedo) {
        // The undone space must not come back with Redo.
        TUndoList& u = M.UndoList();
        while (u.Count() > u.Position) u.Delete(u.Count() - 1);
    }
    M.Modified = modified;
    M.SetSelStart(caret);
}

std::array<TStatusText, 5> StatusTexts(TDudiRiri& M) {
    std::array<TStatusText, 5> t;
    t[0].Text = " pos: " + FormatCount(M.SelStart());
    t[1].Text = " parg: " + FormatCount(M.SelPar() + 1);
    // Lines above the caret still waiting for layout make the number an estimate.
    t[2].Text = (M.SelLineIsFinal() ? " line: " : " line: ~") + FormatCount(M.SelLine() + 1);
    t[3].Text = " col: " + FormatCount(M.SelCol() + 1);
    const TPos len = M.SelLength() < 0 ? -M.SelLength() : M.SelLength();
    if (len == 1) {
        const std::string sel = M.SelText();
        const auto code = sel.empty() ? 0 : static_cast<unsigned char>(sel[0]);
        if (code != 0)
            t[4].Text = "cod: " + std::to_string(code);
        else
            t[4].Keep = true;
    } else if (len > 1) {
        t[4].Text = "sel: " + FormatCount(len);
    }
    return t;
}

}  // namespace tarvex
