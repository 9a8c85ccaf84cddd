// The spelling check window driven through its buttons over a real editor
// window, with a dictionary made by the test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "app/word_separators.h"
#include "editor/qt/riri_widget.h"
#include "spell/qt/form_spell.h"
#include "tests/spell/spell_test_util.h"

namespace tarvex {
namespace {

using test::W;

class TTestFormSpell : public TFormSpell {
public:
    using TFormSpell::TFormSpell;
    QStringList Messages;

protected:
    void ShowMessage(const QString& Text) override { Messages << Text; }
};

class SpellWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!THunspellLibrary::LoadSystem()) GTEST_SKIP() << "libhunspell is not installed";
        test::WriteHunspellPair(Dicts.Path, "ru_RU", "KOI8-R");
        // A second dictionary that knows other words.
        test::WriteFile(Dicts.Path + "en_US.aff", "SET UTF-8\n");
        test::WriteFile(Dicts.Path + "en_US.dic", "2\nhello\nwrold\n");
        Med = std::make_unique<TRiriWidget>();
        Med->resize(500, 300);
        M().SetSeparators(AppWordSeparators());
        Med->show();
        Form = std::make_unique<TTestFormSpell>(M(), Dicts.Path);
        Form->CustomPath = Dicts.Path + "cust.dic";
        const std::string dir = Dicts.Path;
        Form->PlacesFor = [dir](const TSpellOptions&) {
            TSpellPlaces p;
            p.ProgramDir = dir;
            p.HunspellDirs.clear();
            p.UseAspell = false;
            return p;
        };
        Form->OnOptionsChanged = [this](const TSpellOptions& O) { Saved = O; };
        Options.SpellName = "hunspell - ru_ru";
    }
    TDudiRiri& M() { return Med->Memo(); }
    void SetText(std::string_view T) {
        M().SetTextBuf(T);
        M().FormatPending();
    }
    // Runs events until the walk stops (at a word, at the end, or stopped).
    void WaitForWalk() {
        for (int i = 0; i < 20000 && Form->Walking(); ++i) QApplication::processEvents();
        ASSERT_FALSE(Form->Walking());
    }
    void Click(QPushButton* B) {
        ASSERT_TRUE(B->isEnabled()) << B->objectName().toStdString();
        QTest::mouseClick(B, Qt::LeftButton);
    }
    std::string Selected() { return M().SelText(); }

    test::TTempDir Dicts;
    std::unique_ptr<TRiriWidget> Med;
    std::unique_ptr<TTestFormSpell> Form;
    TSpellOptions Options, Saved;
};

TEST_F(SpellWindow, WalksFromTheCaretAndReplacesThroughTheEditor) {
    SetText(W("кот и сабака\r\nмалоко дом"));
    M().SetSelStart(4);  // before "и"
    Form->Execute(Options, false);
    EXPECT_EQ(Form->CbEngine->count(), 2);
    EXPECT_EQ(Form->CbEngine->currentText(), "hunspell - ru_ru");
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("и"));
    EXPECT_EQ(Selected(), W("и")) << "the word is selected in the editor";
    Click(Form->ButIgnore);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("сабака"));
    EXPECT_EQ(Form->CurrentPos(), 6);
    ASSERT_GT(Form->LbSuggest->count(), 0);
    EXPECT_EQ(Form->LbSuggest->item(0)->text(), QString::fromUtf8("собака"));
    EXPECT_EQ(Form->EdWord->text(), QString::fromUtf8("собака")) << "the first suggestion is offered";
    EXPECT_TRUE(Form->LabContext->text().contains(QString::fromUtf8("сабака")));
    Click(Form->ButReplace);
    EXPECT_EQ(M().Text(), W("кот и собака\r\nмалоко дом"));
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("малоко"));
    // A different replacement typed in by hand.
    Form->EdWord->setText(QString::fromUtf8("молоко"));
    Click(Form->ButReplace);
    WaitForWalk();
    EXPECT_EQ(M().Text(), W("кот и собака\r\nмолоко дом"));
    EXPECT_TRUE(Form->CurrentWord().empty()) << "the walk wrapped round to the caret and ended";
    EXPECT_FALSE(Form->Walking());
    EXPECT_TRUE(Form->StatusText().contains("complete"));
    M().Undo();
    EXPECT_EQ(M().Text(), W("кот и собака\r\nмалоко дом")) << "each replacement is one undo step";
    M().Undo();
    EXPECT_EQ(M().Text(), W("кот и сабака\r\nмалоко дом"));
}

TEST_F(SpellWindow, ReplaceAllIgnoreAllAndAddToTheUserList) {
    SetText(W("сабака и сабака, превед превед! сабака ёжик"));
    M().SetSelStart(0);
    Form->Execute(Options, true);
    WaitForWalk();
    ASSERT_EQ(Form->CurrentWord(), W("сабака"));
    Click(Form->ButReplaceAll);
    WaitForWalk();
    ASSERT_EQ(Form->CurrentWord(), W("и"));
    Click(Form->ButIgnoreAll);
    WaitForWalk();
    ASSERT_EQ(Form->CurrentWord(), W("превед"));
    Click(Form->ButAdd);
    WaitForWalk();
    ASSERT_EQ(Form->CurrentWord(), W("ёжик")) << "later copies are replaced or accepted without asking";
    EXPECT_EQ(M().Text(), W("собака и собака, превед превед! собака ёжик"));
    Form->close();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(test::ReadFile(Dicts.Path + "cust.dic"), W("превед") + "\r\n") << "saved at closing";
    EXPECT_FALSE(Saved.SpellSize.empty()) << "the placement is stored";
    // The next showing reads the list back.
    M().SetSelStart(0);
    Form->Execute(Options, true);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("и"));
    EXPECT_TRUE(Form->windowTitle() == QString::fromUtf8("Орфография"));
}

