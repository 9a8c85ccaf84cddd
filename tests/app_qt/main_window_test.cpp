// The main window driven like a user drives it: keys, menu commands, drops,
// with the questions answered by the test and the files checked byte by byte.

#include "tests/app_qt/window_fixture.h"

namespace tarvex {
namespace {

TEST_F(MainWindow, OpenTypeSaveReopen) {
    const std::string original = Win("Первая строка\nsecond line\n");
    WriteFile(Dir / "doc.txt", original);
    Start();
    EXPECT_EQ(W->windowTitle(), "Untitled - tarvex");
    ASSERT_TRUE(W->LoadFile(Dir / "doc.txt", 0));
    EXPECT_EQ(W->windowTitle(), "doc.txt - tarvex");
    EXPECT_FALSE(W->SaveEnabled());
    WaitForLayout();
    Key(Qt::Key_End, Qt::ControlModifier);
    Type(QString::fromUtf8("abc ёЖ"));
    EXPECT_TRUE(M().Modified);
    EXPECT_TRUE(W->SaveEnabled());
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(W->P.Errors.empty()) << Join(W->P.Errors);
    EXPECT_EQ(ReadFile(Dir / "doc.txt"), original + Win("abc ёЖ")) << "LF breaks kept, the letters added";
    EXPECT_FALSE(M().Modified);
    EXPECT_FALSE(W->SaveEnabled());
    Type("!");
    Key(Qt::Key_F2);
    EXPECT_EQ(ReadFile(Dir / "doc.txt"), original + Win("abc ёЖ!")) << "F2 saves too";
    ASSERT_TRUE(W->LoadFile(Dir / "doc.txt", 0));
    EXPECT_EQ(M().Text(), Win("Первая строка\r\nsecond line\r\nabc ёЖ!"));
    EXPECT_TRUE(W->P.Questions.empty()) << Join(W->P.Questions);
}

TEST_F(MainWindow, ConvertedDocumentsCanBeSavedUnmodified) {
    WriteFile(Dir / "u.txt", "\xD0\x96\xD1\x83\xD0\xBA\r\n");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "u.txt", 0));
    EXPECT_FALSE(M().Modified);
    EXPECT_TRUE(W->SaveEnabled()) << "the UTF-8 file can be saved as Windows-1251";
    W->P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(SaveDocument(*W));
    EXPECT_EQ(W->P.Questions.back(), "Attention! Source file is UTF-8! Continue saving?");
    EXPECT_EQ(ReadFile(Dir / "u.txt"), "\xD0\x96\xD1\x83\xD0\xBA\r\n") << "No keeps the UTF-8 file";
    W->P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(SaveDocument(*W));
    EXPECT_EQ(ReadFile(Dir / "u.txt"), Win("Жук\r\n"));
}

TEST_F(MainWindow, DiscardQueryAnswers) {
    WriteFile(Dir / "a.txt", "text");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "a.txt", 0));
    Key(Qt::Key_End, Qt::ControlModifier);
    Type("1");
    W->P.Answers = {TPrompts::paCancel};
    W->Action("mNew")->trigger();
    ASSERT_EQ(W->P.Questions.size(), 1u);
    EXPECT_EQ(W->P.Questions[0], "Save changes to\n\"a.txt\"?");
    EXPECT_EQ(M().Text(), "text1") << "Cancel keeps the document";
    EXPECT_EQ(W->FileName(), Dir / "a.txt");
    W->P.Answers = {TPrompts::paNo};
    W->Action("mNew")->trigger();
    EXPECT_EQ(M().Text(), "");
    EXPECT_EQ(W->FileName(), "");
    EXPECT_EQ(W->windowTitle(), "Untitled - tarvex");
    EXPECT_EQ(ReadFile(Dir / "a.txt"), "text") << "No discards";
    // Yes saves first; an untitled document goes through Save As.
    Type("fresh");
    W->P.SaveName = Dir / "fresh";
    W->P.Answers = {TPrompts::paYes};
    W->Action("mNew")->trigger();
    EXPECT_EQ(W->P.Questions.back(), "Save changes to\n\"Untitled\"?");
    EXPECT_EQ(ReadFile(Dir / "fresh.txt"), "fresh") << "\".txt\" is added to a name without extension";
    EXPECT_EQ(M().Text(), "");
    // A cancelled Save As keeps the document: nothing was saved.
    Type("keep me");
    W->P.SaveName.clear();
    W->P.Answers = {TPrompts::paYes};
    W->Action("mNew")->trigger();
    EXPECT_EQ(M().Text(), "keep me");
    EXPECT_TRUE(M().Modified);
}

