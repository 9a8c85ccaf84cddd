#include "app/app_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tarvex {

namespace fs = std::filesystem;

std::string UserConfigDir() {
    std::string dir;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') {
        dir = x;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    dir += "/tarvex";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir + "/";
}

TAppPaths TAppPaths::ForProgram(const std::string& ProgramPath) {
    TAppPaths p;
    std::error_code ec;
    fs::path exe = fs::absolute(ProgramPath, ec);
    if (ec) exe = ProgramPath;
    p.ExeDir = exe.parent_path().string() + "/";
    p.AppTitle = exe.stem().string();
    if (p.AppTitle.empty()) p.AppTitle = "tarvex";
    const fs::path share = exe.parent_path().parent_path() / "share" / "tarvex";
    p.Installed = exe.parent_path().filename() == "bin" && fs::is_directory(share, ec);
    p.DataDir = !p.Installed && ::access(p.ExeDir.c_str(), W_OK) == 0 ? p.ExeDir : UserConfigDir();
    if (const char* env = std::getenv("TARVEX_SETTINGS"); env && *env)
        p.IniPath = env;
    else
        p.IniPath = p.DataDir + p.AppTitle + ".ini";
    p.ReadmePath = (p.Installed ? share.string() + "/" : p.ExeDir) + "Tarvex Readme.txt";
    return p;
}

TAppPaths TAppPaths::InFolder(const std::string& Folder, const std::string& IniName) {
    TAppPaths p;
    p.ExeDir = p.DataDir = Folder + "/";
    p.AppTitle = "tarvex";
    p.IniPath = p.DataDir + IniName;
    p.ReadmePath = p.ExeDir + "Tarvex Readme.txt";
    return p;
}

}  // namespace tarvex
