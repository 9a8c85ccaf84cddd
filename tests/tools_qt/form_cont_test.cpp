// The bookmark window driven with real keys and clicks: adding, going to,
// deleting and editing bookmarks, the Content view with its headline scan,
// loading and saving lists, and the scan's stop.

#include "tools/qt/form_cont.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>

#include "editor/qt/riri_widget.h"
#include "tests/app/test_files.h"
#include "tests/tools_qt/modal_driver.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;
using Lines = std::vector<std::string>;

class FormCont : public ::testing::Test {
protected:
    TRiriWidget W;
    TDudiRiri& M = W.Memo();
    TBookmarks B;
    std::unique_ptr<TFormCont> F;
    bool Answer = true;
    int Questions = 0;
    QString Input;
    QString OpenName, SaveName, Proposed;

    void Open(std::string_view Text, TPos Caret, bool Russian = false) {
        M.SetTextBuf(Text);
        M.SetSelStart(Caret);
        F = std::make_unique<TFormCont>(M, B, Russian);
        F->Prompts.Confirm = [this](QWidget*, const QString&) {
            ++Questions;
            return Answer;
        };
        F->Prompts.Input = [this](QWidget*, const QString&, QString& T) {
            if (Input.isNull()) return false;
            T = Input;
            return true;
        };
        F->Prompts.OpenFileName = [this](QWidget*, const QString&, const QString&) { return OpenName; };
        F->Prompts.SaveFileName = [this](QWidget*, const QString&, const QString&, const QString& N) {
            Proposed = N;
            return SaveName;
        };
        F->Prompts.Error = [](QWidget*, const QString& E) { ADD_FAILURE() << E.toStdString(); };
        F->show();
        QApplication::processEvents();
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(F->LbList, K, Mods); }
    void Select(int Row) { F->LbList->setCurrentRow(Row); }
    QStringList Rows() const {
        QStringList r;
        for (int i = 0; i < F->LbList->count(); ++i) r << F->LbList->item(i)->text();
        return r;
    }
};

TEST_F(FormCont, InsAddsTheCaretLineAndEnterGoesThere) {
    Open("alpha\r\n  beta  \r\ngamma", 9);
    Key(Qt::Key_Insert);
    EXPECT_EQ(B.Items(), (Lines{"9=beta"}));
    EXPECT_EQ(Rows(), QStringList{"9=beta"});
    EXPECT_EQ(F->LbCount->text(), "1");
    Key(Qt::Key_Insert);
    EXPECT_EQ(B.Count(), 1) << "the same place twice is kept once";
    M.SetSelStart(0);
    Select(0);
    Key(Qt::Key_Return);
    EXPECT_EQ(M.SelStart(), 9);
    EXPECT_EQ(B.LastJumped, 0);
    // A double click goes too; an entry without a number is ignored.
    B.Assign({"oops=x", "2=lpha"});
    F->ShowMarks();
    M.SetSelStart(15);
    QListWidgetItem* bad = F->LbList->item(0);
    QTest::mouseDClick(F->LbList->viewport(), Qt::LeftButton, {}, F->LbList->visualItemRect(bad).center());
    EXPECT_EQ(M.SelStart(), 15);
    QListWidgetItem* good = F->LbList->item(1);
    QTest::mouseClick(F->LbList->viewport(), Qt::LeftButton, {}, F->LbList->visualItemRect(good).center());
    QTest::mouseDClick(F->LbList->viewport(), Qt::LeftButton, {}, F->LbList->visualItemRect(good).center());
    EXPECT_EQ(M.SelStart(), 2);
}

TEST_F(FormCont, MarkCountDropsTheOldestWhenAdding) {
    Open("a\r\nb\r\nc\r\nd", 0);
    F->MarkCount = 3;
    for (TPos p : {0, 3, 6, 9}) {
        M.SetSelStart(p);
        QTest::mouseClick(F->ButAdd, Qt::LeftButton);
    }
    EXPECT_EQ(B.Items(), (Lines{"3=b", "6=c", "9=d"}));
    EXPECT_EQ(F->LbList->currentRow(), 2);
}

