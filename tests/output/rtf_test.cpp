// The RTF export: header lines, colour table, paragraph format, run
// attributes and escapes, and the text read back by our own RTF reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "output/riri_to_rtf.h"
#include "platform/codepage.h"
#include "tools/rtf_to_text.h"

namespace tarvex {
namespace {

class TFakeClipboard : public TFormattedClipboard {
public:
    void SetFormattedText(const std::string& F, const std::string& D, const std::u16string& P) override {
        ++Calls;
        Format = F;
        Data = D;
        Plain = P;
    }
    int Calls = 0;
    std::string Format, Data;
    std::u16string Plain;
};

class Rtf : public ::testing::Test {
protected:
    std::unique_ptr<TDudiRiri> Memo = std::make_unique<TDudiRiri>();
    TRiriToRTF R;

    void SetUp() override {
        TFontSpec f;
        f.Name = "Courier New";
        f.Size = 10;
        Memo->SetFont(f);
        R.SetDudiRiri(Memo.get());
    }
    std::vector<std::string> Lines() {
        TStringList l;
        R.WriteRange(0, Memo->CharCount(), &l, nullptr);
        return l.Lines;
    }
    std::string Whole() {
        TMemoryStream s;
        R.SaveToStream(s);
        return s.Data();
    }
};

TEST_F(Rtf, EmptyTextGivesTheHeaderAnEmptyParagraphAndTheEnd) {
    Memo->SetTextBuf("");
    const std::vector<std::string> l = Lines();
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[0], "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deftab720{\\fonttbl{\\f0\\fnil\\fcharset204 Courier New;}"
                    "{\\f1\\fnil\\fcharset204 Arial;}}");
    EXPECT_EQ(l[1], "{\\colortbl");
    EXPECT_EQ(l[2], "\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue255;"
                    "\\red255\\green255\\blue255;}\\pard\\ql\\sl240\\slmult1\\plain\\f0\\fs20\\cf0\\cb2 ");
    EXPECT_EQ(l[3], "");
    EXPECT_EQ(l[4], "\\par }");
    EXPECT_EQ(Whole(), l[0] + "\r\n" + l[1] + "\r\n" + l[2] + "\r\n\r\n\\par }\r\n") << "the stream gets the same lines";
}

TEST_F(Rtf, BracesAndBackslashAreEscaped) {
    Memo->SetTextBuf("a{b}\\c");
    EXPECT_EQ(Lines()[3], "a\\{b\\}\\\\c");
    EXPECT_EQ(RtfToText(Whole()), "a{b}\\c");
}

TEST_F(Rtf, CyrillicAndControlCharactersAreWrittenAsHex) {
    Memo->SetTextBuf("\xcf\xf0\xe8\t\x01");
    EXPECT_EQ(Lines()[3], "\\'cf\\'f0\\'e8\t\\'01");
    EXPECT_EQ(RtfEscape("\x7f\x80"), "\x7f\\'80");
}

TEST_F(Rtf, LeadingAndAlignment) {
    Memo->SetTextBuf("x");
    R.RTFLeading = 0.5f;
    EXPECT_NE(Lines()[2].find("\\pard\\ql\\sl720\\plain"), std::string::npos) << "inches: twips, no multiplier";
    R.RTFLeading = 0;
    EXPECT_NE(Lines()[2].find("\\pard\\ql\\plain"), std::string::npos) << "no spacing at all";
    R.RTFLeading = -1.5f;
    EXPECT_NE(Lines()[2].find("\\sl360\\slmult1"), std::string::npos);
    Memo->SetAlignment(taCenter);
    EXPECT_NE(Lines()[2].find("\\pard\\qc"), std::string::npos);
    Memo->SetAlignment(taRightJustify);
    EXPECT_NE(Lines()[2].find("\\pard\\qr"), std::string::npos);
    Memo->SetJustified(true);
    EXPECT_NE(Lines()[2].find("\\pard\\qj"), std::string::npos) << "justified wins over the alignment";
}

TEST_F(Rtf, FontSizeIsInHalfPoints) {
    TFontSpec f = Memo->Font();
    f.Size = 10;
    f.Style = fsItalic;
    Memo->SetFont(f);
    Memo->SetTextBuf("x");
    EXPECT_NE(Lines()[2].find("\\plain\\f0\\fs20\\i\\cf0\\cb2 "), std::string::npos) << "the memo font's own style";
}

TEST_F(Rtf, ParagraphsAndTheRoundTrip) {
    const std::string text = "First {line}\r\n\r\n\xc2\xf2\xee\xf0\xe0\xff \\ line\r\nlast";
    Memo->SetTextBuf(text);
    const std::vector<std::string> l = Lines();
    ASSERT_EQ(l.size(), 8u);
    EXPECT_EQ(l[3], "First \\{line\\}");
    EXPECT_EQ(l[4], "\\par ");
    EXPECT_EQ(l[6], "\\par last");
    EXPECT_EQ(RtfToText(Whole()), text);
}

TEST_F(Rtf, HighlightColoursJoinTheTable) {
    Memo->Keywords.AddKeyword("red", koWholeWord, -1, 0x0000FF, 0, 1, fsBold);
    Memo->Keywords.AddKeyword("blue", koWholeWord, 0x00FFFF, 0xFF0000, 0, 1, 0);
    Memo->SetTextBuf("a red and blue word");
    std::vector<std::string> l = Lines();
    EXPECT_NE(l[2].find("\\red255\\green255\\blue255;\\red255\\green0\\blue0;\\red0\\green0\\blue255;"
                        "\\red255\\green255\\blue0;}"),
              std::string::npos)
        << "after the four fixed entries, in order of appearance: " << l[2];
    EXPECT_EQ(l[3], "a \\plain\\f0\\fs20\\b\\cf4\\cb2 red\\plain\\f0\\fs20\\cf0\\cb2  and "
                    "\\plain\\f0\\fs20\\cf5\\cb6 blue\\plain\\f0\\fs20\\cf0\\cb2  word");

    R.DynFormat = false;
    l = Lines();
    EXPECT_EQ(l[2].find("\\red0\\green0\\blue255"), std::string::npos) << "no keyword colours";
    EXPECT_EQ(l[3], "a red and blue word");
}

TEST_F(Rtf, StaticStylesBecomeRunAttributes) {
    Memo->SetStaticFormat(true);
    Memo->SetTextBuf("n \x02" "b\x02 \x03h\x03 \x04" "alt\x04");
    EXPECT_EQ(Lines()[3], "n \\plain\\f0\\fs20\\b\\cf0\\cb2 b\\plain\\f0\\fs20\\cf0\\cb2  "
                          "\\plain\\f0\\fs20\\cf1\\cb3 h\\plain\\f0\\fs20\\cf0\\cb2  \\plain\\f1\\fs20\\cf0\\cb2 alt"
                          "\\plain\\f0\\fs20\\cf0\\cb2 ");
    EXPECT_EQ(RtfToText(Whole()), "n b h alt") << "codes are not written";
}

TEST_F(Rtf, StyleRunsOnIntoTheNextParagraph) {
    Memo->SetStaticFormat(true);
    Memo->SetTextBuf("\x02" "one\r\ntwo\x02 three");
    const std::vector<std::string> l = Lines();
    EXPECT_EQ(l[3], "\\plain\\f0\\fs20\\b\\cf0\\cb2 one");
    EXPECT_EQ(l[4], "\\par two\\plain\\f0\\fs20\\cf0\\cb2  three");
}

TEST_F(Rtf, CopyPutsTheSelectionBesideItsPlainText) {
    TFakeClipboard clip;
    R.Clipboard = &clip;
    Memo->SetTextBuf("one two three");
    R.CopyToClipboard();
    EXPECT_EQ(clip.Calls, 0) << "nothing without a selection";
    Memo->SetSelStart(4);
    Memo->SetSelLength(3);
    R.CopyToClipboard();
    ASSERT_EQ(clip.Calls, 1);
    EXPECT_EQ(clip.Format, "text/rtf");
    EXPECT_EQ(clip.Plain, u"two");
    EXPECT_EQ(RtfToText(clip.Data), "two");
    EXPECT_EQ(clip.Data.find("\\par }"), clip.Data.size() - 8);

    Memo->SetSelStart(7);
    Memo->SetSelLength(-3);
    R.CopyToClipboard();
    EXPECT_EQ(RtfToText(clip.Data), "two") << "a selection made backwards";
    R.Clipboard = nullptr;
    EXPECT_THROW(R.CopyToClipboard(), ERiriError);
}

TEST_F(Rtf, SaveToFileReplacesTheFileWhole) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tarvex-rtf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "out.rtf").string();
    {
        std::ofstream(file) << "old";
    }
    Memo->SetTextBuf("saved \xe4\xe0");
    R.SaveToFile(file);
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), Whole());
    EXPECT_EQ(RtfToText(ss.str()), "saved \xe4\xe0");
    EXPECT_THROW(R.SaveToFile((dir / "missing" / "x.rtf").string()), EStreamError);

    // Save As RTF as the main window does it: the same bytes, with progress.
    TPos done = -1, total = -1;
    SaveRtfFile(*Memo, (dir / "as.rtf").string(), [&](TPos D, TPos T) {
        done = D;
        total = T;
    });
    std::ifstream as(dir / "as.rtf", std::ios::binary);
    std::stringstream as2;
    as2 << as.rdbuf();
    EXPECT_EQ(as2.str(), ss.str());
    EXPECT_EQ(done, Memo->CharCount());
    EXPECT_EQ(total, Memo->CharCount());
    std::filesystem::remove_all(dir);
}

TEST_F(Rtf, ProgressAndAForgottenEditor) {
    Memo->SetTextBuf("a\r\nb\r\nc");
    int calls = 0;
    R.OnProgress = [&](TRiruDaRodozetedText& S) {
        ++calls;
        EXPECT_EQ(S.ProgressDone(), S.ProgressTotal());
    };
    Whole();
    EXPECT_EQ(calls, 1) << "at the end (the rest waits for ProgressInterval)";
    Memo.reset();
    EXPECT_EQ(R.DudiRiri(), nullptr);
    EXPECT_EQ(Whole(), "");
}

TEST_F(Rtf, RangeCutsTheFirstAndLastParagraphs) {
    Memo->SetTextBuf("abc\r\ndef\r\nghi");
    TStringList l;
    R.WriteRange(1, 12, &l, nullptr);
    ASSERT_EQ(l.Lines.size(), 7u);
    EXPECT_EQ(l.Lines[3], "bc");
    EXPECT_EQ(l.Lines[4], "\\par def");
    EXPECT_EQ(l.Lines[5], "\\par gh");
}

}  // namespace
}  // namespace tarvex
