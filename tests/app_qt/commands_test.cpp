// The Convert submenu and the editing, navigation and view commands, driven
// through their keys and menu items on the real window.

#include <QClipboard>
#include <QColorDialog>
#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QTimer>
#include <QUrlQuery>
#include <functional>

#include "app/codepages.h"
#include "app/date_format.h"
#include "app/qt/auto_scroll.h"
#include "app/qt/desktop.h"
#include "app/qt/file_info_box.h"
#include "app/qt/input_box.h"
#include "tests/app_qt/window_fixture.h"

namespace tarvex {
namespace {

// Runs Body on the next modal dialog of type T that opens, from the event loop.
template <typename T>
void WhenModal(std::function<void(T&)> Body) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, Body] {
        auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!d) return;
        timer->stop();
        timer->deleteLater();
        Body(*d);
    });
    timer->start();
}

// The desktop as the commands meet it: what they hand over is recorded.
class Commands : public MainWindow {
protected:
    TDesktop Saved = Desktop();
    std::vector<QUrl> Opened;
    std::vector<QString> Shown;
    bool Shift = false;

    void SetUp() override {
        Desktop().OpenUrl = [this](const QUrl& U) {
            Opened.push_back(U);
            return true;
        };
        Desktop().ShowInFolder = [this](const QString& P) {
            Shown.push_back(P);
            return true;
        };
        Desktop().ShiftHeld = [this] { return Shift; };
    }
    void TearDown() override {
        MainWindow::TearDown();
        Desktop() = Saved;
    }
    void Text(const char* Utf8, TPos Caret = 0) {
        M().SetTextBuf(Win(Utf8));
        M().ClearUndo();
        M().SetSelStart(Caret);
        W->MedSelMove();
    }
    std::string U() { return Cp1251ToUtf8(M().Text()); }
    std::string Sel() { return Cp1251ToUtf8(M().SelText()); }
    void Trigger(const char* Name) { W->Action(Name)->trigger(); }
};

TEST_F(Commands, ConvertKeysWorkOnTheWordAndUndoRestoresTheBytes) {
    Start();
    Text("раз щука три", 7);
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз shhuka три");
    Key(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз щука три") << "LatRus on the selected result";
    Key(Qt::Key_5, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз ЩУКА три");
    Key(Qt::Key_6, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз щука три");
    Key(Qt::Key_7, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз Щука три");
    Key(Qt::Key_9, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз щУКА три");
    for (int i = 0; i < 6; ++i) Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(U(), "раз щука три") << "six steps back to the bytes we started from";
    EXPECT_FALSE(M().CanUndo());

    Text("ONE TWO. THREE FOUR", 2);
    Key(Qt::Key_8, Qt::ControlModifier);
    EXPECT_EQ(U(), "One two. THREE FOUR") << "As sentence takes the sentence at the caret";

    Text("Ghbdtn", 6);
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(U(), "Привет");
    EXPECT_EQ(M().SelStart(), 6);
    Key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(U(), "Ghbdtn");
}

TEST_F(Commands, WholeTextConversionsAndShift) {
    Start();
    std::string koi = Win("Привет, мир");
    WinToKoi(koi);
    M().SetTextBuf(koi);
    M().ClearUndo();
    W->MedSelMove();
    Trigger("mKoiWin");
    EXPECT_EQ(U(), "Привет, мир");
    Shift = true;
    Trigger("mKoiWin");
    EXPECT_EQ(M().Text(), koi) << "with Shift held, back to KOI8-R";
    Trigger("mDosWin");
    Shift = false;
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), koi);
    M().SetTextBuf("<html><body>a &amp; b</body></html>");
    W->MedSelMove();
    W->Action("mPas")->trigger();
    Key(Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), "a & b");
    EXPECT_TRUE(W->Action("mUrl")->isChecked()) << "the page's text shows its links";
    EXPECT_EQ(W->windowTitle(), "Untitled - tarvex") << "the caption stays";
    // Read-only text is not converted.
    Key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_FALSE(W->Action("mKoiWin")->isEnabled());
    EXPECT_FALSE(W->Action("mRusLat")->isEnabled());
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), "a & b");
    EXPECT_TRUE(W->Action("mAuto")->isEnabled()) << "AutoDecode is a setting, not a change";
}

