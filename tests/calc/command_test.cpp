// The calculate commands on a real editor: where the expression comes from,
// the "=" rules, where the result goes, undo, read-only editors and errors.

#include <gtest/gtest.h>

#include "calc/calc_command.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"

namespace tarvex {
namespace {

const TCalcClock kClock{2024, 3, 15, 10, 30, 0};

using R = TCalcCommandResult;

TCalcCommandResult Calc(TDudiRiri& M, TCalcLanguage L = TCalcLanguage::English, TCalcMode Mode = TCalcMode::Math) {
    return CalculateCommand(M, Mode, L, kClock);
}

// The text after the command with the caret at Caret (default: the end).
std::string After(std::string_view Text, TPos Caret = -1, TCalcLanguage L = TCalcLanguage::English) {
    TDudiRiri m;
    m.SetTextBuf(Text);
    m.SetSelStart(Caret < 0 ? m.CharCount() : Caret);
    Calc(m, L);
    return m.Text();
}

TEST(CalcCommand, CaretLineRules) {
    EXPECT_EQ(After("2+3*4"), "2+3*4=14");
    EXPECT_EQ(After("2+3*4="), "2+3*4=14") << "no second \"=\"";
    EXPECT_EQ(After("2+3*4 =  "), "2+3*4 =  14");
    EXPECT_EQ(After("total = 2+3"), "total = 2+3=5") << "only what follows the last \"=\"";
    EXPECT_EQ(After("a = 2+3="), "a = 2+3=5") << "before the closing \"=\", again after the last one";
    EXPECT_EQ(After("2+3=5"), "2+3=5=5h=101b") << "the previous result is the expression";
    EXPECT_EQ(After("2+3 and more", 3), "2+3=5 and more") << "the line up to the caret";
    EXPECT_EQ(After("first line\r\n10/4"), "first line\r\n10/4=2.5") << "the caret's paragraph only";
    EXPECT_EQ(After("10/4\r\nnext", 4), "10/4=2.5\r\nnext");
}

TEST(CalcCommand, DefinitionsSurviveTheEqualsRule) {
    EXPECT_EQ(After("sin(x) : x=0.5"), "sin(x) : x=0.5=0.479425538604203");
    EXPECT_EQ(After("y = a*b : a=2; b=3"), "y = a*b : a=2; b=3=6");
    EXPECT_EQ(After("a*b : a=2; b=3 ="), "a*b : a=2; b=3 =6");
    EXPECT_EQ(After("x*y : 2; 3"), "x*y : 2; 3=6");
}

TEST(CalcCommand, BaseConversions) {
    EXPECT_EQ(After("255"), "255=FFh=11111111b");
    EXPECT_EQ(After("$FF"), "$FF=255=11111111b");
    EXPECT_EQ(After("1010b"), "1010b=10=Ah");
    EXPECT_EQ(After("10"), "10=Ah=1010b");
    EXPECT_EQ(After("101="), "101=65h=1100101b") << "101 is decimal";
}

TEST(CalcCommand, LanguageGivesTheSeparators) {
    EXPECT_EQ(After("10/4", -1, TCalcLanguage::Russian), "10/4=2,5");
    EXPECT_EQ(After("1,5*2", -1, TCalcLanguage::Russian), "1,5*2=3");
    EXPECT_EQ(After("1.5*2", -1, TCalcLanguage::Russian), "1.5*2=3");
    EXPECT_EQ(After("1 000,5*2", -1, TCalcLanguage::Russian), "1 000,5*2=2001");
    EXPECT_EQ(After("1,000.5*2"), "1,000.5*2=2001");
    // Cyrillic names.
    EXPECT_EQ(After(Utf8ToCp1251("ширина*2 : ширина=3")), Utf8ToCp1251("ширина*2 : ширина=3=6"));
}

TEST(CalcCommand, InsertionIsOneUndoStepAndLeavesTheCaretBehind) {
    TDudiRiri m;
    m.SetTextBuf("x\r\n2+3*4");
    m.ClearUndo();
    m.SetSelStart(m.CharCount());
    const R r = Calc(m);
    EXPECT_EQ(r.Kind, R::ckInserted);
    EXPECT_EQ(r.Text, "=14");
    EXPECT_EQ(m.Text(), "x\r\n2+3*4=14");
    EXPECT_EQ(m.SelStart(), m.CharCount());
    EXPECT_EQ(m.SelLength(), 0);
    EXPECT_TRUE(m.Modified);
    m.Undo();
    EXPECT_EQ(m.Text(), "x\r\n2+3*4");
    EXPECT_FALSE(m.CanUndo());
    // Again: the result of the result.
    m.SetSelStart(m.CharCount());
    Calc(m);
    Calc(m);
    EXPECT_EQ(m.Text(), "x\r\n2+3*4=14=Eh=1110b");
}

TEST(CalcCommand, SelectionIsTheExpressionAndTheResultFollowsIt) {
    for (const bool backward : {false, true}) {
        TDudiRiri m;
        m.SetTextBuf("take  1+1  here");
        if (backward) {
            m.SetSelStart(11);
            m.SetSelLength(-7);
        } else {
            m.SetSelStart(4);
            m.SetSelLength(7);
        }
        const R r = Calc(m);
        EXPECT_EQ(r.Kind, R::ckInserted);
        EXPECT_EQ(m.Text(), "take  1+1  =2here") << "after the selection's end, with \"=\"";
        EXPECT_EQ(m.SelStart(), 13);
        m.Undo();
        EXPECT_EQ(m.Text(), "take  1+1  here");
    }
    // A selection across lines.
    TDudiRiri m;
    m.SetTextBuf("(1+\r\n2)*3");
    m.SelectAll();
    Calc(m);
    EXPECT_EQ(m.Text(), "(1+\r\n2)*3=9");
}

TEST(CalcCommand, NothingToDo) {
    TDudiRiri m;
    EXPECT_EQ(Calc(m).Kind, R::ckNothing);
    m.SetTextBuf("abc\r\n");
    m.SetSelStart(m.CharCount());
    EXPECT_EQ(Calc(m).Kind, R::ckNothing) << "an empty line";
    m.SetTextBuf("   =  ");
    m.SetSelStart(m.CharCount());
    EXPECT_EQ(Calc(m).Kind, R::ckNothing);
    EXPECT_EQ(m.Text(), "   =  ");
    m.SetTextBuf("  x  ");
    m.SetSelStart(1);
    m.SetSelLength(1);
    EXPECT_EQ(Calc(m).Kind, R::ckNothing) << "a blank selection";
}

TEST(CalcCommand, ReadOnlyEditorShowsTheResultInstead) {
    TDudiRiri m;
    m.SetTextBuf("2+3*4=");
    m.ReadOnly = true;
    m.ClearUndo();
    m.SetSelStart(m.CharCount());
    R r = Calc(m);
    EXPECT_EQ(r.Kind, R::ckShown);
    EXPECT_EQ(r.Text, "14");
    EXPECT_EQ(r.Message, "2+3*4=14");
    EXPECT_EQ(m.Text(), "2+3*4=");
    EXPECT_FALSE(m.CanUndo());
    m.SetTextBuf("255");
    m.SetSelStart(3);
    r = Calc(m);
    EXPECT_EQ(r.Message, "255=FFh=11111111b");
    // The message is UTF-8, the text stays Windows-1251.
    m.SetTextBuf("15.03.2024");
    m.SetSelStart(m.CharCount());
    r = Calc(m, TCalcLanguage::Russian, TCalcMode::DateTime);
    EXPECT_EQ(r.Message, "15.03.2024=пятница");
    EXPECT_EQ(r.Text, Utf8ToCp1251("=пятница"));
}

TEST(CalcCommand, ErrorPutsTheCaretAtItAndChangesNothing) {
    TDudiRiri m;
    m.SetTextBuf("line one\r\ntotal = 1/0+5");
    m.ClearUndo();
    m.SetSelStart(m.CharCount());
    R r = Calc(m);
    EXPECT_EQ(r.Kind, R::ckFailed);
    EXPECT_EQ(r.ErrorCode, ceDivideByZero);
    EXPECT_EQ(r.ErrorPos, 2);
    EXPECT_EQ(r.Message, "Divide by zero!");
    EXPECT_EQ(r.Caret, 19) << "just before the \"/\"";
    EXPECT_EQ(m.SelStart(), 19);
    EXPECT_EQ(m.Text(), "line one\r\ntotal = 1/0+5");
    EXPECT_FALSE(m.CanUndo());

    m.SetTextBuf("(1+2");
    m.SetSelStart(4);
    r = Calc(m, TCalcLanguage::Russian);
    EXPECT_EQ(r.ErrorCode, ceBrackets);
    EXPECT_EQ(r.Message, "Не согласованы скобки");
    EXPECT_EQ(m.SelStart(), 4) << "the end of the expression at most";

    m.SetTextBuf("ab  sqrt(-1)  cd");
    m.SetSelStart(2);
    m.SetSelLength(12);
    r = Calc(m);
    EXPECT_EQ(r.ErrorCode, ceSyntax);
    EXPECT_EQ(m.SelStart(), 4) << "inside the trimmed selection";
    EXPECT_EQ(m.SelLength(), 0);

    m.SetTextBuf("18446744073709551616");
    m.SetSelStart(m.CharCount());
    r = Calc(m);
    EXPECT_EQ(r.ErrorCode, ceWrongNumber);
    EXPECT_EQ(m.SelStart(), 19);
}

TEST(CalcCommand, HugeSelectionIsRefusedWithoutCopying) {
    TDudiRiri m;
    m.SetTextBuf(std::string(kMaxCalcExpression + 10, '1'));
    m.SetSelStart(5);
    m.SetSelLength(static_cast<TPos>(kMaxCalcExpression) + 1);
    const R r = Calc(m);
    EXPECT_EQ(r.Kind, R::ckFailed);
    EXPECT_EQ(r.ErrorCode, ceTooLong);
    EXPECT_EQ(r.Message, "Expression too long");
    EXPECT_EQ(r.Caret, -1);
    EXPECT_EQ(m.SelLength(), static_cast<TPos>(kMaxCalcExpression) + 1) << "the selection stays";
}

TEST(CalcCommand, DateModeUsesTheSameRules) {
    TDudiRiri m;
    m.SetTextBuf("01.03.2024 + 30=");
    m.SetSelStart(m.CharCount());
    EXPECT_EQ(Calc(m, TCalcLanguage::English, TCalcMode::DateTime).Kind, R::ckInserted);
    EXPECT_EQ(m.Text(), "01.03.2024 + 30=31.03.2024");
    Calc(m, TCalcLanguage::English, TCalcMode::DateTime);
    EXPECT_EQ(m.Text(), "01.03.2024 + 30=31.03.2024=Sunday");
    m.SetTextBuf("today");
    m.SetSelStart(5);
    Calc(m, TCalcLanguage::English, TCalcMode::DateTime);
    EXPECT_EQ(m.Text(), "today=Friday");
    m.SetTextBuf("8:30 + 7:45");
    m.SetSelStart(m.CharCount());
    Calc(m, TCalcLanguage::English, TCalcMode::DateTime);
    EXPECT_EQ(m.Text(), "8:30 + 7:45=16:15") << "\":\" of a time is no definition";
    m.SetTextBuf("31.02.2024");
    m.SetSelStart(m.CharCount());
    const R r = Calc(m, TCalcLanguage::English, TCalcMode::DateTime);
    EXPECT_EQ(r.ErrorCode, ceWrongDate);
    EXPECT_EQ(r.Message, "Wrong date");
    EXPECT_EQ(m.SelStart(), 0);
}

}  // namespace
}  // namespace tarvex
