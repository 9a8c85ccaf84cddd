#pragma once
// Finding the spelling engines installed on the machine, listing them with
// their dictionaries as entries "ENGINE - DICTIONARY" ("hunspell - ru_ru",
// "aspell - en"), and opening the entry the user picks.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "spell/spell_codec.h"
#include "spell/spell_libs.h"

namespace tarvex {

// Where engines and dictionaries are looked for.
struct TSpellPlaces {
    std::string ProgramDir;  // the program's folder
    std::string SpellDir;    // the SpellDir setting
    std::string Dictionary;  // the Dictionary setting (a file: its folder is searched)
    // Hunspell dictionary folders after those three.
    std::vector<std::string> HunspellDirs = {"/usr/share/hunspell", "/usr/share/myspell", "/usr/share/myspell/dicts"};
    // The Debian library names after the folders' own libraries.
    bool SystemLibraries = true;
    // Aspell's dictionaries (its own enumeration).
    bool UseAspell = true;
};

enum TSpellEngineKind { sekHunspell, sekAspell };

struct TSpellEntry {
    std::string Caption;  // lower case
    TSpellEngineKind Kind = sekHunspell;
    std::string Folder;      // Hunspell: the folder of the .aff/.dic pair
    std::string Dictionary;  // the dictionary's own name: a file's base name, or Aspell's name
};

// An open engine with one dictionary. Words are Windows-1251.
class TSpellEngine {
public:
    virtual ~TSpellEngine() = default;
    virtual bool Check(std::string_view Word) = 0;
    virtual std::vector<std::string> Suggest(std::string_view Word) = 0;
    const TSpellCodec& Codec() const { return FCodec; }
    const std::string& Entry() const { return FEntry; }

protected:
    TSpellCodec FCodec;
    std::string FEntry;
};

// The engine and the dictionary an entry names: split at the first "-",
// the dictionary trimmed and lower-cased; without "-" the whole entry is the
// engine and the dictionary is "ru".
void SplitSpellEntry(std::string_view Entry, std::string& Engine, std::string& Dictionary);

class TSpellEngines {
public:
    // Runs the search (each time the spelling window is shown).
    static TSpellEngines Find(const TSpellPlaces& Places);

    const std::vector<TSpellEntry>& Entries() const { return FEntries; }
    // The entry equal to Name (any case), else 0; -1 without entries.
    int IndexOf(std::string_view Name) const;
    // Opens an entry; nullptr (and why in Error) when it cannot be opened.
    std::unique_ptr<TSpellEngine> Open(std::string_view Entry, std::string* Error = nullptr) const;

    const THunspellLibrary* Hunspell() const { return FHunspell; }
    const TAspellLibrary* Aspell() const { return FAspell; }

private:
    std::vector<TSpellEntry> FEntries;
    const THunspellLibrary* FHunspell = nullptr;
    const TAspellLibrary* FAspell = nullptr;
};

// Opens a Hunspell dictionary pair directly (Aff and Dic paths).
std::unique_ptr<TSpellEngine> OpenHunspell(const THunspellLibrary& Lib, const std::string& Aff, const std::string& Dic,
                                           std::string Entry);
// Opens an Aspell dictionary by its name ("en_US", "ru"); AsMaster: Name is
// the name of an installed dictionary, else a language code.
std::unique_ptr<TSpellEngine> OpenAspell(const TAspellLibrary& Lib, const std::string& Name, bool AsMaster,
                                         std::string Entry, std::string* Error = nullptr);

}  // namespace tarvex
