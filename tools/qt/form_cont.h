#pragma once
// TFormCont, "Bookmarks & Headlines": the document's bookmark list (Marks)
// or its headlines (Content, scanned on first use and kept while the window
// lives), with going to an entry, adding, deleting, editing, loading and
// saving lists. Keys: Ins adds, Del deletes, F5 edits, F9 switches the view,
// Enter or a double click goes to the entry, Esc stops a headline scan or
// closes. Meant to be shown modally over the editor it works on.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "textstore/types.h"
#include "tools/bookmarks.h"
#include "tools/headlines.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QToolButton;

namespace tarvex {

class TDudiRiri;

class TFormCont : public QDialog {
public:
    // The questions the window asks, replaceable (the defaults are message
    // boxes and file dialogs).
    struct TPrompts {
        std::function<bool(QWidget* Parent, const QString& Question)> Confirm;
        // Returns false when cancelled; Text holds the proposal, then the answer.
        std::function<bool(QWidget* Parent, const QString& Caption, QString& Text)> Input;
        std::function<QString(QWidget* Parent, const QString& Title, const QString& Filter)> OpenFileName;
        std::function<QString(QWidget* Parent, const QString& Title, const QString& Filter, const QString& Name)>
            SaveFileName;
        std::function<void(QWidget* Parent, const QString& Message)> Error;
        static TPrompts Dialogs();
    };

    // The "last position" is the caret's position now.
    TFormCont(TDudiRiri& M, TBookmarks& Marks, bool Russian, QWidget* Parent = nullptr);

    std::int64_t MarkCount = 0;         // MarkCount setting
    THeadlineOptions Headlines;         // from ContLen (HeadlineMaxLength) and ContentCaps
    TPos FirstPosition = 0;             // where the document was opened
    std::string DocumentName;           // for Save's proposal; empty for a new document
    TPrompts Prompts = TPrompts::Dialogs();
    std::function<void()> OnJump;       // after the caret moved

    bool ContentView() const { return FContentView; }
    void ShowMarks();
    void ShowContent();
    bool Scanning() const { return FScanning; }
    const std::vector<std::string>& ContentList() const { return FContent; }

    QListWidget* LbList = nullptr;
    QLabel* LbCount = nullptr;
    QToolButton *ButFirst = nullptr, *ButLast = nullptr, *ButAdd = nullptr, *ButDelete = nullptr,
                *ButEdit = nullptr, *ButMarks = nullptr, *ButContent = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction *mLoad = nullptr, *mSave = nullptr, *mCopy = nullptr;

    void GoToSelected();
    void GoToFirstPosition();
    void GoToLastPosition();
    void AddPosition();
    void DeleteSelected();
    void EditSelected();
    void LoadList();
    void SaveList();
    void CopyLine();

protected:
    void keyPressEvent(QKeyEvent* E) override;
    void changeEvent(QEvent* E) override;
    void closeEvent(QCloseEvent* E) override;
    void reject() override;

private:
    QString T(const char* EnRu) const;
    const std::vector<std::string>& Current() const;
    void Fill(std::int32_t Select);
    void UpdateCount();
    void RunScan();
    void Jumped();

    TDudiRiri& FMemo;
    TBookmarks& FMarks;
    bool FRussian;
    TPos FLastPosition;
    bool FContentView = false;
    bool FContentDone = false;  // a complete scan (or a loaded list) is kept
    bool FScanning = false;
    bool FStopScan = false;
    std::vector<std::string> FContent;
};

}  // namespace tarvex