TEST_F(Commands, Ucs2ReadsTheDocumentsFileAgain) {
    // A UTF-16 file opened with AutoDecode off shows its bytes; Unicode UCS-2 decodes them.
    WriteFile(Dir / "tarvex.ini", "[Options]\nAutoDecode=0\n");
    WriteFile(Dir / "u.txt", std::string("\xFF\xFE\x16\x04\x43\x04\x3A\x04 \0\x14\x20 \0o\0k\0", 18));
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "u.txt", 0));
    WaitForLayout();
    Trigger("Unicode1");
    EXPECT_EQ(U(), "Жук — ok");
    EXPECT_TRUE(M().Modified);
}

TEST_F(Commands, SelectWordCyclesAndDeleteKeys) {
    Start();
    Text("Alpha beta gamma. Delta epsilon.", 8);
    Key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Sel(), "beta");
    EXPECT_EQ(W->StatusText(4), "sel: 4");
    Key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Sel(), "Alpha beta gamma.");
    Key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(M().SelLength(), 0);
    EXPECT_EQ(M().SelStart(), 18);
    W->Action("ButSelWord")->trigger();
    EXPECT_EQ(Sel(), "gamma") << "the toolbar button does the same";

    Text("one two  three", 5);
    Key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(U(), "one  three");
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(U(), "one three") << "Ctrl+Delete from a blank: the blanks after it";
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(U(), "one ") << "from a word's start: the word";
    for (int i = 0; i < 3; ++i) Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(U(), "one two  three");

    Text("first\r\nsecond\r\nthird", 9);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(U(), "first\r\nthird");
    Text("abcd\r\nef", 2);
    Key(Qt::Key_QuoteLeft, Qt::ControlModifier);
    EXPECT_EQ(U(), "acbd\r\nef");
    M().SetSelStart(6);
    Key(Qt::Key_QuoteLeft, Qt::ControlModifier);
    EXPECT_EQ(U(), "acbd\r\nef") << "nothing at a paragraph start";
}

TEST_F(Commands, GoToLineAsksInTheInterfaceLanguage) {
    Start();
    Text("one\r\ntwo\r\nthree\r\nfour", 0);
    W->P.Inputs = {"3"};
    Key(Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(W->P.InputBoxes.size(), 1u);
    EXPECT_EQ(W->P.InputBoxes[0], "Go to line 1 .. 4|Enter line number:|") << "no number on the first line";
    EXPECT_EQ(Sel(), "three");
    EXPECT_EQ(W->StatusText(2), " line: 3");
    W->P.Inputs = {"0"};
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(W->P.InputBoxes[1], "Go to line 1 .. 4|Enter line number:|3");
    EXPECT_EQ(Sel(), "three") << "0 does nothing";
    W->P.Inputs = {"text"};
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Sel(), "three") << "text does nothing";
    W->P.Inputs = {"99"};
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Sel(), "four") << "beyond the end: the last line";
    W->SetRussian(true);
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(W->P.InputBoxes.back(), "Перейти к строке 1 .. 4|Введите номер строки:|4");
    Text("single line", 0);
    const std::size_t boxes = W->P.InputBoxes.size();
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(W->P.InputBoxes.size(), boxes) << "one line: nowhere to go";
}

TEST_F(Commands, InsertDateTimeUsesTheSetting) {
    Start();
    W->Settings().DateIns = "'<'yyyy'>'";
    Text("ab", 1);
    Key(Qt::Key_F5, Qt::ControlModifier);
    const std::string year = std::to_string(CurrentDateTime().Year);
    EXPECT_EQ(M().Text(), "a<" + year + ">b");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), "ab");
    Key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_FALSE(W->Action("mInsertDate")->isEnabled());
}

