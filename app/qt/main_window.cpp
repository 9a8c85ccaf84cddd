#include "app/qt/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include "app/atomic_file.h"
#include "app/instance_link.h"
#include "app/qt/bench_probe.h"
#include "app/qt/commands.h"
#include "app/qt/qt_prompts.h"
#include "app/qt/status_panels.h"
#include "app/qt/window_settings.h"
#include "app/short_text_layout.h"

namespace tarvex {

namespace {
QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }
}  // namespace

void TMedWidget::paintEvent(QPaintEvent* E) {
    TRiriWidget::paintEvent(E);
    if (OnPainted) OnPainted();
}

TFrmMainTarvex::TFrmMainTarvex(const TAppPaths& Paths, bool HasFileArgument, TPrompts* Prompts, QWidget* Parent)
    : QMainWindow(Parent), FPaths(Paths), FSettings(RussianLocale()) {
    Med = new TMedWidget(this);
    setCentralWidget(Med);
    FPanels = new TStatusPanels(this);
    statusBar()->addWidget(FPanels, 1);
    if (Prompts) {
        FPrompts = Prompts;
    } else {
        auto own = std::make_unique<TQtPrompts>(this, [this] { return FSettings.Lang; },
                                                [this](const QString& T) { ShowProgress(T); });
        own->Title = Q(FPaths.AppTitle);
        own->OnWorkStarts = [this] { WorkStarts(); };
        own->OnKeepWorking = [this] { return KeepWorking(); };
        own->OnWorkEnds = [this] { WorkEnds(); };
        FOwnPrompts = std::move(own);
        FPrompts = FOwnPrompts.get();
    }
    FDoc = std::make_unique<TDocument>(Memo(), *FPrompts, FSettings, FHistory);
    FDoc->Hooks.AlreadyOpen = [this](const std::string& Path) { return CheckAlreadyOpen(Path); };
    FDoc->Hooks.BeforeLoad = [this](TStream& S, const TFormatFlags& F, TPos CaretPos) {
        ShowLoadPreview(*this, S, F, CaretPos);
    };
    FDoc->Hooks.OnNameChanged = [this] {
        SetCaption();
        FPanels->SetText(5, FromFileSystem(FDoc->ShownName()));
    };

    TDudiRiri& m = Memo();
    PrepareEditor(m);
    m.OnSelMove = [this](TDudiRiri&) { MedSelMove(); };
    m.OnChange = [this](TDudiRiri&) { UpdateCommands(); };
    m.OnProgress = [this](TDudiRiri&) { MedProgress(); };
    FProbe = TBenchProbe::FromEnvironment();
    if (FProbe) {
        Med->OnPainted = [this] { FProbe->Painted(Memo().CharCount() > 0); };
        FDoc->Hooks.ConfirmLarge = [](std::int64_t) { return true; };
    }
    Med->installEventFilter(this);

    FToolBar = addToolBar(QString());
    FToolBar->setObjectName("ToolBar");
    FToolBar->setMovable(false);
    FToolBar->toggleViewAction()->setVisible(false);  // the menu items keep the check marks
    AddCommandHandlers(*this);
    FCommands.Build(*FToolBar);

    ReadSettingsFile(FPaths.IniPath, FIni);
    FSettings.Read(FIni);
    ApplySettings(*this);
    if (FSettings.MaxFiles > 0) FHistory.Read(FIni);
    RebuildHistoryMenu();
    UseQtTranslations(FSettings.Lang);
    FCommands.Relabel(FSettings.Lang);
    ChooseHighlighter(FSettings.Highlight ? hkUrl : hkNone);

    if (!HasFileArgument) {
        SetCaption();
        m.Clear();
        m.Modified = false;
    }
    setAcceptDrops(true);

    QClipboard* clip = QApplication::clipboard();
    auto clipChanged = [this, clip] {
        const QMimeData* d = clip->mimeData();
        FClipboardHasText = d && d->hasText() && !d->text().isEmpty();
        UpdateCommands();
    };
    connect(clip, &QClipboard::dataChanged, this, clipChanged);
    clipChanged();

    FLink = std::make_unique<TInstanceLink>([this] { return FromFileSystem(FDoc->ShownName()); }, [this] {
        FCloseMark = false;
        BringToFront();
    });
    FLink->Listen();
}

TFrmMainTarvex::~TFrmMainTarvex() {
    // The editor's background layout must not call into a half-destroyed window.
    Memo().OnProgress = nullptr;
    Memo().OnSelMove = nullptr;
    Memo().OnChange = nullptr;
    FParts.clear();
}

// --- captions, language, status, command states

QString TFrmMainTarvex::Text(const char* Bi) const { return Q(Bilingual(Bi, FSettings.Lang)); }

void TFrmMainTarvex::SetCaption() {
    setWindowTitle(FromFileSystem(FDoc->Title() + " - " + FPaths.AppTitle));
    FCaptionSet = true;
}

