// The window's own parts: its dialogs as the user meets them, the status
// bar, the toolbar and the command states.

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <functional>

#include "app/qt/status_panels.h"
#include "tests/app_qt/window_fixture.h"

namespace tarvex {
namespace {

// A window that asks with real message boxes and file dialogs.
class RealDialogs : public ::testing::Test {
protected:
    TTempDir Dir;
    std::unique_ptr<TFrmMainTarvex> W;
    void Start(const std::string& Ini = {}) {
        WriteFile(Dir / "tarvex.ini", Ini);
        W = std::make_unique<TFrmMainTarvex>(TAppPaths::InFolder(Dir.Path()), false);
        W->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    }
    void TearDown() override {
        if (W) {
            W->Memo().Modified = false;
            W->close();
        }
    }
};

TEST_F(RealDialogs, SaveAsUtf8ThroughTheDialogWritesUtf8WithAMark) {
    Start();
    const std::string text = Utf8ToCp1251("Съешь же ещё этих мягких французских булок");
    W->Memo().SetTextBuf(text);
    const std::string target = Dir / "saved.txt";
    WhenModal<QFileDialog>([target](QFileDialog& D) {
        auto* types = D.findChild<QComboBox*>("fileTypeCombo");
        auto* name = D.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(types && name);
        ASSERT_EQ(types->currentIndex(), 0);
        QTest::keyClick(types, Qt::Key_Down);  // "UTF-8 files (*.txt)", chosen as a user does
        ASSERT_EQ(types->currentIndex(), 1);
        name->setText(QString::fromStdString(target));
        QTest::keyClick(name, Qt::Key_Return);
    });
    W->Action("mSaveAs")->trigger();
    EXPECT_EQ(ReadFile(target), "\xEF\xBB\xBF" + Cp1251ToUtf8(text));
    EXPECT_EQ(W->StatusText(5).toStdString(), target) << "the status bar names the new file";
}

TEST_F(RealDialogs, TheRussianInterfaceSpeaksRussianInMessageBoxesAndFileDialogs) {
    Start("[Options]\nLang=1\n");
    W->Memo().SetTextBuf("draft");
    W->Memo().Modified = true;
    QStringList buttons;
    WhenModal<QMessageBox>([&buttons](QMessageBox& B) {
        for (QAbstractButton* b : B.buttons()) buttons << b->text();
        B.button(QMessageBox::Cancel)->click();
    });
    W->Action("mNew")->trigger();
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("&Да")) && buttons.contains(QString::fromUtf8("&Нет")) &&
                buttons.contains(QString::fromUtf8("Отмена")))
        << buttons.join('|').toStdString();
    EXPECT_EQ(W->Memo().Text(), "draft") << "Cancel kept the text";

    W->Memo().Modified = false;
    QStringList dialogButtons;
    WhenModal<QFileDialog>([&dialogButtons](QFileDialog& D) {
        for (QAbstractButton* b : D.findChildren<QAbstractButton*>()) dialogButtons << b->text();
        D.reject();
    });
    W->Action("mOpen")->trigger();
    EXPECT_TRUE(dialogButtons.contains(QString::fromUtf8("Отмена"))) << dialogButtons.join('|').toStdString();
}

TEST_F(MainWindow, AlwaysOnTopKeepsTheWindowAndTheKeyboard) {
    Start();
    W->Med->setFocus();
    const WId before = W->winId();
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(W->Action("mTop")->isChecked());
    EXPECT_TRUE(W->Action("ButTop")->isChecked()) << "the button follows the menu item";
    EXPECT_EQ(W->winId(), before) << "the same window, not a new one";
    Type("abc");
    EXPECT_EQ(M().Text(), "abc") << "what is typed right after the switch reaches the text";
    W->Action("ButTop")->trigger();
    EXPECT_FALSE(W->Action("mTop")->isChecked());
}

TEST_F(MainWindow, SelectionPanelFollowsEveryCommand) {
    Start();
    Type("hello world");
    W->Action("mSelectAll")->trigger();
    EXPECT_EQ(W->StatusText(4), "sel: 11");
    W->Action("mCut")->trigger();
    EXPECT_EQ(M().Text(), "");
    EXPECT_EQ(W->StatusText(4), "") << "no stale selection length after Cut";
    W->Action("mPaste")->trigger();
    EXPECT_EQ(M().Text(), "hello world");
    EXPECT_EQ(W->StatusText(0), " pos: 11");
}

