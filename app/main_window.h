#pragma once
// TFrmMainTarvex: the main window. It owns the editor (Med) under a toolbar
// and over a six-panel status bar, reads the settings file at start and
// writes it at close, keeps the file history, opens documents through the
// loader and saves them safely. Questions and messages go through virtual
// functions so that tests can answer them.

#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ini_file.h"
#include "app/loader.h"
#include "editor/qt/riri_widget.h"
#include "app/settings.h"

class QAction;
class QMenu;
class QToolBar;

namespace tarvex {

class TInstanceLink;

// The editor's window, telling when it has painted.
class TMedWidget : public TRiriWidget {
public:
    using TRiriWidget::TRiriWidget;
    std::function<void()> OnPainted;

protected:
    void paintEvent(QPaintEvent* E) override;
};

struct TAppPaths {
    std::string ExeDir;    // the program's folder, with a trailing '/'
    std::string AppTitle;  // the program file's name without extension
    std::string IniPath;   // the settings file
    // Where the settings file belongs: next to the program when that folder is
    // writable, else $XDG_CONFIG_HOME/tarvex/ (~/.config/tarvex/);
    // TARVEX_SETTINGS names another file.
    static TAppPaths ForProgram(const std::string& ProgramPath);
};

class TFrmMainTarvex : public QMainWindow {
public:
    // HasFileArgument: the program was started with a file to open (the
    // window then has no caption until it is loaded).
    TFrmMainTarvex(const TAppPaths& Paths, bool HasFileArgument, QWidget* Parent = nullptr);
    ~TFrmMainTarvex() override;

    TMedWidget* Med = nullptr;
    TDudiRiri& Memo() { return Med->Memo(); }

    // Processes the command line once the window is shown: a file and an
    // optional caret position. Closes the window when the already-open check
    // handed the file to another instance.
    void FormShow(const QStringList& Args);

    // Loads a file (no question about the current document: callers ask
    // first). CaretPos 0 takes the position from the history. Returns
    // whether the file was loaded.
    bool LoadFile(const std::string& Name, TPos CaretPos);
    // Save (Ctrl+S, F2): false when the document was not saved.
    bool SaveDocument();
    bool SaveAs();
    // The unsaved-changes question; true when the current document may go.
    bool DiscardQuery();
    void NewDocument();
    void Refresh();
    void OpenWithDialog();
    void OpenFromHistory(std::size_t Index);
    void AddToHistory();
    void SetRussian(bool Russian);
    void SetAlwaysOnTop(bool On);
    // Writes the history and every setting; false (after a message) when the file could not be written.
    bool SaveSettings();

    const std::string& FileName() const { return FFileName; }
    const THistory& History() const { return FHistory; }
    const TSettings& Settings() const { return FSettings; }
    bool Russian() const { return FRussian; }
    bool JustLoaded() const { return FJustLoaded; }
    THighlighterKind HighlighterChoice() const { return FHighlighter; }
    QString StatusText(int Panel) const;
    QAction* Action(const char* Name) const;
    QMenu* HistoryMenu() const { return mReOpen; }
    bool SaveEnabled() const;

protected:
    // Questions and messages; tests answer them.
    virtual QMessageBox::StandardButton Ask(const QString& Text, QMessageBox::StandardButtons Buttons);
    virtual void ShowError(const QString& Text);
    // File dialogs; an empty name is a cancel. Filter is the 1-based filter index in and out.
    virtual QString AskOpenFileName(const QString& Folder, int& Filter);
    virtual QString AskSaveFileName(const QString& Proposed, int& Filter);

    void closeEvent(QCloseEvent* E) override;
    void dragEnterEvent(QDragEnterEvent* E) override;
    void dropEvent(QDropEvent* E) override;
    bool eventFilter(QObject* O, QEvent* E) override;

private:
    void CreateActions();
    void CreateMenus();
    void ApplySettings();
    void Relabel();
    void RebuildHistoryMenu();
    void SetCaption();
    void SetSaveEnabled(bool On);
    void MedSelMove();
    void UpdateCommands();
    void MedProgress();
    void LoadingProgress(std::int64_t Pos, std::int64_t Size);
    void ForceLayoutOfShortText();
    void PreviewStart(TStream& S, const TFormatFlags& F, TPos CaretPos);
    bool CheckAlreadyOpen(const std::string& Path);
    void BringToFront();
    bool SaveUtf8(const std::string& Path);
    void SetStatus(int Panel, const QString& Text, bool RepaintNow = false);
    void SetShownName(const std::string& Name);
    void BenchReport(const char* Event);
    QString Text(const char* Bilingual) const;

    TAppPaths FPaths;
    TIniFile FIni;
    TSettings FSettings;
    THistory FHistory;
    std::string FStartPlacement;  // MainSize as read at start
    bool FRussian = false;
    bool FCaptionSet = false;

    // The document.
    std::string FFileName;
    std::int64_t FFileDate = 0;  // modification time (ns) when loaded or saved
    std::string FOpenedName;     // the last name given to the loader
    std::string FShownName;      // the name the already-open check of other instances compares
    bool FHtmlSource = false;    // FFileName is an HTML file shown as its text
    bool FJustLoaded = false;
    TPos FLoadedPos = 0;
    bool FCloseMark = false;
    THighlighterKind FHighlighter = hkUrl;

    // Status and commands.
    std::array<QLabel*, 6> FPanels{};
    bool FInSelMove = false;
    bool FForcing = false;
    bool FClipboardHasText = false;
    bool FSaveWasDisabled = true;
    bool FLoading = false;

    QToolBar* FToolBar = nullptr;
    QMenu *mFile = nullptr, *mEdit = nullptr, *mOptions = nullptr, *mReOpen = nullptr, *mConvert = nullptr,
          *mView = nullptr;
    QAction *mNew = nullptr, *mOpen = nullptr, *mRefresh = nullptr, *mSave = nullptr, *mSaveAs = nullptr,
            *mExit = nullptr;
    QAction *mUndo = nullptr, *mRedo = nullptr, *mCut = nullptr, *mCopy = nullptr, *mPaste = nullptr,
            *mSelectAll = nullptr;
    QAction *mToolbar = nullptr, *mStatusbar = nullptr, *mAuto = nullptr, *mTop = nullptr, *mLang = nullptr;
    QAction *ButOpen = nullptr, *ButSave = nullptr, *ButCut = nullptr, *ButCopy = nullptr, *ButPaste = nullptr,
            *ButUndo = nullptr, *ButRedo = nullptr, *ButTop = nullptr, *ButClose = nullptr;
    // Each captioned thing with its "English=Russian" text.
    struct TCaption {
        QObject* Target;
        const char* Text;
        bool Hint;  // a toolbar button: the text is its tooltip, without "&"
    };
    std::vector<TCaption> FCaptions;

    std::unique_ptr<TInstanceLink> FLink;
    std::string FBenchReport;  // TARVEX_BENCH_REPORT: where start-up figures go
    bool FBenchPainted = false;
};

}  // namespace tarvex