TEST_F(MainWindow, AFailingSaveKeepsTheOldFileAndModified) {
    WriteFile(Dir / "doc.txt", "precious");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "doc.txt", 0));
    Key(Qt::Key_End, Qt::ControlModifier);
    Type(" edit");
    TReadOnlyFolder ro(Dir.Path());
    if (!ro.Works()) GTEST_SKIP() << "no way to make a folder read-only here";
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(W->P.Errors.size(), 1u);
    EXPECT_TRUE(W->P.Errors[0].find("doc.txt") != std::string::npos) << W->P.Errors[0];
    EXPECT_EQ(ReadFile(Dir / "doc.txt"), "precious");
    EXPECT_TRUE(M().Modified);
    EXPECT_TRUE(W->SaveEnabled());
    // Closing: Yes to saving, the save fails, the window stays.
    W->P.Answers = {TPrompts::paYes};
    EXPECT_FALSE(W->close());
    EXPECT_TRUE(W->isVisible());
    EXPECT_EQ(M().Text(), "precious edit");
    ro.Release();
    W->P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(W->close());
    EXPECT_EQ(ReadFile(Dir / "doc.txt"), "precious edit");
}

TEST_F(MainWindow, SourceFormatAndChangedOnDiskQuestions) {
    WriteFile(Dir / "r.rtf", "{\\rtf1 plain}");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "r.rtf", 0));
    W->P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(SaveDocument(*W));
    EXPECT_TRUE(StartsWith(W->P.Questions.back(), "Attention! Source file is .RTF!"));
    EXPECT_EQ(ReadFile(Dir / "r.rtf"), "{\\rtf1 plain}");
    WriteFile(Dir / "p.htm", "<p>one</p>");
    ASSERT_TRUE(W->LoadFile(Dir / "p.htm", 0));
    W->P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(SaveDocument(*W)) << "HTML shown as text is a source too";
    EXPECT_EQ(ReadFile(Dir / "p.htm"), "<p>one</p>");

    WriteFile(Dir / "t.txt", "mine");
    ASSERT_TRUE(W->LoadFile(Dir / "t.txt", 0));
    Type("x");
    WriteFile(Dir / "t.txt", "theirs");
    const auto later = std::filesystem::last_write_time(Dir / "t.txt") + std::chrono::seconds(5);
    std::filesystem::last_write_time(Dir / "t.txt", later);
    W->P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(SaveDocument(*W));
    EXPECT_TRUE(StartsWith(W->P.Questions.back(), "File was changed "));
    EXPECT_EQ(ReadFile(Dir / "t.txt"), "theirs");
    W->P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(SaveDocument(*W));
    EXPECT_EQ(ReadFile(Dir / "t.txt"), "xmine");
    EXPECT_TRUE(SaveDocument(*W)) << "no question once the date is the saved file's";
}

