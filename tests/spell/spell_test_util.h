#pragma once
// Small Hunspell dictionaries written by the tests, in KOI8-R and in UTF-8,
// so that no test depends on the dictionaries installed on the machine.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/codepages.h"
#include "platform/codepage.h"

namespace tarvex::test {

class TTempDir {
public:
    TTempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "tarvex-spell-XXXXXX").string();
        if (!::mkdtemp(t.data())) std::abort();
        Path = t + "/";
    }
    ~TTempDir() { std::filesystem::remove_all(Path); }
    std::string Path;
};

inline void WriteFile(const std::string& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

inline std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Windows-1251 bytes of UTF-8 source text.
inline std::string W(const char* Utf8) { return Utf8ToCp1251(Utf8); }

// The words of the test dictionaries (UTF-8 source).
inline const std::vector<const char*>& TestWords() {
    static const std::vector<const char*> words = {"кот", "собака", "молоко", "дом", "слово", "книга", "hello", "world"};
    return words;
}

// Writes Dir/Name.aff and Dir/Name.dic in Encoding ("KOI8-R" or "UTF-8").
inline void WriteHunspellPair(const std::string& Dir, const std::string& Name, const std::string& Encoding) {
    auto enc = [&](const char* Utf8) {
        std::string s = Utf8ToCp1251(Utf8);
        if (Encoding == "KOI8-R") WinToKoi(s);
        else s = Utf8;
        return s;
    };
    std::string aff = "SET " + Encoding + "\n" + "TRY " + enc("оеаинтсрвлкмдпуяызбгчйхжшюцщэфъё") + "abcdefghijklmnopqrstuvwxyz\n";
    std::string dic = std::to_string(TestWords().size()) + "\n";
    for (const char* w : TestWords()) dic += enc(w) + "\n";
    WriteFile(Dir + Name + ".aff", aff);
    WriteFile(Dir + Name + ".dic", dic);
}

}  // namespace tarvex::test
