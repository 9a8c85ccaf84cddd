#pragma once
// TFormDict: the dictionary window (Dictionary..., F8). It looks words up in
// the user's dictionary file (KEY=VALUE lines), shows the value found in an
// editor (Dic) and lists the neighbouring or matching keys (Lb); it adds,
// changes, deletes and copies items, searches every file of the dictionary's
// folder, chooses another file and sorts it. The main window creates it once
// and keeps it.
//
// The same window, its side list, search field and buttons hidden, is the
// read-only viewer of a text file (the ReadMe): ShowViewer.

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/qt/riri_widget.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;

namespace tarvex {

class TRiriHighlighter;

// The settings the window reads and writes.
struct TDictOptions {
    std::string Dictionary;        // the dictionary file
    std::string Delim = "=";       // item delimiter
    std::string Separ = "^t";      // value separator as typed ("^t": a tab)
    std::string DictSize;          // window placement (Window section)
    bool AddSort = false;          // sort the file after adding an item
    friend bool operator==(const TDictOptions&, const TDictOptions&) = default;
};

class TFormDict : public QDialog {
public:
    // Main: the main editor (font, interface language, and where F8 inserts); may be nullptr.
    explicit TFormDict(TDudiRiri* Main, QWidget* Parent = nullptr);
    ~TFormDict() override;

    // Dictionary mode: shows the window (not modal) and looks up the search
    // field's text. OnTop: the main window is always on top.
    void ShowDictionary(const TDictOptions& Options, bool Russian, bool OnTop = false);
    // Viewer mode: shows Path read-only, modal, 700 by 500 centred, titled
    // Caption, scrolled to the first occurrence of FindText (when given).
    // False, showing nothing, when the file cannot be read.
    bool ShowViewer(const std::string& Path, const QString& Caption, const std::string& FindText, bool Russian);
    bool ViewerMode() const { return FViewer; }

    const TDictOptions& Options() const { return FOptions; }
    // Dictionary changed (Select dictionary file), or DictSize at closing.
    std::function<void(const TDictOptions&)> OnOptionsChanged;

    // The search of a dictionary file: puts the keys it finds into the list
    // and returns the value to show (value separators as line breaks).
    std::string Lookup(const std::string& FileName, bool FromList, bool Silent);
    // Lookup of the current dictionary with the result shown in Dic.
    void LookupAndShow(bool FromList);
    // Search item in all files of the dictionary's folder.
    void SearchAllFiles();
    bool Busy() const { return FBusy; }

    // The highlighter of Dic (the URL highlighter, once the program has one).
    void SetHighlighter(TRiriHighlighter* H);

    TRiriWidget* Dic = nullptr;
    QListWidget* Lb = nullptr;
    QComboBox* Ed = nullptr;
    QLabel* Pan = nullptr;
    QSplitter* Splitter = nullptr;
    QWidget* PanButtons = nullptr;
    QPushButton *ButOk = nullptr, *ButAdd = nullptr, *ButAll = nullptr, *ButFile = nullptr, *ButSort = nullptr;
    QMenu* PmDict = nullptr;
    QAction *mChange = nullptr, *mDelete = nullptr, *mCopy = nullptr;

protected:
    // Questions, messages and the file dialog; tests answer them.
    virtual bool Ask(const QString& Caption, const QString& Text);
    virtual void ShowMessage(const QString& Text);
    virtual QString AskFileName(const QString& Folder);

    void reject() override;
    void keyPressEvent(QKeyEvent* E) override;
    bool eventFilter(QObject* O, QEvent* E) override;

private:
    void Relabel();
    // F3 / Shift+F3, F8 and Esc; true when the key was one of them.
    bool WindowKey(QKeyEvent* E);
    void SetMode(bool Viewer);
    void ApplyMainFont();
    void ShowResult(const std::string& Text);
    void UpdateButtons();
    void AddToHistory(const QString& S);
    void SearchClick();
    void AddClick();
    void ChangeOrDelete(bool Delete);
    void CopyItem();
    void SelectFileClick();
    void SortClick();
    void FindAgain(bool Forward);
    void InsertIntoMain();
    void DicDoubleClick();
    void SetCaptionToFile(std::int64_t Lines);
    void ClearList();
    // The file line of a listed key (-1: none).
    std::int64_t LineOf(int Row) const;
    QString T(const char* Bilingual) const;

    TDudiRiri* FMain;
    TDictOptions FOptions;
    std::string FSeparator;  // the value separator built from Separ
    bool FRussian = false;
    bool FViewer = false;
    bool FBusy = false;
    bool FStop = false;
    bool FListLastFocused = false;
    std::string FTextToFind;
    std::vector<std::int64_t> FLineOf;  // per row of Lb
};

}  // namespace tarvex
