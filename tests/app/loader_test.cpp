// Opening files of every kind into an editor control without a window: the
// decision, the text the control then holds and the bytes it would save.

#include "app/loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/codepages.h"
#include "platform/codepage.h"
#include "tests/app/test_files.h"

namespace tarvex {
namespace {

using test::TTempDir;
using test::WriteFile;

class Loader : public ::testing::Test {
protected:
    TTempDir Dir;
    TDudiRiri Memo;
    TLoadSettings Settings;
    TLoadHooks Hooks;
    TLoadOutcome Outcome;

    Loader() { Memo.SetOptions(Memo.Options() | droAutoLineBreak); }

    // Writes Bytes as Name and opens it; returns "format encoding".
    std::string Open(const std::string& Name, const std::string& Bytes) {
        WriteFile(Dir / Name, Bytes);
        LoadDocument(Memo, Dir / Name, Settings, Hooks, Outcome);
        return FormatName(Outcome.Flags) + " " + EncodingName(Outcome.Flags);
    }
    // What a save would write.
    std::string Saved() {
        TMemoryStream m;
        Memo.SaveToStream(m);
        return m.Data();
    }
};

// "Привет, мир!\nЁлка" in UTF-8, and its Windows-1251 form with CR LF breaks.
const std::string kUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80!\n\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0";
const std::string kWin = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n\xA8\xEB\xEA\xE0";

std::string Utf16(const std::string& Utf8, bool BigEndian, bool Mark) {
    const std::u16string u = Cp1251ToUtf16(Utf8ToCp1251(Utf8));
    std::string out;
    if (Mark) out += BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : u) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += BigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST_F(Loader, PlainWindowsTextIsLoadedAsItIs) {
    EXPECT_EQ(Open("a.txt", "\xCF\xF0\xE8\xE2\xE5\xF2\nline two\n"), "plain windows-1251");
    EXPECT_EQ(Memo.Text(), "\xCF\xF0\xE8\xE2\xE5\xF2\r\nline two\r\n");
    EXPECT_EQ(Saved(), "\xCF\xF0\xE8\xE2\xE5\xF2\nline two\n") << "saved with the file's own breaks";
    EXPECT_FALSE(Memo.Modified);
    EXPECT_FALSE(Memo.CanUndo());
    EXPECT_FALSE(Outcome.Flags.Converts());
}

TEST_F(Loader, Utf8IsDecodedWithOrWithoutMark) {
    EXPECT_EQ(Open("u.txt", kUtf8), "plain utf-8");
    EXPECT_EQ(Memo.Text(), kWin);
    EXPECT_EQ(Saved(), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\n\xA8\xEB\xEA\xE0") << "LF stays LF";
    EXPECT_FALSE(Memo.Modified) << "a converted document is not modified";
    EXPECT_TRUE(Outcome.Flags.Converts());
    EXPECT_EQ(Open("bom.txt", "\xEF\xBB\xBF" + kUtf8), "plain utf-8");
    EXPECT_EQ(Memo.Text(), kWin);
    // Found only by the whole-text test: the first sequence is Ш (D0 A8).
    EXPECT_EQ(Open("sha.txt", "\xD0\xA8\xD0\xB0\xD1\x80"), "plain utf-8");
    EXPECT_EQ(Memo.Text(), "\xD8\xE0\xF0");
}

TEST_F(Loader, Utf16InBothByteOrders) {
    EXPECT_EQ(Open("le.txt", Utf16(kUtf8, false, true)), "plain utf-16le");
    EXPECT_EQ(Memo.Text(), kWin);
    EXPECT_EQ(Saved(), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\n\xA8\xEB\xEA\xE0")
        << "the break of the decoded text, not of the bytes read as 8-bit";
    EXPECT_EQ(Open("be.txt", Utf16(kUtf8, true, true)), "plain utf-16be");
    EXPECT_EQ(Memo.Text(), kWin) << "big-endian units are turned round before decoding";
    EXPECT_EQ(Open("nomark.txt", Utf16("Hello, " + kUtf8 + "\r\n", false, false)), "plain utf-16le");
    EXPECT_EQ(Memo.Text(), "Hello, " + kWin + "\r\n") << "the final break stays";
}

TEST_F(Loader, DosAndKoiCyrillic) {
    std::string body;
    for (int i = 0; i < 20; ++i) body += kUtf8 + " \xD0\xBE\xD0\xB1\xD1\x8B\xD1\x87\xD0\xBD\xD1\x8B\xD0\xB9 \xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82.\n";
    const std::string win = Utf8ToCp1251(body);
    std::string dos = win, koi = win;
    const char* dosLetters =
        "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A"
        "\x9B\x9C\x9D\x9E\x9F\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xE0\xE1\xE2\xE3\xE4\xE5"
        "\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF";
    for (char& c : dos) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0xC0) c = dosLetters[u - 0xC0];
        if (u == 0xA8) c = '\xF0';
        if (u == 0xB8) c = '\xF1';
    }
    EXPECT_EQ(Open("dos.txt", dos), "plain cp866");
    EXPECT_EQ(Saved(), win);
    const std::string toKoi = "\xE1\xE2\xF7\xE7\xE4\xE5\xF6\xFA\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF2\xF3\xF4\xF5\xE6\xE8"
                              "\xE3\xFE\xFB\xFD\xFF\xF9\xF8\xFC\xE0\xF1\xC1\xC2\xD7\xC7\xC4\xC5\xD6\xDA\xC9\xCA\xCB"
                              "\xCC\xCD\xCE\xCF\xD0\xD2\xD3\xD4\xD5\xC6\xC8\xC3\xDE\xDB\xDD\xDF\xD9\xD8\xDC\xC0\xD1";
    for (char& c : koi) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0xC0) c = toKoi[u - 0xC0];
        if (u == 0xA8) c = '\xB3';
        if (u == 0xB8) c = '\xA3';
    }
    EXPECT_EQ(Open("koi.txt", koi), "plain koi8-r");
    EXPECT_EQ(Saved(), win);
    // UTF-16 that holds KOI8-R letters as Latin-1 characters is decoded twice.
    std::string koiAsUnits;
    for (char c : koi) koiAsUnits += std::string{c, '\0'};
    EXPECT_EQ(Open("koi16.txt", "\xFF\xFE" + koiAsUnits), "plain utf-16le+koi8-r");
    EXPECT_EQ(Saved(), win) << "the final break stays";
}

