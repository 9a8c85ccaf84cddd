// A large file loads while the window answers: the user pages through what is
// in, cannot change it, and stops the load with Esc or by closing the window.

#include "tests/app_qt/window_fixture.h"

namespace tarvex {
namespace {

class WindowLoad : public MainWindow {
protected:
    std::string Text;
    void SetUp() override {
        for (int i = 0; i < 20000; ++i) Text += "line " + std::to_string(i) + "\r\n";
        WriteFile(Dir / "big.txt", Text);
        Start();
        M().ProgressInterval = 0;
        W->Doc().LoadSliceMs = 0;  // a pause every few paragraphs
        W->P.Live = true;
    }
};

TEST_F(WindowLoad, PagingDuringTheLoadAndEscStopsIt) {
    int slices = 0;
    TPos paged = -1;
    W->P.OnSlice = [&] {
        ++slices;
        if (slices == 20) {
            EXPECT_TRUE(M().ReadOnly) << "the text cannot change while it loads";
            EXPECT_FALSE(W->Action("mSave")->isEnabled());
            Key(Qt::Key_PageDown);
            Key(Qt::Key_Down);
            Type("x");
            paged = M().SelStart();
        }
        if (slices == 40) Key(Qt::Key_Escape);
    };
    ASSERT_TRUE(W->LoadFile(Dir / "big.txt", 0));
    W->P.OnSlice = nullptr;
    EXPECT_EQ(slices, 40);
    EXPECT_GT(paged, 0) << "Page Down moved through the part already loaded";
    EXPECT_EQ(M().SelStart(), paged) << "and the caret stays there";
    const std::int32_t lines = M().Pars.Count() - 1;
    ASSERT_GT(lines, 0);
    ASSERT_LT(lines, 20000);
    EXPECT_EQ(M().Text(), Text.substr(0, M().Text().size())) << "nothing typed went in";
    ASSERT_EQ(W->P.Messages.size(), 1u);
    EXPECT_TRUE(StartsWith(W->P.Messages[0], "Loading was stopped")) << W->P.Messages[0];
    EXPECT_FALSE(M().ReadOnly);
    // The cut text is edited and saved only when the user says so.
    Type("y");
    EXPECT_TRUE(M().Modified);
    W->P.Answers = {TPrompts::paNo};
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(W->P.Questions.size(), 1u);
    EXPECT_TRUE(StartsWith(W->P.Questions[0], "Loading was stopped after")) << W->P.Questions[0];
    EXPECT_EQ(ReadFile(Dir / "big.txt"), Text);
}

TEST_F(WindowLoad, WholeFileWithoutAStopAndNoSecondOpenMeanwhile) {
    WriteFile(Dir / "other.txt", "other");
    int slices = 0;
    bool nested = true;
    W->P.OnSlice = [&] {
        if (++slices == 10) nested = W->LoadFile(Dir / "other.txt", 0);
    };
    ASSERT_TRUE(W->LoadFile(Dir / "big.txt", 0));
    W->P.OnSlice = nullptr;
    EXPECT_FALSE(nested) << "no file opens while another loads";
    EXPECT_GT(slices, 10);
    EXPECT_EQ(M().Text(), Text);
    EXPECT_TRUE(W->P.Messages.empty());
    EXPECT_EQ(W->FileName(), Dir / "big.txt");
}

TEST_F(WindowLoad, ClosingTheWindowStopsTheLoadThenCloses) {
    int slices = 0;
    W->P.OnSlice = [&] {
        if (++slices == 10) W->close();
    };
    W->LoadFile(Dir / "big.txt", 0);
    W->P.OnSlice = nullptr;
    EXPECT_EQ(slices, 10) << "the next pause stops the load";
    QElapsedTimer t;
    t.start();
    while (W->isVisible() && t.elapsed() < 5000) QTest::qWait(5);
    EXPECT_FALSE(W->isVisible()) << "the close asked for during the load happens after it";
}

}  // namespace
}  // namespace tarvex
