// The Convert submenu's commands on an editor without a window: the scope of
// every tag with and without a selection, the caret rule of the keyboard
// swaps, one undo step that gives back the very bytes, and the UCS-2 item
// reading the document's file again.

#include "app/convert_command.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/codepages.h"
#include "app/word_separators.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "tests/app/test_files.h"

namespace tarvex {
namespace {

std::string Win(const char* Utf8) { return Utf8ToCp1251(Utf8); }
std::string Utf8(const std::string& S) { return Cp1251ToUtf8(S); }

struct Memo : TDudiRiri {
    explicit Memo(const std::string& Text) {
        SetSeparators(AppWordSeparators());
        SetTextBuf(Text);
        ClearUndo();
        Modified = false;
    }
    std::string U() { return Utf8(Text()); }
    std::string Sel() { return Utf8(SelText()); }
};

TConvertResult Convert(TDudiRiri& M, int Tag, bool Reverse = false) {
    TConvertContext c;
    c.Reverse = Reverse;
    return RunConvertCommand(M, Tag, c);
}

TEST(ConvertCommand, SelectionTagsWorkOnTheWordAtTheCaretWithoutASelection) {
    const struct {
        int Tag;
        const char* Text;
        const char* Word;  // what the word at the caret (after "two") becomes
    } cases[] = {
        {ctRusLat, "раз щука три", "раз shhuka три"},  {ctLatRus, "one shhuka three", "one щука three"},
        {ctUpper, "one two three", "one TWO three"},   {ctLower, "ONE TWO THREE", "ONE two THREE"},
        {ctFirstLarge, "one tWO three", "one Two three"}, {ctInverse, "one tWo three", "one TwO three"},
    };
    for (const auto& c : cases) {
        Memo m(Win(c.Text));
        m.SetSelStart(7);  // inside the second word
        EXPECT_EQ(Convert(m, c.Tag), TConvertResult::crChanged) << c.Tag;
        EXPECT_EQ(m.U(), c.Word) << c.Tag;
        EXPECT_TRUE(m.CanUndo());
        m.Undo();
        EXPECT_EQ(m.U(), c.Text) << "undo gives back the bytes, tag " << c.Tag;
        EXPECT_FALSE(m.CanUndo()) << "one step, tag " << c.Tag;
    }
}

TEST(ConvertCommand, SelectionTagsWorkOnTheSelection) {
    Memo m("alpha beta gamma");
    m.SetSelStart(3);
    m.SetSelLength(8);  // "ha beta "
    EXPECT_EQ(Convert(m, ctUpper), TConvertResult::crChanged);
    EXPECT_EQ(m.Text(), "alpHA BETA gamma");
    EXPECT_EQ(m.SelText(), "HA BETA ") << "the result stays selected";
    EXPECT_EQ(Convert(m, ctFirstLarge), TConvertResult::crChanged);
    EXPECT_EQ(m.Text(), "alpHa Beta gamma") << "a selection starting inside a word starts a word";
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.Text(), "alpha beta gamma");
}

TEST(ConvertCommand, AsSentenceTakesTheSentenceAtTheCaret) {
    Memo m("FIRST ONE HERE. SECOND ONE THERE. THIRD");
    m.SetSelStart(20);  // inside "SECOND"
    EXPECT_EQ(Convert(m, ctSentence), TConvertResult::crChanged);
    EXPECT_EQ(m.Text(), "FIRST ONE HERE. Second one there. THIRD");
    m.Undo();
    EXPECT_EQ(m.Text(), "FIRST ONE HERE. SECOND ONE THERE. THIRD");
}

TEST(ConvertCommand, NothingSelectableChangesNothing) {
    Memo m("   ");
    m.SetSelStart(1);
    for (int tag : {ctRusLat, ctLatRus, ctUpper, ctLower, ctFirstLarge, ctSentence, ctInverse})
        EXPECT_EQ(Convert(m, tag), TConvertResult::crNothing) << tag;
    EXPECT_EQ(m.Text(), "   ");
    EXPECT_FALSE(m.CanUndo());
    EXPECT_FALSE(m.Modified);
    EXPECT_EQ(Convert(m, 11), TConvertResult::crNothing) << "tags of other commands do nothing here";
    Memo same("ABC");
    same.SetSelStart(3);
    EXPECT_EQ(Convert(same, ctUpper), TConvertResult::crUnchanged);
    EXPECT_FALSE(same.CanUndo()) << "an unchanged result records no step";
}

TEST(ConvertCommand, KeyboardSwapsAndTheCaret) {
    Memo m("Ghbdtn vbh");
    m.SetSelStart(3);  // inside the first word
    EXPECT_EQ(Convert(m, ctToRus), TConvertResult::crChanged);
    EXPECT_EQ(m.U(), "Привет vbh");
    EXPECT_EQ(m.SelStart(), 6) << "the caret goes behind the word";
    EXPECT_EQ(m.SelLength(), 0);
    m.SetSelStart(7);
    m.SetSelLength(3);
    EXPECT_EQ(Convert(m, ctToRus), TConvertResult::crChanged);
    EXPECT_EQ(m.U(), "Привет мир");
    EXPECT_EQ(m.SelStart(), 10) << "behind the selection";
    // No word at the caret: the whole text.
    Memo w(Win("Руддщ  цщкдв"));
    w.SetSelStart(0);
    w.SetSelLength(0);
    Memo blank(Win("  Руддщ цщкдв"));
    blank.SetSelStart(1);
    EXPECT_EQ(Convert(blank, ctToEng), TConvertResult::crChanged);
    EXPECT_EQ(blank.Text(), "  Hello world");
    EXPECT_EQ(blank.SelStart(), 1) << "the caret stays where it was";
    blank.Undo();
    EXPECT_EQ(blank.U(), "  Руддщ цщкдв");
}

TEST(ConvertCommand, WholeTextTagsIgnoreTheSelection) {
    std::string koi = Win("Привет\r\nмир");
    WinToKoi(koi);
    Memo m(koi);
    m.WholeTextMinSize = 0;
    m.SetSelStart(2);
    m.SetSelLength(3);
    EXPECT_EQ(Convert(m, ctKoiWin), TConvertResult::crChanged);
    EXPECT_EQ(m.U(), "Привет\r\nмир");
    EXPECT_EQ(m.SelStart(), 0);
    EXPECT_EQ(Convert(m, ctKoiWin, true), TConvertResult::crChanged) << "Shift held: back to KOI8-R";
    EXPECT_EQ(m.Text(), koi);
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.Text(), koi);
    EXPECT_FALSE(m.CanUndo());

