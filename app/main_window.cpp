#include "app/main_window.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "app/atomic_file.h"
#include "platform/codepage.h"
#include "app/detect.h"
#include "app/instance_link.h"
#include "platform/qt_text.h"

namespace tarvex {

namespace {

// The editor's word separators: controls, space, quote, most punctuation and
// the Windows-1251 dashes, quotes, ellipsis and no-break space.
std::string WordSeparators() {
    std::string s;
    for (int c = 0; c <= 0x22; ++c) s.push_back(static_cast<char>(c));
    s += "()*+,./:;<=>?[\\]^{|}";
    s += "\x85\x93\x94\x96\x97\xA0\xAB\xBB";
    return s;
}

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }
std::string S(const QString& Q) { return Q.toUtf8().toStdString(); }

std::string BaseName(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

QString NoAmpersands(QString T) {
    T.replace("&&", QString(QChar(1)));
    T.remove('&');
    T.replace(QChar(1), '&');
    return T;
}

// The Open dialog's filters: caption, then the patterns.
struct TFilter {
    const char* Caption;
    const char* Patterns;
};
constexpr TFilter kOpenFilters[] = {
    {"Text files (*.TXT)", "*.TXT"},
    {"Pascal files (*.pas,*.dpr,*.dpk,*.inc,*.dfm)", "*.PAS;*.DPK;*.DPR;*.INC;*.DFM"},
    {"C files (*.c,*.cpp,*.h,*.hpp)", "*.C;*.CPP;*.H;*.HPP"},
    {"Rich text files (*.rtf)", "*.RTF"},
    {"HTML files (*.htm,*.xml,*.php,*.asp,*.fb2)", "*.*HTM*;*.XML;*.PHP*;*.ASP*;*.FB2"},
    {"DOC files (*.doc)", "*.DOC"},
    {"SQL files (*.sql)", "*.SQL"},
    {"TCR files (*.tcr)", "*.TCR"},
    {"All files (*.*)", "*"},
};
constexpr TFilter kSaveFilters[] = {
    {"Text files (*.txt)", "*.TXT"},
    {"UTF-8 files (*.txt)", "*.TXT"},
    {"All files (*.*)", "*"},
};

// A Qt name filter showing the caption and matching names in either case.
QStringList QtFilters(const TFilter* F, std::size_t N) {
    QStringList out;
    for (std::size_t i = 0; i < N; ++i) {
        QStringList pats;
        for (const QString& p : QString(F[i].Patterns).split(';')) {
            pats << p.toLower();
            if (p.toUpper() != p.toLower()) pats << p.toUpper();
        }
        out << QString(F[i].Caption) + " (" + pats.join(' ') + ")";
    }
    return out;
}

std::int64_t MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// Counts what a save has written, for its progress.
class TCountingStream : public TStream {
public:
    explicit TCountingStream(TStream& S) : FS(S) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    void Write(const void* B, std::int64_t N) override {
        FS.Write(B, N);
        Written += N;
    }
    std::int64_t Size() override { return Written; }
    std::int64_t Position() override { return Written; }
    void Seek(std::int64_t) override {}
    std::int64_t Written = 0;

private:
    TStream& FS;
};

// Files the preview shows first: large enough that loading them takes a while.
constexpr std::int64_t kPreviewMinSize = 4 << 20;
constexpr std::int64_t kPreviewBytes = 256 << 10;

constexpr const char* kUntitled = "Untitled";

}  // namespace

void TMedWidget::paintEvent(QPaintEvent* E) {
    TRiriWidget::paintEvent(E);
    if (OnPainted) OnPainted();
}

TAppPaths TAppPaths::ForProgram(const std::string& ProgramPath) {
    TAppPaths p;
    const QFileInfo exe(Q(ProgramPath));
    p.ExeDir = S(exe.absolutePath()) + "/";
    p.AppTitle = S(exe.completeBaseName());
    if (p.AppTitle.empty()) p.AppTitle = "tarvex";
    if (const QByteArray env = qgetenv("TARVEX_SETTINGS"); !env.isEmpty()) {
        p.IniPath = env.toStdString();
    } else if (::access(p.ExeDir.c_str(), W_OK) == 0) {
        p.IniPath = p.ExeDir + p.AppTitle + ".ini";
    } else {
        QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
        dir += "/tarvex";
        QDir().mkpath(dir);
        p.IniPath = S(dir) + "/" + p.AppTitle + ".ini";
    }
    return p;
}

// --- creation

TFrmMainTarvex::TFrmMainTarvex(const TAppPaths& Paths, bool HasFileArgument, QWidget* Parent)
    : QMainWindow(Parent), FPaths(Paths), FSettings(RussianLocale()) {
    FBenchReport = qEnvironmentVariable("TARVEX_BENCH_REPORT").toStdString();
    Med = new TMedWidget(this);
    setCentralWidget(Med);
    TDudiRiri& m = Memo();
    m.SetSeparators(WordSeparators());
    // Documents are saved with the line breaks they came with.
    m.SetOptions(m.Options() | droAutoLineBreak);
    m.OnSelMove = [this](TDudiRiri&) { MedSelMove(); };
    m.OnChange = [this](TDudiRiri&) { UpdateCommands(); };
    m.OnProgress = [this](TDudiRiri&) { MedProgress(); };
    Med->OnPainted = [this] {
        if (!FBenchPainted && !FBenchReport.empty() && Memo().CharCount() > 0) {
            FBenchPainted = true;
            BenchReport("first_paint");
        }
    };
    Med->installEventFilter(this);

    for (int i = 0; i < 6; ++i) {
        FPanels[static_cast<std::size_t>(i)] = new QLabel(this);
        if (i < 5)
            FPanels[static_cast<std::size_t>(i)]->setFixedWidth(110);
        else
            FPanels[static_cast<std::size_t>(i)]->setMinimumWidth(200);
        statusBar()->addWidget(FPanels[static_cast<std::size_t>(i)], i == 5 ? 1 : 0);
    }

    CreateActions();
    CreateMenus();

    // The settings file: a missing or unreadable one leaves every default.
    {
        std::ifstream in(FPaths.IniPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        FIni.Parse(ss.str());
    }
    FSettings.Read(FIni);
    FStartPlacement = FSettings.MainSize;
    ApplySettings();

    if (!HasFileArgument) {
        FCaptionSet = true;
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

    FLink = std::make_unique<TInstanceLink>([this] { return Q(FShownName); }, [this] {
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
}

void TFrmMainTarvex::CreateActions() {
    auto act = [this](QAction*& A, const char* Name, const char* Caption, QKeySequence Key, auto Slot) {
        A = new QAction(this);
        A->setObjectName(Name);
        if (!Key.isEmpty()) A->setShortcut(Key);
        connect(A, &QAction::triggered, this, Slot);
        FCaptions.push_back({A, Caption, false});
    };
    act(mNew, "mNew", "&New=&Создать", QKeySequence("Ctrl+N"), [this] { NewDocument(); });
    act(mOpen, "mOpen", "&Open...=&Открыть...", QKeySequence("Ctrl+O"), [this] { OpenWithDialog(); });
    act(mRefresh, "mRefresh", "&ReOpen=О&бновить", QKeySequence("Ctrl+0"), [this] { Refresh(); });
    act(mSave, "mSave", "&Save=Сох&ранить", QKeySequence("Ctrl+S"), [this] { SaveDocument(); });
    act(mSaveAs, "mSaveAs", "Save &As...=Сохранить &как...", QKeySequence(), [this] { SaveAs(); });
    act(mExit, "mExit", "E&xit=Вы&ход", QKeySequence(), [this] { close(); });
    act(mUndo, "mUndo", "&Undo=&Отменить", QKeySequence("Ctrl+Z"), [this] {
        if (!Memo().ReadOnly) Memo().Undo();
        UpdateCommands();
    });
    act(mRedo, "mRedo", "&Redo=Повто&рить", QKeySequence("Ctrl+Shift+Z"), [this] {
        if (!Memo().ReadOnly) Memo().Redo();
        UpdateCommands();
    });
    act(mCut, "mCut", "Cu&t=&Вырезать", QKeySequence(), [this] {
        Memo().CutToClipboard();
        UpdateCommands();
    });
    act(mCopy, "mCopy", "&Copy=&Копировать", QKeySequence(), [this] {
        Memo().CopyToClipboard();
        UpdateCommands();
    });
    act(mPaste, "mPaste", "&Paste=Вст&авить", QKeySequence(), [this] {
        Memo().PasteFromClipboard();
        Med->viewport()->update();
        UpdateCommands();
    });
    act(mSelectAll, "mSelectAll", "Select &all=В&ыделить все", QKeySequence("Ctrl+A"), [this] {
        Memo().SelectAll();
        UpdateCommands();
    });
    act(mToolbar, "mToolbar", "T&oolbar=&Панель с кнопками", QKeySequence(), [this] {
        FToolBar->setVisible(mToolbar->isChecked());
    });
    act(mStatusbar, "mStatusbar", "&Status bar=Панель &информации", QKeySequence(), [this] {
        statusBar()->setVisible(mStatusbar->isChecked());
    });
    act(mAuto, "mAuto", "Aut&oDecode=Автод&екодирование", QKeySequence(), [] {});
    act(mTop, "mTop", "AlwaysOn&Top=Поверх всех &окон", QKeySequence("Ctrl+T"), [this] {
        SetAlwaysOnTop(mTop->isChecked());
    });
    for (QAction* a : {mToolbar, mStatusbar, mAuto, mTop}) a->setCheckable(true);
    // Cut, Copy and Paste also answer the editor's own keys; the menu shows the usual ones.
    mCut->setShortcut(QKeySequence::Cut);
    mCopy->setShortcut(QKeySequence::Copy);
    mPaste->setShortcut(QKeySequence::Paste);

    // Toolbar buttons (their hints are the captions without "&", or their own texts).
    auto button = [this](QAction*& B, const char* Name, const char* Hint, QStyle::StandardPixmap Icon,
                         const char* Theme, auto Slot) {
        B = new QAction(this);
        B->setObjectName(Name);
        QIcon icon = QIcon::fromTheme(Theme);
        if (icon.isNull() && Icon != QStyle::SP_CustomBase) icon = style()->standardIcon(Icon);
        B->setIcon(icon);
        connect(B, &QAction::triggered, this, Slot);
        FCaptions.push_back({B, Hint, true});
    };
    button(ButOpen, "ButOpen", "Open File=Открыть файл...", QStyle::SP_DialogOpenButton, "document-open",
           [this] { OpenWithDialog(); });
    button(ButSave, "ButSave", "Save File=Сохранить файл", QStyle::SP_DialogSaveButton, "document-save",
           [this] { SaveDocument(); });
    button(ButCut, "ButCut", "Cu&t=&Вырезать", QStyle::SP_CustomBase, "edit-cut", [this] { mCut->trigger(); });
    button(ButCopy, "ButCopy", "&Copy=&Копировать", QStyle::SP_CustomBase, "edit-copy",
           [this] { mCopy->trigger(); });
    button(ButPaste, "ButPaste", "&Paste=Вст&авить", QStyle::SP_CustomBase, "edit-paste",
           [this] { mPaste->trigger(); });
    button(ButUndo, "ButUndo", "&Undo=&Отменить", QStyle::SP_ArrowBack, "edit-undo", [this] { mUndo->trigger(); });
    button(ButRedo, "ButRedo", "&Redo=Повто&рить", QStyle::SP_ArrowForward, "edit-redo",
           [this] { mRedo->trigger(); });
    button(ButTop, "ButTop", "AlwaysOn&Top=Поверх всех &окон", QStyle::SP_TitleBarShadeButton, "go-top",
           [this] { SetAlwaysOnTop(ButTop->isChecked()); });
    ButTop->setCheckable(true);
    button(ButClose, "ButClose", "Close=Закрыть программу (Esc)", QStyle::SP_DialogCloseButton, "window-close",
           [this] { close(); });

    mLang = new QAction(this);
    mLang->setObjectName("mLang");
    connect(mLang, &QAction::triggered, this, [this] { SetRussian(!FRussian); });
}

void TFrmMainTarvex::CreateMenus() {
    auto menu = [this](QMenu*& M, const char* Name, const char* Caption) {
        M = new QMenu(this);
        M->setObjectName(Name);
        FCaptions.push_back({M, Caption, false});
    };
    menu(mFile, "mFile", "&File=&Файл");
    menu(mEdit, "mEdit", "&Edit=&Правка");
    menu(mOptions, "mOptions", "Op&tions=&Опции");
    menu(mReOpen, "mReOpen", "&History=&История");
    menu(mConvert, "mConvert", "Con&vert=Преобра&зовать");
    menu(mView, "mView", "&View=&Вид");

    mFile->addAction(mNew);
    mFile->addAction(mOpen);
    mFile->addAction(mRefresh);
    mFile->addMenu(mReOpen);
    mFile->addSeparator();
    mFile->addAction(mSave);
    mFile->addAction(mSaveAs);
    mFile->addSeparator();
    mFile->addAction(mExit);
    connect(mFile, &QMenu::aboutToShow, this, [this] { mRefresh->setEnabled(!FFileName.empty()); });

    mEdit->addAction(mUndo);
    mEdit->addAction(mRedo);
    mEdit->addSeparator();
    mEdit->addAction(mCut);
    mEdit->addAction(mCopy);
    mEdit->addAction(mPaste);
    mEdit->addSeparator();
    mEdit->addAction(mSelectAll);
    mEdit->addSeparator();
    mEdit->addMenu(mConvert);
    mConvert->addAction(mAuto);
    connect(mEdit, &QMenu::aboutToShow, this, [this] { UpdateCommands(); });

    mOptions->addMenu(mView);
    mView->addAction(mToolbar);
    mView->addAction(mStatusbar);
    mOptions->addAction(mTop);

    menuBar()->addMenu(mFile);
    menuBar()->addMenu(mEdit);
    menuBar()->addMenu(mOptions);
    menuBar()->addAction(mLang);

    FToolBar = addToolBar(QString());
    FToolBar->setObjectName("ToolBar");
    FToolBar->setMovable(false);
    FToolBar->addAction(ButOpen);
    FToolBar->addAction(ButSave);
    FToolBar->addSeparator();
    FToolBar->addAction(ButCut);
    FToolBar->addAction(ButCopy);
    FToolBar->addAction(ButPaste);
    FToolBar->addSeparator();
    FToolBar->addAction(ButUndo);
    FToolBar->addAction(ButRedo);
    FToolBar->addSeparator();
    FToolBar->addAction(ButTop);
    FToolBar->addAction(ButClose);
    // The menu items keep the check marks in step with what is shown.
    FToolBar->toggleViewAction()->setVisible(false);
}

void TFrmMainTarvex::ApplySettings() {
    const TSettings& s = FSettings;
    TDudiRiri& m = Memo();
    FToolBar->setVisible(s.ToolBar);
    statusBar()->setVisible(s.Status);
    mToolbar->setChecked(s.ToolBar);
    mStatusbar->setChecked(s.Status);
    mTop->setChecked(s.OnTop);
    ButTop->setChecked(s.OnTop);
    m.NullReplacement = s.SkipNull ? ' ' : '\0';
    mAuto->setChecked(s.AutoDecode);
    FRussian = s.Lang;

    TFontSpec f;
    f.Name = s.Font.Name.empty() ? std::string("Arial") : s.Font.Name;
    f.Size = static_cast<int>(std::clamp<std::int64_t>(s.Font.Size, 1, 200));
    f.Style = static_cast<std::uint8_t>(s.Font.Style & 15);
    f.Color = static_cast<std::int32_t>(s.Font.Color);
    m.SetFont(f);
    m.Color = static_cast<std::int32_t>(s.Background);
    // Selected text is drawn inverted when the colours are not the system's.
    m.SelTextColor = m.Color == clWindow ? clHighlightText : m.Color;
    m.SelBackColor = f.Color == clWindowText ? clHighlight : f.Color;
    if (s.TabStops >= 2 && s.TabStops <= 100 && s.TabStops != m.TabStops())
        m.SetTabStops(static_cast<std::int32_t>(s.TabStops));
    if (s.DragText)
        m.SetOptions(m.Options() & ~droNoDragnDrop);
    else
        m.SetOptions(m.Options() | droNoDragnDrop);
    if (s.LeftMargin >= 0 && s.LeftMargin <= 100) m.SetLeftMargin(static_cast<std::int32_t>(s.LeftMargin));
    if (s.LineHeight > 0 && s.LineHeight <= 100 && s.LineHeight != m.FixedLineHeight())
        m.SetFixedLineHeight(static_cast<std::int32_t>(s.LineHeight));
    if (s.Alignment >= 0 && s.Alignment <= 2) m.SetAlignment(static_cast<TAlignment>(s.Alignment));
    m.SetWordWrap(s.WordWrap);
    // Without word wrap text is always left-aligned.
    if (!s.WordWrap) m.SetAlignment(taLeftJustify);
    m.SetJustified(s.Justified);

    if (s.MaxFiles > 0) FHistory.Read(FIni);
    RebuildHistoryMenu();

    // The placement: parts missing from the string keep these.
    TBounds b{100, 80, 900, 650};
    const bool maximized = ReadPlacement(FSettings.MainSize, b);
    if (FSettings.MainSize.empty())
        resize(b.Width, b.Height);
    else
        setGeometry(b.Left, b.Top, b.Width, b.Height);
    if (maximized) setWindowState(windowState() | Qt::WindowMaximized);
    Relabel();
}

// --- captions and language

QString TFrmMainTarvex::Text(const char* Bi) const { return Q(Bilingual(Bi, FRussian)); }

void TFrmMainTarvex::Relabel() {
    Memo().RussianInterface = FRussian;
    for (const TCaption& c : FCaptions) {
        const QString t = Text(c.Text);
        if (auto* a = qobject_cast<QAction*>(c.Target)) {
            if (c.Hint) {
                a->setToolTip(NoAmpersands(t));
                a->setText(NoAmpersands(t));
            } else {
                a->setText(t);
            }
        } else if (auto* m = qobject_cast<QMenu*>(c.Target)) {
            m->setTitle(t);
        }
    }
    // The switch names the other language: tag 1 while English, 2 while Russian.
    mLang->setText(FRussian ? "E&ng" : "R&us");
    mLang->setData(FRussian ? 2 : 1);
}

void TFrmMainTarvex::SetRussian(bool Russian) {
    FRussian = Russian;
    Relabel();
    MedSelMove();
}

// --- status bar and command states

QString TFrmMainTarvex::StatusText(int Panel) const { return FPanels[static_cast<std::size_t>(Panel)]->text(); }

QAction* TFrmMainTarvex::Action(const char* Name) const { return findChild<QAction*>(Name); }

bool TFrmMainTarvex::SaveEnabled() const { return ButSave->isEnabled(); }

void TFrmMainTarvex::SetStatus(int Panel, const QString& T, bool RepaintNow) {
    QLabel* l = FPanels[static_cast<std::size_t>(Panel)];
    l->setText(T);
    if (RepaintNow && statusBar()->isVisible()) l->repaint();
}

void TFrmMainTarvex::MedSelMove() {
    if (FInSelMove || FLoading || FForcing) return;
    FInSelMove = true;
    TDudiRiri& m = Memo();
    SetStatus(0, " pos: " + Q(FormatCount(m.SelStart())));
    SetStatus(1, " parg: " + Q(FormatCount(m.SelPar() + 1)));
    SetStatus(2, " line: " + Q(FormatCount(m.SelLine() + 1)));
    SetStatus(3, " col: " + Q(FormatCount(m.SelCol() + 1)));
    const TPos len = m.SelLength() < 0 ? -m.SelLength() : m.SelLength();
    if (len == 1) {
        const std::string sel = m.SelText();
        const auto code = sel.empty() ? 0 : static_cast<unsigned char>(sel[0]);
        if (code != 0) SetStatus(4, "cod: " + QString::number(code));
    } else if (len > 1) {
        SetStatus(4, "sel: " + Q(FormatCount(len)));
    } else {
        SetStatus(4, QString());
    }
    UpdateCommands();
    FInSelMove = false;
}

void TFrmMainTarvex::UpdateCommands() {
    if (FLoading || FForcing) return;
    TDudiRiri& m = Memo();
    const bool sel = m.SelLength() != 0, text = m.CharCount() > 0, ro = m.ReadOnly || m.DisplayOnly;
    mCopy->setEnabled(sel);
    ButCopy->setEnabled(sel);
    mCut->setEnabled(sel && !ro);
    ButCut->setEnabled(sel && !ro);
    mSaveAs->setEnabled(text);
    mSelectAll->setEnabled(text);
    mRefresh->setEnabled(!FFileName.empty());
    mUndo->setEnabled(m.CanUndo() && !ro);
    mRedo->setEnabled(m.CanRedo() && !ro);
    ButUndo->setEnabled(mUndo->isEnabled());
    ButRedo->setEnabled(mRedo->isEnabled());
    mPaste->setEnabled(FClipboardHasText && !ro);
    ButPaste->setEnabled(mPaste->isEnabled());
    if (m.Modified) {
        if (!ButSave->isEnabled()) Med->viewport()->update();
        SetSaveEnabled(true);
    }
    // Whole-text changes stay undoable.
    if (m.CharCount() + 8192 > m.UndoMaxSpace()) m.SetUndoMaxSpace(m.CharCount() + 8192);
}

void TFrmMainTarvex::SetSaveEnabled(bool On) {
    ButSave->setEnabled(On);
    mSave->setEnabled(On);
}

void TFrmMainTarvex::MedProgress() {
    TDudiRiri& m = Memo();
    const std::int32_t p = m.FormatProgress();
    if (p < 100) {
        SetStatus(0, "Wait " + QString::number(p) + "%", true);
        return;
    }
    if (FJustLoaded) {
        FJustLoaded = false;
        if (m.Pars.LineCount < 300) ForceLayoutOfShortText();
        if (!FBenchReport.empty()) {
            BenchReport("layout_done");
            QTimer::singleShot(0, this, [this] { close(); });
        }
    }
    MedSelMove();
}

// A short text is laid out completely by one edit that is undone at once.
void TFrmMainTarvex::ForceLayoutOfShortText() {
    TDudiRiri& m = Memo();
    FForcing = true;
    const bool modified = m.Modified;
    const TPos caret = m.SelStart();
    const bool couldUndo = m.CanUndo(), couldRedo = m.CanRedo();
    m.SetSelStart(0);
    m.SetSelTextBuf(" ");
    m.Undo();
    if (!couldUndo && !couldRedo) {
        m.ClearUndo();
    } else if (!couldRedo) {
        // The undone space must not come back with Redo.
        TUndoList& u = m.UndoList();
        while (u.Count() > u.Position) u.Delete(u.Count() - 1);
    }
    m.Modified = modified;
    m.SetSelStart(caret);
    FForcing = false;
    Med->viewport()->update();
}

void TFrmMainTarvex::LoadingProgress(std::int64_t Pos, std::int64_t Size) {
    if (Size > 0 && Pos < Size) {
        SetStatus(0, "Loading " + Q(FormatCount(Pos * 100 / Size)) + "%", true);
    }
}

void TFrmMainTarvex::BenchReport(const char* Event) {
    FILE* f = std::fopen(FBenchReport.c_str(), "a");
    if (!f) return;
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::fprintf(f, "%s %lld %lld\n", Event, static_cast<long long>(MonotonicNs()),
                 static_cast<long long>(u.ru_maxrss) * 1024);
    std::fclose(f);
}

// --- questions

QMessageBox::StandardButton TFrmMainTarvex::Ask(const QString& T, QMessageBox::StandardButtons Buttons) {
    return QMessageBox::question(this, Q(FPaths.AppTitle), T, Buttons);
}

void TFrmMainTarvex::ShowError(const QString& T) { QMessageBox::warning(this, Q(FPaths.AppTitle), T); }

QString TFrmMainTarvex::AskOpenFileName(const QString& Folder, int& Filter) {
    QFileDialog d(this);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = QtFilters(kOpenFilters, std::size(kOpenFilters));
    d.setNameFilters(filters);
    d.setDefaultSuffix("TXT");
    if (Filter >= 1 && Filter <= filters.size()) d.selectNameFilter(filters[Filter - 1]);
    if (!Folder.isEmpty()) d.setDirectory(Folder);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    Filter = static_cast<int>(filters.indexOf(d.selectedNameFilter())) + 1;
    return d.selectedFiles().front();
}

QString TFrmMainTarvex::AskSaveFileName(const QString& Proposed, int& Filter) {
    QFileDialog d(this);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = QtFilters(kSaveFilters, std::size(kSaveFilters));
    d.setNameFilters(filters);
    d.setDefaultSuffix("txt");
    d.selectFile(Proposed);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    Filter = static_cast<int>(filters.indexOf(d.selectedNameFilter())) + 1;
    return d.selectedFiles().front();
}

// --- the document

void TFrmMainTarvex::SetCaption() {
    const std::string name = FFileName.empty() ? std::string(kUntitled) : BaseName(FFileName);
    const QString t = Q(name + " - " + FPaths.AppTitle);
    setWindowTitle(t);
    FCaptionSet = true;
}

void TFrmMainTarvex::SetShownName(const std::string& Name) {
    FShownName = Name;
    SetStatus(5, Q(Name));
    statusBar()->setToolTip(Q(Name));
}

void TFrmMainTarvex::AddToHistory() {
    if (FFileName.empty()) return;
    if (FSettings.MaxFiles < 1) {
        FHistory.Clear();
        RebuildHistoryMenu();
        return;
    }
    TDudiRiri& m = Memo();
    // The remembered place is the first line on screen, not the caret.
    if (FSettings.MemFirstLine && m.LineCount() > 0) m.SetSelLine(m.TopLine());
    FHistory.Add(FFileName, m.SelStart(), FSettings.MaxFiles);
    RebuildHistoryMenu();
}

void TFrmMainTarvex::RebuildHistoryMenu() {
    mReOpen->clear();
    const auto& items = FHistory.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        QString caption = Q(items[i].Name);
        caption.replace('&', "&&");  // the path as it is, no accelerator letters
        QAction* a = mReOpen->addAction(caption);
        a->setData(QVariant::fromValue<qlonglong>(items[i].Pos));
        connect(a, &QAction::triggered, this, [this, i] { OpenFromHistory(i); });
    }
    mReOpen->menuAction()->setVisible(!items.empty());
}

bool TFrmMainTarvex::LoadFile(const std::string& Name, TPos CaretPos) {
    AddToHistory();
    // Names are kept absolute so that the history works from any folder.
    const std::string resolved = S(QFileInfo(Q(Name)).absoluteFilePath());
    FOpenedName = resolved;
    if (FSettings.WatchOpen && CheckAlreadyOpen(resolved)) return false;
    const std::int64_t fileDate = FileModifiedNs(resolved);
    SetShownName({});
    if (CaretPos == 0)
        if (const THistory::TItem* h = FHistory.Find(resolved)) CaretPos = h->Pos;

    TDudiRiri& m = Memo();
    TLoadSettings ls;
    ls.AutoDecode = mAuto->isChecked();
    ls.AutoHtmTxt = FSettings.AutoHtmTxt;
    ls.DocConvert = FSettings.DocConvert;
    TLoadHooks hooks;
    hooks.ConfirmLarge = [this](std::int64_t) {
        if (!FBenchReport.empty()) return true;
        return Ask("Too large file! Continue?", QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    hooks.BeforeLoad = [this, CaretPos](TStream& St, const TFormatFlags& F) { PreviewStart(St, F, CaretPos); };
    hooks.Progress = [this](std::int64_t Pos, std::int64_t Size) { LoadingProgress(Pos, Size); };
    hooks.ConvertStarts = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
    hooks.ConvertEnds = [] { QApplication::restoreOverrideCursor(); };
    TLoadOutcome outcome;
    FLoading = true;
    try {
        LoadDocument(m, resolved, ls, hooks, outcome);
    } catch (const std::exception& e) {
        FLoading = false;
        if (outcome.ControlTouched) {
            // The previous document is gone: what is left must not be saved under its name.
            FFileName.clear();
            FHtmlSource = false;
            SetCaption();
            SetSaveEnabled(false);
        }
        MedSelMove();
        ShowError(Q(e.what()));
        return false;
    }
    FLoading = false;
    if (!outcome.Loaded) {
        MedSelMove();
        return false;
    }
    FFileDate = fileDate;
    // A converted document can be saved although it is unmodified.
    SetSaveEnabled(outcome.Flags.Converts());
    FFileName = resolved;
    FHtmlSource = outcome.Flags.IsHtml;
    SetCaption();
    MedSelMove();
    SetShownName(resolved);
    FJustLoaded = true;
    if (CaretPos > 0) {
        try {
            m.SetSelStart(CaretPos);
            m.SetTopLine(m.SelLine());
        } catch (const std::exception&) {
        }
    }
    FLoadedPos = m.SelStart();
    FHighlighter = FSettings.Highlight ? HighlighterFor(outcome.Flags, FSettings.AutoHtmTxt) : hkNone;
    Med->viewport()->update();
    if (isVisible()) Med->setFocus();
    // A text laid out at once reports no progress: its layout is complete now.
    if (m.FormatProgress() >= 100) MedProgress();
    return true;
}

// A large plain file shows its first screen before the whole of it is read.
void TFrmMainTarvex::PreviewStart(TStream& St, const TFormatFlags& F, TPos CaretPos) {
    if (CaretPos > 0 || F.Converts() || F.IsDoc || F.IsTcr || !isVisible() || St.Size() < kPreviewMinSize) return;
    std::string head(static_cast<std::size_t>(kPreviewBytes), '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        const std::int64_t n = St.Read(head.data() + got, static_cast<std::int64_t>(head.size() - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    St.Seek(0);
    const std::size_t cut = head.find_last_of("\r\n");
    if (cut != std::string::npos && cut > 0) head.resize(cut);
    // Text that will be decoded would show wrong characters first.
    if (IsUtf8Text(head)) return;
    TDudiRiri& m = Memo();
    const auto progress = std::move(m.OnProgress);
    m.OnProgress = nullptr;
    TMemoryStream ms(std::move(head));
    m.LoadFromStream(ms);
    m.Modified = false;
    m.OnProgress = progress;
    // The window shows this file now; what is typed meanwhile waits for the rest.
    setWindowTitle(Q(BaseName(FOpenedName) + " - " + FPaths.AppTitle));
    Med->viewport()->repaint();
}

bool TFrmMainTarvex::CheckAlreadyOpen(const std::string& Path) {
    const QString peer = FLink->FindShowing(Q(Path));
    if (peer.isEmpty()) return false;
    if (Ask(Text("This file was already open! Continue?=Этот файл уже был открыт! Продолжать?"),
            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
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

void TFrmMainTarvex::FormShow(const QStringList& Args) {
    SetAlwaysOnTop(mTop->isChecked());
    SetSaveEnabled(false);
    if (!Args.isEmpty()) {
        // The preview paints only on a window the system shows already.
        QElapsedTimer t;
        t.start();
        while (windowHandle() && !windowHandle()->isExposed() && t.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (!windowHandle()->isExposed()) QThread::msleep(2);
        }
        bool ok = false;
        const qlonglong caret = Args.size() > 1 ? Args[1].toLongLong(&ok) : 0;
        LoadFile(S(Args[0]), ok && caret > 0 ? caret : 0);
    } else {
        MedSelMove();
    }
    if (FCloseMark && FFileName.empty()) {
        FCloseMark = false;
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    if (Memo().SelStart() > 0) {
        Med->setFocus();
        Memo().SetTopLine(Memo().SelLine());
    }
}

bool TFrmMainTarvex::DiscardQuery() {
    if (!Memo().Modified) return true;
    const std::string name = FFileName.empty() ? std::string(kUntitled) : BaseName(FFileName);
    const auto r = Ask(Text("Save changes to=Сохранить изменения в") + "\n\"" + Q(name) + "\"?",
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (r == QMessageBox::Cancel) return false;
    if (r == QMessageBox::No) return true;
    // A save that did not happen keeps the document.
    return SaveDocument();
}

void TFrmMainTarvex::NewDocument() {
    if (!DiscardQuery()) return;
    AddToHistory();
    TDudiRiri& m = Memo();
    m.Clear();
    FFileName.clear();
    FHtmlSource = false;
    SetCaption();
    m.SetUndoMaxSpace(65000);
    m.Modified = false;
    SetSaveEnabled(false);
    SetShownName({});
    MedSelMove();
    Med->viewport()->update();
}

void TFrmMainTarvex::Refresh() {
    if (FFileName.empty() || !FileExists(FFileName)) return;
    if (Memo().Modified) {
        const auto r = Ask(Text("Save changes to=Сохранить изменения в") + "\n\"" + Q(BaseName(FFileName)) + "\"?",
                           QMessageBox::Yes | QMessageBox::No);
        if (r == QMessageBox::Yes && !SaveDocument()) return;
    }
    LoadFile(FFileName, Memo().SelStart());
}

void TFrmMainTarvex::OpenWithDialog() {
    if (!DiscardQuery()) return;
    int filter = static_cast<int>(FSettings.OpenFilter);
    const QString name = AskOpenFileName(Q(FSettings.Folder), filter);
    if (name.isEmpty()) return;
    FSettings.OpenFilter = filter;
    FSettings.Folder = S(QFileInfo(name).absolutePath());
    LoadFile(S(name), 0);
}

void TFrmMainTarvex::OpenFromHistory(std::size_t Index) {
    if (Index >= FHistory.Items().size()) return;
    const THistory::TItem item = FHistory.Items()[Index];
    if (!DiscardQuery()) return;
    LoadFile(item.Name, item.Pos);
}

bool TFrmMainTarvex::SaveDocument() {
    if (FFileName.empty()) return SaveAs();
    std::string ext = LowerExtension(FFileName);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    // Saving text over a document it was taken from loses the document's formatting.
    if (ext == ".DOC" || ext == ".RTF" || ext == ".TCR" || FHtmlSource) {
        const QString q = Text("Attention! Source file is %s! Continue saving?=Внимание! Исходный файл - это %s! "
                               "Продолжать сохранение?");
        if (Ask(QString(q).replace("%s", Q(ext)), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    const std::int64_t now = FileModifiedNs(FFileName);
    if (FileExists(FFileName) && FFileDate > 0 && now > 0 && now != FFileDate) {
        const QString when =
            QDateTime::fromMSecsSinceEpoch(now / 1'000'000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (Ask("File was changed " + when + "\nwith another program!\nSave file anyway???",
                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return false;
    }
    TDudiRiri& m = Memo();
    const auto progress = m.OnProgress;
    try {
        SaveFileAtomically(FFileName, [&](TStream& Out) {
            TCountingStream counted(Out);
            const TPos total = m.CharCount();
            m.OnProgress = [&](TDudiRiri&) {
                if (total > 0) SetStatus(0, "Saving " + Q(FormatCount(counted.Written * 100 / total)) + "%", true);
            };
            m.SaveToStream(counted);
        });
    } catch (const std::exception& e) {
        m.OnProgress = progress;
        ShowError(Q(e.what()));
        MedSelMove();
        return false;
    }
    m.OnProgress = progress;
    m.Modified = false;
    SetSaveEnabled(false);
    if (StatusText(5).isEmpty()) SetShownName(FFileName);
    MedSelMove();
    FFileDate = FileModifiedNs(FFileName);
    return true;
}

bool TFrmMainTarvex::SaveAs() {
    std::string proposed = FFileName.empty() ? std::string(kUntitled) : FFileName;
    const std::string ext = LowerExtension(proposed);
    if (!ext.empty()) proposed.resize(proposed.size() - ext.size());
    int filter = 1;
    const QString chosen = AskSaveFileName(Q(proposed), filter);
    if (chosen.isEmpty()) return false;
    std::string name = S(chosen);
    if (LowerExtension(name).empty() && name.back() != '.') name += ".txt";
    FFileName = name;
    FHtmlSource = false;
    SetCaption();
    if (filter == 2) return SaveUtf8(name);
    // The user agreed to replace whatever is there.
    FFileDate = 0;
    return SaveDocument();
}

bool TFrmMainTarvex::SaveUtf8(const std::string& Path) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        SaveFileAtomically(Path, [&](TStream& Out) {
            TMemoryStream text;
            Memo().SaveToStream(text);
            const std::string utf8 = "\xEF\xBB\xBF" + Cp1251ToUtf8(text.Data());
            Out.Write(utf8.data(), static_cast<std::int64_t>(utf8.size()));
        });
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        ShowError(Q(e.what()));
        return false;
    }
    QApplication::restoreOverrideCursor();
    return true;
}

void TFrmMainTarvex::SetAlwaysOnTop(bool On) {
    mTop->setChecked(On);
    ButTop->setChecked(On);
    if (On == bool(windowFlags() & Qt::WindowStaysOnTopHint)) return;
    const bool visible = isVisible();
    const QRect g = geometry();
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, On);
    if (visible) {
        setGeometry(g);
        show();
    }
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    if (On && visible) raise();
}

// --- closing

bool TFrmMainTarvex::SaveSettings() {
    // The file as it is now: keys other programs or instances wrote stay.
    {
        std::ifstream in(FPaths.IniPath, std::ios::binary);
        if (in) {
            std::stringstream ss;
            ss << in.rdbuf();
            FIni.Parse(ss.str());
        }
    }
    TDudiRiri& m = Memo();
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    FSettings.MainSize = PlacementToStore(FStartPlacement, TBounds{g.x(), g.y(), g.width(), g.height()}, isMaximized());
    FSettings.ToolBar = mToolbar->isChecked();
    FSettings.Status = mStatusbar->isChecked();
    FSettings.OnTop = mTop->isChecked();
    FSettings.AutoDecode = mAuto->isChecked();
    FSettings.Lang = FRussian;
    FSettings.Font.Name = m.Font().Name;
    FSettings.Font.Size = m.Font().Size;
    FSettings.Font.Style = m.Font().Style;
    FSettings.Font.Color = m.Font().Color;
    FSettings.Background = m.Color;
    FSettings.TabStops = m.TabStops();
    FSettings.LeftMargin = m.LeftMargin();
    FSettings.Alignment = m.Alignment();
    FSettings.WordWrap = m.WordWrap();
    FSettings.Justified = m.Justified();
    FSettings.Write(FIni);
    FHistory.Write(FIni);
    try {
        const std::string text = FIni.Serialize();
        SaveFileAtomically(FPaths.IniPath,
                           [&](TStream& Out) { Out.Write(text.data(), static_cast<std::int64_t>(text.size())); });
    } catch (const std::exception& e) {
        ShowError(Q(e.what()));
        return false;
    }
    return true;
}

void TFrmMainTarvex::closeEvent(QCloseEvent* E) {
    if (!DiscardQuery()) {
        E->ignore();
        return;
    }
    AddToHistory();
    if (FBenchReport.empty()) SaveSettings();
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
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    const std::string name = S(urls.front().toLocalFile());
    if (IsDirectory(name)) return;
    if (!DiscardQuery()) return;
    LoadFile(name, 0);
}

bool TFrmMainTarvex::eventFilter(QObject* O, QEvent* E) {
    if (O == Med && E->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(E);
        if (k->key() == Qt::Key_F2 && k->modifiers() == Qt::NoModifier) {
            SaveDocument();
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
