// Where the program looks for its manual and keeps its own files, installed
// and portable.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/app_paths.h"
#include "tests/app/test_files.h"

namespace tarvex {
namespace {

using test::TTempDir;
namespace fs = std::filesystem;

class EnvVar {
public:
    EnvVar(const char* Name, const std::string& Value) : FName(Name) {
        if (const char* v = std::getenv(Name)) FOld = v, FHad = true;
        ::setenv(Name, Value.c_str(), 1);
    }
    ~EnvVar() {
        if (FHad)
            ::setenv(FName, FOld.c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::string FOld;
    bool FHad = false;
};

TEST(AppPaths, AnInstalledProgramNeverWritesBesideItself) {
    TTempDir dir;
    fs::create_directories(dir / "prefix/bin");
    fs::create_directories(dir / "prefix/share/tarvex");
    EnvVar config("XDG_CONFIG_HOME", dir / "config");
    EnvVar settings("TARVEX_SETTINGS", "");
    const TAppPaths p = TAppPaths::ForProgram(dir / "prefix/bin/tarvex");
    EXPECT_TRUE(p.Installed);
    EXPECT_EQ(p.DataDir, dir / "config/tarvex/") << "even though the bin folder is writable here";
    EXPECT_EQ(p.IniPath, dir / "config/tarvex/tarvex.ini");
    EXPECT_EQ(p.ReadmePath, dir / "prefix/share/tarvex/Tarvex Readme.txt");
    EXPECT_TRUE(fs::is_directory(dir / "config/tarvex"));
}

TEST(AppPaths, APortableProgramKeepsItsFilesBesideItselfWhenItMay) {
    TTempDir dir;
    fs::create_directories(dir / "build/app");
    EnvVar config("XDG_CONFIG_HOME", dir / "config");
    EnvVar settings("TARVEX_SETTINGS", "");
    const TAppPaths p = TAppPaths::ForProgram(dir / "build/app/tarvex");
    EXPECT_FALSE(p.Installed);
    EXPECT_EQ(p.DataDir, dir / "build/app/");
    EXPECT_EQ(p.ReadmePath, dir / "build/app/Tarvex Readme.txt");
    EnvVar other("TARVEX_SETTINGS", dir / "elsewhere.ini");
    EXPECT_EQ(TAppPaths::ForProgram(dir / "build/app/tarvex").IniPath, dir / "elsewhere.ini");
}

}  // namespace
}  // namespace tarvex