TEST_F(MainWindow, ConvertAndSaveAsWaitForText) {
    Start();
    auto* convert = W->findChild<QMenu*>("mConvert");
    ASSERT_NE(convert, nullptr);
    EXPECT_FALSE(convert->menuAction()->isEnabled()) << "nothing to convert in an empty document";
    EXPECT_FALSE(W->Action("mSaveAs")->isEnabled());
    Type("x");
    EXPECT_TRUE(convert->menuAction()->isEnabled());
    EXPECT_TRUE(W->Action("mSaveAs")->isEnabled());
}

TEST_F(MainWindow, EditButtonsHaveIcons) {
    Start();
    for (const char* b : {"ButCut", "ButCopy", "ButPaste", "ButUndo", "ButRedo", "ButOpen", "ButSave"}) {
        ASSERT_NE(W->Action(b), nullptr) << b;
        EXPECT_FALSE(W->Action(b)->icon().isNull()) << b;
    }
    EXPECT_EQ(W->Action("ButOpen")->toolTip(), "Open File");
    W->Action("mLang")->trigger();
    EXPECT_EQ(W->Action("ButCut")->toolTip(), QString::fromUtf8("Вырезать")) << "hints follow the language";
}

TEST(StatusPanels, EveryDigitShowsAndNoPanelOverlapsAnother) {
    TStatusPanels p;
    p.SetText(0, " pos: 3,222,000,000,000,000");
    p.SetText(1, " parg: 100,000,000");
    p.SetText(2, " line: 2,000,000,000");
    p.SetText(3, " col: 5,242,898");
    p.SetText(4, "sel: 3,222,000,000");
    p.SetText(5, "/a/long/path/to/a/file.txt");
    for (const int width : {1400, 900, 500, 200}) {
        p.resize(width, p.sizeHint().height());
        for (int i = 0; i < 5; ++i) {
            const QRect r = p.PanelRect(i);
            EXPECT_GE(r.width(), p.fontMetrics().horizontalAdvance(p.Text(i))) << "panel " << i << " at " << width;
            EXPECT_LE(r.right(), p.PanelRect(i + 1).left()) << "panels " << i << " and " << i + 1 << " at " << width;
        }
    }
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST_F(MainWindow, CalculatorKeysInsertResultsAndReportErrors) {
    Start();
    Type("2+3*4");
    Key(Qt::Key_F6);
    EXPECT_EQ(M().Text(), "2+3*4=14");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().Text(), "2+3*4") << "one undo step";
    Key(Qt::Key_End);
    Type("+(");
    Key(Qt::Key_F6);
    EXPECT_EQ(M().Text(), "2+3*4+(") << "an error inserts nothing";
    ASSERT_EQ(W->P.Errors.size(), 1u);
}

}  // namespace
}  // namespace tarvex

#include <QClipboard>
#include <QMimeData>

#include "output/qt/print_preview.h"
#include "tools/rtf_to_text.h"

namespace tarvex {
namespace {

TEST_F(MainWindow, SaveAsRtfExportsAndKeepsTheDocument) {
    WriteFile(Dir / "doc.txt", Win("Жук и {скобки}"));
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "doc.txt", 0));
    Type("x");
    W->P.SaveName = Dir / "copy";
    W->P.SaveFilter = 3;
    W->Action("mSaveAs")->trigger();
    const std::string rtf = ReadFile(Dir / "copy.rtf");
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u) << "\".rtf\" added, an RTF document written";
    EXPECT_NE(RtfToText(rtf).find(Win("xЖук и {скобки}")), std::string::npos);
    EXPECT_EQ(W->FileName(), Dir / "doc.txt") << "an export leaves the document where it was";
    EXPECT_TRUE(M().Modified);
}

TEST_F(MainWindow, CopyAsRtfPutsBothForms) {
    Start();
    Type("bold words");
    W->Action("mSelectAll")->trigger();
    W->Action("mCopyRTF")->trigger();
    const QMimeData* d = QApplication::clipboard()->mimeData();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->hasFormat("text/rtf"));
    EXPECT_EQ(d->text(), "bold words");
}

TEST_F(MainWindow, PrintPreviewShowsThePages) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
    WriteFile(Dir / "p.txt", text);
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "p.txt", 0));
    QString title;
    WhenModal<TFrmDRPrintPreview>([&title](TFrmDRPrintPreview& P) {
        title = P.windowTitle();
        P.close();
    });
    W->Action("mPreview")->trigger();
    EXPECT_EQ(title, "p.txt");
    EXPECT_TRUE(W->P.Errors.empty()) << Join(W->P.Errors);
}

}  // namespace
}  // namespace tarvex