TEST_F(Loader, RtfAndTcrBySignature) {
    EXPECT_EQ(Open("a.dat", "{\\rTf1\\ansi \\'cf\\'f0\\'e8\\par x}"), "rtf windows-1251");
    EXPECT_EQ(Memo.Text(), "\xCF\xF0\xE8\r\nx");
    EXPECT_EQ(Open("b.rtf", " {\\rtf1 x}"), "plain windows-1251") << "a blank before the brace";
    EXPECT_EQ(Memo.Text(), " {\\rtf1 x}");

    std::string tcr = std::string("!!8-Bit!!\0", 10) + "\x01" "A" "\x01" "B";
    for (int i = 2; i < 256; ++i) tcr += '\0';
    tcr += std::string("\x00\x01\x00", 3);
    EXPECT_EQ(Open("book.bin", tcr), "tcr windows-1251");
    EXPECT_EQ(Memo.Text(), "ABA");
    EXPECT_EQ(Open("not.tcr", "!!8-Bit!!X and more"), "plain windows-1251")
        << "the tenth byte of the signature must be zero";
}

TEST_F(Loader, DocByExtensionOnly) {
    EXPECT_EQ(Open("memo.DOC", "plain words"), "doc windows-1251");
    EXPECT_EQ(Memo.Text(), "plain words");
    Settings.AutoDecode = false;
    EXPECT_EQ(Open("memo2.doc", "plain words"), "plain windows-1251");
}

TEST_F(Loader, HtmlByExtension) {
    EXPECT_EQ(Open("p.html", "<html><body>\xD0\x96&amp;<br>x</body></html>"), "html utf-8");
    EXPECT_EQ(Memo.Text(), "\xC6&\r\nx");
    Settings.AutoHtmTxt = false;
    EXPECT_EQ(Open("q.htm", "<b>x</b>"), "plain windows-1251");
    EXPECT_EQ(Memo.Text(), "<b>x</b>");
    Settings.AutoHtmTxt = true;
    EXPECT_EQ(Open("d.xml", "pre<doc>in</doc>"), "html windows-1251");
    EXPECT_EQ(Memo.Text(), "prein") << "XML keeps what is outside a body";
}

