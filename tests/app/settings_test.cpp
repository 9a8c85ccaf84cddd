// The settings file: every key through a write and a read, the writing
// rules, malformed input, placement strings and the history.

#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "tests/app/test_files.h"

namespace tarvex {
namespace {

TIniFile Parsed(const std::string& Text) {
    TIniFile ini;
    ini.Parse(Text);
    return ini;
}

// Every field away from its default.
TSettings Changed() {
    TSettings s;
    s.MainSize = "ML1;T2;W300;H400";
    s.ContSize = "L5;T5;W50;H50";
    s.DictSize = "d";
    s.SpellSize = "s";
    s.FindSize = "f";
    s.FndWd = 700;
    s.FndHt = 310;
    s.ToolBar = s.Status = s.SortDupl = s.Highlight = s.MemFirstLine = s.AutoHtmTxt = false;
    s.PrintHeader = s.ContentCaps = s.AutoDecode = s.WordWrap = false;
    s.HideCaret = s.JoinSort = s.AddSort = s.BtMiddle = s.ReadOnly = s.OnTop = s.SkipNull = true;
    s.DragText = s.ClipLocale = s.WatchOpen = s.Escape = s.IEconvert = s.DocConvert = s.Lang = true;
    s.SpellRus = s.Justified = true;
    s.Find = "needle";
    s.FndList = "a|b";
    s.RepList = "c|d";
    s.Dictionary = "/dict/ru.dic";
    s.Folder = "/home/u/docs";
    s.Delim = ":";
    s.Separ = "^s";
    s.DateIns = "dd.mm.yyyy";
    s.MaxFiles = 25;
    s.TabStops = 4;
    s.LineHeight = 18;
    s.OpenFilter = 3;
    s.MarkCount = 50;
    s.ContLen = 80;
    s.MaxFndList = 20;
    s.Compress = 7;
    s.SpellName = "hunspell";
    s.SpellDir = "/usr/share/hunspell";
    s.TimeScroll = 12;
    s.LeftMargin = 4;
    s.Alignment = 2;
    s.Font = {"DejaVu Sans", 12, 3, 0x112233, 1};
    s.FontRO = {"Liberation Mono", 9, 8, static_cast<std::int32_t>(0x80000012), 0};
    s.Background = 0xFFFFF0;
    s.BackgroundRO = 0xC0C0C0;
    s.Url = 0x800000;
    s.UrlRO = 0xFF00FF;
    return s;
}

TEST(Settings, EveryKeyComesBack) {
    const TSettings written = Changed();
    TIniFile ini;
    written.Write(ini);
    TSettings read;
    read.Read(Parsed(ini.Serialize()));
    EXPECT_TRUE(read == written);
    // And the defaults too, through a file that holds them all.
    TIniFile defaults;
    TSettings().Write(defaults);
    TSettings back = Changed();
    back.Read(Parsed(defaults.Serialize()));
    back.MainSize = back.ContSize = back.DictSize = back.SpellSize = back.FindSize = "";
    back.Find = back.FndList = back.RepList = back.Dictionary = back.Folder = back.SpellName = back.SpellDir = "";
    back.DateIns = kDefaultDateIns;
    back.MarkCount = 0;
    back.ContLen = 100;
    back.MaxFndList = 10;
    EXPECT_TRUE(back == TSettings()) << "keys not written are the ones patched above";
}

TEST(Settings, WritingRules) {
    TSettings s;
    s.MarkCount = 0;
    s.ContLen = 100;
    s.MaxFndList = 0;
    s.FndWd = 0;
    TIniFile ini = Parsed("[Options]\nDateIns=old\nMarkCount=5\nContLen=50\nMaxFndList=7\nFind=kept\n");
    s.Write(ini);
    EXPECT_FALSE(ini.Value("Options", "DateIns")) << "the default format is not stored";
    EXPECT_FALSE(ini.Value("Options", "MarkCount"));
    EXPECT_FALSE(ini.Value("Options", "ContLen")) << "100 is the default";
    EXPECT_FALSE(ini.Value("Options", "MaxFndList"));
    EXPECT_FALSE(ini.Value("Window", "FndWd"));
    EXPECT_EQ(ini.ReadString("Options", "Find", ""), "kept") << "an empty search text leaves the key";
    EXPECT_FALSE(ini.Value("Options", "Folder"));
    EXPECT_EQ(ini.ReadString("Options", "Word wrap", ""), "1");
    s.MarkCount = 1001;
    s.ContLen = 1000;
    s.MaxFndList = 100;
    s.Write(ini);
    EXPECT_FALSE(ini.Value("Options", "MarkCount"));
    EXPECT_EQ(ini.ReadInteger("Options", "ContLen", 0), 1000);
    EXPECT_EQ(ini.ReadInteger("Options", "MaxFndList", 0), 100);
}

TEST(Settings, TheFindKeysGoToTheFindCommandsAndBack) {
    // A search through the settings file: the history with its separators and
    // a search text with a line break survive on one line each.
    TSettings s;
    TFindSettings f = s.FindSettings();
    EXPECT_EQ(f.FndWd, 600);
    EXPECT_EQ(f.FndHt, 300);
    TSearchState state;
    state.Load(f);
    TFindDialogValues v;
    v.FindText = "end^pstart";
    v.Escapes = true;
    state.TakeSearchParams(v);
    state.Store(f);
    f.FindSize = "L10;T20;W300;H200";
    s.SetFindSettings(f);
    TIniFile ini;
    s.Write(ini);
    TSettings back;
    back.Read(Parsed(ini.Serialize()));
    EXPECT_TRUE(back.FindSettings() == f);
    TSearchState again;
    again.Load(back.FindSettings());
    EXPECT_EQ(again.SearchText, "end\r\nstart");
    EXPECT_EQ(again.FindHistory.Items, (std::vector<std::string>{"end^pstart"}));
}

TEST(Settings, MalformedValuesFallBackKeyByKey) {
    TSettings s;
    s.Read(Parsed("garbage line\n[options]\ntoolbar=yes\nStatus=0\nMaxFiles=12x\nTabStops=\n"
                  "LeftMargin= 7 \nLineHeight=99999999999999999999\nOpenFilter=$A\nAlignment=\"2\"\n"
                  "[Font]\nColor=-2147483640\nBackground=0xFF0000\nSize=big\n[Window\nFndWd=1\n"));
    EXPECT_TRUE(s.ToolBar) << "not a number: the default";
    EXPECT_FALSE(s.Status) << "names match in any case";
    EXPECT_EQ(s.MaxFiles, 10);
    EXPECT_EQ(s.TabStops, 8);
    EXPECT_EQ(s.LeftMargin, 7);
    EXPECT_EQ(s.LineHeight, 0) << "out of range";
    EXPECT_EQ(s.OpenFilter, 10);
    EXPECT_EQ(s.Alignment, 2) << "quotes around a value are dropped";
    EXPECT_EQ(s.Font.Color, static_cast<std::int32_t>(0x80000008));
    EXPECT_EQ(s.Background, 0xFF0000);
    EXPECT_EQ(s.Font.Size, 10);
    EXPECT_EQ(s.FndWd, 600) << "a broken section header starts no section";

    TSettings empty, fromNothing;
    empty.Read(Parsed(""));
    EXPECT_TRUE(empty == fromNothing);
    TSettings capped;
    capped.Read(Parsed("[Options]\nMaxFiles=500\n"));
    EXPECT_EQ(capped.MaxFiles, 100);
}

TEST(Settings, RussianLocaleDefaults) {
    EXPECT_TRUE(TSettings(true).Lang);
    EXPECT_TRUE(TSettings(true).ClipLocale);
    EXPECT_FALSE(TSettings(false).Lang);
    const char* keep[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    std::string saved[3];
    bool had[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = std::getenv(keep[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
    }
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_TRUE(RussianLocale());
    ::setenv("LC_MESSAGES", "en_US.UTF-8", 1);
    EXPECT_FALSE(RussianLocale()) << "LC_MESSAGES comes before LANG";
    ::setenv("LC_ALL", "ru_UA", 1);
    EXPECT_TRUE(RussianLocale()) << "LC_ALL comes first";
    ::setenv("LC_ALL", "rus", 1);
    EXPECT_FALSE(RussianLocale());
    for (int i = 0; i < 3; ++i) {
        if (had[i])
            ::setenv(keep[i], saved[i].c_str(), 1);
        else
            ::unsetenv(keep[i]);
    }
}

TEST(IniFile, RewriteKeepsWhatItDoesNotKnow) {
    TIniFile ini = Parsed("; comment\n[Other]\nKeep=this\n\n[Options]\nFind=x\nUnknown=1\n");
    TSettings s;
    s.Read(ini);
    s.Write(ini);
    const std::string out = ini.Serialize();
    EXPECT_NE(out.find("; comment\n"), std::string::npos);
    EXPECT_NE(out.find("[Other]\nKeep=this\n"), std::string::npos);
    EXPECT_NE(out.find("Unknown=1\n"), std::string::npos);
    EXPECT_NE(out.find("Find=x\n"), std::string::npos);
    EXPECT_EQ(out.find("[Options]"), out.rfind("[Options]")) << "one section, not two";
    EXPECT_NE(out.find("[Font]"), std::string::npos);
}

TEST(Placement, ReadingFallsBackPartByPart) {
    TBounds b{100, 100, 800, 600};
    EXPECT_TRUE(ReadPlacement("ML10;T20;W300;H200", b));
    EXPECT_EQ(b, (TBounds{10, 20, 300, 200})) << "maximized, with the bounds to restore";
    b = {100, 100, 800, 600};
    EXPECT_FALSE(ReadPlacement("L5;Tx;W;H50", b));
    EXPECT_EQ(b, (TBounds{5, 100, 800, 50}));
    b = {100, 100, 800, 600};
    ReadPlacement("L-500;T-21;W3;H19", b);
    EXPECT_EQ(b, (TBounds{-20, -20, 20, 20})) << "kept on screen and not too small";
    b = {1, 2, 300, 400};
    EXPECT_FALSE(ReadPlacement("", b));
    EXPECT_EQ(b, (TBounds{1, 2, 300, 400}));
    ReadPlacement("T7", b);
    EXPECT_EQ(b.Top, 2) << "T without the ';' marker is not found";
}

TEST(Placement, StoringAMaximizedWindowKeepsItsRestoredBounds) {
    const TBounds cur{0, 0, 1920, 1080};
    EXPECT_EQ(PlacementToStore("L10;T20;W300;H200", cur, true), "ML10;T20;W300;H200");
    EXPECT_EQ(PlacementToStore("ML10;T20;W300;H200", cur, true), "ML10;T20;W300;H200");
    EXPECT_EQ(PlacementToStore("", cur, true), "ML0;T0;W1920;H1080");
    EXPECT_EQ(PlacementToStore("ML10;T20;W300;H200", TBounds{5, 6, 700, 500}, false), "L5;T6;W700;H500");
}

TEST(Placement, AHugePlacementIsKeptOnTheScreen) {
    // Regression: W2147483647;H2147483647 made a 32,767-pixel window of
    // 4.2 GB, and was written back at close.
    const TBounds area{0, 0, 1920, 1040};
    TBounds b{100, 80, 900, 650};
    EXPECT_FALSE(ReadPlacement("L2147483647;T-2147483648;W2147483647;H2147483647", b, area));
    EXPECT_EQ(b, (TBounds{0, -20, 1920, 1040}));
    b = {100, 80, 900, 650};
    EXPECT_TRUE(ReadPlacement("ML1800;T1000;W400;H300", b, area));
    EXPECT_EQ(b, (TBounds{1520, 740, 400, 300})) << "moved back so that it is wholly inside";
    b = {100, 80, 900, 650};
    ReadPlacement("L10;T20;W300;H200", b, area);
    EXPECT_EQ(b, (TBounds{10, 20, 300, 200})) << "what fits stays as it is";
    // A second screen at the left of the first.
    EXPECT_EQ(ClampPlacement({-1500, 10, 800, 600}, TBounds{-1920, 0, 3840, 1040}), (TBounds{-1500, 10, 800, 600}));
    EXPECT_EQ(ClampPlacement({5, 5, 10, 10}, TBounds{0, 0, 0, 0}), (TBounds{0, 0, 20, 20})) << "no area: the least window";

    EXPECT_EQ(PlacementToStore("ML0;T0;W2147483647;H2147483647", TBounds{0, 0, 1920, 1040}, true, area),
              "ML0;T0;W1920;H1040");
    EXPECT_EQ(PlacementToStore("ML10;T20;W300;H200", TBounds{0, 0, 1920, 1040}, true, area), "ML10;T20;W300;H200");
    EXPECT_EQ(PlacementToStore("", TBounds{5, 6, 99999, 500}, false, area), "L0;T6;W1920;H500");
}

TEST(IniFile, TheSettingsFileIsReadOnlyWhenItIsARegularFile) {
    test::TTempDir dir;
    test::WriteFile(dir / "t.ini", "[Options]\nMaxFiles=7\n");
    TIniFile ini;
    EXPECT_TRUE(ini.LoadFile(dir / "t.ini"));
    EXPECT_EQ(ini.ReadInteger("Options", "MaxFiles", 0), 7);
    EXPECT_FALSE(ini.LoadFile(dir / "missing.ini"));
    EXPECT_EQ(ini.ReadInteger("Options", "MaxFiles", 0), 0) << "nothing of the earlier file is left";
    // A FIFO named as the settings file: no wait for a writer, no settings.
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    EXPECT_FALSE(ini.LoadFile(dir / "fifo.ini"));
    EXPECT_FALSE(ini.LoadFile("/dev/zero"));
}

TEST(IniFile, NumbersOutOfRangeAreMalformed) {
    // Regression: "-$80000000" negated the smallest 32-bit number, a signed
    // overflow (the sanitizer build aborted on it).
    const TIniFile ini = Parsed("[Font]\nColor=-$80000000\nA=$80000000\nB=-$7FFFFFFF\nC=$FFFFFFFF\nD=-$FFFFFFFF\n"
                                "E=$100000000\nF=-9223372036854775808\nG=9223372036854775807\nH=-0x10\n");
    EXPECT_EQ(ini.ReadInteger("Font", "Color", 42), 42);
    EXPECT_EQ(ini.ReadInteger("Font", "A", 42), INT32_MIN) << "a bit pattern";
    EXPECT_EQ(ini.ReadInteger("Font", "B", 42), -2147483647);
    EXPECT_EQ(ini.ReadInteger("Font", "C", 42), -1);
    EXPECT_EQ(ini.ReadInteger("Font", "D", 42), 1);
    EXPECT_EQ(ini.ReadInteger("Font", "E", 42), 42) << "wider than 32 bits";
    EXPECT_EQ(ini.ReadInteger("Font", "F", 42), 42) << "beyond 64 bits once negated";
    EXPECT_EQ(ini.ReadInteger("Font", "G", 42), INT64_MAX);
    EXPECT_EQ(ini.ReadInteger("Font", "H", 42), -16);
    TSettings s;
    s.Read(ini);
    EXPECT_EQ(s.Font.Color, static_cast<std::int32_t>(0x80000008)) << "the default colour";
}

TEST(History, NamesThatAreNotUtf8SurviveTheSettingsFile) {
    // Windows-1251 and KOI8-R bytes in file names, as old files have them.
    const std::string cp1251 = "/home/u/\xCF\xF0\xE8\xE2\xE5\xF2.txt";
    const std::string koi = "/home/u/\xF0\xD2\xC9\xD7\xC5\xD4 \xFF.txt";
    THistory h;
    h.Add(cp1251, 0, 10);
    h.Add(koi, 77, 10);
    TSettings s;
    s.Folder = "/home/u/\xD0\xE0\xE1\xEE\xF2\xE0";
    TIniFile ini;
    s.Write(ini);
    h.Write(ini);
    const TIniFile back = Parsed(ini.Serialize());
    THistory h2;
    h2.Read(back);
    EXPECT_EQ(h2.Items(), h.Items());
    ASSERT_NE(h2.Find(koi), nullptr);
    EXPECT_EQ(h2.Find(koi)->Pos, 77);
    TSettings s2;
    s2.Read(back);
    EXPECT_EQ(s2.Folder, s.Folder);
}

TEST(History, OrderMovesAndLimits) {
    THistory h;
    for (int i = 1; i <= 10; ++i) h.Add("/f" + std::to_string(i), i * 100, 10);
    ASSERT_EQ(h.Items().size(), 10u);
    EXPECT_EQ(h.Items().front().Name, "/f10") << "newest first";
    h.Add("/f3", 7, 10);
    EXPECT_EQ(h.Items().front(), (THistory::TItem{"/f3", 7})) << "an existing entry moves to the top";
    EXPECT_EQ(h.Items().size(), 10u);
    h.Add("/f11", 0, 10);
    EXPECT_EQ(h.Items().size(), 10u);
    EXPECT_EQ(h.Items().front().Name, "/f11");
    EXPECT_EQ(h.Find("/f1"), nullptr) << "the oldest went";
    EXPECT_NE(h.Find("/f2"), nullptr);
    EXPECT_EQ(h.Find("/F2"), nullptr) << "names differ by case on this system";

    THistory one;
    one.Add("/a", 1, 1);
    one.Add("/b", 2, 1);
    ASSERT_EQ(one.Items().size(), 1u);
    EXPECT_EQ(one.Items()[0], (THistory::TItem{"/b", 2}));
    one.Add("/c", 3, 0);
    EXPECT_TRUE(one.Items().empty()) << "MaxFiles 0 empties the history";
}

TEST(History, FilesSection) {
    THistory h;
    h.Read(Parsed("[Files]\n/a/with>pos.txt>42=\n/b.txt=\n/c.txt>bad=\n/d=e.txt>7=\n; note\n/e.txt>-3=\n"));
    ASSERT_EQ(h.Items().size(), 5u);
    EXPECT_EQ(h.Items()[0], (THistory::TItem{"/a/with", 0})) << "split at the first '>'";
    EXPECT_EQ(h.Items()[1], (THistory::TItem{"/b.txt", 0}));
    EXPECT_EQ(h.Items()[2], (THistory::TItem{"/c.txt", 0}));
    EXPECT_EQ(h.Items()[3], (THistory::TItem{"/d=e.txt", 7})) << "'=' inside a path survives";
    EXPECT_EQ(h.Items()[4], (THistory::TItem{"/e.txt", 0}));

    THistory w;
    w.Add("/x y/z.txt", 0, 10);
    w.Add("/d=e.txt", 12345, 10);
    w.Add("/bad\nname", 1, 10);
    TIniFile ini = Parsed("[Files]\n/old=\n[Options]\nA=1\n");
    w.Write(ini);
    const std::string out = ini.Serialize();
    EXPECT_NE(out.find("[Files]\n/d=e.txt>12345=\n/x y/z.txt=\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("/old"), std::string::npos);
    EXPECT_EQ(out.find("/bad"), std::string::npos) << "a name that cannot be one line is left out";
    THistory back;
    back.Read(Parsed(out));
    ASSERT_EQ(back.Items().size(), 2u);
    EXPECT_EQ(back.Items()[0], (THistory::TItem{"/d=e.txt", 12345}));
}

TEST(Texts, BilingualAndCounts) {
    EXPECT_EQ(Bilingual("&File=&Файл", false), "&File");
    EXPECT_EQ(Bilingual("&File=&Файл", true), "&Файл");
    EXPECT_EQ(Bilingual("R&us", true), "R&us") << "without '=' the same in both";
    EXPECT_EQ(FormatCount(0), "0");
    EXPECT_EQ(FormatCount(999), "999");
    EXPECT_EQ(FormatCount(1000), "1,000");
    EXPECT_EQ(FormatCount(1234567), "1,234,567");
    EXPECT_EQ(FormatCount(-1234), "-1,234");
    EXPECT_EQ(FormatCount(INT64_MIN), "-9,223,372,036,854,775,808");
}

}  // namespace
}  // namespace tarvex
