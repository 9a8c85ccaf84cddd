// The BookMarks menu: adding a bookmark at the caret, going and selecting to
// the last one, stepping through them (Ctrl+Tab, Ctrl+Shift+Tab) and the
// "Bookmarks & Headlines" window. Each named document keeps its list in the
// program's bookmark folder between runs.

#include <QAction>
#include <memory>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "platform/placement.h"
#include "textstore/stream.h"
#include "tools/bookmark_commands.h"
#include "tools/bookmarks.h"
#include "tools/qt/form_cont.h"

namespace tarvex {

namespace {

struct TMarkState {
    TBookmarks Marks;
    TPos FirstPos = 0;   // where the document was opened
    std::string Folder;  // made at first use; empty when it cannot be
    bool FolderTried = false;

    const std::string& BookmarkFolderOf(const TFrmMainTarvex& W) {
        if (!FolderTried) {
            FolderTried = true;
            Folder = BookmarkFolder(W.Paths().DataDir);
        }
        return Folder;
    }
};

void OpenBookmarkWindow(TFrmMainTarvex& W, TMarkState& S) {
    TSettings& s = W.Settings();
    TFormCont form(W.Memo(), S.Marks, W.Russian(), &W);
    form.MarkCount = s.MarkCount;
    form.Headlines.MaxLength = static_cast<std::int32_t>(s.ContLen >= 2 && s.ContLen <= 1000 ? s.ContLen : 100);
    form.Headlines.CapitalsOnly = s.ContentCaps;
    form.FirstPosition = S.FirstPos;
    form.DocumentName = W.Doc().Named() ? W.FileName() : std::string();
    form.OnJump = [&W] { W.MedSelMove(); };
    if (!s.ContSize.empty()) {
        TBounds b{form.x(), form.y(), form.width(), form.height()};
        ReadPlacement(s.ContSize, b);
        form.setGeometry(b.Left, b.Top, b.Width, b.Height);
    }
    form.exec();
    s.ContSize = PlacementString({form.x(), form.y(), form.width(), form.height()}, false);
    W.MedSelMove();
}

}  // namespace

void AddMarkCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    auto state = std::make_shared<TMarkState>();
    TMarkState& S = W.Keep(state);

    W.OnDocumentOpened = [&W, &S] {
        S.FirstPos = W.Memo().SelStart();
        S.Marks.Clear();
        if (!W.Doc().Named()) return;
        try {
            LoadDocumentBookmarks(S.Marks, S.BookmarkFolderOf(W), W.FileName());
        } catch (const EStreamError& e) {
            W.Prompts().ShowError(e.what());
        }
    };
    // The list of the document that goes: written to its file, or that file
    // deleted when the list is empty.
    W.OnDocumentLeaving = [&W, &S] {
        if (!W.Doc().Named()) return;
        try {
            StoreDocumentBookmarks(S.Marks, S.BookmarkFolderOf(W), W.FileName());
        } catch (const EStreamError& e) {
            W.Prompts().ShowError(e.what());
        }
    };

    auto add = [&W, &S] {
        AddBookmarkAtCaret(W.Memo(), S.Marks, W.Settings().MarkCount);
        W.MedSelMove();
    };
    c.On("mBookMark", add);
    c.On("mAddMark", add);
    c.On("mGotoMark", [&W, &S] {
        GoToLastBookmark(W.Memo(), S.Marks, S.FirstPos);
        W.MedSelMove();
    });
    c.On("mSelToMark", [&W, &S] {
        SelectToLastBookmark(W.Memo(), S.Marks, S.FirstPos);
        W.MedSelMove();
    });
    c.On("mCont", [&W, &S] {
        if (W.Memo().SelLength() != 0) {
            AddBookmarkAtCaret(W.Memo(), S.Marks, W.Settings().MarkCount);
            W.MedSelMove();
            return;
        }
        OpenBookmarkWindow(W, S);
    });
    auto step = [&W, &S](bool Backward) {
        GoToNextBookmark(W.Memo(), S.Marks, Backward);
        W.MedSelMove();
    };
    c.On("mNextMark", [step] { step(false); });
    c.On("mPrevMark", [step] { step(true); });
}

}  // namespace tarvex
