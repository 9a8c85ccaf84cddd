#pragma once
// The Hunspell and Aspell C libraries, loaded at run time. A library counts
// as present only when it exports every function used here; a partial one is
// treated as absent and nothing is reported. Loaded libraries stay loaded
// until the program ends.

#include <string>
#include <vector>

namespace tarvex {

struct THunspellLibrary {
    using THandle = void*;
    // The lower-case names come from an older C wrapper; where both exist the
    // lower-case one wins, as each operation is looked up on its own.
    THandle (*Create)(const char* Aff, const char* Dic) = nullptr;
    void (*Destroy)(THandle) = nullptr;
    int (*Spell)(THandle, const char* Word) = nullptr;
    char* (*GetDicEncoding)(THandle) = nullptr;
    // Hunspell_suggest(handle, &list, word)
    int (*Suggest)(THandle, char*** List, const char* Word) = nullptr;
    // hunspell_suggest(handle, word, &list)
    int (*SuggestWordFirst)(THandle, const char* Word, char*** List) = nullptr;
    // Hunspell_free_list(handle, &list, n)
    void (*FreeList)(THandle, char*** List, int N) = nullptr;
    // hunspell_suggest_free(handle, list, n)
    void (*SuggestFree)(THandle, char** List, int N) = nullptr;
    std::string Path;  // what was loaded

    // The library at Path (a file, or a name the dynamic loader searches),
    // or nullptr when it cannot be loaded or lacks a function. Each path is
    // loaded once per process.
    static const THunspellLibrary* Load(const std::string& Path);
    // The first of the Debian library names that loads.
    static const THunspellLibrary* LoadSystem();
    static const std::vector<std::string>& SystemNames();
};

struct TAspellLibrary {
    using TPtr = void*;
    TPtr (*NewConfig)() = nullptr;
    int (*ConfigReplace)(TPtr Config, const char* Key, const char* Value) = nullptr;
    const char* (*ConfigRetrieve)(TPtr Config, const char* Key) = nullptr;
    void (*DeleteConfig)(TPtr Config) = nullptr;
    TPtr (*NewSpeller)(TPtr Config) = nullptr;  // a "can have error" object
    unsigned (*ErrorNumber)(TPtr CanHaveError) = nullptr;
    const char* (*ErrorMessage)(TPtr CanHaveError) = nullptr;
    TPtr (*ToSpeller)(TPtr CanHaveError) = nullptr;
    void (*DeleteCanHaveError)(TPtr CanHaveError) = nullptr;
    void (*DeleteSpeller)(TPtr Speller) = nullptr;
    TPtr (*SpellerConfig)(TPtr Speller) = nullptr;
    int (*Check)(TPtr Speller, const char* Word, int Size) = nullptr;
    TPtr (*Suggest)(TPtr Speller, const char* Word, int Size) = nullptr;  // a word list
    TPtr (*WordListElements)(TPtr WordList) = nullptr;
    const char* (*StringEnumerationNext)(TPtr Enumeration) = nullptr;
    void (*DeleteStringEnumeration)(TPtr Enumeration) = nullptr;
    TPtr (*DictInfoList)(TPtr Config) = nullptr;
    TPtr (*DictInfoListElements)(TPtr List) = nullptr;
    TPtr (*DictInfoEnumerationNext)(TPtr Enumeration) = nullptr;  // a dictionary-information record
    void (*DeleteDictInfoEnumeration)(TPtr Enumeration) = nullptr;
    std::string Path;

    static const TAspellLibrary* Load(const std::string& Path);
    static const TAspellLibrary* LoadSystem();
    static const std::vector<std::string>& SystemNames();

    // The names of every installed dictionary, in the library's order.
    std::vector<std::string> Dictionaries() const;
};

}  // namespace tarvex
