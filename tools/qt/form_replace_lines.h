#pragma once
// TFormReplaceLines: Replace in Lines, a regular-expression replacement
// applied paragraph by paragraph to the selection or the whole text. Its
// patterns and replacements share the Find/Replace histories.

#include <QDialog>

#include "tools/find_commands.h"
#include "tools/find_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tarvex {

class TRiriWidget;

class TFormReplaceLines : public QDialog {
public:
    TFormReplaceLines(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                      bool Russian, QWidget* Parent = nullptr);
    ~TFormReplaceLines() override;

    QLabel *LabPattern = nullptr, *LabReplace = nullptr;
    QComboBox *CbPattern = nullptr, *CbReplace = nullptr;
    QCheckBox* ChReg = nullptr;
    QRadioButton *RbGlob = nullptr, *RbSel = nullptr;
    QPushButton *ButCount = nullptr, *ButReplaceAll = nullptr, *ButClose = nullptr;

    // Shows the number of matches.
    void ButCountClick();
    // Counts, asks, replaces in one undo step, tells and closes.
    void ButReplaceAllClick();

private:
    void TakeHistory();
    void UpdateButtons();
    // The range [From, To) the pattern works on.
    void Range(TPos& From, TPos& To);
    QString Text(const char* Bilingual) const;

    TRiriWidget& FEditor;
    TSearchState& S;
    TFindSettings& FSettings;
    TPrompts& P;
    bool FRussian;
};

// The main window's Replace in Lines command (Edit menu, Ctrl+F3).
void ReplaceInLinesDialog(TRiriWidget& Editor, TSearchState& State, TFindSettings& Settings, TPrompts& Prompts,
                          bool Russian, bool AlwaysOnTop, QWidget* Parent);

}  // namespace tarvex