TEST_F(SpellWindow, ChoosingAnotherEntryReopensAndStoresItsName) {
    SetText("hello wrold");
    Form->Execute(Options, false);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), "wrold");
    ASSERT_EQ(Form->CbEngine->itemText(0), "hunspell - en_us");
    Form->CbEngine->setCurrentIndex(0);
    emit Form->CbEngine->activated(0);
    EXPECT_EQ(Saved.SpellName, "hunspell - en_us");
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), "") << "the other dictionary knows every word";
    EXPECT_TRUE(Form->StatusText().contains("complete"));
}

TEST_F(SpellWindow, SkipLatinWordsWithSpellRus) {
    SetText(W("hello wrold сабака"));
    Options.SpellRus = true;
    Form->Execute(Options, false);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("сабака"));
}

TEST_F(SpellWindow, TheWalkLetsEventsThroughAndStops) {
    std::string text;
    for (int i = 0; i < 300000; ++i) text += W("кот собака дом ");
    text += W("сабака");
    SetText(text);
    Form->SliceMs = 1;
    Form->Execute(Options, false);
    ASSERT_TRUE(Form->Walking());
    // A timer fires while the walk goes on: the window answers.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    EXPECT_TRUE(fired);
    ASSERT_TRUE(Form->Walking()) << "the text is long enough to still be walking";
    Click(Form->ButStop);
    EXPECT_FALSE(Form->Walking());
    const TPos at = Form->WalkPosition();
    EXPECT_LT(at, M().CharCount());
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    EXPECT_EQ(Form->WalkPosition(), at) << "a stopped walk stays where it is";
    EXPECT_TRUE(Form->ButStart->isEnabled());
    Click(Form->ButStart);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("сабака")) << "Continue goes on from there";
}

TEST_F(SpellWindow, NoEngineSaysSoAndAnUnopenableEntryClearsTheName) {
    Form->PlacesFor = [](const TSpellOptions&) {
        TSpellPlaces p;
        p.ProgramDir = "/nonexistent/";
        p.HunspellDirs.clear();
        p.UseAspell = false;
        return p;
    };
    SetText("text");
    Form->Execute(Options, false);
    ASSERT_EQ(Form->Messages.size(), 1);
    EXPECT_EQ(Form->Messages[0], "Spell engine not found!");
    EXPECT_EQ(Form->CbEngine->count(), 0);
    EXPECT_FALSE(Form->ButStart->isEnabled());
    // An entry whose files went away after the search.
    Form->PlacesFor = nullptr;
    Form->close();
    test::TTempDir other;
    test::WriteHunspellPair(other.Path, "xx_XX", "UTF-8");
    TSpellOptions o;
    o.SpellName = "hunspell - xx_xx";
    o.SpellDir = other.Path;
    Form->PlacesFor = [&](const TSpellOptions& O) {
        TSpellPlaces p;
        p.SpellDir = O.SpellDir;
        p.HunspellDirs.clear();
        p.UseAspell = false;
        std::filesystem::remove(other.Path + "xx_XX.dic");
        return p;
    };
    Saved.SpellName = "unchanged";
    Form->Execute(o, false);
    EXPECT_EQ(Form->CbEngine->currentIndex(), -1);
    EXPECT_EQ(Saved.SpellName, "") << "SpellName is cleared";
    EXPECT_TRUE(Form->StatusText().contains("not found"));
}

TEST_F(SpellWindow, AReadOnlyTextCanBeCheckedButNotChanged) {
    SetText(W("сабака"));
    M().ReadOnly = true;
    Form->Execute(Options, false);
    WaitForWalk();
    EXPECT_EQ(Form->CurrentWord(), W("сабака"));
    EXPECT_FALSE(Form->ButReplace->isEnabled());
    EXPECT_FALSE(Form->ButReplaceAll->isEnabled());
    EXPECT_TRUE(Form->ButIgnore->isEnabled());
}

TEST_F(SpellWindow, AWordEditedMeanwhileIsCheckedAgainNotReplaced) {
    SetText(W("сабака дом"));
    Form->Execute(Options, false);
    WaitForWalk();
    ASSERT_EQ(Form->CurrentWord(), W("сабака"));
    M().SetSelStart(0);
    M().SetSelLength(6);
    M().SetSelTextBuf(W("кошка"));
    Click(Form->ButReplace);
    WaitForWalk();
    EXPECT_EQ(M().Text(), W("кошка дом")) << "nothing replaced over the new text";
    EXPECT_EQ(Form->CurrentWord(), W("кошка"));
}

}  // namespace
}  // namespace tarvex