TEST_F(Loader, AutoDecodeOffStillDecodesUtf8) {
    Settings.AutoDecode = false;
    EXPECT_EQ(Open("u.txt", kUtf8), "plain utf-8");
    EXPECT_EQ(Memo.Text(), kWin);
    EXPECT_EQ(Open("le.txt", Utf16("ab", false, true)), "plain windows-1251");
    EXPECT_EQ(Memo.Text(), "\xFF\xFE" "a") << "no UTF-16 handling: the text ends at the first NUL";
    EXPECT_EQ(Open("r.rtf", "{\\rtf1 x}"), "plain windows-1251");
    EXPECT_EQ(Open("p.htm", "<b>x</b>"), "plain windows-1251");
}

TEST_F(Loader, OneByteAndEmptyFiles) {
    EXPECT_EQ(Open("one.txt", "\xE0"), "plain windows-1251");
    EXPECT_EQ(Memo.Text(), "\xE0");
    EXPECT_EQ(Open("empty.txt", ""), "plain windows-1251");
    EXPECT_EQ(Memo.CharCount(), 0);
}

TEST_F(Loader, FailuresLeaveTheControlAsItWas) {
    Open("keep.txt", "kept text");
    EXPECT_THROW(LoadDocument(Memo, Dir / "missing.txt", Settings, Hooks, Outcome), EStreamError);
    EXPECT_FALSE(Outcome.ControlTouched);
    EXPECT_EQ(Memo.Text(), "kept text");
    EXPECT_THROW(LoadDocument(Memo, Dir.Path(), Settings, Hooks, Outcome), EStreamError) << "a folder";
    EXPECT_EQ(Memo.Text(), "kept text");
    EXPECT_THROW(LoadDocument(Memo, "/dev/zero", Settings, Hooks, Outcome), EStreamError) << "a device never ends";
    EXPECT_FALSE(Outcome.ControlTouched);
    EXPECT_EQ(Memo.Text(), "kept text");
}

TEST_F(Loader, LargeFilesNeedConsent) {
    // A sparse file: nothing of it is read when the answer is no.
    const std::string big = Dir / "big.txt";
    WriteFile(big, "x");
    ASSERT_EQ(::truncate(big.c_str(), kLargeFileSize + 1), 0);
    Open("keep.txt", "kept text");
    std::int64_t asked = 0;
    Hooks.ConfirmLarge = [&](std::int64_t Size) {
        asked = Size;
        return false;
    };
    LoadDocument(Memo, big, Settings, Hooks, Outcome);
    EXPECT_EQ(asked, kLargeFileSize + 1);
    EXPECT_FALSE(Outcome.Loaded);
    EXPECT_EQ(Memo.Text(), "kept text");
    Hooks.ConfirmLarge = [](std::int64_t) { return true; };
    const std::string small = Dir / "small.txt";
    WriteFile(small, std::string(1000, 'y'));
    asked = 0;
    LoadDocument(Memo, small, Settings, Hooks, Outcome);
    EXPECT_EQ(asked, 0) << "small files are not asked about";
}

TEST_F(Loader, NulBytesAndTheNullReplacement) {
    EXPECT_EQ(Open("n.txt", std::string("ab\0cd", 5)), "plain windows-1251");
    EXPECT_EQ(Memo.Text(), "ab") << "a NUL ends the text";
    Memo.NullReplacement = ' ';
    Open("n2.txt", std::string("ab\0cd", 5));
    EXPECT_EQ(Memo.Text(), "ab cd");
    EXPECT_EQ(Memo.NullReplacement, ' ') << "the setting survives the load";
    Memo.NullReplacement = 0;
    Open("r.rtf", std::string("{\\rtf1 a\0b}", 11));
    EXPECT_EQ(Memo.NullReplacement, 0) << "RTF replaces NUL for its own load only";
}

