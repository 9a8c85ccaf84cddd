// The Edit menu's own commands on an editor without a window: the word and
// the sentence at the caret, Select Word (Sent.) cycling, Delete word,
// Ctrl+Delete, Delete line, Swop two letters, Go to line, the statistics of
// Info text, the date patterns and the display styles.

#include <gtest/gtest.h>

#include "app/date_format.h"
#include "app/display_style.h"
#include "app/text_edits.h"
#include "app/text_info.h"
#include "app/word_select.h"
#include "app/word_separators.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "platform/fixed_canvas.h"

namespace tarvex {
namespace {

std::string Win(const char* Utf8) { return Utf8ToCp1251(Utf8); }

struct Memo : TDudiRiri {
    explicit Memo(const std::string& Text) {
        SetSeparators(AppWordSeparators());
        SetTextBuf(Text);
        ClearUndo();
        Modified = false;
    }
    std::string At(const TSpan& S) {
        SetSelStart(S.Start);
        SetSelLength(S.Length());
        return SelText();
    }
};

// --- word and sentence

TEST(WordAtCaret, FromOneCharacterBeforeTheCaret) {
    Memo m("one, two  three");
    EXPECT_EQ(m.At(WordAt(m, 0)), "one") << "at the start: the first word";
    EXPECT_EQ(m.At(WordAt(m, 2)), "one");
    EXPECT_EQ(m.At(WordAt(m, 3)), "one") << "just behind a word";
    EXPECT_EQ(m.At(WordAt(m, 5)), "one") << "back over separators";
    EXPECT_EQ(m.At(WordAt(m, 6)), "two");
    EXPECT_EQ(m.At(WordAt(m, 15)), "three");
    Memo apostrophe("don't stop-it now");
    EXPECT_EQ(apostrophe.At(WordAt(apostrophe, 2)), "don't") << "the apostrophe is a word character";
    EXPECT_EQ(apostrophe.At(WordAt(apostrophe, 12)), "stop-it") << "so is the hyphen";
    Memo blank("   ");
    EXPECT_EQ(WordAt(blank, 2).Length(), 0);
    Memo cyr(Win("«Ёжик» в тумане"));
    EXPECT_EQ(cyr.At(WordAt(cyr, 3)), Win("Ёжик"));
    Memo lines("first\r\nsecond");
    EXPECT_EQ(lines.At(WordAt(lines, 7)), "first") << "back over a paragraph break";
}

TEST(SentenceAtCaret, BoundedBySentenceEnds) {
    Memo m("One here. Two is there! Three? Four");
    EXPECT_EQ(m.At(SentenceAt(m, 2)), "One here.");
    EXPECT_EQ(m.At(SentenceAt(m, 14)), "Two is there!");
    EXPECT_EQ(m.At(SentenceAt(m, 26)), "Three?");
    EXPECT_EQ(m.At(SentenceAt(m, 33)), "Four");
    Memo abbr("See p. 12, or e.g. the index. Next one.");
    EXPECT_EQ(abbr.At(SentenceAt(abbr, 2)), "See p. 12, or e.g. the index.") << "a digit or small letter goes on";
    Memo decimal("Pi is 3.14 roughly. More");
    EXPECT_EQ(decimal.At(SentenceAt(decimal, 3)), "Pi is 3.14 roughly.");
    Memo quoted("He said \"Go.\" She went.");
    EXPECT_EQ(quoted.At(SentenceAt(quoted, 3)), "He said \"Go.\"");
}

TEST(SentenceAtCaret, LineBreaks) {
    Memo m("Title line\r\n\r\nA paragraph\r\nthat goes on. Done");
    EXPECT_EQ(m.At(SentenceAt(m, 3)), "Title line") << "a blank line ends it";
    EXPECT_EQ(m.At(SentenceAt(m, 16)), "A paragraph\r\nthat goes on.") << "a single break does not";
    Memo ended("Ends here.\r\nnext line");
    EXPECT_EQ(ended.At(SentenceAt(ended, 2)), "Ends here.") << "a break after a sentence end";
}

TEST(SelectWordSent, CyclesWordSentenceNextWord) {
    Memo m("Alpha beta gamma. Delta epsilon.");
    m.SetSelStart(8);  // inside "beta"
    SelectWordCycle(m);
    EXPECT_EQ(m.SelText(), "beta");
    SelectWordCycle(m);
    EXPECT_EQ(m.SelText(), "Alpha beta gamma.");
    SelectWordCycle(m);
    EXPECT_EQ(m.SelLength(), 0);
    EXPECT_EQ(m.SelStart(), 18) << "the caret at the start of the next word";
    SelectWordCycle(m);
    EXPECT_EQ(m.SelText(), "gamma") << "the word before the caret";
    m.SetSelStart(20);
    SelectWordCycle(m);
    EXPECT_EQ(m.SelText(), "Delta");
    SelectWordCycle(m);
    EXPECT_EQ(m.SelText(), "Delta epsilon.");
    // A selection of something else moves on to the next word.
    m.SetSelStart(1);
    m.SetSelLength(3);
    SelectWordCycle(m);
    EXPECT_EQ(m.SelLength(), 0);
    EXPECT_EQ(m.SelStart(), 4);
}

// --- deleting, swapping, going to a line

TEST(EditCommands, DeleteWordTakesOneSpaceAfterIt) {
    Memo m("one two  three");
    m.SetSelStart(5);
    ASSERT_TRUE(DeleteWordAtCaret(m));
    EXPECT_EQ(m.Text(), "one  three");
    m.SetSelStart(10);
    ASSERT_TRUE(DeleteWordAtCaret(m));
    EXPECT_EQ(m.Text(), "one  ");
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.Text(), "one two  three");
    Memo blank("   ");
    EXPECT_FALSE(DeleteWordAtCaret(blank));
    Memo ro("word");
    ro.ReadOnly = true;
    EXPECT_FALSE(DeleteWordAtCaret(ro));
    EXPECT_EQ(ro.Text(), "word");
}

TEST(EditCommands, CtrlDeleteTakesTheRestOfTheWordAndTheSeparators) {
    Memo m("alpha, beta gamma");
    m.SetSelStart(2);
    ASSERT_TRUE(DeleteWordForward(m));
    EXPECT_EQ(m.Text(), "albeta gamma");
    m.SetSelStart(m.CharCount());
    EXPECT_FALSE(DeleteWordForward(m)) << "nothing after the caret";
    m.Undo();
    EXPECT_EQ(m.Text(), "alpha, beta gamma");
}

TEST(EditCommands, DeleteLineTakesTheDisplayLine) {
    Memo m("first\r\nsecond\r\nthird");
    m.SetSelStart(9);
    ASSERT_TRUE(DeleteDisplayLine(m));
    EXPECT_EQ(m.Text(), "first\r\nthird");
    m.SetSelStart(m.CharCount());
    ASSERT_TRUE(DeleteDisplayLine(m));
    EXPECT_EQ(m.Text(), "first\r\n") << "the last line's text; the break before it stays";
    EXPECT_FALSE(DeleteDisplayLine(m)) << "an empty last line stays";
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.Text(), "first\r\nsecond\r\nthird");
    // With word wrap, one wrapped line of a paragraph.
    TFixedCanvas canvas(10);
    Memo w("aaa bbb ccc");
    w.SetCanvas(&canvas);
    w.SetLeftMargin(0);
    w.SetRightMargin(0);
    w.SetClientSize(45, 100);
    w.SetWordWrap(true);
    w.SetSelStart(5);
    ASSERT_TRUE(DeleteDisplayLine(w));
    EXPECT_EQ(w.Text(), "aaa ccc");
    w.SetCanvas(nullptr);
}

