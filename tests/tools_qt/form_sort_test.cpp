// The sort confirmation driven with real clicks and keys: OK runs the
// command as one undo step, Cancel, Esc and minimising leave everything as
// it was, and the dictionary file's operations.

#include "tools/qt/form_sort.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "editor/qt/riri_widget.h"
#include "tests/app/test_files.h"
#include "tests/tools_qt/modal_driver.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

// Runs Act on the sort dialog once it is shown; remembers its texts.
struct TDialogDriver {
    QString Title, Message;
    void Then(std::function<void(TFormSort&)> Act) {
        test::OnModal<TFormSort>([this, Act](TFormSort& D) {
            Title = D.windowTitle();
            Message = D.LbMessage->text();
            Act(D);
        });
    }
};

void ClickOk(TFormSort& D) { QTest::mouseClick(D.ButOk, Qt::LeftButton); }
void ClickCancel(TFormSort& D) { QTest::mouseClick(D.ButCancel, Qt::LeftButton); }

class FormSort : public ::testing::Test {
protected:
    TRiriWidget W;
    TDudiRiri& M = W.Memo();
    TDialogDriver Driver;
};

TEST_F(FormSort, OkSortsTheTextAsOneUndoStep) {
    M.SetTextBuf("b=2\r\na=1\r\nB=3");
    M.ClearUndo();
    TSortOptions o;
    o.JoinItems = true;
    o.Separ = ", ";
    Driver.Then(ClickOk);
    std::vector<int> progress;
    EXPECT_TRUE(TFormSort::SortLines(nullptr, M, "/tmp/list.txt", o, false, [&](int P) { progress.push_back(P); }));
    EXPECT_EQ(M.Text(), "a=1\r\nB=3, 2\r\n");
    EXPECT_EQ(Driver.Title, "Sort lines");
    EXPECT_EQ(Driver.Message, "Sort lines editing text\n/tmp/list.txt");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100);
    M.Undo();
    EXPECT_EQ(M.Text(), "b=2\r\na=1\r\nB=3");
    EXPECT_FALSE(M.CanUndo());
}

TEST_F(FormSort, CancelAndEscChangeNothing) {
    M.SetTextBuf("b\r\na");
    M.ClearUndo();
    Driver.Then(ClickCancel);
    EXPECT_FALSE(TFormSort::SortLines(nullptr, M, "doc", {}, true, {}));
    EXPECT_EQ(Driver.Title, QString::fromUtf8("Сортировка строк"));
    Driver.Then([](TFormSort& D) { QTest::keyClick(&D, Qt::Key_Escape); });
    EXPECT_FALSE(TFormSort::SortLines(nullptr, M, "doc", {}, true, {}));
    EXPECT_EQ(M.Text(), "b\r\na");
    EXPECT_FALSE(M.CanUndo());
}

// A sort long enough to be caught running: Esc or minimising stops it.
class FormSortStop : public FormSort {
protected:
    void SetUp() override {
        std::string t;
        for (int i = 0; i < 400000; ++i) t += "line " + std::to_string(static_cast<std::int64_t>(i) * 7919 % 400000) + "\r\n";
        TMemoryStream s(std::move(t));
        M.LoadFromStream(s);
        Before = M.CharCount();
        M.ClearUndo();
    }
    // Clicks OK, then Stop as soon as the dialog's own loop runs the next events.
    void OkThen(std::function<void(TFormSort&)> Stop) {
        Driver.Then([Stop](TFormSort& D) {
            QTimer::singleShot(0, &D, [&D, Stop] {
                ASSERT_TRUE(D.Running());
                Stop(D);
            });
            ClickOk(D);
        });
    }
    TPos Before = 0;
};

TEST_F(FormSortStop, EscWhileRunningStopsAndLeavesTheText) {
    OkThen([](TFormSort& D) { QTest::keyClick(&D, Qt::Key_Escape); });
    EXPECT_FALSE(TFormSort::SortLines(nullptr, M, "doc", {}, false, {}));
    EXPECT_EQ(M.CharCount(), Before);
    EXPECT_EQ(M.Paragraph(0), "line 0");
    EXPECT_EQ(M.Paragraph(1), "line 7919");
    EXPECT_FALSE(M.CanUndo());
}

TEST_F(FormSortStop, MinimisingWhileRunningStops) {
    OkThen([](TFormSort& D) { D.setWindowState(Qt::WindowMinimized); });
    EXPECT_FALSE(TFormSort::SortLines(nullptr, M, "doc", {}, false, {}));
    EXPECT_EQ(M.Paragraph(1), "line 7919");
    EXPECT_FALSE(M.CanUndo());
}

TEST_F(FormSort, DictionaryFileSortAndAdd) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b=2\r\na=1\r\n\r\nA=1");
    Driver.Then(ClickOk);
    EXPECT_TRUE(TFormSort::SortDictionaryFile(nullptr, f, false));
    EXPECT_EQ(Driver.Message, QString("Sort lines dictionary file\n") + QString::fromStdString(f));
    const std::string sorted = ReadFile(f);
    EXPECT_TRUE(sorted == "a=1\r\nb=2" || sorted == "A=1\r\nb=2") << sorted;

    WriteFile(f, "b=2");
    Driver.Then(ClickOk);
    EXPECT_TRUE(TFormSort::AddDictionaryItem(nullptr, f, "\xEA\xEE\xF2=cat", true, true));
    EXPECT_EQ(Driver.Title, QString::fromUtf8("Добавить статью в файл словаря"));
    EXPECT_EQ(Driver.Message, QString::fromUtf8("Добавить статью\nкот=cat\nв файл ") + QString::fromStdString(f));
    EXPECT_EQ(ReadFile(f), "\xEA\xEE\xF2=cat\r\nb=2");

    Driver.Then(ClickCancel);
    EXPECT_FALSE(TFormSort::AddDictionaryItem(nullptr, f, "z=1", false, false));
    EXPECT_EQ(ReadFile(f), "\xEA\xEE\xF2=cat\r\nb=2");
    // No file: no question, nothing done.
    EXPECT_FALSE(TFormSort::SortDictionaryFile(nullptr, dir / "none.dic", false));
    EXPECT_FALSE(TFormSort::AddDictionaryItem(nullptr, dir / "none.dic", "x", false, false));
}

TEST_F(FormSort, AFailureIsShownAndReportedAsNotRun) {
    TTempDir dir;
    const std::string f = dir / "d.dic";
    WriteFile(f, "b\r\na");
    test::TReadOnlyFolder ro(dir.Path());
    if (!ro.Works()) GTEST_SKIP() << "no way to make a folder read-only here";
    QString warning;
    Driver.Then([&warning](TFormSort& D) {
        test::OnModal<QMessageBox>([&warning](QMessageBox& Box) {
            warning = Box.text();
            QTest::keyClick(&Box, Qt::Key_Enter);
        });
        ClickOk(D);
    });
    EXPECT_FALSE(TFormSort::SortDictionaryFile(nullptr, f, false));
    EXPECT_TRUE(warning.contains("Cannot save")) << warning.toStdString();
    ro.Release();
    EXPECT_EQ(ReadFile(f), "b\r\na");
}

TEST_F(FormSort, CompressNeedsNoConfirmation) {
    M.SetTextBuf("a  b\r\nc");
    EXPECT_TRUE(TFormSort::CompressLines(M, 15));
    EXPECT_EQ(M.Text(), "a b c");
    EXPECT_FALSE(TFormSort::CompressLines(M, 15));
}

}  // namespace
}  // namespace tarvex
