// The Find/Replace and Replace in Lines dialogs driven with real key and
// mouse events over a real editor window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "editor/qt/riri_widget.h"
#include "platform/codepage.h"
#include "tools/qt/form_fnd.h"
#include "tools/qt/form_replace_lines.h"

namespace tarvex {
namespace {

// Answers Yes unless told otherwise, and keeps what was said.
struct TPromptLog : TScriptedPrompts {
    TPromptLog() { Default = paYes; }
    std::string Last() const { return Messages.empty() ? "" : Messages.back(); }
};

class FindDialog : public ::testing::Test {
protected:
    std::unique_ptr<TRiriWidget> W;
    TDudiRiri* M = nullptr;
    TSearchState S;
    TFindSettings Settings;
    TPromptLog P;
    std::unique_ptr<TFormFnd> D;

    void SetUp() override {
        W = std::make_unique<TRiriWidget>();
        W->resize(420, 200);
        M = &W->Memo();
        TFontSpec f;
        f.Name = "DejaVu Sans Mono";
        f.Size = 10;
        M->SetFont(f);
        M->ScrollTime = 0;
        W->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        D.reset();
        W.reset();
    }
    void SetText(std::string_view T) {
        M->SetTextBuf(T);
        M->FormatPending();
        M->ClearUndo();
    }
    void Open(bool Russian = false, std::string_view Initial = "") {
        TFindDialogSetup setup;
        setup.Russian = Russian;
        setup.InitialText = Initial;
        D = std::make_unique<TFormFnd>(*W, S, Settings, P, setup);
        D->show();
        QApplication::processEvents();
    }
    // Typed key by key; letters beyond ASCII arrive as key events with their text.
    static void Type(QWidget* Target, const char* Utf8) {
        for (const QChar c : QString::fromUtf8(Utf8)) {
            if (c.unicode() < 128) {
                QTest::keyClick(Target, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, Target, Qt::Key_unknown, QString(c), Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, Target, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    void Key(QWidget* Target, Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
        QTest::keyClick(Target, K, Mods);
    }
    QLineEdit* FindBox() { return D->CbFind->lineEdit(); }
};

TEST_F(FindDialog, CaptionsInBothLanguages) {
    Open(false);
    EXPECT_EQ(D->windowTitle(), "Find/Replace");
    EXPECT_EQ(D->LabFind->text(), "Text to find");
    EXPECT_EQ(D->ButReplace->text(), "Replace with");
    EXPECT_EQ(D->ButCount->text(), "To count");
    EXPECT_EQ(D->ChTab->text(), "CR = ^p, TAB = ^t");
    EXPECT_EQ(D->LbCount->toolTip(), "LeftClick - text back, RightClick - text forward");
    Open(true);
    EXPECT_EQ(D->windowTitle(), QString::fromUtf8("Найти/Заменить"));
    EXPECT_EQ(D->LabReplace->text(), QString::fromUtf8("Заменить на"));
    EXPECT_EQ(D->ChWord->text(), QString::fromUtf8("Слово целиком"));
    EXPECT_EQ(D->RbCur->text(), QString::fromUtf8("От курсора"));
    EXPECT_EQ(D->ButList->text(), QString::fromUtf8("Найти все"));
    EXPECT_EQ(D->ButClose->text(), QString::fromUtf8("Закрыть"));
    EXPECT_EQ(D->ChTab->text(), "CR = ^p, TAB = ^t") << "the same in both languages";
    ASSERT_EQ(D->LbMenu->actions().size(), 3);
    EXPECT_EQ(D->LbMenu->actions()[0]->text(), QString::fromUtf8("К найденной строке   (DblClick or Enter)"));
}

TEST_F(FindDialog, ButtonStatesFollowTheTextAndTheRange) {
    SetText("some text");
    Open();
    EXPECT_FALSE(D->RbSel->isVisible()) << "no selection";
    for (QPushButton* b : {D->ButFind, D->ButList, D->ButReplace, D->ButReplaceAll, D->ButCount})
        EXPECT_FALSE(b->isEnabled());
    Type(FindBox(), "text");
    for (QPushButton* b : {D->ButFind, D->ButList, D->ButReplace, D->ButReplaceAll, D->ButCount})
        EXPECT_TRUE(b->isEnabled());
    M->SetSelStart(0);
    M->SetSelLength(4);
    Open(false, "some");
    EXPECT_TRUE(D->RbSel->isVisible());
    EXPECT_EQ(D->CbFind->currentText(), "some");
    QTest::mouseClick(D->RbSel, Qt::LeftButton, {}, QPoint(5, D->RbSel->height() / 2));
    ASSERT_TRUE(D->RbSel->isChecked());
    EXPECT_FALSE(D->ButFind->isEnabled()) << "Find and Replace do not work in the selection";
    EXPECT_FALSE(D->ButReplace->isEnabled());
    EXPECT_TRUE(D->ButList->isEnabled());
    EXPECT_TRUE(D->ButReplaceAll->isEnabled());
    EXPECT_TRUE(D->ButCount->isEnabled());
}

TEST_F(FindDialog, F5CountsF3FindsAndEscCloses) {
    SetText(Utf8ToCp1251("Ёлка ёлка\r\nЁЛКА елка"));
    Open(true);
    Type(FindBox(), "ёлка");
    Key(FindBox(), Qt::Key_F5);
    EXPECT_EQ(P.Last(), "Найдено 3 совпадений");
    EXPECT_EQ(S.FindHistory.Items, (std::vector<std::string>{"ёлка"})) << "every action takes the dialog's values";
    QTest::mouseClick(D->ChReg, Qt::LeftButton, {}, QPoint(5, D->ChReg->height() / 2));
    Key(FindBox(), Qt::Key_F5);
    EXPECT_EQ(P.Last(), "Найдено 1 совпадений");
    Key(FindBox(), Qt::Key_F3);
    EXPECT_EQ(D->result(), QDialog::Accepted) << "Find without a list closes with OK";
    EXPECT_EQ(S.SearchText, Utf8ToCp1251("ёлка"));
    EXPECT_TRUE(S.MatchCase);
    Open();
    Key(FindBox(), Qt::Key_Escape);
    EXPECT_EQ(D->result(), QDialog::Rejected);
    EXPECT_FALSE(D->isVisible());
}

TEST_F(FindDialog, FindAllListsAndTheListNavigates) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + (i % 10 == 3 ? " target" : "") + "\r\n";
    SetText(text);
    Open();
    Type(FindBox(), "target");
    Key(FindBox(), Qt::Key_F3, Qt::ControlModifier);
    ASSERT_TRUE(D->ListShown());
    ASSERT_EQ(D->Lb->count(), 4);
    EXPECT_EQ(D->Lb->item(0)->text(), "4=line 3 target");
    EXPECT_EQ(D->Lb->item(3)->text(), "34=line 33 target");
    EXPECT_EQ(D->LbCount->text(), "4");
    EXPECT_TRUE(D->Lb->hasFocus());
    EXPECT_EQ(D->width(), 600) << "FndWd";
    // Enter goes to the entry: selected, on the fourth visible line.
    D->Lb->setCurrentRow(2);
    Key(D->Lb, Qt::Key_Return);
    EXPECT_EQ(M->SelText(), "target");
    EXPECT_EQ(M->SelLine(), 23);
    EXPECT_EQ(M->TopLine(), 20);
    Key(D->Lb, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(M->TopLine(), 21) << "Ctrl+Down: text forward";
    QTest::mouseClick(D->LbCount, Qt::LeftButton);
    EXPECT_EQ(M->TopLine(), 20) << "a left click on the count: text back";
    QTest::mouseClick(D->LbCount, Qt::RightButton);
    EXPECT_EQ(M->TopLine(), 21);
    // Find while the list is shown: the next entry.
    Key(D->Lb, Qt::Key_F3);
    EXPECT_EQ(D->Lb->currentRow(), 3);
    EXPECT_EQ(M->SelLine(), 33);
    Key(D->Lb, Qt::Key_F3);
    EXPECT_EQ(D->Lb->currentRow(), 0) << "wraps to the first";
    EXPECT_TRUE(D->isVisible()) << "the list keeps the dialog open";
    // Closing with the list open stores its size apart.
    D->resize(700, 420);
    Key(D->Lb, Qt::Key_Escape);
    EXPECT_EQ(Settings.FndWd, 700);
    EXPECT_EQ(Settings.FndHt, 420);
    EXPECT_EQ(Settings.FindSize.rfind("L", 0), 0u) << Settings.FindSize;
}

TEST_F(FindDialog, TooManyForTheList) {
    std::string text;
    for (int i = 0; i < 10001; ++i) text += "x ";
    SetText(text);
    Open();
    Type(FindBox(), "x");
    Key(FindBox(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_FALSE(D->ListShown());
    EXPECT_EQ(P.Last(), "10,001 fragments are found\nToo many lines for list!");
}

TEST_F(FindDialog, ReplaceAllIsOneUndoStepAndClosesTheDialog) {
    SetText("cat dog cat\r\ncatalog");
    Open();
    Type(FindBox(), "cat");
    Type(D->CbReplace->lineEdit(), "bird");
    QTest::mouseClick(D->ChWord, Qt::LeftButton, {}, QPoint(5, D->ChWord->height() / 2));
    Key(FindBox(), Qt::Key_F4, Qt::ControlModifier);
    EXPECT_EQ(P.Questions.back(), "To make 2 replacements?");
    EXPECT_EQ(M->Text(), "bird dog bird\r\ncatalog");
    EXPECT_EQ(P.Last(), "2 replacements are made!");
    EXPECT_FALSE(D->isVisible());
    M->Undo();
    EXPECT_EQ(M->Text(), "cat dog cat\r\ncatalog");
    EXPECT_FALSE(M->CanUndo());
}

TEST_F(FindDialog, ReplaceAsksForEachOccurrence) {
    SetText("one two one");
    Open();
    Type(FindBox(), "one");
    Key(FindBox(), Qt::Key_F4);
    EXPECT_EQ(P.Questions.back(), "Delete?") << "an empty replacement deletes";
    EXPECT_EQ(M->Text(), " two one");
    EXPECT_EQ(M->SelText(), "one") << "the next one is selected";
    EXPECT_TRUE(D->isVisible());
}

TEST_F(FindDialog, ReadOnlyRefusesReplacing) {
    SetText("abc abc");
    M->ReadOnly = true;
    Open();
    Type(FindBox(), "abc");
    Key(FindBox(), Qt::Key_F4, Qt::ControlModifier);
    Key(FindBox(), Qt::Key_F4);
    EXPECT_EQ(P.Messages, (std::vector<std::string>{"Text is ReadOnly!", "Text is ReadOnly!"}));
    EXPECT_EQ(M->Text(), "abc abc");
}

TEST_F(FindDialog, HistoryKeepsMaxFndListAndCtrlDelRemovesTheShownEntry) {
    SetText("a b c d");
    Settings.MaxFndList = 3;
    S.Load(Settings);
    Open();
    for (const char* t : {"a", "b", "c", "d"}) {
        FindBox()->selectAll();
        Type(FindBox(), t);
        Key(FindBox(), Qt::Key_F5);
    }
    ASSERT_EQ(D->CbFind->count(), 3);
    EXPECT_EQ(D->CbFind->itemText(0), "d");
    EXPECT_EQ(D->CbFind->itemText(2), "b");
    EXPECT_EQ(Settings.FndList, "d\x01" "c\x01" "b");
    FindBox()->selectAll();
    Type(FindBox(), "c");
    Key(FindBox(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(D->CbFind->count(), 2);
    EXPECT_EQ(Settings.FndList, "d\x01" "b");
    EXPECT_EQ(D->CbFind->currentText(), "");
}

TEST_F(FindDialog, TheCommandOpensOnTheSelectionAndSearchesOnFind) {
    SetText("alpha beta gamma beta");
    M->SetSelStart(6);
    M->SetSelLength(4);
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<TFormFnd*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        shown = d->CbFind->currentText();
        QTest::keyClick(d->CbFind->lineEdit(), Qt::Key_F3);
    });
    EXPECT_TRUE(FindReplaceDialog(*W, S, Settings, P, false, false, nullptr));
    EXPECT_EQ(shown, "beta");
    EXPECT_EQ(M->SelStart(), 21) << "the next occurrence, the caret behind it";
    EXPECT_EQ(M->SelText(), "beta");
    EXPECT_FALSE(Settings.FindSize.empty());
    EXPECT_EQ(Settings.Find, "beta");
    // F3 and Shift+F3 go on with the same search.
    EXPECT_FALSE(FindNextCommand(*W, S, P, true, false));
    EXPECT_EQ(P.Last(), "Search is finished.");
    EXPECT_TRUE(FindNextCommand(*W, S, P, false, false));
    EXPECT_EQ(M->SelStart(), 6);
    // Without a selection, the word at the caret.
    M->SetSelStart(13);
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<TFormFnd*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        shown = d->CbFind->currentText();
        QTest::keyClick(d->CbFind->lineEdit(), Qt::Key_Escape);
    });
    EXPECT_FALSE(FindReplaceDialog(*W, S, Settings, P, false, false, nullptr));
    EXPECT_EQ(shown, "gamma");
}

TEST_F(FindDialog, ReplaceInLinesCountsAndReplacesWithGroups) {
    SetText(Utf8ToCp1251("ключ = значение\r\nбез пары\r\nkey = value"));
    TFormReplaceLines d(*W, S, Settings, P, false);
    d.show();
    QApplication::processEvents();
    Type(d.CbPattern->lineEdit(), "^(\\w+) = (\\w+)$");
    Type(d.CbReplace->lineEdit(), "$2: $1");
    QTest::mouseClick(d.ButCount, Qt::LeftButton);
    EXPECT_EQ(P.Last(), "2 fragments are found") << "\\w knows Cyrillic letters";
    QTest::mouseClick(d.ButReplaceAll, Qt::LeftButton);
    EXPECT_EQ(P.Questions.back(), "To make 2 replacements?");
    EXPECT_EQ(M->Text(), Utf8ToCp1251("значение: ключ\r\nбез пары\r\nvalue: key"));
    EXPECT_EQ(S.FindHistory.Items.front(), "^(\\w+) = (\\w+)$") << "the same history as Find";
    M->Undo();
    EXPECT_EQ(M->Text(), Utf8ToCp1251("ключ = значение\r\nбез пары\r\nkey = value"));
    TFormReplaceLines bad(*W, S, Settings, P, false);
    Type(bad.CbPattern->lineEdit(), "a(b");
    QTest::mouseClick(bad.ButCount, Qt::LeftButton);
    EXPECT_EQ(P.Last(), "Bad regular expression:\nmissing closing parenthesis (offset 3)");
}

}  // namespace
}  // namespace tarvex