TEST_F(MainWindow, SaveAsUtf8WritesAMarkAndLeavesTheDocumentAlone) {
    WriteFile(Dir / "w.txt", Win("Ёжик в тумане\n"));
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "w.txt", 0));
    Type("x");
    W->P.SaveName = Dir / "out.txt";
    W->P.SaveFilter = 2;
    EXPECT_TRUE(W->Doc().SaveAs());
    EXPECT_EQ(ReadFile(Dir / "out.txt"), "\xEF\xBB\xBFx" + std::string("Ёжик в тумане\n"));
    EXPECT_TRUE(M().Modified) << "UTF-8 is a copy: the document is still unsaved";
    EXPECT_EQ(W->FileName(), Dir / "out.txt");
}

TEST_F(MainWindow, SettingsAreReadAppliedAndWrittenBack) {
    WriteFile(Dir / "tarvex.ini",
              "[Window]\nMainSize=L30;T40;W640;H480\n[Options]\nToolBar=0\nLang=1\nMaxFiles=3\nTabStops=4\n"
              "SkipNull=1\nSpellName=keep-me\nUnknownKey=stays\n[Files]\n/no/such/a.txt>12=\n/no/such/b.txt=\n");
    WriteFile(Dir / "n.txt", std::string("a\0b", 3));
    Start();
    EXPECT_FALSE(W->findChild<QToolBar*>()->isVisible());
    EXPECT_FALSE(W->Action("mToolbar")->isChecked());
    EXPECT_EQ(W->findChild<QMenu*>("mFile")->title(), QString::fromUtf8("&Файл"));
    EXPECT_EQ(W->Action("mLang")->text(), "E&ng");
    EXPECT_EQ(M().TabStops(), 4);
    ASSERT_EQ(W->History().Items().size(), 2u);
    EXPECT_EQ(W->HistoryMenu()->actions().size(), 2);
    EXPECT_EQ(W->HistoryMenu()->actions()[0]->text(), "/no/such/a.txt");
    ASSERT_TRUE(W->LoadFile(Dir / "n.txt", 0));
    EXPECT_EQ(M().Text(), "a b") << "SkipNull turns NUL bytes into blanks";
    W->Action("mLang")->trigger();
    EXPECT_EQ(W->findChild<QMenu*>("mFile")->title(), "&File");
    EXPECT_TRUE(W->close());
    TIniFile ini;
    ini.Parse(ReadFile(Dir / "tarvex.ini"));
    EXPECT_EQ(ini.ReadString("Options", "SpellName", ""), "keep-me") << "values of later features come back";
    EXPECT_EQ(ini.ReadString("Options", "UnknownKey", ""), "stays");
    EXPECT_EQ(ini.ReadInteger("Options", "Lang", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Options", "ToolBar", -1), 0);
    EXPECT_EQ(ini.ReadString("Window", "MainSize", "").rfind("L", 0), 0u);
    const auto files = ini.SectionLines("Files");
    ASSERT_EQ(files.size(), 3u) << "MaxFiles 3";
    EXPECT_EQ(files[0], Dir / "n.txt=");
    EXPECT_EQ(files[1], "/no/such/a.txt>12=");
}

TEST_F(MainWindow, MaximizedPlacementKeepsTheRestoredBounds) {
    WriteFile(Dir / "tarvex.ini", "[Window]\nMainSize=ML10;T20;W300;H200\n");
    Start();
    EXPECT_TRUE(W->isMaximized() || W->windowState() & Qt::WindowMaximized);
    EXPECT_TRUE(W->close());
    TIniFile ini;
    ini.Parse(ReadFile(Dir / "tarvex.ini"));
    EXPECT_EQ(ini.ReadString("Window", "MainSize", ""), "ML10;T20;W300;H200");
}

TEST_F(MainWindow, HistoryRemembersThePlaceAndMaxFilesZeroHidesIt) {
    std::string long_text;
    for (int i = 0; i < 400; ++i) long_text += "line " + std::to_string(i) + "\n";
    WriteFile(Dir / "a.txt", long_text);
    WriteFile(Dir / "b.txt", "b");
    WriteFile(Dir / "tarvex.ini", "[Options]\nMemFirstLine=0\n");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "a.txt", 0));
    WaitForLayout();
    M().SetSelStart(3000);
    ASSERT_TRUE(W->LoadFile(Dir / "b.txt", 0));
    ASSERT_FALSE(W->History().Items().empty());
    EXPECT_EQ(W->History().Items()[0], (THistory::TItem{Dir / "a.txt", 3000}));
    OpenFromHistory(*W, 0);
    EXPECT_EQ(W->FileName(), Dir / "a.txt");
    EXPECT_EQ(M().SelStart(), 3000);
    EXPECT_EQ(M().TopLine(), M().SelLine()) << "the caret's line is the first one shown";
    ASSERT_TRUE(W->LoadFile(Dir / "b.txt", 0));
    ASSERT_TRUE(W->LoadFile(Dir / "a.txt", 0));
    EXPECT_EQ(M().SelStart(), 3000) << "without a position, the history's";
    W->close();
    W.reset();

    WriteFile(Dir / "tarvex.ini", "[Options]\nMaxFiles=0\n[Files]\n/x.txt=\n");
    Start();
    EXPECT_TRUE(W->History().Items().empty()) << "MaxFiles 0: the history is not read";
    EXPECT_FALSE(W->HistoryMenu()->menuAction()->isVisible());
    ASSERT_TRUE(W->LoadFile(Dir / "a.txt", 0));
    ASSERT_TRUE(W->LoadFile(Dir / "b.txt", 0));
    EXPECT_TRUE(W->History().Items().empty());
}

