// The dictionary window driven through its field, list, buttons and keys.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <deque>

#include "app/word_separators.h"
#include "spell/qt/form_dict.h"
#include "tests/spell/spell_test_util.h"
#include "tests/tools_qt/modal_driver.h"
#include "tools/qt/form_sort.h"

namespace tarvex {
namespace {

using test::W;

class TTestFormDict : public TFormDict {
public:
    using TFormDict::TFormDict;
    std::deque<bool> Answers;  // for Ask; an empty queue answers Yes
    QStringList Questions, Messages;
    QString NextFile;

protected:
    bool Ask(const QString& Caption, const QString& Text) override {
        Questions << Caption + "|" + Text;
        if (Answers.empty()) return true;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    void ShowMessage(const QString& Text) override { Messages << Text; }
    QString AskFileName(const QString&) override { return NextFile; }
};

class DictWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Main = std::make_unique<TRiriWidget>();
        Main->Memo().SetSeparators(AppWordSeparators());
        Form = std::make_unique<TTestFormDict>(&Main->Memo());
        Form->OnOptionsChanged = [this](const TDictOptions& O) { Saved = O; };
        Options.Dictionary = Dir.Path + "dict.txt";
    }
    void Write(const std::string& Bytes, const std::string& Name = "dict.txt") { test::WriteFile(Dir.Path + Name, Bytes); }
    std::string File(const std::string& Name = "dict.txt") { return test::ReadFile(Dir.Path + Name); }
    void Show() {
        Form->ShowDictionary(Options, false);
        QApplication::processEvents();
    }
    // Types Text into the search field and presses Enter.
    void Search(const char* Text) {
        Form->Ed->lineEdit()->setFocus();
        Form->Ed->lineEdit()->selectAll();
        QTest::keyClicks(Form->Ed->lineEdit(), QString::fromUtf8(Text));
        QTest::keyClick(Form->Ed->lineEdit(), Qt::Key_Return);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> r;
        for (int i = 0; i < Form->Lb->count(); ++i) r.push_back(Form->Lb->item(i)->text().toStdString());
        return r;
    }
    std::string Current() { return Form->Lb->currentItem() ? Form->Lb->currentItem()->text().toStdString() : ""; }
    std::string Shown() { return Form->Dic->Memo().Text(); }