TEST_F(Loader, ANulThatEndsTheTextIsReported) {
    // A long log with one NUL early on: what follows it is not in the document.
    std::string log(5000, 'a');
    log += '\0';
    for (int i = 0; i < 20000; ++i) log += "line " + std::to_string(i) + "\r\n";
    Open("log.txt", log);
    EXPECT_EQ(Memo.CharCount(), 5000);
    EXPECT_TRUE(Outcome.NulCut);
    EXPECT_EQ(Outcome.NulPos, 5000);
    EXPECT_EQ(NulCutMessage(Outcome.NulPos, false),
              "The file holds a NUL byte at position 5000: only the text before it was loaded. Turn on Skip Null in "
              "the settings to load it all.");
    EXPECT_NE(NulCutMessage(7, true).find("7"), std::string::npos);
    EXPECT_NE(NulCutMessage(7, true), NulCutMessage(7, false));
    // Decoded documents count the NUL's place in the file.
    Open("u.txt", "\xD0\x96\xD0\xB0" + std::string("\0tail", 5));
    EXPECT_TRUE(Outcome.NulCut);
    EXPECT_EQ(Outcome.NulPos, 4);
    // A NUL as the very last byte still cuts nothing, but is a NUL all the same.
    Open("end.txt", std::string("ab\0", 3));
    EXPECT_TRUE(Outcome.NulCut);
    EXPECT_EQ(Outcome.NulPos, 2);
    // No NUL, or NULs that become blanks: nothing to report.
    Open("clean.txt", "no nul");
    EXPECT_FALSE(Outcome.NulCut);
    EXPECT_EQ(Outcome.NulPos, -1);
    Memo.NullReplacement = ' ';
    Open("skip.txt", log);
    EXPECT_FALSE(Outcome.NulCut);
    Memo.NullReplacement = 0;
    Open("r.rtf", std::string("{\\rtf1 a\0b}", 11));
    EXPECT_FALSE(Outcome.NulCut) << "RTF takes its NULs as blanks";
    // A TCR book cut at a NUL of its text.
    std::string tcr = std::string("!!8-Bit!!\0", 10) + "\x01" "A" + std::string("\x01\0", 2);
    for (int i = 2; i < 256; ++i) tcr += '\0';
    Open("book.tcr", tcr + std::string("\x00\x00\x01\x00", 4));
    EXPECT_EQ(Memo.Text(), "AA");
    EXPECT_TRUE(Outcome.NulCut);
    EXPECT_EQ(Outcome.NulPos, 2) << "in the expanded text";
}

TEST_F(Loader, CharactersLostToUnicodeDecodingAreCounted) {
    // "Мир 世界 😀" in UTF-8.
    EXPECT_EQ(Open("u.txt", "\xD0\x9C\xD0\xB8\xD1\x80 \xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x98\x80"), "plain utf-8");
    EXPECT_EQ(Memo.Text(), "\xCC\xE8\xF0 ?? ?");
    EXPECT_EQ(Outcome.Unmapped, 3);
    EXPECT_TRUE(Outcome.Flags.FromUnicode());
    EXPECT_EQ(Open("le.txt", std::string("\xFF\xFE" "a\0\x16\x4E" "b\0", 8)), "plain utf-16le");
    EXPECT_EQ(Outcome.Unmapped, 1);
    EXPECT_TRUE(Outcome.Flags.FromUnicode());
    Open("plain.txt", "what? no loss");
    EXPECT_EQ(Outcome.Unmapped, 0);
    EXPECT_FALSE(Outcome.Flags.FromUnicode());
}

TEST_F(Loader, Utf16KeepsTheLayoutOfItsText) {
    // Regression: leading blanks were trimmed and runs of blanks collapsed.
    const std::string u = "\xFF\xFE" + Utf16("    indented line\r\n        code  x  = 1 ", false, false) +
                          std::string("\x2D\x4E", 2) + Utf16("\r\n", false, false);
    Open("layout.txt", u);
    EXPECT_EQ(Memo.Text(), "    indented line\r\n        code  x  = 1 ?\r\n");
}

TEST_F(Loader, TheIdentityOfTheOpenedFileIsTaken) {
    Open("id.txt", "some text");
    EXPECT_TRUE(Outcome.Identity.Exists);
    EXPECT_EQ(Outcome.Identity.Size, 9);
    EXPECT_TRUE(FileUnchanged(Outcome.Identity, Dir / "id.txt"));
    WriteFile(Dir / "id.txt", "some TEXT");
    EXPECT_FALSE(FileUnchanged(Outcome.Identity, Dir / "id.txt"));
}