TEST(EditCommands, SwopTwoLetters) {
    Memo m("abcd\r\nef");
    m.SetSelStart(2);
    ASSERT_TRUE(SwopTwoLetters(m));
    EXPECT_EQ(m.Text(), "acbd\r\nef");
    EXPECT_EQ(m.SelStart(), 2) << "the caret between the two";
    ASSERT_TRUE(SwopTwoLetters(m));
    EXPECT_EQ(m.Text(), "abcd\r\nef") << "pressed again, back";
    m.SetSelStart(6);  // the start of the second paragraph
    EXPECT_FALSE(SwopTwoLetters(m)) << "at a paragraph start nothing is swapped";
    EXPECT_EQ(m.SelStart(), 6);
    m.SetSelStart(4);  // the end of the first
    EXPECT_FALSE(SwopTwoLetters(m)) << "a pair with a break in it stays";
    EXPECT_EQ(m.Text(), "abcd\r\nef");
    EXPECT_EQ(m.SelStart(), 4);
    m.SetSelStart(0);
    ASSERT_TRUE(SwopTwoLetters(m));
    EXPECT_EQ(m.Text(), "bacd\r\nef") << "at the start of the text, the first two";
    m.SetSelStart(7);
    m.SetSelLength(1);
    EXPECT_FALSE(SwopTwoLetters(m)) << "a selection of another length";
    m.SetSelStart(6);
    m.SetSelLength(2);
    ASSERT_TRUE(SwopTwoLetters(m));
    EXPECT_EQ(m.Text(), "bacd\r\nfe");
    Memo same("aa");
    same.SetSelStart(1);
    EXPECT_FALSE(SwopTwoLetters(same));
}

