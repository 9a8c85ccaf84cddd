// The editor's window driven with real key and mouse events.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QScreen>
#include <QMainWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "platform/qt_draw_surface.h"
#include "editor/qt/riri_widget.h"

namespace tarvex {
namespace {

class Widget : public ::testing::Test {
protected:
    std::unique_ptr<TRiriWidget> W;
    TDudiRiri* M = nullptr;

    void SetUp() override {
        W = std::make_unique<TRiriWidget>();
        W->resize(420, 300);
        M = &W->Memo();
        TFontSpec f;
        f.Name = "DejaVu Sans Mono";
        f.Size = 10;
        M->SetFont(f);
        M->ScrollTime = 0;
        W->show();
        W->setFocus();
        QApplication::processEvents();
    }
    void SetText(std::string_view T) {
        M->SetTextBuf(T);
        M->FormatPending();
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(W.get(), K, Mods); }
    void Type(const char* S) { QTest::keyClicks(W.get(), QString::fromLatin1(S)); }
    QPoint PointOf(TPos P) {
        TRiriNavigator n(M);
        n.SetPos(P);
        const TPoint p = n.PosToPixel();
        return {p.X + 1, static_cast<int>(p.Y) + M->LineHeight() / 2};
    }
    QImage Grab() { return W->viewport()->grab().toImage(); }
    // What the window shows now (its backing store), and a paint of the same
    // state from scratch; both without the caret, which blinks.
    QImage Shown() {
        QApplication::processEvents();
        const QPoint o = W->viewport()->mapTo(W->window(), QPoint(0, 0));
        const QImage i = W->screen()->grabWindow(W->window()->winId(), o.x(), o.y(), W->viewport()->width(),
                                                 W->viewport()->height()).toImage();
        return WithoutCaret(i);
    }
    QImage Fresh() { return WithoutCaret(Grab()); }
    QImage WithoutCaret(QImage I) {
        I = I.convertToFormat(QImage::Format_RGB32);
        const TRect c = M->CaretRect();
        for (int y = std::max(0, c.Top); y < std::min(I.height(), c.Bottom); ++y)
            for (int x = std::max(0, c.Left - 1); x < std::min(I.width(), c.Right + 1); ++x) I.setPixel(x, y, 0);
        return I;
    }
    // The caret's line lies fully inside the window.
    bool CaretShown() {
        const TRect c = M->CaretRect();
        return c.Top >= 0 && c.Bottom <= W->viewport()->height() && c.Left >= 0 && c.Left < W->viewport()->width();
    }
};

TEST_F(Widget, TypingAndMovingWithArrowsHomeAndEnd) {
    SetText("");
    Type("hello");
    EXPECT_EQ(M->Text(), "hello");
    Key(Qt::Key_Left);
    Key(Qt::Key_Left);
    Type("X");
    EXPECT_EQ(M->Text(), "helXlo");
    Key(Qt::Key_Home);
    EXPECT_EQ(M->SelStart(), 0);
    Key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(M->SelLength(), -6) << "the selection lies before the caret";
    Key(Qt::Key_Right);
    EXPECT_EQ(M->SelLength(), 0) << "a move without Shift drops the selection";
    Key(Qt::Key_Return);
    Type("next");
    EXPECT_EQ(M->Text(), "helXlo\r\nnext");
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(M->SelStart(), 8) << "Ctrl+Left to the word start";
    Key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(M->SelStart(), 0);
    Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(M->SelLength(), -M->CharCount());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(M->Text(), "");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "helXlo\r\nnext") << "Ctrl+Z undoes";
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(M->Text(), "") << "Ctrl+Shift+Z redoes";
}

TEST_F(Widget, RightAtAParagraphEndWrapsOrAddsAVirtualSpace) {
    SetText("ab\r\ncd");
    M->SetSelStart(2);
    Key(Qt::Key_Right);
    EXPECT_EQ(M->SelStart(), 4) << "to the next paragraph with the default options";
    M->SetOptions(M->Options() | droKeepColumnPos);
    M->SetSelStart(2);
    Key(Qt::Key_Right);
    EXPECT_EQ(M->SelStart(), 2);
    EXPECT_EQ(M->VirtualSpaces, 1);
}

TEST_F(Widget, HomeAndEndOnWrappedLines) {
    SetText("aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp qqqq");
    ASSERT_GT(M->LineCount(), 1);
    TRiriNavigator second(M);
    second.SetVisibleLine(1);
    const TPos lineStart = second.Pos();
    M->SetSelStart(lineStart + 2);
    Key(Qt::Key_Home);
    EXPECT_EQ(M->SelStart(), lineStart) << "Home goes to the start of the display line, not the paragraph";
    Key(Qt::Key_End);
    EXPECT_EQ(M->CaretNav().VisibleLine(), 1) << "End stays on the same display line";
    EXPECT_GT(M->SelStart(), lineStart);
}

TEST_F(Widget, PageDownKeepsTheColumn) {
    std::string t;
    for (int i = 0; i < 200; ++i) t += "line number " + std::to_string(i) + "\r\n";
    SetText(t);
    M->SetSelStart(7);  // "line nu|mber 0"
    const int x = M->CaretNav().PosToX();
    Key(Qt::Key_PageDown);
    EXPECT_GT(M->CaretNav().VisibleLine(), 5);
    EXPECT_EQ(M->CaretNav().PosToX(), x) << "the remembered x is kept";
    EXPECT_GT(M->VertOffset, 0) << "the view follows";
    Key(Qt::Key_PageUp);
    EXPECT_EQ(M->SelStart(), 7);
}

TEST_F(Widget, ColumnBlockCopyAndPaste) {
    M->SetWordWrap(false);
    M->SetOptions(M->Options() | droBlockSelection);
    SetText("abcdef\r\nghijkl\r\nmnopqr");
    M->SetSelStart(1);
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
    ASSERT_TRUE(M->BlockSelected);
    EXPECT_EQ(M->SelText(), "bc\r\nhi\r\n");
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* d = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(d->hasFormat(TRiriWidget::kBlockMime));
    M->SetSelStart(18);  // "mnop|qr" is not it: paste at column 4 of the last paragraph
    M->SetSelStart(M->Pars.StartPos(2) + 4);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "abcdef\r\nghijkl\r\nmnopbcqr\r\n    hi") << "rows pasted as a column, padded with spaces";
}

