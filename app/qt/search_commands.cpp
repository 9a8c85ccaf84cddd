// Find/Replace, Find next, Find back and Replace in Lines; Sort lines and
// Compress lines of the Convert menu. The dialogs and the work are the
// tools' own; here they get the window's search state, settings and prompts.

#include <QAction>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "tools/qt/form_fnd.h"
#include "tools/qt/form_replace_lines.h"
#include "tools/qt/form_sort.h"

namespace tarvex {

namespace {

// Runs a dialog over the find settings and hands back what it changed.
template <typename F>
void WithFindSettings(TFrmMainTarvex& W, F&& Run) {
    TFindSettings f = W.Settings().FindSettings();
    Run(f);
    W.Settings().SetFindSettings(f);
}

void OpenFindReplace(TFrmMainTarvex& W) {
    WithFindSettings(W, [&W](TFindSettings& F) {
        FindReplaceDialog(*W.Med, W.Search(), F, W.Prompts(), W.Russian(), W.Settings().OnTop, &W,
                          [&W] { W.MedSelMove(); });
    });
    W.MedSelMove();
}

}  // namespace

void AddSearchCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    c.On("mFindReplace", [&W] { OpenFindReplace(W); });
    c.On("mRep", [&W] { OpenFindReplace(W); });
    auto findNext = [&W](bool Forward) {
        FindNextCommand(*W.Med, W.Search(), W.Prompts(), Forward, W.Russian());
        W.MedSelMove();
    };
    c.On("mFindNext", [findNext] { findNext(true); });
    c.On("mFindBack", [findNext] { findNext(false); });
    c.On("mReplaceLines", [&W] {
        WithFindSettings(W, [&W](TFindSettings& F) {
            ReplaceInLinesDialog(*W.Med, W.Search(), F, W.Prompts(), W.Russian(), W.Settings().OnTop, &W);
        });
        W.MedSelMove();
    });

    c.On("mSort", [&W] {
        const TSettings& s = W.Settings();
        TSortOptions o;
        o.Delim = s.Delim;
        o.Separ = s.Separ;
        o.DeleteDuplicates = s.SortDupl;
        o.JoinItems = s.JoinSort;
        const std::string name = W.Doc().Named() ? W.FileName() : std::string("Untitled");
        TFormSort::SortLines(&W, W.Memo(), name, o, W.Russian(), [&W](int Percent) {
            W.ShowProgress(QString::number(Percent) + "%");
        });
        W.MedSelMove();
    });
    c.On("mCompress", [&W] {
        TFormSort::CompressLines(W.Memo(), static_cast<std::uint32_t>(W.Settings().Compress));
        W.MedSelMove();
    });
}

}  // namespace tarvex