TEST_F(MainWindow, StatusBarPanels) {
    WriteFile(Dir / "s.txt", "ABC\r\n" + std::string(1500, 'x'));
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "s.txt", 0));
    WaitForLayout();
    EXPECT_EQ(W->StatusText(5).toStdString(), Dir / "s.txt");
    Key(Qt::Key_Right);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(W->StatusText(0), " pos: 2") << "the caret sits after the selected B";
    EXPECT_EQ(W->StatusText(1), " parg: 1");
    EXPECT_EQ(W->StatusText(2), " line: 1");
    EXPECT_EQ(W->StatusText(3), " col: 3");
    EXPECT_EQ(W->StatusText(4), "cod: 66");
    Key(Qt::Key_Down);
    Key(Qt::Key_Home);
    Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(W->StatusText(4), "sel: 1,500");
    EXPECT_EQ(W->StatusText(0), " pos: 1,505");
    EXPECT_EQ(W->StatusText(1), " parg: 2");
    Key(Qt::Key_Left);
    EXPECT_EQ(W->StatusText(4), "");
}

TEST_F(MainWindow, ShortTextsAreLaidOutWithoutLeavingAnEdit) {
    WriteFile(Dir / "short.txt", "one\ntwo\n");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "short.txt", 0));
    WaitForLayout();
    EXPECT_FALSE(W->JustLoaded());
    EXPECT_EQ(M().Text(), "one\r\ntwo\r\n");
    EXPECT_FALSE(M().Modified);
    EXPECT_FALSE(M().CanUndo());
    EXPECT_FALSE(M().CanRedo());
    EXPECT_FALSE(W->SaveEnabled()) << "the edit that forces the layout does not count";
}

TEST_F(MainWindow, LargeFilesShowTheirStartFirstAndEndUpComplete) {
    std::string text;
    for (int i = 0; text.size() < (5u << 20); ++i) text += "line number " + std::to_string(i) + " of a long file\r\n";
    WriteFile(Dir / "big.txt", text);
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "big.txt", 0));
    EXPECT_EQ(M().CharCount(), static_cast<TPos>(text.size()));
    EXPECT_EQ(M().ParagraphCount(), std::count(text.begin(), text.end(), '\n') + 1);
    EXPECT_FALSE(M().Modified);
    EXPECT_FALSE(M().CanUndo());
    WaitForLayout();
    Key(Qt::Key_End, Qt::ControlModifier);
    Type("end");
    EXPECT_TRUE(SaveDocument(*W));
    EXPECT_EQ(ReadFile(Dir / "big.txt"), text + "end");
}