TEST(EditCommands, GoToLine) {
    EXPECT_EQ(ParseLineNumber("12"), 12);
    EXPECT_EQ(ParseLineNumber(" 1,234 "), 1234);
    EXPECT_FALSE(ParseLineNumber("0"));
    EXPECT_FALSE(ParseLineNumber("-3"));
    EXPECT_FALSE(ParseLineNumber("abc"));
    EXPECT_FALSE(ParseLineNumber(""));
    EXPECT_FALSE(ParseLineNumber("12a"));
    Memo m("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(DisplayLineCount(m), 3) << "the empty last line does not count";
    GoToDisplayLine(m, 2);
    EXPECT_EQ(m.SelStart(), 5);
    EXPECT_EQ(m.SelText(), "two");
    GoToDisplayLine(m, 99);
    EXPECT_EQ(m.SelText(), "three") << "beyond the end: the last line";
    EXPECT_EQ(ParseLineNumber("99999999999999999999").value_or(0) > 0, true) << "huge numbers clamp";
}

// --- Info text

TEST(InfoText, CountsAndDifferences) {
    EXPECT_EQ(CountWords("one, two  three", AppSeparators()), 3);
    EXPECT_EQ(CountWords(Win("Ёж и «ёлка»—да"), AppSeparators()), 4);
    EXPECT_EQ(CountWords("", AppSeparators()), 0);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3);
    EXPECT_EQ(EditDistance("", "abc"), 3);
    EXPECT_EQ(NormalizeBlanks("  a \r\n\t b  "), "a b");
    EXPECT_EQ(DifferenceText("Same Text", "same text"), "0");
    EXPECT_EQ(DifferenceText("same  words\r\nhere", "same words here"), "(CR,SP,TAB)");
    EXPECT_EQ(DifferenceText("abcd", "abxd"), "1");
    // Only the first 8,191 characters count.
    EXPECT_EQ(DifferenceText(std::string(9000, 'a'), std::string(8191, 'a') + std::string(809, 'b')), "(CR,SP,TAB)");
}

TEST(InfoText, Message) {
    Memo m("One two.\r\nThree");
    std::string s = InfoTextMessage(m, "/tmp/doc.txt", std::nullopt, false);
    EXPECT_EQ(s, "Statistic for file\n/tmp/doc.txt\n\nParagraphs    =  2 \nLines              =  2\n"
                 "Words           =  3\nCharacters     =  15");
    m.SetSelStart(0);
    m.SetSelLength(7);
    s = InfoTextMessage(m, "doc", std::string("one  two"), false);
    EXPECT_NE(s.find("\n----------------------------\nSelected       = 7 chars  2 words\n"
                     "Buffer          = 8 chars  2 words\nDifferences  = (CR,SP,TAB)"),
              std::string::npos)
        << s;
    s = InfoTextMessage(m, "doc", std::string("One two"), true);
    EXPECT_NE(s.find("Различий     = 0"), std::string::npos) << s;
    Memo empty("");
    EXPECT_EQ(InfoTextMessage(empty, "x", std::nullopt, false), "Editor is empty!");
    EXPECT_EQ(InfoTextMessage(empty, "x", std::nullopt, true), "Нет текста!");
}

// --- dates

