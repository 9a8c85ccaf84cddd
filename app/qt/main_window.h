#pragma once
// TFrmMainTarvex: the main window, a shell over the editor (Med), the
// document and the command table. It reads the settings at start and writes
// them at close; every menu command is a row of the table whose handler
// calls into the document, the editor or a subsystem.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/document.h"
#include "app/ini_file.h"
#include "app/qt/command_binder.h"
#include "app/settings.h"
#include "editor/qt/riri_widget.h"
#include "tools/find_state.h"

class QToolBar;
class QTranslator;

namespace tarvex {

class TInstanceLink;
class TStatusPanels;
class TBenchProbe;

// The editor's window, telling when it has painted.
class TMedWidget : public TRiriWidget {
public:
    using TRiriWidget::TRiriWidget;
    std::function<void()> OnPainted;

protected:
    void paintEvent(QPaintEvent* E) override;
};

class TFrmMainTarvex : public QMainWindow {
public:
    // HasFileArgument: the program was started with a file to open (the
    // window then has no caption until it is loaded). Prompts: who answers
    // the questions (nullptr: message boxes and file dialogs).
    TFrmMainTarvex(const TAppPaths& Paths, bool HasFileArgument, TPrompts* Prompts = nullptr,
                   QWidget* Parent = nullptr);
    ~TFrmMainTarvex() override;

    TMedWidget* Med = nullptr;
    TDudiRiri& Memo() { return Med->Memo(); }
    TDocument& Doc() { return *FDoc; }
    TPrompts& Prompts() { return *FPrompts; }
    TSettings& Settings() { return FSettings; }
    const THistory& History() const { return FHistory; }
    TCommandBinder& Commands() { return FCommands; }
    QToolBar* ToolBar() const { return FToolBar; }
    const TAppPaths& Paths() const { return FPaths; }
    // The last search: Find/Replace sets it, Find next and Find back use it.
    TSearchState& Search() { return FSearch; }

    // Processes the command line once the window is shown: a file and an
    // optional caret position. Closes the window when the already-open check
    // handed the file to another instance.
    void FormShow(const std::vector<std::string>& Args);
    // Loads a file (callers ask about the current document first). CaretPos 0
    // takes the position from the history. Returns whether it was loaded.
    bool LoadFile(const std::string& Name, TPos CaretPos);
    // The text of a file that will be decoded is not painted while it loads.
    void HideTextWhileLoading();
    void RebuildHistoryMenu();
    void SetRussian(bool Russian);
    void SetAlwaysOnTop(bool On);
    // Writes the history and every setting; false (after a message) when the file could not be written.
    bool SaveSettings();

    // After anything that may change the caret, the selection, the text or
    // the document: the status bar and every command's state.
    void MedSelMove();
    void UpdateCommands();
    // A progress text in status panel 0, painted at once.
    void ShowProgress(const QString& Text);
    // Long work (a save) in slices: the text is read-only and every command
    // off meanwhile; between slices the window answers, and Esc asks to stop.
    void WorkStarts();
    bool KeepWorking();
    void WorkEnds();
    bool Working() const { return FWorking > 0; }

    const std::string& FileName() const { return FDoc->FileName(); }
    bool Russian() const { return FSettings.Lang; }
    bool JustLoaded() const { return FDoc->JustLoaded(); }
    THighlighterKind HighlighterChoice() const { return FDoc->Highlighter(); }
    QString StatusText(int Panel) const;
    QAction* Action(const char* Name) const;
    QMenu* HistoryMenu() const;
    bool SaveEnabled() const { return FDoc->SaveEnabled(); }
    QString Text(const char* Bilingual) const;
    // Keeps an object a command group needs for the window's lifetime (its
    // printer, its dialogs); they go before the editor does.
    template <typename T>
    T& Keep(std::shared_ptr<T> Part) {
        FParts.push_back(Part);
        return *Part;
    }

    // Set by the commands that own them: the date-time pattern formatter of
    // Insert Date Time, and the read-only state applied again.
    std::function<std::string(const std::string& Pattern)> DateFormatter;
    std::function<void()> OnReadOnlyStyle;
    // Checks a Highlight menu item and gives the editor its highlighter.
    std::function<void(THighlighterKind Kind)> ChooseHighlighter;
    // Around a document's life: after it is opened, and before another one
    // replaces it or the window closes (its bookmarks are stored then).
    std::function<void()> OnDocumentOpened;
    std::function<void()> OnDocumentLeaving;

protected:
    void closeEvent(QCloseEvent* E) override;
    void dragEnterEvent(QDragEnterEvent* E) override;
    void dropEvent(QDropEvent* E) override;
    bool eventFilter(QObject* O, QEvent* E) override;

private:
    void SetCaption();
    void UseQtTranslations(bool Russian);
    void MedProgress();
    bool CheckAlreadyOpen(const std::string& Path);
    void BringToFront();

    TAppPaths FPaths;
    TIniFile FIni;
    TSettings FSettings;
    THistory FHistory;
    TSearchState FSearch;
    std::unique_ptr<TPrompts> FOwnPrompts;
    TPrompts* FPrompts = nullptr;
    std::unique_ptr<TDocument> FDoc;
    TCommandBinder FCommands{*this};
    QToolBar* FToolBar = nullptr;
    TStatusPanels* FPanels = nullptr;
    bool FCaptionSet = false;
    bool FCloseMark = false;
    bool FInSelMove = false;
    bool FLoading = false;
    bool FClipboardHasText = false;
    bool FSaveWasEnabled = false;
    int FWorking = 0;
    bool FCancelWork = false, FWasReadOnly = false;
    bool FCloseAfterWork = false;  // a close asked for during work, done when it ends
    bool FTextHidden = false;      // the view paints nothing until the text is converted
    std::unique_ptr<TInstanceLink> FLink;
    std::unique_ptr<TBenchProbe> FProbe;
    std::vector<std::shared_ptr<void>> FParts;
    std::unique_ptr<QTranslator> FQtTranslator;

    friend void ApplySettings(TFrmMainTarvex& W);
};

}  // namespace tarvex
