#pragma once
// TFormSpell: the spelling check window (SpellCheck, F7). Each showing runs
// the engine search and opens the chosen entry; the walk then goes from the
// caret to the end of the text and on from its start back to the caret,
// stopping at each misspelt word: the word is selected in the editor and
// shown in its context with the engine's suggestions. The walk runs in short
// slices between events, so the window answers and Stop ends it at once.
// Replacements go through the editor's editing primitive (undoable).

#include <QDialog>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "spell/cust_dic.h"
#include "spell/spell_engines.h"
#include "spell/spell_session.h"
#include "spell/word_walk.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvex {

class TDudiRiri;

// The settings the window reads and writes (section Options, SpellSize in Window).
struct TSpellOptions {
    std::string SpellName;   // the chosen entry, lower case; empty: the first
    std::string SpellDir;    // an extra folder of engines and dictionaries
    std::string Dictionary;  // the dictionary window's file: its folder is searched too
    bool SpellRus = false;   // skip words without a Cyrillic letter
    std::string SpellSize;   // window placement
    friend bool operator==(const TSpellOptions&, const TSpellOptions&) = default;
};

class TFormSpell : public QDialog {
public:
    // Med: the editor whose text is checked. ProgramDir: where the program
    // lives (engines, dictionaries and cust.dic are looked for there).
    TFormSpell(TDudiRiri& Med, std::string ProgramDir, QWidget* Parent = nullptr);
    ~TFormSpell() override;

    // Shows the window (not modal) and starts checking from the caret.
    void Execute(const TSpellOptions& Options, bool Russian);
    const TSpellOptions& Options() const { return FOptions; }
    // SpellName changed (an entry was chosen or could not be opened), or
    // SpellSize at closing.
    std::function<void(const TSpellOptions&)> OnOptionsChanged;

    // Where engines are searched; set before Execute to change the defaults
    // (the program's folder, SpellDir, the dictionary's folder and the system's).
    std::function<TSpellPlaces(const TSpellOptions&)> PlacesFor;
    // The user's word list; empty: cust.dic as the program finds it.
    std::string CustomPath;
    // Time the walk may take before it lets events through.
    int SliceMs = 30;

    bool Walking() const { return FTimer.isActive(); }
    // The misspelt word shown (empty while none is).
    const std::string& CurrentWord() const { return FWord.Text; }
    TPos CurrentPos() const;
    TPos WalkPosition() const { return FWalk ? FWalk->Position() : -1; }
    QString StatusText() const;

    QComboBox* CbEngine = nullptr;
    QLabel* LabContext = nullptr;
    QLineEdit* EdWord = nullptr;
    QListWidget* LbSuggest = nullptr;
    QLabel* LabStatus = nullptr;
    QPushButton *ButReplace = nullptr, *ButReplaceAll = nullptr, *ButIgnore = nullptr, *ButIgnoreAll = nullptr,
                *ButAdd = nullptr, *ButStart = nullptr, *ButStop = nullptr, *ButClose = nullptr;

protected:
    // Messages; tests answer them.
    virtual void ShowMessage(const QString& Text);
    void reject() override;

private:
    void Relabel();
    void FindEngines();
    void OpenEntry(int Index);
    void StartWalk(TPos From);
    void Slice();
    void ShowWord(const TSpellWord& W);
    void Continue();
    void Finish(const char* Message);
    bool WordStillThere() const;
    void Replace(const std::string& With);
    void ReplaceClick();
    void ReplaceAllClick();
    void IgnoreClick();
    void IgnoreAllClick();
    void AddClick();
    void StopClick();
    void StartClick();
    void UpdateButtons();
    void SaveCustom();
    QString T(const char* Bilingual) const;

    TDudiRiri& FMed;
    std::string FProgramDir;
    TSpellOptions FOptions;
    bool FRussian = false;
    TSpellEngines FEngines;
    std::unique_ptr<TCustomDictionary> FCustom;
    std::unique_ptr<TSpellSession> FSession;
    std::unique_ptr<TWordWalk> FWalk;
    // The walk's first position: the second part of the walk ends there.
    std::unique_ptr<TRiriNavigator> FOrigin;
    bool FWrapped = false;
    TSpellWord FWord;                           // the misspelt word shown
    std::unique_ptr<TRiriNavigator> FWordNav;  // where it is, following edits
    std::map<std::string, std::string> FChangeAll;
    QTimer FTimer;
    bool FFilling = false;
    QLabel *FEngineLabel = nullptr, *FContextLabel = nullptr, *FWordLabel = nullptr, *FSuggestLabel = nullptr;
};

}  // namespace tarvex