TEST_F(Commands, ReadOnlyStyleSpaceAndHideCaret) {
    WriteFile(Dir / "tarvex.ini", "[Font]\nNameRO=Courier\nBackgroundRO=65535\n");
    Start();
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + "\r\n";
    M().SetTextBuf(text);
    M().SetSelStart(0);
    W->MedSelMove();
    WaitForLayout();
    EXPECT_EQ(M().Font().Name, "Arial");
    Key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_TRUE(W->Action("mReadOnly")->isChecked());
    EXPECT_TRUE(M().ReadOnly);
    EXPECT_EQ(M().Font().Name, "Courier") << "the read-only style";
    EXPECT_EQ(M().Color, 65535);
    EXPECT_EQ(M().SelTextColor, 65535) << "selection inverted on a background of our own";
    Type("x");
    EXPECT_EQ(M().Text(), text);
    const std::int64_t before = M().VertOffset;
    Key(Qt::Key_Space);
    EXPECT_GT(M().VertOffset, before) << "space pages down";
    EXPECT_EQ(M().Text(), text);
    EXPECT_FALSE(W->Action("mPaste")->isEnabled());
    Key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_FALSE(M().ReadOnly);
    EXPECT_EQ(M().Font().Name, "Arial");
    W->Settings().HideCaret = true;
    Key(Qt::Key_Backslash, Qt::ControlModifier);
    EXPECT_FALSE(M().ReadOnly);
    EXPECT_TRUE(M().DisplayOnly) << "read-only without a caret";
    M().Modified = false;
    W->close();
    const std::string ini = ReadFile(Dir / "tarvex.ini");
    EXPECT_NE(ini.find("ReadOnly=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("NameRO=Courier"), std::string::npos);
    EXPECT_NE(ini.find("Name=Arial"), std::string::npos);
}

TEST_F(Commands, InfoTextComparesSelectionAndClipboard) {
    Start();
    Text("one two  three", 0);
    M().SetSelLength(7);
    QApplication::clipboard()->setText("one  two");
    Key(Qt::Key_I, Qt::ControlModifier);
    ASSERT_EQ(W->P.Messages.size(), 1u);
    const std::string& m = W->P.Messages[0];
    EXPECT_TRUE(StartsWith(m, "Statistic for file\nUntitled\n\nParagraphs    =  1 \n")) << m;
    EXPECT_NE(m.find("Words           =  3"), std::string::npos) << m;
    EXPECT_NE(m.find("Selected       = 7 chars  2 words"), std::string::npos) << m;
    EXPECT_NE(m.find("Buffer          = 8 chars  2 words"), std::string::npos) << m;
    EXPECT_NE(m.find("Differences  = (CR,SP,TAB)"), std::string::npos) << m;
    QApplication::clipboard()->setText("ONE TWO");
    Key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_NE(W->P.Messages[1].find("Differences  = 0"), std::string::npos) << W->P.Messages[1];
    QApplication::clipboard()->clear();
}

TEST_F(Commands, RunAndSendMailHandTheTextToTheDesktop) {
    Start();
    Text("  someone@example.org  \r\nsee https://example.org/a here", 5);
    Key(Qt::Key_F1, Qt::ControlModifier);
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0].toString().toStdString(), "mailto:someone@example.org") << "a line holding an address";
    M().SetSelStart(29);
    M().SetSelLength(21);
    Key(Qt::Key_F1, Qt::ControlModifier);
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[1].toString().toStdString(), "https://example.org/a") << "the selection as a link";

    Text("Привет,\r\nмир & co = 100%");
    Key(Qt::Key_M, Qt::ControlModifier);
    ASSERT_EQ(Opened.size(), 3u);
    EXPECT_EQ(Opened[2].scheme(), "mailto");
    EXPECT_EQ(QUrlQuery(Opened[2]).queryItemValue("body", QUrl::FullyDecoded), QString::fromUtf8("Привет,\r\nмир & co = 100%"));
    std::string big;
    while (big.size() < 1'000'001) big += std::string(98, 'x') + "\r\n";
    M().SetTextBuf(big);
    W->MedSelMove();
    Key(Qt::Key_M, Qt::ControlModifier);
    EXPECT_EQ(Opened.size(), 3u);
    ASSERT_FALSE(W->P.Errors.empty());
    EXPECT_EQ(W->P.Errors.back(), "Too large file!");
}

