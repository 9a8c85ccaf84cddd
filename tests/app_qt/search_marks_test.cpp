// Find, sorting and bookmarks as the main window offers them: through their
// keys and menu items, with the window's own search state and settings.

#include <QComboBox>
#include <QPushButton>

#include "tests/app_qt/window_fixture.h"
#include "tools/qt/form_fnd.h"
#include "platform/interface_text.h"
#include "tools/qt/form_sort.h"

namespace tarvex {
namespace {

// The low end of the selection, whichever way it runs.
TPos SelLow(TDudiRiri& M) { return std::min(M.SelStart(), M.SelStart() + M.SelLength()); }

// The window has the keyboard again, as it has once a dialog closes.
void Reactivate(QWidget& W) {
    W.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&W));
}

TEST_F(MainWindow, FindThenF3AndShiftF3StepThroughTheText) {
    Start();
    M().SetTextBuf("one two one three one");
    EXPECT_FALSE(W->Action("mFindNext")->isEnabled()) << "no search yet";
    WhenModal<TFormFnd>([](TFormFnd& D) {
        D.CbFind->setEditText("one");
        QTest::mouseClick(D.ButFind, Qt::LeftButton);
    });
    M().SetSelStart(1);
    Key(Qt::Key_F, Qt::ControlModifier);
    Reactivate(*W);
    EXPECT_EQ(SelLow(M()), 8) << "the first occurrence after the caret";
    EXPECT_EQ(std::abs(M().SelLength()), 3);
    ASSERT_TRUE(W->Action("mFindNext")->isEnabled());
    Key(Qt::Key_F3);
    EXPECT_EQ(SelLow(M()), 18);
    Key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(SelLow(M()), 8);
    Key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(SelLow(M()), 0);
    EXPECT_EQ(M().Text(), "one two one three one") << "finding changes nothing";
}

TEST_F(MainWindow, TheSearchTextOutlivesTheWindow) {
    Start();
    M().SetTextBuf("alpha beta");
    WhenModal<TFormFnd>([](TFormFnd& D) {
        D.CbFind->setEditText("beta");
        QTest::mouseClick(D.ButFind, Qt::LeftButton);
    });
    W->Action("mFindReplace")->trigger();
    EXPECT_EQ(SelLow(M()), 6);
    M().Modified = false;
    W->close();
    W.reset();
    EXPECT_NE(ReadFile(Dir / "tarvex.ini").find("Find=beta"), std::string::npos);
    Start();
    M().SetTextBuf("beta alpha beta");
    EXPECT_TRUE(W->Action("mFindNext")->isEnabled()) << "F3 works at once in the next session";
    M().SetSelStart(1);
    Key(Qt::Key_F3);
    EXPECT_EQ(SelLow(M()), 11);
}

TEST_F(MainWindow, SortAndCompressChangeTheTextAsOneUndoStep) {
    Start();
    const std::string text = "pear\r\napple\r\nfig";
    M().SetTextBuf(text);
    WhenModal<TFormSort>([](TFormSort& D) { QTest::mouseClick(D.ButOk, Qt::LeftButton); });
    W->Action("mSort")->trigger();
    EXPECT_EQ(M().Text(), "apple\r\nfig\r\npear\r\n");
    W->Action("mUndo")->trigger();
    EXPECT_EQ(M().Text(), text);

    M().SetTextBuf("a   b");
    Reactivate(*W);
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), "a b");
}

TEST_F(MainWindow, BookmarksAreKeptPerDocumentBetweenSessions) {
    const std::string doc = Dir / "story.txt";
    WriteFile(doc, "first line\r\nsecond line\r\nthird line\r\n");
    Start();
    ASSERT_TRUE(W->LoadFile(doc, 0));
    WaitForLayout();
    M().SetSelStart(12);  // the start of "second line"
    Key(Qt::Key_F9);
    M().SetSelStart(0);
    Key(Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(M().SelStart(), 12) << "Go to last bookmark";
    M().SetSelStart(25);
    Key(Qt::Key_F8, Qt::ControlModifier);
    EXPECT_EQ(SelLow(M()), 12) << "Select to last bookmark";
    EXPECT_EQ(std::abs(M().SelLength()), 13);
    W->close();
    W.reset();
    EXPECT_EQ(ReadFile(Dir / "Bookmarks/story.bkm"), "12=second line\r\n");

    Start();
    ASSERT_TRUE(W->LoadFile(doc, 1));
    WaitForLayout();
    M().SetSelStart(30);
    Key(Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(M().SelStart(), 12) << "the list came back with the document";
}

TEST_F(MainWindow, AnotherDocumentStoresTheListAndStartsItsOwn) {
    const std::string a = Dir / "a.txt", b = Dir / "b.txt";
    WriteFile(a, "aaaa bbbb\r\n");
    WriteFile(b, "cccc dddd\r\n");
    Start();
    ASSERT_TRUE(W->LoadFile(a, 0));
    M().SetSelStart(5);
    Key(Qt::Key_F9);
    ASSERT_TRUE(W->LoadFile(b, 0));
    EXPECT_EQ(ReadFile(Dir / "Bookmarks/a.bkm"), "5=aaaa bbbb\r\n") << "nothing lost on switching";
    M().SetSelStart(3);
    Key(Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(M().SelStart(), 0) << "no bookmarks: where the document was opened";
    M().SetSelStart(5);
    Key(Qt::Key_F9, Qt::ShiftModifier);
    M().SetSelStart(0);
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(M().SelStart(), 5) << "Shift+F9 added one, Ctrl+Tab goes to it";
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// Typing over a column block made with the keys replaces the block's part of
// every row and puts the text where the caret ends, with a proportional font
// too; Undo brings back every byte.
TEST_F(MainWindow, TypingOverAColumnBlockAndUndo) {
    Start();
    const std::string text = "abcd\r\nefgh\r\nijkl";
    M().SetTextBuf(text);
    M().SetWordWrap(false);  // column blocks need lines that are not wrapped
    M().SetSelStart(1);
    Key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    ASSERT_TRUE(M().BlockSelected);
    Type("Z");
    EXPECT_EQ(M().Text(), "ad\r\neh\r\niZl");
    // The typing, then each row's removal, undone: every byte comes back.
    for (int i = 0; i < 4 && M().Text() != text; ++i) W->Action("mUndo")->trigger();
    EXPECT_EQ(M().Text(), text);
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST_F(MainWindow, TheLineNumberIsMarkedAsAnEstimateUntilTheLayoutReachesIt) {
    std::string t;
    for (int i = 0; i < 60000; ++i) t += "paragraph " + std::to_string(i) + " with enough words in it to wrap onto a second line\r\n";
    t += "the last one";
    WriteFile(Dir / "long.txt", t);
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "long.txt", 0));
    Key(Qt::Key_End, Qt::ControlModifier);
    // (A machine fast enough to finish the layout first has nothing to mark.)
    if (!M().SelLineIsFinal()) EXPECT_EQ(W->StatusText(2).left(8), " line: ~") << W->StatusText(2).toStdString();
    WaitForLayout();
    W->MedSelMove();
    EXPECT_EQ(W->StatusText(2), " line: " + QString::fromStdString(FormatCount(M().SelLine() + 1)));
}

}  // namespace
}  // namespace tarvex