    test::TTempDir Dir;
    std::unique_ptr<TRiriWidget> Main;
    std::unique_ptr<TTestFormDict> Form;
    TDictOptions Options, Saved;
};

using V = std::vector<std::string>;

TEST_F(DictWindow, CatInCapitalsAndCowBetweenTheKeys) {
    Write("cat=a small animal\r\ndog=a friend\r\n");
    Show();
    Search("CAT");
    EXPECT_EQ(Shown(), "a small animal");
    EXPECT_EQ(Listed(), (V{"cat", "dog"}));
    EXPECT_EQ(Current(), "cat");
    EXPECT_EQ(Form->windowTitle().toStdString(), "2 : " + Options.Dictionary) << "the line count and the file";
    Search("cow");
    EXPECT_EQ(Shown(), "") << "nothing found: the editor is emptied";
    EXPECT_EQ(Listed(), (V{"cat", "dog"}));
    EXPECT_EQ(Current(), "dog") << "where cow would stand";
    EXPECT_EQ(Form->Pan->text(), "");
    EXPECT_EQ(Form->Ed->count(), 2) << "both searches are in the history";
    // Choosing an earlier search from the history repeats it.
    Form->Ed->lineEdit()->setFocus();
    QTest::keyClick(Form->Ed->lineEdit(), Qt::Key_Up);
    EXPECT_EQ(Form->Ed->currentText(), "CAT");
    EXPECT_EQ(Shown(), "a small animal");
}

TEST_F(DictWindow, WildcardsListKeysAndCountThem) {
    Write("camel=1\r\ncat=2\r\ndog=3\r\nhog=4\r\nbear=5\r\n");
    Show();
    Search("ca*");
    EXPECT_EQ(Listed(), (V{"camel", "cat"}));
    EXPECT_EQ(Form->Pan->text(), "2");
    EXPECT_FALSE(Form->ButAll->isEnabled()) << "no all-files search with a star";
    Search("*og");
    EXPECT_EQ(Listed(), (V{"dog", "hog"}));
    Search("*a*");
    EXPECT_EQ(Listed(), (V{"camel", "cat", "bear"}));
    EXPECT_EQ(Form->Pan->text(), "3");
    Search("*");
    EXPECT_EQ(Listed().size(), 5u);
    EXPECT_EQ(Form->Pan->text(), "5");
    // Enter on an entry looks it up; the wildcard list stays.
    Form->Lb->setFocus();
    Form->Lb->setCurrentRow(3);
    QTest::keyClick(Form->Lb, Qt::Key_Return);
    EXPECT_EQ(Shown(), "4");
    EXPECT_EQ(Listed().size(), 5u);
    EXPECT_EQ(Current(), "hog");
}

TEST_F(DictWindow, TabbedValuesShowAsLinesAndAChangeJoinsThemAgain) {
    Write("cat=x\r\nword=one\ttwo\r\nzebra=z\r\n");
    Show();
    Search("word");
    EXPECT_EQ(Shown(), "one\r\ntwo");
    TDudiRiri& d = Form->Dic->Memo();
    d.SetSelStart(d.CharCount());
    d.SetSelTextBuf("\r\nthree");
    Form->Lb->setFocus();
    ASSERT_EQ(Current(), "word");
    QTest::keyClick(Form->Lb, Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(Form->Questions.size(), 1);
    EXPECT_TRUE(Form->Questions[0].contains("Change Item\nword\nwith new value?"));
    EXPECT_EQ(File(), "cat=x\r\nword=one\ttwo\tthree\r\nzebra=z\r\n") << "the other lines byte for byte";
}

TEST_F(DictWindow, DeleteAndChangeDoNothingWhenTheFileChangedUnderneath) {
    Write("cat=1\r\ndog=2\r\nowl=3\r\n");
    Show();
    Search("dog");
    Form->Lb->setFocus();
    Form->Answers = {false};
    QTest::keyClick(Form->Lb, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(File(), "cat=1\r\ndog=2\r\nowl=3\r\n") << "No keeps the item";
    Write("ant=0\r\ncat=1\r\ndog=2\r\nowl=3\r\n");
    QTest::keyClick(Form->Lb, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(File(), "ant=0\r\ncat=1\r\ndog=2\r\nowl=3\r\n") << "line 1 no longer holds dog";
    Search("dog");
    Form->Lb->setFocus();
    QTest::keyClick(Form->Lb, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(File(), "ant=0\r\ncat=1\r\nowl=3\r\n");
    EXPECT_EQ(Shown(), "") << "looked up again after the deletion";
}

TEST_F(DictWindow, AddSortAndCopy) {
    Write("dog=2\r\ncat=1");
    Show();
    Search("bird");
    Form->Dic->Memo().SetTextBuf("flies\r\nsings");
    QString asked;
    auto ok = [&](TFormSort& F) {
        asked = F.LbMessage->text();
        QTest::mouseClick(F.ButOk, Qt::LeftButton);
    };
    test::OnModal<TFormSort>(ok);
    QTest::mouseClick(Form->ButAdd, Qt::LeftButton);
    EXPECT_TRUE(asked.contains("bird=flies\tsings")) << asked.toStdString();
    EXPECT_EQ(File(), "dog=2\r\ncat=1\r\nbird=flies\tsings");
    EXPECT_EQ(Shown(), "flies\r\nsings") << "looked up again";
    test::OnModal<TFormSort>([](TFormSort& F) { QTest::mouseClick(F.ButCancel, Qt::LeftButton); });
    QTest::mouseClick(Form->ButSort, Qt::LeftButton);
    EXPECT_EQ(File(), "dog=2\r\ncat=1\r\nbird=flies\tsings") << "Cancel sorts nothing";
    test::OnModal<TFormSort>(ok);
    QTest::mouseClick(Form->ButSort, Qt::LeftButton);
    EXPECT_EQ(File(), "bird=flies\tsings\r\ncat=1\r\ndog=2");
    EXPECT_EQ(Form->windowTitle().toStdString(), "3 : " + Options.Dictionary);
    Form->Lb->setCurrentRow(1);
    Form->mCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "cat");
}

TEST_F(DictWindow, ClosingStopsTheSearchOfAllFilesAfterTheCurrentFile) {
    Write("word=first\r\n", "a.txt");
    Write("word=second\r\n", "b.txt");
    Write("word=third\r\n", "c.txt");
    Options.Dictionary = Dir.Path + "a.txt";
    Show();
    Search("word");
    EXPECT_EQ(Shown(), "first");
    // Without interruption every file answers.
    QTest::mouseClick(Form->ButAll, Qt::LeftButton);
    EXPECT_EQ(Shown(), "first\r\nsecond\r\nthird");
    QTimer::singleShot(0, Form.get(), [this] { Form->close(); });
    QTest::mouseClick(Form->ButAll, Qt::LeftButton);
    EXPECT_EQ(Shown(), "first");
    EXPECT_FALSE(Form->isVisible());
    EXPECT_FALSE(Saved.DictSize.empty()) << "the placement is stored at closing";
}

TEST_F(DictWindow, AMissingDictionaryGivesNothingAndTheWindowStaysUsable) {
    Options.Dictionary = Dir.Path + "none.txt";
    Show();
    Search("cat");
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(Listed().empty());
    EXPECT_FALSE(Form->mDelete->isEnabled());
    Options.Dictionary.clear();
    Show();
    Search("dog");
    EXPECT_EQ(Shown(), "");
    EXPECT_TRUE(Form->Messages.isEmpty());
    // Choosing a file makes it the dictionary.
    Write("dog=woof\r\n", "other.dic");
    Form->NextFile = QString::fromStdString(Dir.Path + "other.dic");
    QTest::mouseClick(Form->ButFile, Qt::LeftButton);
    EXPECT_EQ(Saved.Dictionary, Dir.Path + "other.dic");
    EXPECT_EQ(Shown(), "woof");
}

TEST_F(DictWindow, KeysF3F8AndDoubleClick) {
    Write("cat=a small animal, a friend^hunter\r\ndog=a friend\r\nfriend=a person\r\n");
    Options.Separ = "^";
    Show();
    Search("cat");
    EXPECT_EQ(Shown(), "a small animal, a friend\r\nhunter");
    Form->Ed->setEditText("friend");
    QTest::keyClick(Form->Ed->lineEdit(), Qt::Key_F3);
    EXPECT_EQ(Form->Dic->Memo().SelText(), "friend");
    QTest::keyClick(Form->Ed->lineEdit(), Qt::Key_F3);
    ASSERT_EQ(Form->Messages.size(), 1);
    EXPECT_EQ(Form->Messages[0], "friend\nNot found!        ");
    // A double-click on a word of Dic looks it up.
    TDudiRiri& d = Form->Dic->Memo();
    d.FormatPending();
    TRiriNavigator at(&d);
    at.SetPos(20);  // inside "friend"
    const TPoint p = at.PosToPixel();
    QTest::mouseDClick(Form->Dic->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(p.X + 1, static_cast<int>(p.Y) + 3));
    EXPECT_EQ(Form->Ed->currentText(), "friend");
    EXPECT_EQ(Shown(), "a person");
    // F8 puts the value into the main editor in place of its selection and closes.
    Main->Memo().SetTextBuf("<>");
    Main->Memo().SetSelStart(1);
    QTest::keyClick(Form->Dic, Qt::Key_F8);
    EXPECT_EQ(Main->Memo().Text(), "<a person>");
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(DictWindow, ViewerShowsAFileReadOnlyWithoutTheSidePanels) {
    Write("First line\r\nSecond line with the word target in it\r\n", "readme.txt");
    bool checked = false;
    // Checks once the modal loop runs (scrolling may run events before it starts).
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Form->isVisible() || !Form->isModal() || checked) return;
        poll.stop();
        EXPECT_TRUE(Form->ViewerMode());
        EXPECT_FALSE(Form->Lb->isVisible());
        EXPECT_FALSE(Form->PanButtons->isVisible());
        EXPECT_TRUE(Form->Dic->Memo().ReadOnly);
        EXPECT_EQ(Form->windowTitle(), "Read me, please!");
        EXPECT_EQ(Form->size(), QSize(700, 500));
        EXPECT_EQ(Form->Dic->Memo().SelText(), "target") << "scrolled to the text to find";
        QTest::keyClick(Form->Dic, Qt::Key_A);
        EXPECT_EQ(Form->Dic->Memo().Text(), "First line\r\nSecond line with the word target in it\r\n");
        checked = true;
        QTest::keyClick(Form->Dic, Qt::Key_Escape);
    });
    poll.start();
    EXPECT_TRUE(Form->ShowViewer(Dir.Path + "readme.txt", "Read me, please!", "target", false));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_FALSE(Form->ShowViewer(Dir.Path + "missing.txt", "x", "", false));
    // Back to the dictionary: everything returns.
    Write("cat=1\r\n");
    Show();
    EXPECT_FALSE(Form->ViewerMode());
    EXPECT_TRUE(Form->Lb->isVisible());
    EXPECT_FALSE(Form->Dic->Memo().ReadOnly);
    Search("cat");
    EXPECT_EQ(Shown(), "1");
}

}  // namespace
}  // namespace tarvex