TEST(DateFormat, Patterns) {
    TDateTimeParts t;
    t.Year = 2024;
    t.Month = 3;
    t.Day = 5;
    t.Hour = 14;
    t.Minute = 7;
    t.Second = 9;
    t.Millisecond = 45;
    t.DayOfWeek = 2;  // Tuesday
    EXPECT_EQ(FormatDateTime("ddddd   hh:nn", t, true), "05.03.2024   14:07");
    EXPECT_EQ(FormatDateTime("ddddd   hh:nn", t, false), "3/5/2024   14:07");
    EXPECT_EQ(FormatDateTime("dd.mmm.yyyy", t, false), "05.Mar.2024");
    EXPECT_EQ(FormatDateTime("dd.mmm.yyyy", t, true), "05.мар.2024");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", t, false), "14:07:09");
    EXPECT_EQ(FormatDateTime("h:m:s z zzz", t, false), "14:7:9 45 045") << "m after an hour is the minute";
    EXPECT_EQ(FormatDateTime("d/m/yy", t, false), "5/3/24");
    EXPECT_EQ(FormatDateTime("d/m/yy", t, true), "5.3.24") << "the date separator of the language";
    EXPECT_EQ(FormatDateTime("dddd d mmmm", t, true), "вторник 5 марта") << "a month after a day number";
    EXPECT_EQ(FormatDateTime("mmmm yyyy", t, true), "Март 2024");
    EXPECT_EQ(FormatDateTime("dddddd", t, false), "Tuesday, March 5, 2024");
    EXPECT_EQ(FormatDateTime("dddddd", t, true), "5 марта 2024 г.");
    EXPECT_EQ(FormatDateTime("ddd DDD", t, false), "Tue Tue") << "letters in either case";
    EXPECT_EQ(FormatDateTime("h:nn am/pm, H A/P, ampm", t, false), "2:07 pm, 2 P, PM");
    EXPECT_EQ(FormatDateTime("t | tt", t, false), "2:07 PM | 2:07:09 PM");
    EXPECT_EQ(FormatDateTime("t | tt", t, true), "14:07 | 14:07:09");
    EXPECT_EQ(FormatDateTime("c", t, true), "05.03.2024 14:07:09");
    EXPECT_EQ(FormatDateTime("'d' \"mm\" 'at' hh", t, false), "d mm at 14") << "quoted text as it stands";
    EXPECT_EQ(FormatDateTime("Дата: dd-mm", t, true), "Дата: 05-03") << "other characters as they stand";
    EXPECT_EQ(FormatDateTime("'unclosed", t, false), "unclosed");
    t.Hour = 0;
    EXPECT_EQ(FormatDateTime("hh am/pm", t, false), "12 am");
    t.Minute = t.Second = 0;
    EXPECT_EQ(FormatDateTime("c", t, false), "3/5/2024") << "no time at midnight";
    EXPECT_EQ(FormatDateTime("", t, false), "");
}

TEST(DateFormat, CurrentDateTimeIsPlausible) {
    const TDateTimeParts t = CurrentDateTime();
    EXPECT_GE(t.Year, 2024);
    EXPECT_TRUE(t.Month >= 1 && t.Month <= 12);
    EXPECT_TRUE(t.DayOfWeek >= 0 && t.DayOfWeek <= 6);
}

// --- display styles

TEST(DisplayStyles, SelectionColoursAndLinkKinds) {
    Memo m("x");
    TSettings s;
    s.FontRO.Name = "Courier";
    s.FontRO.Color = 0x0000FF;
    s.BackgroundRO = 0xFFFFFF;
    ApplyDisplayStyle(m, s, false);
    EXPECT_EQ(m.Font().Name, "Arial");
    EXPECT_EQ(m.SelTextColor, clHighlightText) << "the system's colours: the system's selection";
    EXPECT_EQ(m.SelBackColor, clHighlight);
    ApplyDisplayStyle(m, s, true);
    EXPECT_EQ(m.Font().Name, "Courier");
    EXPECT_EQ(m.SelTextColor, 0xFFFFFF) << "inverted: the background colour on the text colour";
    EXPECT_EQ(m.SelBackColor, 0x0000FF);
    m.Color = 0x00FF00;
    StoreDisplayStyle(m, s, true);
    EXPECT_EQ(s.BackgroundRO, 0x00FF00);
    EXPECT_EQ(s.Background, kSystemWindowColor) << "the other style is left alone";
    EXPECT_EQ(LinkColorsFor(0xFF0000), (TLinkColors{0xFF0000, 0x800000, 0xFF00FF}));
    EXPECT_EQ(LinkColorsFor(0x00AA00), (TLinkColors{0x00AA00, 0x00AA00, 0x00AA00}));
    ResetDisplayStyles(s);
    EXPECT_EQ(s.FontRO, TFontSettings{});
    EXPECT_EQ(s.BackgroundRO, kSystemWindowColor);
    EXPECT_EQ(s.UrlRO, kWebLinkColor);
}

}  // namespace
}  // namespace tarvex