    Memo dos(Win("Жук"));
    EXPECT_EQ(Convert(dos, ctDosWin, true), TConvertResult::crChanged);
    EXPECT_EQ(dos.Text(), "\x86\xE3\xAA") << "DOS-WIN with Shift: to the OEM code page";
    EXPECT_EQ(Convert(dos, ctDosWin), TConvertResult::crChanged);
    EXPECT_EQ(dos.U(), "Жук");

    Memo utf("\xD0\x96\xD1\x83\xD0\xBA\r\n\xC3\xA9");
    EXPECT_EQ(Convert(utf, ctUtf8), TConvertResult::crChanged);
    EXPECT_EQ(utf.U(), "Жук\r\n?");
    Memo plain("ascii only");
    EXPECT_EQ(Convert(plain, ctKoiWin), TConvertResult::crUnchanged);
    EXPECT_FALSE(plain.CanUndo());
}

TEST(ConvertCommand, Ucs2ReadsTheFileAgainWhenThereIsOne) {
    test::TTempDir dir;
    const std::string path = dir / "u.txt";
    // "Жук — да" as UTF-16 with a mark; the editor shows the bytes as they were read.
    const std::string bytes = std::string("\xFF\xFE\x16\x04\x43\x04\x3A\x04 \0\x14\x20 \0\x34\x04\x30\x04", 18);
    test::WriteFile(path, bytes);
    Memo m("whatever the editor shows");
    TConvertContext c;
    c.FileName = path;
    EXPECT_EQ(RunConvertCommand(m, ctUcs2, c), TConvertResult::crChanged);
    EXPECT_EQ(m.U(), "Жук — да");
    m.Undo();
    EXPECT_EQ(m.Text(), "whatever the editor shows");
    // Without a file: the selection, replacing the whole text.
    Memo sel(std::string("abc") + bytes + "xyz");
    sel.SetSelStart(3);
    sel.SetSelLength(static_cast<TPos>(bytes.size()));
    EXPECT_EQ(RunConvertCommand(sel, ctUcs2, {}), TConvertResult::crChanged);
    EXPECT_EQ(sel.U(), "Жук — да");
}

TEST(ConvertCommand, HtmlUsesTheXmlRuleOfTheFileName) {
    Memo m("<r><a>x</a><b>y</b></r>");
    TConvertContext c;
    c.FileName = "/tmp/doc.xml";
    EXPECT_EQ(RunConvertCommand(m, ctHtml, c), TConvertResult::crChanged);
    EXPECT_EQ(m.Text(), "xy") << "XML keeps the text outside a body";
    Memo h("<r><a>x</a><b>y</b></r>");
    c.FileName = "/tmp/doc.htm";
    EXPECT_EQ(RunConvertCommand(h, ctHtml, c), TConvertResult::crUnchanged) << "HTML without a body gives nothing";
    EXPECT_EQ(h.Text(), "<r><a>x</a><b>y</b></r>");
}

TEST(ConvertCommand, EveryTagUndoesToTheSameBytes) {
    // Every byte value in a text of a few paragraphs.
    std::string text;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') text.push_back(static_cast<char>(b));
    text = "One two.\r\n" + text + "\r\nlast line ' \" ^ Shh";
    for (int tag : {ctDosWin, ctKoiWin, ctUtf8, ctRtf, ctHtml, ctRusLat, ctLatRus, ctToRus, ctToEng, ctUpper, ctLower,
                    ctFirstLarge, ctSentence, ctInverse}) {
        for (const bool reverse : {false, true}) {
            // Through the editing primitive, and handing the texts to the store as large texts do.
            for (const std::int64_t handOver : {std::int64_t{1} << 40, std::int64_t{0}}) {
                Memo m(text);
                m.WholeTextMinSize = handOver;
                m.SelectAll();
                Convert(m, tag, reverse);
                const std::string converted = m.Text();
                while (m.CanUndo()) m.Undo();
                EXPECT_EQ(m.Text(), text) << "tag " << tag << (reverse ? " reversed" : "");
                while (m.CanRedo()) m.Redo();
                EXPECT_EQ(m.Text(), converted) << "redo, tag " << tag;
            }
        }
    }
}

}  // namespace
}  // namespace tarvex