#include "spell/qt/form_dict.h"
#include "spell/qt/form_spell.h"

namespace tarvex {
namespace {

TEST_F(MainWindow, ReadMeOpensTheManualOrSaysItIsMissing) {
    Start();
    Key(Qt::Key_F1);
    ASSERT_EQ(W->P.Errors.size(), 1u);
    EXPECT_EQ(W->P.Errors[0], Dir / "Tarvex Readme.txt not found!");
    WriteFile(Dir / "Tarvex Readme.txt", "The manual\r\n");
    QString title;
    bool viewer = false;
    WhenModal<TFormDict>([&](TFormDict& D) {
        title = D.windowTitle();
        viewer = D.ViewerMode();
        D.close();
    });
    Key(Qt::Key_F1);
    EXPECT_EQ(title, "Read me, please!");
    EXPECT_TRUE(viewer);
    EXPECT_EQ(W->P.Errors.size(), 1u);
}

TEST_F(MainWindow, SpellCheckWaitsForTextAndTheDictionaryOpens) {
    Start();
    EXPECT_FALSE(W->Action("mSpellCheck")->isEnabled());
    EXPECT_FALSE(W->Action("ButSpell")->isEnabled());
    EXPECT_TRUE(W->Action("mDict")->isEnabled());
    Key(Qt::Key_F8);
    auto* dict = W->findChild<TFormDict*>();
    ASSERT_NE(dict, nullptr);
    EXPECT_TRUE(dict->isVisible());
    dict->close();
    Type("wrod");
    EXPECT_TRUE(W->Action("mSpellCheck")->isEnabled());
}

}  // namespace
}  // namespace tarvex

#include "highlight/factory.h"

namespace tarvex {
namespace {

TEST_F(MainWindow, HighlighterFollowsTheFileAndTheMenu) {
    WriteFile(Dir / "unit.pas", "begin { comment } end.");
    WriteFile(Dir / "notes.txt", "see http://example.com");
    Start();
    EXPECT_TRUE(W->Action("mUrl")->isChecked()) << "Highlight=1 starts with the URL highlighter";
    ASSERT_TRUE(W->LoadFile(Dir / "unit.pas", 0));
    EXPECT_TRUE(W->Action("mPas")->isChecked());
    EXPECT_NE(M().Highlighter(), nullptr);
    ASSERT_TRUE(W->LoadFile(Dir / "notes.txt", 0));
    EXPECT_TRUE(W->Action("mUrl")->isChecked());
    W->Action("mNone")->trigger();
    EXPECT_EQ(M().Highlighter(), nullptr);
    ASSERT_TRUE(W->LoadFile(Dir / "unit.pas", 0));
    EXPECT_TRUE(W->Action("mNone")->isChecked()) << "None stays chosen across loads";
    EXPECT_EQ(M().Highlighter(), nullptr);
    W->Action("mSql")->trigger();
    EXPECT_FALSE(W->LoadFile(Dir / "missing.sql", 0));
    EXPECT_NE(M().Highlighter(), nullptr) << "a failed load keeps the highlighter";
    EXPECT_TRUE(W->close());
    TIniFile ini;
    ini.Parse(ReadFile(Dir / "tarvex.ini"));
    EXPECT_EQ(ini.ReadInteger("Options", "Highlight", -1), 1);
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST_F(MainWindow, LongWorkKeepsTheTextAndCommandsStillAndEscStopsIt) {
    Start();
    Type("text");
    W->WorkStarts();
    EXPECT_FALSE(W->Action("mSave")->isEnabled());
    EXPECT_FALSE(W->Action("mNew")->isEnabled());
    Type("more");
    EXPECT_EQ(M().Text(), "text") << "nothing changes the text while it is written";
    EXPECT_TRUE(W->KeepWorking());
    EXPECT_FALSE(W->close()) << "the window waits for the work";
    Key(Qt::Key_Escape);
    EXPECT_FALSE(W->KeepWorking()) << "Esc asks to stop";
    W->WorkEnds();
    EXPECT_TRUE(W->Action("mNew")->isEnabled());
    Type("!");
    EXPECT_EQ(M().Text(), "text!");
}

}  // namespace
}  // namespace tarvex
