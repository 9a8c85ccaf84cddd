// The Highlight menu: the window's highlighters, one of which (or none) the
// editor uses; chosen by the file's extension when a file is loaded and
// after Undo, or by the user.

#include <QAction>
#include <QDesktopServices>
#include <QUrl>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "highlight/factory.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

constexpr const char* kItems[] = {"mNone", "mUrl", "mPas", "mHtm", "mCpp", "mSql"};

}  // namespace

void AddHighlightCommands(TFrmMainTarvex& W) {
    THighlighterSet& set = W.Keep(std::make_shared<THighlighterSet>());
    set.SetLauncher([](const std::string& Address) {
        const std::u16string u = Cp1251ToUtf16(Address);
        QDesktopServices::openUrl(QUrl(QString::fromStdU16String(u)));
    });
    set.SetLinkColor(static_cast<std::int32_t>(W.Settings().Url));
    W.ChooseHighlighter = [&W, &set](THighlighterKind Kind) {
        W.Action(kItems[Kind - 1])->setChecked(true);
        W.Settings().Highlight = Kind != hkNone;
        TRiriHighlighter* h = set.For(Kind);
        if (W.Memo().Highlighter() != h) W.Memo().SetHighlighter(h);
        W.Med->viewport()->update();
    };
    for (int kind = hkNone; kind <= hkSql; ++kind)
        W.Commands().On(kItems[kind - 1], [&W, kind] { W.ChooseHighlighter(static_cast<THighlighterKind>(kind)); });
}

// The choice a loaded file brings, unless the user turned highlighting off.
void ChooseHighlighterAfterLoad(TFrmMainTarvex& W) {
    if (!W.ChooseHighlighter || W.Action("mNone")->isChecked()) return;
    W.ChooseHighlighter(W.Doc().Highlighter());
}

// Undo may have restored text of another kind: the file's extension decides again.
void ChooseHighlighterAfterUndo(TFrmMainTarvex& W) {
    if (!W.ChooseHighlighter || W.Action("mNone")->isChecked() || !W.Doc().Named()) return;
    TLoadSettings ls;
    ls.AutoDecode = W.Settings().AutoDecode;
    ls.AutoHtmTxt = W.Settings().AutoHtmTxt;
    W.ChooseHighlighter(HighlighterForPath(W.Doc().FileName(), ls));
}

}  // namespace tarvex