TEST_F(Loader, PipesAndDevicesAreRefusedWithoutWaiting) {
    Open("keep.txt", "kept text");
    ASSERT_EQ(::mkfifo((Dir / "fifo.txt").c_str(), 0600), 0);
    // Nobody writes to it: an open that waited would never return.
    EXPECT_THROW(LoadDocument(Memo, Dir / "fifo.txt", Settings, Hooks, Outcome), EStreamError);
    EXPECT_FALSE(Outcome.ControlTouched);
    EXPECT_EQ(Memo.Text(), "kept text");
    ASSERT_EQ(::symlink("/dev/zero", (Dir / "z.html").c_str()), 0);
    EXPECT_THROW(LoadDocument(Memo, Dir / "z.html", Settings, Hooks, Outcome), EStreamError);
}

TEST_F(Loader, LeftoversOfAKilledSaveGoWhenTheFileIsOpened) {
    WriteFile(Dir / ".doc.txt.tarvex-k1lL3d", std::string(1000, 'x'));
    Open("doc.txt", "text");
    EXPECT_FALSE(std::filesystem::exists(Dir / ".doc.txt.tarvex-k1lL3d"));
}

TEST_F(Loader, ATcrBookThatExpandsBeyondTheLargeSizeAsksFirst) {
    // 2.1 MB of codes for 537 MB of text.
    std::string tcr = std::string("!!8-Bit!!\0", 10);
    for (int i = 0; i < 256; ++i) tcr += '\xFF' + std::string(254, 'x') + "\n";
    tcr += std::string(kLargeFileSize / 255 + 1, '\x01');
    std::int64_t asked = 0;
    Hooks.ConfirmLarge = [&](std::int64_t Size) {
        asked = Size;
        return false;
    };
    Open("keep.txt", "kept text");
    Open("big.tcr", tcr);
    EXPECT_EQ(asked, (kLargeFileSize / 255 + 1) * 255);
    EXPECT_FALSE(Outcome.Loaded);
    EXPECT_EQ(Memo.Text(), "kept text");
}

TEST_F(Loader, ProgressAndHooksAreCalled) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line of text " + std::to_string(i) + "\r\n";
    Memo.ProgressInterval = 0;
    int progress = 0, before = 0;
    Hooks.Progress = [&](std::int64_t Pos, std::int64_t Size) {
        EXPECT_LE(Pos, Size);
        ++progress;
    };
    Hooks.BeforeLoad = [&](TStream& S, const TFormatFlags&) {
        EXPECT_EQ(S.Position(), 0);
        char b[4];
        S.Read(b, 4);  // the loader puts the stream back
        ++before;
    };
    Open("long.txt", text);
    EXPECT_EQ(before, 1);
    EXPECT_GT(progress, 0);
    EXPECT_EQ(Memo.CharCount(), static_cast<TPos>(text.size()));
    EXPECT_FALSE(Memo.OnProgress) << "the control's own handler is back";
}

TEST_F(Loader, Utf8PastTheHeadIsFoundWhileTheTextLoadsInSlices) {
    // The head is plain ASCII, so only the whole text tells UTF-8 from
    // Windows-1251, however the load is sliced.
    std::string head;
    for (int i = 0; i < 300000; ++i) head += "line of text " + std::to_string(i) + "\n";
    Memo.ProgressInterval = 0;
    int progress = 0;
    Hooks.Progress = [&](std::int64_t, std::int64_t) { ++progress; };
    EXPECT_EQ(Open("late.txt", head + kUtf8 + "\nend\n"), "plain utf-8");
    EXPECT_GT(progress, 1) << "the load went in slices";
    EXPECT_NE(Memo.Text().find(kWin), std::string::npos);

    // One stray byte early on, or a sequence cut at the very end: not UTF-8.
    EXPECT_EQ(Open("early.txt", "x\xE9y\n" + head + kUtf8 + "\n"), "plain windows-1251");
    EXPECT_EQ(Open("cut.txt", head + kUtf8 + "\xD0"), "plain windows-1251");
    EXPECT_EQ(Open("brk.txt", head + "\xD0\n\x9F"), "plain windows-1251") << "a sequence across a break";
}

