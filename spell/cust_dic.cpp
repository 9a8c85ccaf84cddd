#include "spell/cust_dic.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "textstore/atomic_file.h"
#include "spell/letters.h"
#include "textstore/stream.h"

namespace tarvex {

namespace {

std::string ConfigDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string dir;
    if (xdg && *xdg) {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home ? home : "") + "/.config";
    }
    return dir + "/tarvex";
}

void MakeDirs(const std::string& Dir) {
    for (std::size_t i = 1; i <= Dir.size(); ++i)
        if (i == Dir.size() || Dir[i] == '/') ::mkdir(Dir.substr(0, i).c_str(), 0777);
}

std::string Trimmed(std::string_view S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) <= ' ') --b;
    return std::string(S.substr(a, b - a));
}

}  // namespace

std::string TCustomDictionary::DefaultPath(const std::string& ProgramDir) {
    std::string dir = ProgramDir;
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    if (!dir.empty() && ::access(dir.c_str(), W_OK) == 0) return dir + kFileName;
    return ConfigDir() + "/" + kFileName;
}

void TCustomDictionary::Load() {
    FWords.clear();
    FModified = false;
    if (FPath.empty() || !FileExists(FPath)) return;
    // Refuses a FIFO or a device instead of waiting on it or reading it without end.
    TFileStream in(FPath, TFileStream::fmOpenRead);
    const std::string text = ReadBytes(in);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string w = Trimmed(std::string_view(text).substr(start, end - start));
        if (!w.empty()) FWords.insert(LowerCaseCp1251(w));
        start = end + 1;
    }
}

bool TCustomDictionary::Contains(std::string_view Word) const {
    if (FWords.empty()) return false;
    return FWords.find(LowerCaseCp1251(Word)) != FWords.end();
}

bool TCustomDictionary::Add(std::string_view Word) {
    const std::string w = LowerCaseCp1251(Trimmed(Word));
    if (w.empty() || !FWords.insert(w).second) return false;
    FModified = true;
    return true;
}

void TCustomDictionary::Save() {
    if (!FModified || FPath.empty()) return;
    const std::size_t slash = FPath.find_last_of('/');
    if (slash != std::string::npos && slash > 0) MakeDirs(FPath.substr(0, slash));
    SaveFileAtomically(FPath, [&](TStream& S) {
        std::string buf;
        for (const std::string& w : FWords) {
            buf += w;
            buf += "\r\n";
        }
        S.Write(buf.data(), static_cast<std::int64_t>(buf.size()));
    });
    FModified = false;
}

}  // namespace tarvex