TEST_F(Widget, DragMovesAndCopiesWithOneUndoStep) {
    M->SetWordWrap(false);
    SetText("one two three");
    M->ClearUndo();
    M->SetSelStart(4);
    M->SetSelLength(4);  // "two "
    const QPoint from = PointOf(5);
    const QPoint to = PointOf(13);
    QTest::mouseMove(W->viewport(), from);
    QTest::mousePress(W->viewport(), Qt::LeftButton, Qt::NoModifier, from);
    ASSERT_TRUE(M->Dragging());
    QTest::mouseMove(W->viewport(), to);
    QTest::mouseRelease(W->viewport(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(M->Text(), "one threetwo ");
    EXPECT_EQ(M->SelText(), "two ") << "the moved text is selected";
    M->Undo();
    EXPECT_EQ(M->Text(), "one two three") << "one step undoes both places";
    M->SetSelStart(0);
    M->SetSelLength(3);
    QTest::mouseMove(W->viewport(), PointOf(1));
    QTest::mousePress(W->viewport(), Qt::LeftButton, Qt::ControlModifier, PointOf(1));
    QTest::mouseMove(W->viewport(), PointOf(13));
    QTest::mouseRelease(W->viewport(), Qt::LeftButton, Qt::ControlModifier, PointOf(13));
    EXPECT_EQ(M->Text(), "one two threeone");
    M->Undo();
    EXPECT_EQ(M->Text(), "one two three") << "undoing a copy removes only the copy";
    // Dropping inside the selection only moves the caret.
    M->SetSelStart(4);
    M->SetSelLength(4);
    QTest::mouseMove(W->viewport(), PointOf(5));
    QTest::mousePress(W->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(5));
    QTest::mouseRelease(W->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(6));
    EXPECT_EQ(M->Text(), "one two three");
    EXPECT_EQ(M->SelLength(), 0);
}

TEST_F(Widget, CyrillicRoundTripsThroughTheClipboard) {
    SetText("\xCF\xF0\xE8\xE2\xE5\xF2 \xB8\xEB\xEA\xE0");
    M->SelectAll();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Привет ёлка")) << "other programs read Unicode";
    QApplication::clipboard()->setText(QString::fromUtf8("Ёж — «ёлка» ü"));
    M->SetSelStart(M->CharCount());
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "\xCF\xF0\xE8\xE2\xE5\xF2 \xB8\xEB\xEA\xE0\xA8\xE6 \x97 \xAB\xB8\xEB\xEA\xE0\xBB \xFC");
}

TEST_F(Widget, ReadOnlyAndDisplayOnlyRefuseEditsButCopy) {
    SetText("fixed text");
    M->ReadOnly = true;
    Type("x");
    Key(Qt::Key_Delete);
    Key(Qt::Key_Backspace);
    M->SelectAll();
    QApplication::clipboard()->setText("pasted");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "fixed text");
    QApplication::clipboard()->clear();
    Key(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "fixed text") << "Ctrl+Insert copies";
    QApplication::clipboard()->clear();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "fixed text") << "Ctrl+C copies";
    M->ReadOnly = false;
    M->DisplayOnly = true;
    M->SetSelStart(0);
    Type("y");
    EXPECT_EQ(M->Text(), "fixed text");
    EXPECT_EQ(M->CaretRect().Width(), 0) << "no caret";
}