void TFrmMainTarvex::SetRussian(bool Russian) {
    FSettings.Lang = Russian;
    UseQtTranslations(Russian);
    Memo().RussianInterface = Russian;
    FCommands.Relabel(Russian);
    MedSelMove();
}

// Qt's own dialogs (file dialogs, standard buttons) speak the interface language too.
void TFrmMainTarvex::UseQtTranslations(bool Russian) {
    if (FQtTranslator) {
        QCoreApplication::removeTranslator(FQtTranslator.get());
        FQtTranslator.reset();
    }
    if (!Russian) return;
    auto t = std::make_unique<QTranslator>();
    if (t->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(t.get());
        FQtTranslator = std::move(t);
    }
}

QString TFrmMainTarvex::StatusText(int Panel) const { return FPanels->Text(Panel); }
QAction* TFrmMainTarvex::Action(const char* Name) const {
    if (QAction* a = FCommands.Action(Name)) return a;
    return FCommands.Button(Name);
}
QMenu* TFrmMainTarvex::HistoryMenu() const { return FCommands.Menu("mReOpen"); }

void TFrmMainTarvex::ShowProgress(const QString& T) {
    FPanels->SetText(0, T);
    if (statusBar()->isVisible()) FPanels->repaint();
}

void TFrmMainTarvex::MedSelMove() {
    if (FInSelMove || FLoading) return;
    FInSelMove = true;
    TDudiRiri& m = Memo();
    const auto t = StatusTexts(m);
    for (int i = 0; i < 5; ++i)
        if (!t[static_cast<std::size_t>(i)].Keep) FPanels->SetText(i, Q(t[static_cast<std::size_t>(i)].Text));
    UpdateCommands();
    FInSelMove = false;
}

void TFrmMainTarvex::UpdateCommands() {
    if (FLoading || FWorking > 0) return;
    TDudiRiri& m = Memo();
    TCommandState s;
    s.Selection = m.SelLength() != 0;
    s.Text = m.CharCount() > 0;
    s.ReadOnly = m.ReadOnly || m.DisplayOnly;
    s.Named = FDoc->Named();
    s.CanUndo = m.CanUndo();
    s.CanRedo = m.CanRedo();
    s.ClipboardText = FClipboardHasText;
    s.SaveEnabled = FDoc->SaveEnabled();
    s.Search = FSearch.CanFindNext();
    s.WordWrap = m.WordWrap();
    // The first change of a saved text repaints: the editor shows modified text alike, but the window title does not.
    if (s.SaveEnabled && !FSaveWasEnabled && m.Modified) Med->viewport()->update();
    FSaveWasEnabled = s.SaveEnabled;
    FCommands.ApplyEnableRules(s);
    // Whole-text changes stay undoable.
    if (m.CharCount() + 8192 > m.UndoMaxSpace()) m.SetUndoMaxSpace(m.CharCount() + 8192);
}

void TFrmMainTarvex::WorkStarts() {
    if (FWorking++ > 0) return;
    FCancelWork = false;
    FWasReadOnly = Memo().ReadOnly;
    Memo().ReadOnly = true;
    FCommands.ApplyEnableRules(std::nullopt);
}

bool TFrmMainTarvex::KeepWorking() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !FCancelWork;
}

void TFrmMainTarvex::WorkEnds() {
    if (FWorking == 0 || --FWorking > 0) return;
    Memo().ReadOnly = FWasReadOnly;
    UpdateCommands();
    if (std::exchange(FCloseAfterWork, false)) QTimer::singleShot(0, this, [this] { close(); });
}

void TFrmMainTarvex::MedProgress() {
    TDudiRiri& m = Memo();
    const std::int32_t p = m.FormatProgress();
    if (p < 100) {
        ShowProgress("Wait " + QString::number(p) + "%");
        return;
    }
    if (FDoc->JustLoaded()) {
        FDoc->ConsumeJustLoaded();
        if (m.Pars.LineCount < kShortTextLines) {
            const bool wasInSelMove = std::exchange(FInSelMove, true);
            ForceCompleteLayout(m);
            FInSelMove = wasInSelMove;
            Med->viewport()->update();
        }
        if (FProbe)
            FProbe->LayoutDone(*this, [this](const std::string& Path) { FDoc->SaveAsFile(Path, sfUtf8); });
    }
    MedSelMove();
}

// --- the document

void TFrmMainTarvex::HideTextWhileLoading() {
    if (FTextHidden) return;
    FTextHidden = true;
    Med->viewport()->setUpdatesEnabled(false);
}