TEST_F(FormCont, DelAsksAndMovesToThePreviousEntry) {
    B.Assign({"1=a", "2=b", "3=c"});
    Open("text", 0);
    Select(2);
    Answer = false;
    Key(Qt::Key_Delete);
    EXPECT_EQ(B.Count(), 3);
    Answer = true;
    Key(Qt::Key_Delete);
    EXPECT_EQ(Questions, 2);
    EXPECT_EQ(B.Items(), (Lines{"1=a", "2=b"}));
    EXPECT_EQ(F->LbList->currentRow(), 1);
    EXPECT_EQ(F->LbCount->text(), "2");
    Select(0);
    QTest::mouseClick(F->ButDelete, Qt::LeftButton);
    EXPECT_EQ(B.Items(), (Lines{"2=b"}));
    EXPECT_EQ(F->LbList->currentRow(), 0);
}

TEST_F(FormCont, DelWithTheRealQuestion) {
    B.Assign({"1=a", "2=b"});
    Open("text", 0);
    F->Prompts = TFormCont::TPrompts::Dialogs();
    Select(0);
    QString question;
    test::OnModal<QMessageBox>([&](QMessageBox& Box) {
        question = Box.text();
        QTest::mouseClick(Box.button(QMessageBox::Yes), Qt::LeftButton);
    });
    Key(Qt::Key_Delete);
    EXPECT_EQ(question, "Delete bookmark from list (Del)?");
    EXPECT_EQ(B.Items(), (Lines{"2=b"}));
}

TEST_F(FormCont, F5EditsTheLabelAndKeepsThePosition) {
    B.Assign({"12=old=label"});
    Open("text", 0);
    Select(0);
    Input = QString::fromUtf8("новая");
    Key(Qt::Key_F5);
    EXPECT_EQ(B.Items(), (Lines{"12=\xED\xEE\xE2\xE0\xFF"}));
    EXPECT_EQ(Rows(), QStringList{QString::fromUtf8("12=новая")});
    Input = "";
    Key(Qt::Key_F5);
    EXPECT_EQ(B.Items(), (Lines{"12=\xED\xEE\xE2\xE0\xFF"})) << "an empty text changes nothing";
    Input = QString();
    QTest::mouseClick(F->ButEdit, Qt::LeftButton);
    EXPECT_EQ(B.Count(), 1);
}

TEST_F(FormCont, F9ShowsTheHeadlinesAndEnterGoesToTheParagraph) {
    B.Assign({"0=top"});
    Open("BOOK\r\n\r\nintro\r\n\r\nCHAPTER ONE\r\n\r\nChapter two\r\n\r\nend", 0);
    Key(Qt::Key_F9);
    EXPECT_TRUE(F->ContentView());
    EXPECT_TRUE(F->ButContent->isChecked());
    EXPECT_EQ(Rows(), (QStringList{"BOOK = 1", "CHAPTER ONE = 5"}));
    EXPECT_EQ(M.SelStart(), 0) << "the scan leaves the caret alone";
    Select(1);
    Key(Qt::Key_Enter);
    EXPECT_EQ(M.SelPar(), 4);
    Key(Qt::Key_F9);
    EXPECT_FALSE(F->ContentView());
    EXPECT_EQ(Rows(), QStringList{"0=top"});
    // The capitals switch off lists every short block.
    TFormCont any(M, B, false);
    any.Headlines.CapitalsOnly = false;
    any.ShowContent();
    EXPECT_EQ(any.ContentList().size(), 5u);
}

TEST_F(FormCont, FirstAndLastPositionButtons) {
    Open("0123456789\r\n0123456789", 14);
    F->FirstPosition = 3;
    M.SetSelStart(0);
    QTest::mouseClick(F->ButFirst, Qt::LeftButton);
    EXPECT_EQ(M.SelStart(), 3);
    QTest::mouseClick(F->ButLast, Qt::LeftButton);
    EXPECT_EQ(M.SelStart(), 14) << "where the caret was when the window opened";
}