TEST_F(Widget, ContextMenuEnabledStates) {
    SetText("abc");
    M->ClearUndo();
    M->SetSelStart(1);
    QApplication::clipboard()->clear();
    auto items = M->ContextMenuItems();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].Caption, "&Undo");
    EXPECT_FALSE(items[0].Enabled);
    EXPECT_FALSE(items[3].Enabled) << "Cut needs a selection";
    EXPECT_FALSE(items[5].Enabled) << "Paste needs text on the clipboard";
    EXPECT_TRUE(items[7].Enabled);
    Type("x");
    M->SetSelLength(1);
    QApplication::clipboard()->setText("y");
    items = M->ContextMenuItems();
    EXPECT_TRUE(items[0].Enabled);
    EXPECT_TRUE(items[3].Enabled);
    EXPECT_TRUE(items[4].Enabled);
    EXPECT_TRUE(items[5].Enabled);
    M->ReadOnly = true;
    EXPECT_FALSE(M->ContextMenuItems()[3].Enabled);
    EXPECT_FALSE(M->ContextMenuItems()[5].Enabled);
    M->RussianInterface = true;
    EXPECT_EQ(M->ContextMenuItems()[4].Caption, "&Копировать");
}

TEST_F(Widget, PaintingSelectionEndMarkGuideAndCaret) {
    M->SetWordWrap(false);
    M->SetOptions(M->Options() | droWindowsSelColors);
    M->SelBackColor = 0x00FF00;  // green
    M->RightLinePos = 10;
    M->RightLinePen = TPen{0x0000FF, psSolid, 1};  // red
    SetText("abcdefgh\r\nijkl");
    M->SetSelStart(2);
    M->SetSelLength(3);
    QApplication::processEvents();
    const QImage img = Grab();
    const int lh = M->LineHeight();
    const int y = 1;  // above the glyphs
    TRiriNavigator n(M);
    auto xOf = [&](TPos p) {
        n.SetPos(p);
        return n.PosToX();
    };
    // Selected cells are green, cells beside them are not.
    const QColor green(0, 255, 0);
    EXPECT_EQ(img.pixelColor(xOf(2) + 1, y), green);
    EXPECT_EQ(img.pixelColor(xOf(5) - 1, y), green);
    EXPECT_NE(img.pixelColor(xOf(5) + 2, y), green);
    EXPECT_NE(img.pixelColor(xOf(2) - 2, y), green);
    // The end-of-text mark lies right below the last line.
    const int markY = 2 * lh;
    EXPECT_EQ(img.pixelColor(200, markY), QColor(255, 0, 0));
    EXPECT_NE(img.pixelColor(200, markY - 3), QColor(255, 0, 0));
    // The guide line at LeftMargin + 10 average widths.
    const int gx = M->LeftMargin() + 10 * M->AverageWidth();
    EXPECT_EQ(img.pixelColor(gx, 5 * lh), QColor(255, 0, 0));
    // The caret: a column of caret width at the caret.
    M->SetSelStart(3);
    QApplication::processEvents();
    const QImage img2 = Grab();
    const TRect c = M->CaretRect();
    EXPECT_EQ(c.Left, xOf(3));
    EXPECT_EQ(img2.pixelColor(c.Left, c.Top + lh / 2), W->palette().color(QPalette::Text));
}

