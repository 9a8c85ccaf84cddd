// tarvex-cli spell: the spelling check of a whole file, word by word in text
// order, with the engines, the user's word list and the word rules of the
// spelling window.

#include <unistd.h>

#include <iostream>
#include <string>

#include "app/loader.h"
#include "app/word_separators.h"
#include "cli/commands.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "spell/spell_session.h"
#include "spell/word_walk.h"

namespace tarvex::cli {

namespace {

std::string ProgramDir() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string p(buf, static_cast<std::size_t>(n));
    return p.substr(0, p.find_last_of('/') + 1);
}

}  // namespace

int Spell(const Args& A) {
    std::string engine = "hunspell - ru_ru", file, spellDir, custPath;
    bool ignoreLatin = false, suggest = true;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= A.size()) throw UsageError{a + " needs a value"};
            return A[++i];
        };
        if (a == "--engine") engine = value();
        else if (a == "--spell-dir") spellDir = value();
        else if (a == "--cust") custPath = value();
        else if (a == "--ignore-latin") ignoreLatin = true;
        else if (a == "--no-suggestions") suggest = false;
        else if (a.size() > 1 && a[0] == '-') throw UsageError{"unknown option " + a};
        else if (file.empty()) file = a;
        else throw UsageError{"spell takes one file"};
    }
    if (file.empty()) throw UsageError{"spell needs a file"};

    TSpellPlaces places;
    places.ProgramDir = ProgramDir();
    places.SpellDir = spellDir;
    const TSpellEngines engines = TSpellEngines::Find(places);
    std::string why;
    std::unique_ptr<TSpellEngine> opened = engines.Open(engine, &why);
    if (!opened) {
        std::cerr << "tarvex-cli: Spell engine not found! (" << why << ")\n";
        return 1;
    }
    TCustomDictionary cust(custPath.empty() ? TCustomDictionary::DefaultPath(places.ProgramDir) : custPath);
    cust.Load();
    TSpellSession session(std::move(opened), &cust);

    TDudiRiri memo;
    memo.SetSeparators(AppWordSeparators());
    TLoadHooks hooks;
    hooks.ConfirmLarge = [](std::int64_t) { return true; };
    TLoadOutcome outcome;
    LoadDocument(memo, file, TLoadSettings{}, hooks, outcome);

    TWordWalk walk(memo, 0, -1, ignoreLatin);
    TSpellWord w;
    std::string line;
    while (walk.Next(w)) {
        if (session.Check(w.Text)) continue;
        line = std::to_string(w.Pos);
        line += '\t';
        line += Cp1251ToUtf8(w.Text);
        line += '\t';
        if (suggest) {
            bool first = true;
            for (const std::string& s : session.Suggest(w.Text)) {
                if (!first) line += ", ";
                line += Cp1251ToUtf8(s);
                first = false;
            }
        }
        line += '\n';
        std::cout << line;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace tarvex::cli