TEST_F(FormCont, LoadSaveAndCopyLists) {
    TTempDir dir;
    B.Assign({"5=five"});
    Open("BOOK\r\n\r\ntext", 0);
    F->DocumentName = "/docs/novel.txt";
    SaveName = QString::fromStdString(dir / "marks");
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Proposed, "novel");
    EXPECT_EQ(ReadFile(dir / "marks.txt"), "5=five\r\n") << "a name without extension gets .txt";
    SaveName = QString::fromStdString(dir / "list.bkm");
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(dir / "list.bkm"), "5=five\r\n");

    WriteFile(dir / "other.bkm", "1=one\r\n2=two\r\n");
    OpenName = QString::fromStdString(dir / "other.bkm");
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(B.Items(), (Lines{"1=one", "2=two"}));
    EXPECT_EQ(F->LbCount->text(), "2");

    // In the Content view the lists are the headlines.
    Key(Qt::Key_F9);
    SaveName = QString::fromStdString(dir / "content.txt");
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(dir / "content.txt"), "BOOK = 1\r\n");
    WriteFile(dir / "toc.txt", "A = 3\r\nB = 9\r\n");
    OpenName = QString::fromStdString(dir / "toc.txt");
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(Rows(), (QStringList{"A = 3", "B = 9"}));
    EXPECT_EQ(B.Count(), 2) << "the bookmarks stay";
    Select(1);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "B = 9");
    // A new document proposes no name.
    F->DocumentName.clear();
    SaveName.clear();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(Proposed.isEmpty());
}

TEST_F(FormCont, TheContextMenuHoldsTheListCommands) {
    Open("text", 0);
    // What a right click sends.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), F->LbList->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(F->LbList->viewport(), &click);
    EXPECT_TRUE(F->PopupMenu->isVisible());
    EXPECT_EQ(F->PopupMenu->actions().size(), 3);
    EXPECT_EQ(F->mLoad->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    F->PopupMenu->hide();
}

TEST_F(FormCont, EscStopsARunningScanThenCloses) {
    std::string t;
    for (int i = 0; i < 300000; ++i) t += "\r\nHEAD " + std::to_string(i) + "\r\nsome text of the section\r\n";
    M.SetWordWrap(false);
    TMemoryStream s(std::move(t));
    M.LoadFromStream(s);
    F = std::make_unique<TFormCont>(M, B, false);
    F->show();
    QTimer::singleShot(0, F.get(), [this] {
        EXPECT_TRUE(F->Scanning());
        QTest::keyClick(F->LbList, Qt::Key_Escape);
    });
    F->ShowContent();
    EXPECT_FALSE(F->Scanning());
    EXPECT_TRUE(F->isVisible()) << "the first Esc only stops the scan";
    EXPECT_LT(F->ContentList().size(), kMaxHeadlines);
    QTest::keyClick(F->LbList, Qt::Key_Escape);
    EXPECT_FALSE(F->isVisible());
}

TEST_F(FormCont, MinimisingStopsTheScan) {
    std::string t;
    for (int i = 0; i < 300000; ++i) t += "\r\nsection " + std::to_string(i) + "\r\nand its long text\r\n";
    t += "\r\nTHE END\r\n";
    M.SetWordWrap(false);
    TMemoryStream s(std::move(t));
    M.LoadFromStream(s);
    F = std::make_unique<TFormCont>(M, B, false);
    F->show();
    QTimer::singleShot(0, F.get(), [this] {
        EXPECT_TRUE(F->Scanning());
        F->setWindowState(Qt::WindowMinimized);
    });
    F->ShowContent();
    EXPECT_TRUE(F->ContentList().empty()) << "stopped before the only headline at the end";
    // Shown again, the view scans anew (a stopped scan is not kept) and runs to the end.
    F->setWindowState(Qt::WindowNoState);
    F->ShowMarks();
    F->ShowContent();
    EXPECT_EQ(F->ContentList(), Lines{"THE END = 900002"});
}

TEST_F(FormCont, CaptionsAndHintsInRussian) {
    Open("text", 0, true);
    EXPECT_EQ(F->windowTitle(), QString::fromUtf8("Закладки и заголовки"));
    EXPECT_EQ(F->ButDelete->toolTip(), QString::fromUtf8("Удалить закладку из списка"));
    EXPECT_EQ(F->ButContent->toolTip(), QString::fromUtf8("Оглавление книги"));
    TFormCont en(M, B, false);
    EXPECT_EQ(en.windowTitle(), "Bookmarks & Headlines");
    EXPECT_EQ(en.ButFirst->toolTip(), "First position");
    EXPECT_EQ(en.ButLast->toolTip(), "Last position");
    EXPECT_EQ(en.ButAdd->toolTip(), "Add current position");
    EXPECT_EQ(en.ButEdit->toolTip(), "Edit bookmark");
    EXPECT_EQ(en.ButMarks->toolTip(), "User's bookmarks");
    EXPECT_EQ(en.mSave->text(), "Save to file...");
    EXPECT_EQ(en.mCopy->text(), "Copy line");
}

}  // namespace
}  // namespace tarvex
