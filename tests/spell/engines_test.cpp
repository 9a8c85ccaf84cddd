// Engine discovery, the entries' names, and words sent in the dictionary's
// encoding with suggestions coming back in Windows-1251.

#include <gtest/gtest.h>

#include <algorithm>

#include "spell/spell_engines.h"
#include "spell/spell_session.h"
#include "tests/spell/spell_test_util.h"

namespace tarvex {
namespace {

using test::W;

// Only the test's own folder: no installed dictionary, no Aspell.
TSpellPlaces OnlyFolder(const std::string& Dir) {
    TSpellPlaces p;
    p.ProgramDir = Dir;
    p.HunspellDirs.clear();
    p.UseAspell = false;
    return p;
}

std::vector<std::string> Captions(const TSpellEngines& E) {
    std::vector<std::string> c;
    for (const TSpellEntry& e : E.Entries()) c.push_back(e.Caption);
    return c;
}

bool Contains(const std::vector<std::string>& V, const std::string& S) {
    return std::find(V.begin(), V.end(), S) != V.end();
}

TEST(SpellEntry, SplitsAtTheDashAndDefaultsToRussian) {
    std::string e, d;
    SplitSpellEntry("hunspell - ru_RU", e, d);
    EXPECT_EQ(e, "hunspell");
    EXPECT_EQ(d, "ru_ru");
    SplitSpellEntry("Aspell - en-variant_0", e, d);
    EXPECT_EQ(e, "aspell");
    EXPECT_EQ(d, "en-variant_0") << "only the first dash splits";
    SplitSpellEntry(" hunspell ", e, d);
    EXPECT_EQ(e, "hunspell");
    EXPECT_EQ(d, "ru");
}

TEST(SpellDiscovery, UserDictionariesAreNotListed) {
    test::TTempDir dir;
    test::WriteHunspellPair(dir.Path, "en_US", "UTF-8");
    test::WriteHunspellPair(dir.Path, "en_US_user", "UTF-8");
    test::WriteHunspellPair(dir.Path, "MyUserWords", "UTF-8");
    const TSpellEngines e = TSpellEngines::Find(OnlyFolder(dir.Path));
    EXPECT_EQ(Captions(e), std::vector<std::string>{"hunspell - en_us"});
}

TEST(SpellDiscovery, FoldersAreSearchedInOrderAndAnEntryListedOnce) {
    test::TTempDir prog, spellDir, dictDir;
    test::WriteHunspellPair(prog.Path, "ru_RU", "UTF-8");
    test::WriteHunspellPair(spellDir.Path, "ru_RU", "KOI8-R");
    test::WriteHunspellPair(spellDir.Path, "de_DE", "UTF-8");
    test::WriteHunspellPair(dictDir.Path, "uk_UA", "UTF-8");
    std::filesystem::create_directory(dictDir.Path + "folder.aff");
    TSpellPlaces p = OnlyFolder(prog.Path);
    p.SpellDir = spellDir.Path;
    p.Dictionary = dictDir.Path + "words.txt";
    const TSpellEngines e = TSpellEngines::Find(p);
    EXPECT_EQ(Captions(e), (std::vector<std::string>{"hunspell - ru_ru", "hunspell - de_de", "hunspell - uk_ua"}));
    ASSERT_EQ(e.Entries()[0].Folder, prog.Path) << "the program's folder comes first";
    EXPECT_EQ(e.IndexOf("HUNSPELL - UK_UA"), 2);
    EXPECT_EQ(e.IndexOf("aspell - xx"), 0) << "an unknown name selects the first entry";
}

TEST(SpellDiscovery, NothingFoundGivesNoEntries) {
    test::TTempDir dir;
    const TSpellEngines e = TSpellEngines::Find(OnlyFolder(dir.Path));
    EXPECT_TRUE(e.Entries().empty());
    EXPECT_EQ(e.IndexOf("hunspell - ru_ru"), -1);
    std::string why;
    EXPECT_EQ(e.Open("hunspell - ru_ru", &why), nullptr);
    EXPECT_FALSE(why.empty());
}

TEST(SpellLibrary, ALibraryWithoutEveryFunctionCountsAsAbsent) {
    EXPECT_EQ(THunspellLibrary::Load(TARVEX_PARTIAL_HUNSPELL), nullptr);
    EXPECT_EQ(TAspellLibrary::Load(TARVEX_PARTIAL_HUNSPELL), nullptr);
    EXPECT_EQ(THunspellLibrary::Load("/nonexistent/libhunspell.so"), nullptr);
    // Found in the program's folder, with no system library to fall back to.
    test::TTempDir dir;
    std::filesystem::copy_file(TARVEX_PARTIAL_HUNSPELL, dir.Path + "libhunspell-test.so");
    test::WriteHunspellPair(dir.Path, "en_US", "UTF-8");
    TSpellPlaces p = OnlyFolder(dir.Path);
    p.SystemLibraries = false;
    const TSpellEngines e = TSpellEngines::Find(p);
    EXPECT_EQ(e.Hunspell(), nullptr);
    EXPECT_TRUE(e.Entries().empty());
}

class HunspellPair : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!THunspellLibrary::LoadSystem()) GTEST_SKIP() << "libhunspell is not installed";
        test::WriteHunspellPair(Dir.Path, "ru_RU", GetParam());
        Engines = TSpellEngines::Find(OnlyFolder(Dir.Path));
    }
    test::TTempDir Dir;
    TSpellEngines Engines;
};