TEST_F(Loader, AUtf8FileIsDecodedAsItIsRead) {
    // Every slice the window may show is already Windows-1251, and the text
    // ends as a whole-file decoding leaves it, marks and lost characters too.
    std::string text = "\xEF\xBB\xBF";
    for (int i = 0; i < 200000; ++i) text += kUtf8 + " \xE4\xB8\x96 " + std::to_string(i) + "\n";
    Memo.ProgressInterval = 0;
    int slices = 0;
    Hooks.Progress = [&](std::int64_t, std::int64_t) {
        ++slices;
        ASSERT_GE(Memo.Pars.Count(), 1);
        EXPECT_EQ(Memo.Pars.At(0).View(), kWin.substr(0, kWin.find('\r'))) << "slice " << slices;
    };
    EXPECT_EQ(Open("big.txt", text), "plain utf-8");
    EXPECT_GT(slices, 1);
    std::int64_t unmapped = 0;
    std::string expected = Utf8ToAnsi(text, &unmapped);
    std::string crlf;
    for (const char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Memo.Text(), crlf);
    EXPECT_EQ(Outcome.Unmapped, unmapped) << "one character without a form on each line";
    EXPECT_EQ(unmapped, 200000);
    EXPECT_EQ(Saved(), expected) << "saved as Windows-1251 with the file's own breaks";
    EXPECT_FALSE(Memo.Modified);
    EXPECT_FALSE(Memo.CanUndo());

    // Characters behind a NUL that ends the text are not reported as lost.
    const std::string lost = "\xE4\xB8\x96";
    EXPECT_EQ(Open("nul.txt", kUtf8 + lost + std::string(1, '\0') + lost + lost), "plain utf-8");
    EXPECT_EQ(Outcome.NulPos, static_cast<std::int64_t>(kUtf8.size() + 3));
    EXPECT_EQ(Outcome.Unmapped, 1);
    EXPECT_EQ(Memo.Text(), kWin + "?");
}

TEST(HighlighterFor, ByExtensionAndHtml) {
    TFormatFlags f;
    f.Ext = ".pas";
    EXPECT_EQ(HighlighterFor(f, true), hkPas);
    f.Ext = ".hpp";
    EXPECT_EQ(HighlighterFor(f, true), hkCpp);
    f.Ext = ".sql";
    EXPECT_EQ(HighlighterFor(f, true), hkSql);
    f.Ext = ".htm";
    EXPECT_EQ(HighlighterFor(f, true), hkHtm) << "HTML shown as markup";
    f.IsHtml = true;
    EXPECT_EQ(HighlighterFor(f, true), hkUrl) << "HTML converted to text";
    f = TFormatFlags{};
    f.FromIeCache = true;
    f.Ext = ".dat";
    EXPECT_EQ(HighlighterFor(f, false), hkHtm);
    f.Ext = ".txt";
    f.FromIeCache = false;
    EXPECT_EQ(HighlighterFor(f, true), hkUrl);
}

TEST(HighlighterFor, FromTheNameAsUndoChoosesAgain) {
    TLoadSettings s;
    EXPECT_EQ(HighlighterForPath("/src/Unit1.DPR", s), hkPas) << "extensions in any case";
    EXPECT_EQ(HighlighterForPath("/src/a.c", s), hkCpp);
    EXPECT_EQ(HighlighterForPath("/x/dump.sql", s), hkSql);
    EXPECT_EQ(HighlighterForPath("/x/page.php", s), hkUrl) << "HTML converted to text when loaded";
    s.AutoHtmTxt = false;
    EXPECT_EQ(HighlighterForPath("/x/page.php", s), hkHtm);
    EXPECT_EQ(HighlighterForPath("/x/notes", s), hkUrl);
    // Every kind but None has its highlighter.
    THighlighterSet set;
    EXPECT_EQ(set.For(hkNone), nullptr);
    for (THighlighterKind k : {hkUrl, hkPas, hkHtm, hkCpp, hkSql}) EXPECT_NE(set.For(k), nullptr) << k;
}

}  // namespace
}  // namespace tarvex