bool TFrmMainTarvex::LoadFile(const std::string& Name, TPos CaretPos) {
    // The window answers while a file loads, but opens no second one meanwhile.
    if (FWorking > 0) return false;
    // The text comes in unhighlighted; the file's own highlighter is chosen once it is in.
    TRiriHighlighter* previous = Memo().Highlighter();
    Memo().SetHighlighter(nullptr);
    if (OnDocumentLeaving) OnDocumentLeaving();
    bool loaded;
    {
        FLoading = true;
        struct TEnd {
            bool& Flag;
            ~TEnd() { Flag = false; }
        } end{FLoading};
        loaded = FDoc->Open(Name, CaretPos);
    }
    if (FProbe) FProbe->Report("load_done");
    if (std::exchange(FTextHidden, false)) Med->viewport()->setUpdatesEnabled(true);
    RebuildHistoryMenu();
    MedSelMove();
    if (!loaded) {
        Memo().SetHighlighter(previous);
        return false;
    }
    ChooseHighlighterAfterLoad(*this);
    if (FProbe) FProbe->Report("highlighter_chosen");
    if (OnDocumentOpened) OnDocumentOpened();
    Med->viewport()->update();
    if (isVisible()) Med->setFocus();
    // A text laid out at once reports no progress: its layout is complete now.
    if (Memo().FormatProgress() >= 100) MedProgress();
    return true;
}

bool TFrmMainTarvex::CheckAlreadyOpen(const std::string& Path) {
    const QString peer = FLink->FindShowing(FromFileSystem(Path));
    if (peer.isEmpty()) return false;
    if (FPrompts->Ask(Bilingual("This file was already open! Continue?=Этот файл уже был открыт! Продолжать?",
                                FSettings.Lang),
                      TPrompts::pcYesNo) == TPrompts::paYes)
        return false;
    showMinimized();
    FLink->Activate(peer);
    // An instance started only for this file has shown nothing yet: it goes.
    if (!FCaptionSet) FCloseMark = true;
    return true;
}

void TFrmMainTarvex::BringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void TFrmMainTarvex::FormShow(const std::vector<std::string>& Args) {
    SetAlwaysOnTop(FSettings.OnTop);
    if (!Args.empty()) {
        // The preview paints only on a window the system shows already.
        QElapsedTimer t;
        t.start();
        while (windowHandle() && !windowHandle()->isExposed() && t.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (!windowHandle()->isExposed()) QThread::msleep(2);
        }
        bool ok = false;
        const qlonglong caret = Args.size() > 1 ? QString::fromStdString(Args[1]).toLongLong(&ok) : 0;
        LoadFile(Args[0], ok && caret > 0 ? caret : 0);
    } else {
        MedSelMove();
    }
    if (FCloseMark && !FDoc->Named()) {
        FCloseMark = false;
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    if (Memo().SelStart() > 0) {
        Med->setFocus();
        Memo().SetTopLine(Memo().SelLine());
    }
}

void TFrmMainTarvex::SetAlwaysOnTop(bool On) {
    FSettings.OnTop = On;
    Action("mTop")->setChecked(On);
    if (On != StaysOnTop(*this)) ApplyStaysOnTop(*this, On);
}

// --- closing

void TFrmMainTarvex::closeEvent(QCloseEvent* E) {
    // The window closes once the work it does is over: a save ends, a load stops.
    if (FWorking > 0) {
        FCloseAfterWork = true;
        if (FLoading) FCancelWork = true;
        E->ignore();
        return;
    }
    if (!FDoc->DiscardQuery()) {
        E->ignore();
        return;
    }
    FDoc->AddToHistory();
    if (OnDocumentLeaving) OnDocumentLeaving();
    if (!FProbe) SaveSettings();
    E->accept();
}

// --- drag and drop, keys

void TFrmMainTarvex::dragEnterEvent(QDragEnterEvent* E) {
    if (E->mimeData()->hasUrls() && !E->mimeData()->urls().isEmpty() && E->mimeData()->urls().front().isLocalFile())
        E->acceptProposedAction();
}

void TFrmMainTarvex::dropEvent(QDropEvent* E) {
    const QList<QUrl> urls = E->mimeData()->urls();
    E->acceptProposedAction();
    BringToFront();
    if (FWorking > 0 || urls.isEmpty() || !urls.front().isLocalFile()) return;
    const std::string name = ToFileSystem(urls.front().toLocalFile());
    if (IsDirectory(name)) return;
    if (!FDoc->DiscardQuery()) return;
    LoadFile(name, 0);
}

bool TFrmMainTarvex::eventFilter(QObject* O, QEvent* E) {
    if (O == Med && E->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(E);
        if (FWorking > 0) {
            // Only moving around the text and Esc (stop) while the text is read or written.
            if (k->key() == Qt::Key_Escape) FCancelWork = true;
            return k->key() == Qt::Key_Escape || k->key() == Qt::Key_F2;
        }
        if (k->key() == Qt::Key_F2 && k->modifiers() == Qt::NoModifier) {
            SaveDocument(*this);
            return true;
        }
        if (k->key() == Qt::Key_Escape && FSettings.Escape) {
            close();
            return true;
        }
    }
    return QMainWindow::eventFilter(O, E);
}

}  // namespace tarvex
