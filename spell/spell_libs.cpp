#include "spell/spell_libs.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

namespace tarvex {

namespace {

template <typename F>
void Bind(void* Lib, const char* Name, F& Slot) {
    Slot = reinterpret_cast<F>(dlsym(Lib, Name));
}

// The first of two names that the library exports.
template <typename F>
void BindEither(void* Lib, const char* Lower, const char* Capital, F& Slot) {
    Bind(Lib, Lower, Slot);
    if (!Slot) Bind(Lib, Capital, Slot);
}

std::mutex& LoadMutex() {
    static std::mutex m;
    return m;
}

// Loaded once per path; a failed load is remembered too.
template <typename T>
const T* LoadOnce(const std::string& Path, bool (*Fill)(void*, T&)) {
    static std::map<std::string, std::unique_ptr<T>> loaded;
    std::lock_guard<std::mutex> lock(LoadMutex());
    if (auto it = loaded.find(Path); it != loaded.end()) return it->second.get();
    std::unique_ptr<T> lib;
    if (void* h = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        lib = std::make_unique<T>();
        lib->Path = Path;
        // The handle is never closed: engines opened from it may live until exit.
        if (!Fill(h, *lib)) lib.reset();
    }
    return loaded.emplace(Path, std::move(lib)).first->second.get();
}

bool FillHunspell(void* h, THunspellLibrary& L) {
    BindEither(h, "hunspell_initialize", "Hunspell_create", L.Create);
    BindEither(h, "hunspell_uninitialize", "Hunspell_destroy", L.Destroy);
    BindEither(h, "hunspell_spell", "Hunspell_spell", L.Spell);
    BindEither(h, "hunspell_get_dic_encoding", "Hunspell_get_dic_encoding", L.GetDicEncoding);
    Bind(h, "hunspell_suggest", L.SuggestWordFirst);
    Bind(h, "Hunspell_suggest", L.Suggest);
    Bind(h, "hunspell_suggest_free", L.SuggestFree);
    Bind(h, "Hunspell_free_list", L.FreeList);
    // A list must be freed by the wrapper that made it.
    const bool suggest = (L.Suggest && L.FreeList) || (L.SuggestWordFirst && L.SuggestFree);
    return L.Create && L.Destroy && L.Spell && L.GetDicEncoding && suggest;
}

bool FillAspell(void* h, TAspellLibrary& L) {
    Bind(h, "new_aspell_config", L.NewConfig);
    Bind(h, "aspell_config_replace", L.ConfigReplace);
    Bind(h, "aspell_config_retrieve", L.ConfigRetrieve);
    Bind(h, "delete_aspell_config", L.DeleteConfig);
    Bind(h, "new_aspell_speller", L.NewSpeller);
    Bind(h, "aspell_error_number", L.ErrorNumber);
    Bind(h, "aspell_error_message", L.ErrorMessage);
    Bind(h, "to_aspell_speller", L.ToSpeller);
    Bind(h, "delete_aspell_can_have_error", L.DeleteCanHaveError);
    Bind(h, "delete_aspell_speller", L.DeleteSpeller);
    Bind(h, "aspell_speller_config", L.SpellerConfig);
    Bind(h, "aspell_speller_check", L.Check);
    Bind(h, "aspell_speller_suggest", L.Suggest);
    Bind(h, "aspell_word_list_elements", L.WordListElements);
    Bind(h, "aspell_string_enumeration_next", L.StringEnumerationNext);
    Bind(h, "delete_aspell_string_enumeration", L.DeleteStringEnumeration);
    Bind(h, "get_aspell_dict_info_list", L.DictInfoList);
    Bind(h, "aspell_dict_info_list_elements", L.DictInfoListElements);
    Bind(h, "aspell_dict_info_enumeration_next", L.DictInfoEnumerationNext);
    Bind(h, "delete_aspell_dict_info_enumeration", L.DeleteDictInfoEnumeration);
    return L.NewConfig && L.ConfigReplace && L.ConfigRetrieve && L.DeleteConfig && L.NewSpeller && L.ErrorNumber &&
           L.ErrorMessage && L.ToSpeller && L.DeleteCanHaveError && L.DeleteSpeller && L.SpellerConfig && L.Check &&
           L.Suggest && L.WordListElements && L.StringEnumerationNext && L.DeleteStringEnumeration && L.DictInfoList &&
           L.DictInfoListElements && L.DictInfoEnumerationNext && L.DeleteDictInfoEnumeration;
}

}  // namespace

const THunspellLibrary* THunspellLibrary::Load(const std::string& Path) { return LoadOnce<THunspellLibrary>(Path, FillHunspell); }

const std::vector<std::string>& THunspellLibrary::SystemNames() {
    static const std::vector<std::string> names = {"libhunspell-1.7.so.0", "libhunspell-1.6.so.0", "libhunspell.so"};
    return names;
}

const THunspellLibrary* THunspellLibrary::LoadSystem() {
    for (const std::string& n : SystemNames())
        if (const THunspellLibrary* l = Load(n)) return l;
    return nullptr;
}

const TAspellLibrary* TAspellLibrary::Load(const std::string& Path) { return LoadOnce<TAspellLibrary>(Path, FillAspell); }

const std::vector<std::string>& TAspellLibrary::SystemNames() {
    static const std::vector<std::string> names = {"libaspell.so.15", "libaspell.so"};
    return names;
}

const TAspellLibrary* TAspellLibrary::LoadSystem() {
    for (const std::string& n : SystemNames())
        if (const TAspellLibrary* l = Load(n)) return l;
    return nullptr;
}

std::vector<std::string> TAspellLibrary::Dictionaries() const {
    std::vector<std::string> names;
    TPtr config = NewConfig();
    if (!config) return names;
    // The list belongs to the library; only the enumeration is ours to delete.
    if (TPtr list = DictInfoList(config)) {
        if (TPtr e = DictInfoListElements(list)) {
            while (TPtr info = DictInfoEnumerationNext(e)) {
                // The record starts with its name: struct { const char* name; ... }.
                const char* name = *static_cast<const char* const*>(info);
                if (name && *name) names.emplace_back(name);
            }
            DeleteDictInfoEnumeration(e);
        }
    }
    DeleteConfig(config);
    return names;
}

}  // namespace tarvex
