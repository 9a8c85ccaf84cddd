#pragma once
// TFormFnd: the Find/Replace dialog. Modal; made for each use. It reads its
// controls into the search state the main window keeps (TakeSearchParams),
// counts, lists, replaces one occurrence or all of them in the editor it is
// given, and keeps its histories and placements in a TFindSettings the main
// window persists.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <functional>
#include <vector>

#include "tools/find_commands.h"
#include "tools/find_state.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tarvex {

class TRiriWidget;

// The count label: a left click scrolls the text back one line, a right click forward.
class TCountLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void(bool Forward)> OnScroll;

protected:
    void mousePressEvent(QMouseEvent* E) override;
};

// What the dialog starts with.
struct TFindDialogSetup {
    bool Russian = false;
    bool AlwaysOnTop = false;
    std::string InitialText;  // Windows-1251: shown in the find box
};

class TFormFnd : public QDialog {
public:
    // Questions and messages go through Prompts (the main window's message
    // boxes; a scripted answerer in tests).
    TFormFnd(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
             const TFindDialogSetup& Setup, QWidget* Parent = nullptr);
    ~TFormFnd() override;

    // The controls, by the names the program's texts use.
    QLabel *LabFind = nullptr, *LabReplace = nullptr;
    QComboBox *CbFind = nullptr, *CbReplace = nullptr;
    QCheckBox *ChReg = nullptr, *ChWord = nullptr, *ChTab = nullptr;
    QRadioButton *RbGlob = nullptr, *RbCur = nullptr, *RbSel = nullptr;
    QPushButton *ButFind = nullptr, *ButList = nullptr, *ButReplace = nullptr, *ButReplaceAll = nullptr,
                *ButCount = nullptr, *ButClose = nullptr;
    TCountLabel* LbCount = nullptr;
    QListWidget* Lb = nullptr;
    QMenu* LbMenu = nullptr;

    // Called after Count, so that the main window refreshes its status bar.
    std::function<void()> OnCounted;

    // The button handlers (the keys and buttons run these).
    void ButFindClick();
    void ButListClick();
    void ButReplaceClick();
    void ButReplaceAllClick();
    void ButCountClick();
    // The result list's double click, Enter and "Go to found line".
    void LbDblClick();
    // Ctrl+Up/Ctrl+Down in the list and the count label's clicks.
    void ScrollText(bool Forward);
    // Ctrl+Del in the find box: the shown entry leaves the history.
    void RemoveShownEntry();

    bool ListShown() const;
    TFindRange Range() const;
    // The values TakeSearchParams reads.
    TFindDialogValues Values() const;
    void UpdateButtons();

protected:
    void showEvent(QShowEvent* E) override;
    void done(int R) override;
    bool eventFilter(QObject* O, QEvent* E) override;

private:
    void CreateControls();
    void Relabel();
    void TakeSearchParams();
    void FillHistory(QComboBox* Box, const TFindHistory& H);
    void ShowList(bool Show);
    // Whether the list was made for what the dialog now holds.
    bool ListCurrent();
    void FillList(const std::vector<TFoundEntry>& Entries, std::int64_t Count);
    TFindCommands Commands();
    QString Text(const char* Bilingual) const;

    TRiriWidget& FEditor;
    TSearchState& S;
    TFindSettings& FSettings;
    TPrompts& P;
    TFindDialogSetup FSetup;
    QSize FCompact;
    bool FPlaced = false;
    // What the list was made for.
    TFindDialogValues FListValues;
    TPos FListChars = -1;
};

// The main window's Find/Replace command (Ctrl+F, Ctrl+R, the toolbar
// button): opens the dialog on the selected text (1 to 65,536 characters) or
// the word at the caret, and when it ends with Find runs the search.
// Returns whether it found an occurrence.
// OnCounted runs after each Count (the main window refreshes its status bar).
bool FindReplaceDialog(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                       bool Russian, bool AlwaysOnTop, QWidget* Parent, std::function<void()> OnCounted = {});
// Find next (F3) and Find back (Shift+F3): one search step with the last search.
bool FindNextCommand(TRiriWidget& Editor, TSearchState& State, TPrompts& Prompts, bool Forward, bool Russian);

}  // namespace tarvex