TEST_F(Commands, FileCommandsNeedTheFile) {
    WriteFile(Dir / "doc.txt", "text\r\n");
    Start();
    EXPECT_FALSE(W->Action("mInfoFile")->isEnabled());
    EXPECT_FALSE(W->Action("mShowFolder")->isEnabled());
    ASSERT_TRUE(W->LoadFile(Dir / "doc.txt", 0));
    EXPECT_TRUE(W->Action("mExecFile")->isEnabled());
    Trigger("mShowFolder");
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], QString::fromStdString(Dir / "doc.txt"));
    Trigger("mExecFile");
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], QUrl::fromLocalFile(QString::fromStdString(Dir / "doc.txt")));
    QString format;
    WhenModal<QDialog>([&format](QDialog& D) {
        for (QLabel* l : D.findChildren<QLabel*>())
            if (l->text().contains("windows-1251")) format = l->text();
        D.reject();
    });
    Trigger("mInfoFile");
    EXPECT_EQ(format, "plain, windows-1251");
    const auto rows = FileInfoRows(Dir / "doc.txt", {}, false);
    EXPECT_EQ(rows[0].second, "doc.txt");
    EXPECT_EQ(rows[2].second, "6 bytes");
    std::filesystem::remove(Dir / "doc.txt");
    Trigger("mExecFile");
    EXPECT_EQ(Opened.size(), 1u) << "a file that is gone is not opened";
}

