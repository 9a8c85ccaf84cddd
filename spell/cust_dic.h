#pragma once
// The user's own accepted words ("cust.dic"): one lower-cased Windows-1251
// word a line, kept sorted. It is read when the spelling window opens,
// accepts a word whose lower-cased form it holds, grows by Add, and is
// written back (atomically) when the window closes after a change.

#include <set>
#include <string>
#include <string_view>

namespace tarvex {

class TCustomDictionary {
public:
    static constexpr const char* kFileName = "cust.dic";

    explicit TCustomDictionary(std::string Path = {}) : FPath(std::move(Path)) {}

    // Where the list lives: next to the program when that folder is
    // writable, else $XDG_CONFIG_HOME/tarvex/ (~/.config/tarvex/).
    static std::string DefaultPath(const std::string& ProgramDir);

    const std::string& Path() const { return FPath; }
    // Reads the file (a missing one is an empty list). EStreamError when it
    // exists but cannot be read.
    void Load();
    bool Contains(std::string_view Word) const;
    // Adds the lower-cased word; false when it was there already or is empty.
    bool Add(std::string_view Word);
    bool Modified() const { return FModified; }
    // Writes the list when it changed (creating the folder). EStreamError
    // when that fails; the old file then stays as it was.
    void Save();
    const std::set<std::string, std::less<>>& Words() const { return FWords; }

private:
    std::string FPath;
    std::set<std::string, std::less<>> FWords;
    bool FModified = false;
};

}  // namespace tarvex
