// The File menu: New, Open, ReOpen, History, Save, Save As, Exit.

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "app/detect.h"
#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_prompts.h"

namespace tarvex {

namespace {

// Files the preview shows first: large enough that loading them takes a while.
constexpr std::int64_t kPreviewMinSize = 4 << 20;
constexpr std::int64_t kPreviewBytes = 256 << 10;

void AfterDocumentChange(TFrmMainTarvex& W) {
    W.RebuildHistoryMenu();
    W.MedSelMove();
    W.Med->viewport()->update();
}

}  // namespace

bool SaveDocument(TFrmMainTarvex& W) {
    const bool saved = W.Doc().Save();
    W.MedSelMove();
    return saved;
}

void OpenFromHistory(TFrmMainTarvex& W, std::size_t Index) {
    if (Index >= W.History().Items().size()) return;
    const THistory::TItem item = W.History().Items()[Index];
    if (!W.Doc().DiscardQuery()) return;
    W.LoadFile(item.Name, item.Pos);
}

void ShowLoadPreview(TFrmMainTarvex& W, TStream& S, const TFormatFlags& F, TPos CaretPos) {
    // Text decoded as it is read shows right away; text converted once it is
    // in would show wrong characters while it loads.
    if (F.DecodesWhileLoading()) return;
    if (F.Converts() || F.IsDoc || F.IsTcr) return W.HideTextWhileLoading();
    std::string head = ReadBytes(S, kPreviewBytes);
    S.Seek(0);
    const std::size_t cut = head.find_last_of("\r\n");
    if (cut != std::string::npos && cut > 0) head.resize(cut);
    if (IsUtf8Text(head)) return W.HideTextWhileLoading();
    if (CaretPos > 0 || !W.isVisible() || S.Size() < kPreviewMinSize) return;
    TDudiRiri& m = W.Memo();
    const auto progress = std::move(m.OnProgress);
    m.OnProgress = nullptr;
    TMemoryStream ms(std::move(head));
    m.LoadFromStream(ms);
    m.Modified = false;
    m.OnProgress = progress;
    // The window shows this file now; the rest follows while it loads.
    W.setWindowTitle(QFileInfo(FromFileSystem(W.Doc().OpenedName())).fileName() + " - " +
                     FromFileSystem(W.Paths().AppTitle));
    W.Med->viewport()->repaint();
}

void AddFileCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    TDocument& d = W.Doc();
    c.On("mNew", [&W, &d] {
        if (!d.DiscardQuery()) return;
        if (W.OnDocumentLeaving) W.OnDocumentLeaving();
        d.New();
        if (W.OnDocumentOpened) W.OnDocumentOpened();
        AfterDocumentChange(W);
    });
    c.On("mOpen", [&W, &d] {
        if (!d.DiscardQuery()) return;
        TSettings& s = W.Settings();
        int filter = static_cast<int>(s.OpenFilter);
        const std::string name = W.Prompts().AskOpenFileName(s.Folder, filter);
        if (name.empty()) return;
        s.OpenFilter = filter;
        s.Folder = ToFileSystem(QFileInfo(FromFileSystem(name)).absolutePath());
        W.LoadFile(name, 0);
    });
    c.On("mRefresh", [&W, &d] {
        if (d.ConfirmRefresh()) W.LoadFile(d.FileName(), W.Memo().SelStart());
    });
    c.On("mSave", [&W] { SaveDocument(W); });
    c.On("mSaveAs", [&W, &d] {
        d.SaveAs();
        W.MedSelMove();
    });
    c.On("mExit", [&W] { W.close(); });
}

// The History submenu, one entry per remembered file.
void TFrmMainTarvex::RebuildHistoryMenu() {
    QMenu* menu = HistoryMenu();
    menu->clear();
    const auto& items = FHistory.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        QString caption = FromFileSystem(items[i].Name);
        caption.replace('&', "&&");  // the path as it is, no accelerator letters
        QAction* a = menu->addAction(caption);
        a->setData(QVariant::fromValue<qlonglong>(items[i].Pos));
        connect(a, &QAction::triggered, this, [this, i] { OpenFromHistory(*this, i); });
    }
    menu->menuAction()->setVisible(!items.empty());
}

}  // namespace tarvex
