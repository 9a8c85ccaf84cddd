#include "spell/spell_engines.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "spell/letters.h"

namespace tarvex {

namespace {

std::string Trim(std::string_view S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) <= ' ') --b;
    return std::string(S.substr(a, b - a));
}

std::string AsciiLower(std::string_view S) {
    std::string r(S);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

std::string WithSlash(std::string D) {
    if (!D.empty() && D.back() != '/') D.push_back('/');
    return D;
}

std::string FolderOf(const std::string& File) {
    const std::size_t s = File.find_last_of('/');
    return s == std::string::npos ? std::string() : File.substr(0, s + 1);
}

bool IsRegularFile(const std::string& Path) {
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The names of the regular files of a folder, sorted.
std::vector<std::string> FilesIn(const std::string& Dir) {
    std::vector<std::string> names;
    if (Dir.empty()) return names;
    DIR* d = ::opendir(Dir.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        if (IsRegularFile(WithSlash(Dir) + n)) names.push_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

// The program's folder, SpellDir and the dictionary's folder, each once.
std::vector<std::string> OwnFolders(const TSpellPlaces& P) {
    std::vector<std::string> dirs;
    for (const std::string& d : {P.ProgramDir, P.SpellDir, FolderOf(P.Dictionary)}) {
        const std::string w = WithSlash(d);
        if (!w.empty() && std::find(dirs.begin(), dirs.end(), w) == dirs.end()) dirs.push_back(w);
    }
    return dirs;
}

// A library file of the folders ("libhunspell-1.7.so.0" for Stem "libhunspell"), in
// the folder and its lib/ subfolder, loaded by Load.
template <typename T>
const T* FindLibrary(const TSpellPlaces& P, const std::string& Stem) {
    for (const std::string& dir : OwnFolders(P))
        for (const std::string& sub : {dir, dir + "lib/"})
            for (const std::string& n : FilesIn(sub))
                if (n.rfind(Stem, 0) == 0 && n.find(".so") != std::string::npos)
                    if (const T* l = T::Load(sub + n)) return l;
    return P.SystemLibraries ? T::LoadSystem() : nullptr;
}

class THunspellEngine : public TSpellEngine {
public:
    THunspellEngine(const THunspellLibrary& Lib, THunspellLibrary::THandle H, std::string Entry) : FLib(Lib), FH(H) {
        FEntry = std::move(Entry);
        const char* enc = FLib.GetDicEncoding(FH);
        FCodec = TSpellCodec::For(enc ? enc : "ISO8859-1");
    }
    ~THunspellEngine() override { FLib.Destroy(FH); }

    bool Check(std::string_view Word) override {
        if (!FCodec.ToEngine(Word, FScratch)) return false;
        return FLib.Spell(FH, FScratch.c_str()) != 0;
    }

    std::vector<std::string> Suggest(std::string_view Word) override {
        std::vector<std::string> out;
        if (!FCodec.ToEngine(Word, FScratch)) return out;
        char** list = nullptr;
        int n = 0;
        const bool wordFirst = FLib.SuggestWordFirst && FLib.SuggestFree;
        n = wordFirst ? FLib.SuggestWordFirst(FH, FScratch.c_str(), &list) : FLib.Suggest(FH, &list, FScratch.c_str());
        for (int i = 0; i < n && list; ++i)
            if (list[i]) out.push_back(FCodec.FromEngine(list[i]));
        if (list) {
            if (wordFirst)
                FLib.SuggestFree(FH, list, n);
            else
                FLib.FreeList(FH, &list, n);
        }
        return out;
    }

private:
    const THunspellLibrary& FLib;
    THunspellLibrary::THandle FH;
    std::string FScratch;
};

class TAspellEngine : public TSpellEngine {
public:
    TAspellEngine(const TAspellLibrary& Lib, void* Speller, TSpellCodec Codec, std::string Entry) : FLib(Lib), FS(Speller) {
        FEntry = std::move(Entry);
        FCodec = std::move(Codec);
    }
    ~TAspellEngine() override { FLib.DeleteSpeller(FS); }

    bool Check(std::string_view Word) override {
        if (!FCodec.ToEngine(Word, FScratch)) return false;
        return FLib.Check(FS, FScratch.data(), static_cast<int>(FScratch.size())) == 1;
    }

    std::vector<std::string> Suggest(std::string_view Word) override {
        std::vector<std::string> out;
        if (!FCodec.ToEngine(Word, FScratch)) return out;
        // The word list belongs to the speller; only the enumeration is ours.
        void* list = FLib.Suggest(FS, FScratch.data(), static_cast<int>(FScratch.size()));
        if (!list) return out;
        void* e = FLib.WordListElements(list);
        if (!e) return out;
        while (const char* w = FLib.StringEnumerationNext(e)) out.push_back(FCodec.FromEngine(w));
        FLib.DeleteStringEnumeration(e);
        return out;
    }

private:
    const TAspellLibrary& FLib;
    void* FS;
    std::string FScratch;
};

}  // namespace

void SplitSpellEntry(std::string_view Entry, std::string& Engine, std::string& Dictionary) {
    const std::size_t dash = Entry.find('-');
    if (dash == std::string_view::npos) {
        Engine = AsciiLower(Trim(Entry));
        Dictionary = "ru";
        return;
    }
    Engine = AsciiLower(Trim(Entry.substr(0, dash)));
    Dictionary = AsciiLower(Trim(Entry.substr(dash + 1)));
}

TSpellEngines TSpellEngines::Find(const TSpellPlaces& P) {
    TSpellEngines r;
    std::set<std::string> seen;
    if (P.UseAspell) {
        r.FAspell = FindLibrary<TAspellLibrary>(P, "libaspell");
        if (r.FAspell)
            for (const std::string& name : r.FAspell->Dictionaries()) {
                TSpellEntry e;
                e.Kind = sekAspell;
                e.Dictionary = name;
                e.Caption = "aspell - " + AsciiLower(name);
                if (seen.insert(e.Caption).second) r.FEntries.push_back(std::move(e));
            }
    }
    r.FHunspell = FindLibrary<THunspellLibrary>(P, "libhunspell");
    if (r.FHunspell) {
        std::vector<std::string> dirs = OwnFolders(P);
        for (const std::string& d : P.HunspellDirs) {
            const std::string w = WithSlash(d);
            if (std::find(dirs.begin(), dirs.end(), w) == dirs.end()) dirs.push_back(w);
        }
        for (const std::string& dir : dirs)
            for (const std::string& n : FilesIn(dir)) {
                if (n.size() <= 4 || AsciiLower(n.substr(n.size() - 4)) != ".aff") continue;
                const std::string base = n.substr(0, n.size() - 4);
                // Personal word lists sit beside the dictionaries under "..._user" names.
                if (AsciiLower(base).find("user") != std::string::npos) continue;
                TSpellEntry e;
                e.Kind = sekHunspell;
                e.Folder = dir;
                e.Dictionary = base;
                e.Caption = "hunspell - " + AsciiLower(base);
                if (seen.insert(e.Caption).second) r.FEntries.push_back(std::move(e));
            }
    }
    return r;
}

int TSpellEngines::IndexOf(std::string_view Name) const {
    if (FEntries.empty()) return -1;
    const std::string want = AsciiLower(Trim(Name));
    for (std::size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].Caption == want) return static_cast<int>(i);
    return 0;
}

std::unique_ptr<TSpellEngine> TSpellEngines::Open(std::string_view Entry, std::string* Error) const {
    std::string engine, dict;
    SplitSpellEntry(Entry, engine, dict);
    const std::string caption = engine + " - " + dict;
    auto fail = [&](const std::string& Why) -> std::unique_ptr<TSpellEngine> {
        if (Error) *Error = Why;
        return nullptr;
    };
    // The dictionary named exactly, else the first of its language ("ru" opens ru_RU).
    const TSpellEntry* found = nullptr;
    const TSpellEngineKind kind = engine == "aspell" ? sekAspell : sekHunspell;
    for (int pass = 0; pass < 2 && !found; ++pass)
        for (const TSpellEntry& e : FEntries) {
            if (e.Kind != kind) continue;
            const std::string name = AsciiLower(e.Dictionary);
            const bool match = pass == 0 ? name == dict : name.rfind(dict, 0) == 0 && name.size() > dict.size() &&
                                                               (name[dict.size()] == '_' || name[dict.size()] == '-');
            if (match) {
                found = &e;
                break;
            }
        }
    if (engine == "hunspell") {
        if (!FHunspell) return fail("Hunspell is not installed");
        if (!found) return fail("no Hunspell dictionary \"" + dict + "\"");
        auto e = OpenHunspell(*FHunspell, found->Folder + found->Dictionary + ".aff",
                              found->Folder + found->Dictionary + ".dic", caption);
        return e ? std::move(e) : fail("Hunspell cannot open \"" + found->Folder + found->Dictionary + ".aff\"");
    }
    if (engine == "aspell") {
        if (!FAspell) return fail("Aspell is not installed");
        return OpenAspell(*FAspell, found ? found->Dictionary : dict, found != nullptr, caption, Error);
    }
    return fail("unknown spelling engine \"" + engine + "\"");
}

std::unique_ptr<TSpellEngine> OpenHunspell(const THunspellLibrary& Lib, const std::string& Aff, const std::string& Dic,
                                           std::string Entry) {
    // The engine prints nothing and returns a usable empty handle for a missing pair.
    if (!IsRegularFile(Aff) || !IsRegularFile(Dic)) return nullptr;
    THunspellLibrary::THandle h = Lib.Create(Aff.c_str(), Dic.c_str());
    if (!h) return nullptr;
    return std::make_unique<THunspellEngine>(Lib, h, std::move(Entry));
}

std::unique_ptr<TSpellEngine> OpenAspell(const TAspellLibrary& Lib, const std::string& Name, bool AsMaster,
                                         std::string Entry, std::string* Error) {
    // Windows-1251 itself when this Aspell has the code page; else UTF-8.
    for (const char* enc : {"cp1251", "utf-8"}) {
        void* config = Lib.NewConfig();
        if (!config) break;
        Lib.ConfigReplace(config, AsMaster ? "master" : "lang", Name.c_str());
        const bool encOk = Lib.ConfigReplace(config, "encoding", enc) != 0;
        void* made = encOk ? Lib.NewSpeller(config) : nullptr;
        Lib.DeleteConfig(config);
        if (!made) continue;
        if (Lib.ErrorNumber(made) != 0) {
            if (Error) *Error = std::string("Aspell: ") + Lib.ErrorMessage(made);
            Lib.DeleteCanHaveError(made);
            continue;
        }
        void* speller = Lib.ToSpeller(made);
        const char* used = Lib.ConfigRetrieve(Lib.SpellerConfig(speller), "encoding");
        return std::make_unique<TAspellEngine>(Lib, speller, TSpellCodec::For(used ? used : enc), std::move(Entry));
    }
    return nullptr;
}

}  // namespace tarvex