TEST_F(Widget, ScrollBarsFollowTheText) {
    std::string t;
    for (int i = 0; i < 5000; ++i) t += "row\r\n";
    SetText(t);
    QApplication::processEvents();
    EXPECT_GT(W->verticalScrollBar()->maximum(), 0);
    W->verticalScrollBar()->setValue(W->verticalScrollBar()->maximum() / 2);
    EXPECT_GT(M->TopLine(), 1000);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_GE(M->TopLine(), 5000 - M->VisibleLines());
}

TEST_F(Widget, SetSelLineWhileTheLayoutIsPending) {
    // Failed an earlier version that laid out one paragraph far ahead and
    // waited for the pending layout to move on, which it never did.
    std::string t;
    for (int i = 0; i < 3000; ++i) t += "row\r\n";
    TMemoryStream s(t);
    M->LoadFromStream(s);
    ASSERT_LT(M->FormatProgress(), 100);
    M->SetSelLine(2);
    EXPECT_EQ(M->SelStart(), 2 * 5);
    M->SetSelLine(2500);
    EXPECT_EQ(M->SelStart(), 2500 * 5);
}

TEST_F(Widget, FirstEditAfterALoadLaysOutOnlyWhatItTouched) {
    // Failed an earlier version that kept the whole loaded text as the dirty
    // range, so that typing a letter laid out everything at once.
    std::string t;
    for (int i = 0; i < 3000; ++i) t += "row " + std::to_string(i) + "\r\n";
    TMemoryStream s(t);
    M->LoadFromStream(s);
    ASSERT_LT(M->FormatProgress(), 50);
    M->SetSelStart(M->CharCount());
    Type("x");
    EXPECT_LT(M->FormatProgress(), 50) << "the rest is still left to the background";
    M->FormatPending();
    EXPECT_NO_THROW(M->CheckConsistency());
    EXPECT_EQ(M->Text(), t + "x");
}

TEST_F(Widget, CtrlKeysWithoutACommandInsertNothing) {
    // Failed an earlier version: Ctrl+P inserted CR LF, 16, CR LF and Ctrl+M a break.
    SetText("");
    for (Qt::Key k : {Qt::Key_P, Qt::Key_M, Qt::Key_Q, Qt::Key_J, Qt::Key_I, Qt::Key_G, Qt::Key_1, Qt::Key_BracketLeft})
        Key(k, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "");
    Type("ab");
    M->SelectAll();
    Key(Qt::Key_C, Qt::ControlModifier);
    M->SetSelStart(2);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "abab") << "Ctrl+C and Ctrl+V still copy and paste";
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(M->Text(), "abab");
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(M->Text(), "abab\r\n") << "Shift+Enter still breaks the line";
}