TEST_F(Commands, AutoScrollTimerKeysAndMiddleButton) {
    WriteFile(Dir / "tarvex.ini", "[Options]\nBtMiddle=1\nTimeScroll=3\n");
    Start();
    std::string text;
    for (int i = 0; i < 500; ++i) text += "line " + std::to_string(i) + "\r\n";
    M().SetTextBuf(text);
    W->MedSelMove();
    WaitForLayout();
    TAutoScroll& a = TAutoScroll::Of(*W);
    EXPECT_EQ(a.Interval(), 3);
    Key(Qt::Key_F5);
    EXPECT_TRUE(a.Running());
    EXPECT_TRUE(W->Action("ButScroll")->isChecked()) << "the button is down";
    const std::int64_t v = M().VertOffset;
    a.Tick();
    EXPECT_EQ(M().VertOffset, v + 1);
    QTest::qWait(100);
    EXPECT_GT(M().VertOffset, v + 1) << "the timer moves the view";
    Key(Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(a.Interval(), 2);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(a.Interval(), 4);
    Key(Qt::Key_F5);
    EXPECT_FALSE(a.Running());
    const std::int32_t lh = M().LineHeight();
    const std::int32_t top = static_cast<std::int32_t>((M().VertOffset + lh - 1) / lh);
    EXPECT_EQ(M().SelLine(), top) << "the caret on the first line wholly in view";
    // Limits.
    W->Settings().TimeScroll = 1;
    Trigger("mScrollPlus");
    EXPECT_EQ(a.Interval(), 1);
    EXPECT_TRUE(a.Running()) << "speeding up starts it";
    W->Settings().TimeScroll = 5000;
    Trigger("mScrollMinus");
    EXPECT_EQ(a.Interval(), 5000);
    Trigger("mScrollDefault");
    EXPECT_EQ(a.Interval(), 30);
    // The middle button: top speeds up, bottom slows down, elsewhere toggles.
    QWidget* vp = W->Med->viewport();
    QTest::mouseClick(vp, Qt::MiddleButton, {}, QPoint(50, vp->height() / 2));
    EXPECT_FALSE(a.Running());
    QTest::mouseClick(vp, Qt::MiddleButton, {}, QPoint(50, 5));
    EXPECT_TRUE(a.Running());
    EXPECT_EQ(a.Interval(), 29);
    QTest::mouseClick(vp, Qt::MiddleButton, {}, QPoint(50, vp->height() - 5));
    EXPECT_EQ(a.Interval(), 30);
    Key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(a.Running()) << "Select Word stops it";
    M().Modified = false;
    W->close();
    EXPECT_NE(ReadFile(Dir / "tarvex.ini").find("TimeScroll=30"), std::string::npos);
}

TEST_F(Commands, MarginsLineHeightAlignmentAndNonPrintingCharacters) {
    Start();
    Text("some text here", 0);
    const int margin = M().LeftMargin();
    Trigger("mLeftUp");
    EXPECT_EQ(M().LeftMargin(), margin + 1);
    for (int i = 0; i < 200; ++i) Trigger("mLeftDown");
    EXPECT_EQ(M().LeftMargin(), 0) << "Down stops at 0";
    for (int i = 0; i < 200; ++i) Trigger("mLeftUp");
    EXPECT_EQ(M().LeftMargin(), 100) << "Up stops at 100";
    Trigger("mLeftDefault");
    EXPECT_EQ(M().LeftMargin(), 10);

    const int font = M().LineHeight();
    Trigger("mLineUp");
    EXPECT_EQ(M().FixedLineHeight(), font + 1) << "from the font's height, not from 0";
    for (int i = 0; i < 200; ++i) Trigger("mLineDown");
    EXPECT_EQ(M().FixedLineHeight(), 5) << "Down stops at 5";
    for (int i = 0; i < 200; ++i) Trigger("mLineUp");
    EXPECT_EQ(M().FixedLineHeight(), 100) << "Up stops at 100";
    Trigger("mLineDefault");
    EXPECT_EQ(M().FixedLineHeight(), 0);

    Trigger("mCenter");
    EXPECT_EQ(M().Alignment(), taCenter);
    W->Action("mWordWrap")->trigger();  // off
    EXPECT_FALSE(M().WordWrap());
    EXPECT_EQ(M().Alignment(), taLeftJustify);
    EXPECT_TRUE(W->Action("mLeft")->isChecked());
    EXPECT_FALSE(W->Action("mRight")->isEnabled()) << "no alignment without word wrap";
    W->Action("mWordWrap")->trigger();  // on
    EXPECT_TRUE(W->Action("mRight")->isEnabled());

    Trigger("mJustified");
    EXPECT_TRUE(M().Justified());
    W->Action("btnNonPrintChars")->trigger();
    EXPECT_EQ(M().ShowNonPrintChars, drNPSpace | drNPTab | drNPReturn);
    EXPECT_FALSE(M().Justified());
    EXPECT_FALSE(W->Action("mJustified")->isChecked());
    W->Action("btnNonPrintChars")->trigger();
    EXPECT_EQ(M().ShowNonPrintChars, 0);
    EXPECT_TRUE(M().Justified()) << "justification comes back";
    M().Modified = false;
    W->close();
    const std::string ini = ReadFile(Dir / "tarvex.ini");
    EXPECT_NE(ini.find("LeftMargin=10"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Alignment=0"), std::string::npos) << ini;
}

TEST_F(Commands, ColoursFollowTheSelectionRule) {
    Start();
    Text("colours", 0);
    WhenModal<QColorDialog>([](QColorDialog& D) {
        D.setCurrentColor(QColor(0x11, 0x22, 0x33));
        D.accept();
    });
    Trigger("mBackgroundColor");
    EXPECT_EQ(M().Color, 0x332211);
    EXPECT_EQ(M().SelTextColor, 0x332211) << "the background colour on selected text";
    EXPECT_EQ(M().SelBackColor, clHighlight);
    WhenModal<QColorDialog>([](QColorDialog& D) {
        D.setCurrentColor(QColor(0xAA, 0, 0));
        D.accept();
    });
    Trigger("mColor");
    EXPECT_EQ(M().Font().Color, 0x0000AA);
    EXPECT_EQ(M().SelBackColor, 0x0000AA);
    WhenModal<QColorDialog>([](QColorDialog& D) { D.reject(); });
    Trigger("mURLColor");
    EXPECT_EQ(W->Settings().Url, kWebLinkColor) << "cancelled";
    Trigger("mDefaultFont");
    EXPECT_EQ(M().Color, clWindow);
    EXPECT_EQ(M().SelTextColor, clHighlightText);
    Trigger("mNone");
    EXPECT_TRUE(W->Action("mNone")->isChecked());
    EXPECT_EQ(M().Highlighter(), nullptr);
}

}  // namespace
}  // namespace tarvex