TEST_P(HunspellPair, CyrillicWordsGoInTheDictionaryEncodingAndSuggestionsComeBack) {
    auto e = Engines.Open("hunspell - ru_ru");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Codec().Name(), GetParam()) << "the dictionary's declared encoding is used";
    EXPECT_EQ(e->Entry(), "hunspell - ru_ru");
    EXPECT_TRUE(e->Check(W("собака")));
    EXPECT_TRUE(e->Check(W("Собака"))) << "a capitalised dictionary word";
    EXPECT_TRUE(e->Check("hello"));
    EXPECT_FALSE(e->Check(W("сабака")));
    const std::vector<std::string> s = e->Suggest(W("сабака"));
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0], W("собака")) << "Windows-1251 bytes come back";
    EXPECT_FALSE(e->Check(W("ёжик"))) << "unknown words are wrong";
}

TEST_P(HunspellPair, AnEntryWithoutDashOpensRussian) {
    auto e = Engines.Open("hunspell");
    ASSERT_NE(e, nullptr) << "\"hunspell\" opens the dictionary \"ru\", found as ru_RU";
    EXPECT_EQ(e->Entry(), "hunspell - ru");
    EXPECT_TRUE(e->Check(W("молоко")));
}

TEST_P(HunspellPair, CharactersTheDictionaryCannotHoldMakeAWordWrong) {
    auto e = Engines.Open("hunspell - ru_ru");
    ASSERT_NE(e, nullptr);
    // "№" exists in Windows-1251 but not in KOI8-R; in UTF-8 it is a symbol no word holds.
    EXPECT_FALSE(e->Check(W("кот№")));
    if (std::string(GetParam()) == "KOI8-R") {
        EXPECT_TRUE(e->Suggest(W("кот№")).empty()) << "nothing is sent";
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, HunspellPair, ::testing::Values("KOI8-R", "UTF-8"));

TEST(SpellCodec, NamesAndRoundTrips) {
    EXPECT_EQ(IconvEncodingName("microsoft-cp1251"), "CP1251");
    EXPECT_EQ(IconvEncodingName("ISO8859-5"), "ISO-8859-5");
    EXPECT_EQ(IconvEncodingName("koi8-r"), "KOI8-R");
    std::string out;
    const TSpellCodec same = TSpellCodec::For("microsoft-cp1251");
    ASSERT_TRUE(same.ToEngine(W("Ёжик"), out));
    EXPECT_EQ(out, W("Ёжик"));
    const TSpellCodec iso5 = TSpellCodec::For("ISO8859-5");
    ASSERT_TRUE(iso5.ToEngine(W("Ёжик"), out));
    EXPECT_EQ(out, "\xA1\xD6\xD8\xDA");
    EXPECT_EQ(iso5.FromEngine(out), W("Ёжик"));
    EXPECT_FALSE(iso5.ToEngine(W("«ёж»"), out)) << "guillemets are not in ISO 8859-5";
    const TSpellCodec latin1 = TSpellCodec::For("ISO8859-1");
    EXPECT_FALSE(latin1.ToEngine(W("кот"), out));
    EXPECT_TRUE(latin1.ToEngine("cafe", out));
    const TSpellCodec unknown = TSpellCodec::For("NO-SUCH-ENCODING");
    EXPECT_EQ(unknown.Name(), "ISO-8859-1");
    const TSpellCodec utf8 = TSpellCodec::For("UTF-8");
    ASSERT_TRUE(utf8.ToEngine(W("кот"), out));
    EXPECT_EQ(out, "кот");
    EXPECT_EQ(utf8.FromEngine("ёж\xE2\x82\xAC"), W("ёж") + "\x88") << "the euro sign is 0x88";
    EXPECT_EQ(utf8.FromEngine("日"), "?");
}

TEST(SpellSession, UserWordsAndIgnoredWordsAreAcceptedWithoutTheEngine) {
    if (!THunspellLibrary::LoadSystem()) GTEST_SKIP() << "libhunspell is not installed";
    test::TTempDir dir;
    test::WriteHunspellPair(dir.Path, "ru_RU", "KOI8-R");
    const TSpellEngines e = TSpellEngines::Find(OnlyFolder(dir.Path));
    TCustomDictionary cust(dir.Path + "cust.dic");
    cust.Add(W("Превед"));
    TSpellSession s(e.Open("hunspell - ru_ru"), &cust);
    EXPECT_TRUE(s.Check(W("превед")));
    EXPECT_TRUE(s.Check(W("ПРЕВЕД"))) << "the list holds lower-cased words";
    EXPECT_EQ(s.EngineCalls(), 0);
    EXPECT_FALSE(s.Check(W("медвед")));
    EXPECT_FALSE(s.Check(W("медвед")));
    EXPECT_EQ(s.EngineCalls(), 1) << "each distinct word is asked once";
    s.IgnoreAll(W("медвед"));
    EXPECT_TRUE(s.Check(W("медвед")));
    EXPECT_FALSE(s.Check(W("Медвед"))) << "ignoring is exact";
    s.Add(W("Медвед"));
    EXPECT_TRUE(s.Check(W("Медвед")));
    EXPECT_TRUE(cust.Contains(W("медвед")));
    EXPECT_FALSE(s.Suggest(W("кошт")).empty());
}

// The dictionaries Debian installs (skipped where they are missing).
TEST(InstalledEngines, AspellAndHunspellCheckRussianAndEnglish) {
    TSpellPlaces p;
    const TSpellEngines e = TSpellEngines::Find(p);
    const std::vector<std::string> c = Captions(e);
    if (Contains(c, "hunspell - ru_ru")) {
        auto h = e.Open("hunspell - ru_ru");
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(h->Check(W("молоко")));
        EXPECT_FALSE(h->Check(W("малако")));
    }
    if (!Contains(c, "aspell - ru") || !Contains(c, "aspell - en")) GTEST_SKIP() << "Aspell's ru and en are not installed";
    auto ru = e.Open("aspell - ru");
    ASSERT_NE(ru, nullptr);
    EXPECT_TRUE(ru->Check(W("молоко")));
    EXPECT_FALSE(ru->Check(W("малако")));
    const auto s = ru->Suggest(W("малако"));
    EXPECT_TRUE(std::find(s.begin(), s.end(), W("молоко")) != s.end());
    auto en = e.Open("aspell - en");
    ASSERT_NE(en, nullptr);
    EXPECT_TRUE(en->Check("world"));
    EXPECT_FALSE(en->Check("wrold"));
    EXPECT_FALSE(en->Check(W("молоко")));
    auto byLanguage = e.Open("aspell");
    ASSERT_NE(byLanguage, nullptr) << "an entry without a dash opens Russian";
    EXPECT_TRUE(byLanguage->Check(W("молоко")));
}

}  // namespace
}  // namespace tarvex