TEST_F(Widget, AltLettersTypeNothingAndReachTheMenuBar) {
    // Failed an earlier version that typed "qz1" for Alt+Q, Alt+Z, Alt+1.
    QMainWindow win;
    auto* editor = new TRiriWidget;
    win.setCentralWidget(editor);
    QMenu* file = win.menuBar()->addMenu("&File");
    file->addAction("&New");
    struct TKeysSeen : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* E) override {
            if (E->type() == QEvent::KeyPress) ++Count;
            return false;
        }
    } seen;
    win.installEventFilter(&seen);
    win.resize(400, 300);
    win.show();
    QApplication::setActiveWindow(&win);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    editor->setFocus();
    TDudiRiri& m = editor->Memo();
    m.ScrollTime = 0;
    for (Qt::Key k : {Qt::Key_Q, Qt::Key_Z, Qt::Key_1}) QTest::keyClick(editor, k, Qt::AltModifier);
    EXPECT_EQ(m.Text(), "");
    EXPECT_EQ(seen.Count, 3) << "the keys went on to the window";
    QTest::keyClick(editor, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(file->isVisible()) << "Alt+F opened the File menu";
    EXPECT_EQ(m.Text(), "");
    file->close();
}

TEST_F(Widget, TheScreenMatchesTheTextAfterEditsThatAddOrRemoveLines) {
    // Failed an earlier version that repainted only the edited lines when an
    // edit added a paragraph: after the second Enter the line below vanished.
    std::string t;
    for (int i = 0; i < 60; ++i) t += "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0 " + std::to_string(i) + " and some words to wrap\r\n";
    SetText(t);
    QApplication::processEvents();
    Key(Qt::Key_Home, Qt::ControlModifier);
    Key(Qt::Key_End);
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Return);
        ASSERT_EQ(Shown(), Fresh()) << "after Enter " << i + 1;
    }
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Shown(), Fresh()) << "after joining lines";
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Shown(), Fresh()) << "after deleting lines";
    QApplication::clipboard()->setText("one\ntwo\nthree\n");
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Shown(), Fresh()) << "after pasting lines";
    Key(Qt::Key_End);
    Type(" more words that make this paragraph wrap onto another display line");
    EXPECT_EQ(Shown(), Fresh()) << "after a paragraph grew a display line";
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Shown(), Fresh()) << "after Undo";
    // An edit above the view: the text at the top stays there.
    W->verticalScrollBar()->setValue(W->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    TRiriNavigator n(M);
    n.SetVisibleLine(M->TopLine() + 3);
    M->SetSelStart(n.Pos());  // the caret on screen, below the edit
    n.SetVisibleLine(M->TopLine());
    const std::string topText = n.LineText();
    M->SetParagraph(0, "first\r\nsecond\r\nthird");
    EXPECT_EQ(Shown(), Fresh()) << "after lines were added above the view";
    n.SetVisibleLine(M->TopLine());
    EXPECT_EQ(n.LineText(), topText);
}

TEST_F(Widget, TheViewFollowsTheCaretAfterEveryEditCommand) {
    // Failed an earlier version that brought the caret into view only after
    // typed keys: a paste on the last visible line or an Undo left it off screen.
    std::string t;
    for (int i = 0; i < 200; ++i) t += "row " + std::to_string(i) + "\r\n";
    SetText(t);
    QApplication::processEvents();
    const int lastVisible = W->viewport()->height() / M->LineHeight() - 1;
    TRiriNavigator n(M);
    n.SetVisibleLine(lastVisible);
    M->SetSelStart(n.Pos());
    ASSERT_TRUE(CaretShown());
    QApplication::clipboard()->setText("a\nb\nc\nd\ne\nf\n");
    M->PasteFromClipboard();  // as the Edit menu does
    EXPECT_TRUE(CaretShown()) << "after a paste";
    M->SetSelStart(M->CharCount());
    M->SelectAll();
    M->ClearSelection();
    M->Undo();
    EXPECT_TRUE(CaretShown()) << "after Undo of deleting everything, the caret at the end";
    EXPECT_GT(M->TopLine(), 100);
    M->SetSelStart(0);
    M->SetSelText("x");
    EXPECT_TRUE(CaretShown());
    EXPECT_EQ(M->TopLine(), 0);
    M->Redo();
    M->Redo();
    EXPECT_TRUE(CaretShown()) << "after Redo";
}

