#pragma once
// Where the program finds its files and keeps its own. A portable copy (the
// build folder ./run.sh starts, or any folder the user may write) keeps its
// settings, bookmarks and dictionary next to the program; an installed one
// (PREFIX/bin beside PREFIX/share/tarvex) never writes there: it keeps them
// in $XDG_CONFIG_HOME/tarvex/ (~/.config/tarvex/) and reads its manual from
// PREFIX/share/tarvex/.

#include <string>

namespace tarvex {

struct TAppPaths {
    std::string ExeDir;      // the program's folder, with a trailing '/'
    std::string AppTitle;    // the program file's name without extension
    std::string DataDir;     // where the program writes its own files, with a trailing '/'
    std::string IniPath;     // the settings file (TARVEX_SETTINGS names another)
    std::string ReadmePath;  // "Tarvex Readme.txt"
    bool Installed = false;

    static TAppPaths ForProgram(const std::string& ProgramPath);
    // The paths of a program in Folder with every file of its own in Folder too (tests).
    static TAppPaths InFolder(const std::string& Folder, const std::string& IniName = "tarvex.ini");
};

// $XDG_CONFIG_HOME/tarvex/ (default ~/.config/tarvex/), created when missing, with a trailing '/'.
std::string UserConfigDir();

}  // namespace tarvex
