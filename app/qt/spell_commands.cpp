// SpellCheck, Dictionary and Help, ReadMe: the spelling window, the
// dictionary window and the same window as the manual's viewer, each made
// once and kept.

#include <QAction>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_prompts.h"
#include "spell/qt/form_dict.h"
#include "spell/qt/form_spell.h"

namespace tarvex {

void AddSpellCommands(TFrmMainTarvex& W) {
    TCommandBinder& c = W.Commands();
    // Made at first use: most sessions never open them.
    auto spell = std::make_shared<TFormSpell*>(nullptr);
    auto dict = std::make_shared<TFormDict*>(nullptr);
    auto formDict = [&W, dict]() -> TFormDict& {
        if (!*dict) {
            *dict = new TFormDict(&W.Memo(), &W);
            (*dict)->OnOptionsChanged = [&W](const TDictOptions& O) {
                W.Settings().Dictionary = O.Dictionary;
                W.Settings().DictSize = O.DictSize;
            };
        }
        return **dict;
    };
    c.On("mSpellCheck", [&W, spell] {
        TSettings& s = W.Settings();
        if (!*spell) {
            *spell = new TFormSpell(W.Memo(), W.Paths().DataDir, &W);
            (*spell)->OnOptionsChanged = [&W](const TSpellOptions& O) {
                W.Settings().SpellName = O.SpellName;
                W.Settings().SpellSize = O.SpellSize;
            };
        }
        (*spell)->Execute(TSpellOptions{s.SpellName, s.SpellDir, s.Dictionary, s.SpellRus, s.SpellSize}, W.Russian());
        W.MedSelMove();
    });
    c.On("mDict", [&W, formDict] {
        const TSettings& s = W.Settings();
        formDict().ShowDictionary(TDictOptions{s.Dictionary, s.Delim, s.Separ, s.DictSize, s.AddSort}, W.Russian(),
                                  s.OnTop);
        W.MedSelMove();
    });
    c.On("mReadMe", [&W, formDict] {
        const std::string& path = W.Paths().ReadmePath;
        if (!formDict().ShowViewer(path, "Read me, please!", {}, W.Russian()))
            W.Prompts().ShowError(path + " not found!");
    });
}

}  // namespace tarvex