// A drop as the system delivers one: enter, then drop.
void DropUrl(QWidget* W, const QString& Path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(W, &drop);
}

TEST_F(MainWindow, DroppedFilesAreOpened) {
    WriteFile(Dir / "dropped.txt", "dropped");
    Start();
    Type("unsaved");
    W->P.Answers = {TPrompts::paNo};
    DropUrl(W.get(), QString::fromStdString(Dir / "dropped.txt"));
    EXPECT_EQ(W->P.Questions.size(), 1u) << "the discard query comes first";
    EXPECT_EQ(M().Text(), "dropped");
    DropUrl(W.get(), QString::fromStdString(Dir.Path()));
    EXPECT_EQ(W->FileName(), Dir / "dropped.txt") << "a folder is ignored";
}

TEST_F(MainWindow, LoadErrorsAreReportedAndDoNotRenameTheDocument) {
    WriteFile(Dir / "a.txt", "a");
    Start();
    ASSERT_TRUE(W->LoadFile(Dir / "a.txt", 0));
    EXPECT_FALSE(W->LoadFile(Dir / "missing.txt", 0));
    ASSERT_EQ(W->P.Errors.size(), 1u);
    EXPECT_TRUE(W->P.Errors[0].find("missing.txt") != std::string::npos);
    EXPECT_EQ(W->FileName(), Dir / "a.txt") << "the document shown is still a.txt";
    EXPECT_EQ(M().Text(), "a");
}

TEST_F(MainWindow, EscapeClosesOnlyWhenAsked) {
    Start();
    Key(Qt::Key_Escape);
    EXPECT_TRUE(W->isVisible());
    W->close();
    W.reset();
    WriteFile(Dir / "tarvex.ini", "[Options]\nEscape=1\n");
    Start();
    Key(Qt::Key_Escape);
    EXPECT_FALSE(W->isVisible());
}

TEST_F(MainWindow, AlreadyOpenInAnotherInstance) {
    WriteFile(Dir / "shared.txt", "shared");
    WriteFile(Dir / "other.ini", "");
    // The first instance: the real program, showing the file.
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TARVEX_SETTINGS", QString::fromStdString(Dir / "other.ini"));
    first.setProcessEnvironment(env);
    first.start(TARVEX_BIN, {QString::fromStdString(Dir / "shared.txt")});
    ASSERT_TRUE(first.waitForStarted());
    TInstanceLink probe([] { return QString(); }, [] {});
    QElapsedTimer t;
    t.start();
    while (probe.FindShowing(QString::fromStdString(Dir / "shared.txt")).isEmpty() && t.elapsed() < 20000)
        QTest::qWait(50);
    ASSERT_FALSE(probe.FindShowing(QString::fromStdString(Dir / "shared.txt")).isEmpty());

    WriteFile(Dir / "tarvex.ini", "[Options]\nWatchOpen=1\n");
    Start(true);
    W->P.Answers = {TPrompts::paNo};
    W->FormShow({Dir / "shared.txt"});
    ASSERT_EQ(W->P.Questions.size(), 1u);
    EXPECT_EQ(W->P.Questions[0], "This file was already open! Continue?");
    EXPECT_EQ(W->FileName(), "");
    QTest::qWait(50);
    EXPECT_FALSE(W->isVisible()) << "an instance started only for this file goes";
    W.reset();

    Start(true);
    W->P.Answers = {TPrompts::paYes};
    W->FormShow({Dir / "shared.txt"});
    EXPECT_EQ(W->FileName(), Dir / "shared.txt") << "Yes loads it here as well";
    EXPECT_TRUE(W->isVisible());
    first.kill();
    first.waitForFinished();
}

}  // namespace
}  // namespace tarvex

