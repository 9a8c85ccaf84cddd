// The user's word list: read, accept, add, save.

#include <gtest/gtest.h>

#include "spell/cust_dic.h"
#include "tests/spell/spell_test_util.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

using test::W;

TEST(CustomDictionary, ReadsAnyBreaksTrimsAndLowerCases) {
    test::TTempDir dir;
    test::WriteFile(dir.Path + "cust.dic", W("  Превед \r\nмедвед\n\r\nHello\rzebra"));
    TCustomDictionary d(dir.Path + "cust.dic");
    d.Load();
    EXPECT_EQ(d.Words().size(), 4u);
    EXPECT_TRUE(d.Contains(W("ПРЕВЕД")));
    EXPECT_TRUE(d.Contains("hello"));
    EXPECT_TRUE(d.Contains("Zebra"));
    EXPECT_FALSE(d.Contains(W("превед ")));
    EXPECT_FALSE(d.Modified());
}

TEST(CustomDictionary, AMissingFileIsAnEmptyListAndSavingCreatesIt) {
    test::TTempDir dir;
    const std::string path = dir.Path + "sub/folder/cust.dic";
    TCustomDictionary d(path);
    d.Load();
    EXPECT_TRUE(d.Words().empty());
    d.Save();
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing changed, nothing written";
    EXPECT_TRUE(d.Add(W("Ёжик")));
    EXPECT_FALSE(d.Add(W("ёжик"))) << "already there";
    EXPECT_FALSE(d.Add("  "));
    EXPECT_TRUE(d.Add("apple"));
    EXPECT_TRUE(d.Modified());
    d.Save();
    EXPECT_FALSE(d.Modified());
    EXPECT_EQ(test::ReadFile(path), "apple\r\n" + W("ёжик") + "\r\n") << "sorted, lower-cased, CR LF";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path + "sub/folder"), {}), 1)
        << "no temporary file left";
    TCustomDictionary again(path);
    again.Load();
    EXPECT_TRUE(again.Contains(W("ЁЖИК")));
}

TEST(CustomDictionary, AFailedSaveReportsAndKeepsTheChange) {
    test::TTempDir dir;
    // A file where the list's folder should be: no user, root included, can write there.
    test::WriteFile(dir.Path + "blocker", "not a folder");
    TCustomDictionary d(dir.Path + "blocker/cust.dic");
    d.Load();
    d.Add("new");
    EXPECT_THROW(d.Save(), EStreamError);
    EXPECT_TRUE(d.Modified()) << "the word is still to be saved";
    EXPECT_EQ(test::ReadFile(dir.Path + "blocker"), "not a folder");
}

TEST(CustomDictionary, LivesNextToTheProgramOnlyWhenThatFolderIsWritable) {
    test::TTempDir dir;
    EXPECT_EQ(TCustomDictionary::DefaultPath(dir.Path), dir.Path + "cust.dic");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", (dir.Path + "config").c_str(), 1);
    EXPECT_EQ(TCustomDictionary::DefaultPath("/nonexistent/program/"), dir.Path + "config/tarvex/cust.dic");
    if (old) ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tarvex