TEST_F(Widget, CtrlEndWhileTheLayoutRunsShowsTheEnd) {
    // Failed an earlier version: the lines laid out while the view scrolled
    // there, and then by the background, pushed the end out of the view.
    std::string t;
    for (int i = 0; i < 60000; ++i) t += "paragraph " + std::to_string(i) + " with enough words in it to wrap onto a second line here\r\n";
    t += "the last one";
    M->ScrollTime = 300;
    TMemoryStream s(t);
    M->LoadFromStream(s);
    ASSERT_LT(M->FormatProgress(), 50);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(M->SelStart(), M->CharCount());
    EXPECT_TRUE(CaretShown());
    EXPECT_FALSE(M->SelLineIsFinal()) << "the line number is an estimate while lines above wait for layout";
    int checks = 0;
    while (M->FormatProgress() < 100 && checks < 100000) {
        QApplication::processEvents();
        ++checks;
        ASSERT_TRUE(CaretShown()) << "while the layout runs, check " << checks << " progress " << M->FormatProgress();
    }
    EXPECT_TRUE(CaretShown());
    EXPECT_TRUE(M->SelLineIsFinal());
    EXPECT_EQ(M->SelLine(), M->LineCount() - 1);
    EXPECT_EQ(Shown(), Fresh());
}

TEST_F(Widget, TheEndOfAFiveMegabyteLineComesIntoView) {
    // Failed an earlier version that drew a long run in one call from far left
    // of the window: the glyphs went astray and the end never showed.
    M->SetWordWrap(false);
    TFontSpec f;
    f.Name = "Liberation Sans";  // proportional, as Arial
    f.Size = 10;
    M->SetFont(f);
    std::string t;
    while (t.size() < 5 * 1024 * 1024) t += "word \xF1\xEB\xEE\xE2\xEE ";
    t += "END";
    SetText(t);
    QApplication::processEvents();
    auto inkBetween = [&](const QImage& I, int X1, int X2) {
        const QRgb bg = I.pixel(I.width() - 1, I.height() - 1);
        const int y1 = M->CaretRect().Top, y2 = M->CaretRect().Bottom;
        for (int x = std::max(0, X1); x < std::min(I.width(), X2); ++x)
            for (int y = std::max(0, y1); y < std::min(I.height(), y2); ++y)
                if (I.pixel(x, y) != bg) return true;
        return false;
    };
    Key(Qt::Key_End);
    EXPECT_EQ(M->SelStart(), M->CharCount());
    ASSERT_TRUE(CaretShown());
    EXPECT_EQ(W->horizontalScrollBar()->value(), W->horizontalScrollBar()->maximum()) << "the range reaches the widest line";
    const QImage end = Shown();
    EXPECT_EQ(end, Fresh());
    const int cx = M->CaretRect().Left, avg = M->AverageWidth();
    EXPECT_TRUE(inkBetween(end, cx - 3 * avg, cx - 1)) << "the last characters are drawn before the caret";
    EXPECT_FALSE(inkBetween(end, cx + avg, cx + 10 * avg)) << "nothing is drawn past the end of the line";
    Key(Qt::Key_Home);
    EXPECT_EQ(M->HorzOffset, 0);
    EXPECT_EQ(W->horizontalScrollBar()->value(), 0);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(CaretShown());
    W->horizontalScrollBar()->setValue(W->horizontalScrollBar()->maximum() / 2);
    EXPECT_EQ(Shown(), Fresh()) << "the middle of the line";
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
