#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "tests/editor/test_host.h"

namespace tarvex {
namespace {

std::string Text(int Paragraphs) {
    std::string t;
    for (int i = 0; i < Paragraphs; ++i) t += "word word word word word word word word word word " + std::to_string(i) + "\r\n";
    return t;
}

class Background : public ::testing::Test {
protected:
    test::TTestHost H;
    TFixedCanvas C{10};
    std::unique_ptr<TDudiRiri> M;
    void SetUp() override {
        M = std::make_unique<TDudiRiri>(&H);
        M->SetCanvas(&C);
        M->SetClientSize(216, 100);
    }
    void TearDown() override {
        M.reset();  // stops the thread while the host still runs its steps
    }
    void Load(const std::string& T) {
        TMemoryStream s(T);
        M->LoadFromStream(s);
    }
};

TEST_F(Background, LaysOutInSlicesWhileTheThreadPaces) {
    Load(Text(20000));
    EXPECT_EQ(M->FormatProgress(), 0) << "a load leaves layout to the background";
    int progress = 0;
    M->OnProgress = [&](TDudiRiri&) { ++progress; };
    ASSERT_TRUE(H.PumpUntil([&] { return M->FormatProgress() == 100; }));
    EXPECT_FALSE(M->FormatThreadRunning()) << "suspended when nothing is left";
    EXPECT_GT(progress, 0);
    EXPECT_EQ(M->LineCount(), 60001) << "three display lines a paragraph, and the last, empty one";
    EXPECT_NO_THROW(M->CheckConsistency());
    EXPECT_EQ(M->Pars.FormatLast, -1);
}

TEST_F(Background, ProgressStays99UntilTheLastParagraph) {
    Load(Text(200));
    M->SetUpdateMode(umOnNeed);
    for (std::int32_t p = 0; p < 199; ++p) M->FormatThrough(p);
    EXPECT_EQ(M->FormatProgress(), 99);
    M->FormatThrough(199);
    EXPECT_EQ(M->FormatProgress(), 99);
    M->FormatThrough(200);
    EXPECT_EQ(M->FormatProgress(), 100);
}

TEST_F(Background, ProgressOfAHugeTextFollowsThePendingRange) {
    // Past a million paragraphs the progress is read from the pending range,
    // not counted: it still starts below 100, stays below while any of the
    // range is left and reaches 100 when the layout ends.
    std::string t;
    for (int i = 0; i < (1 << 20) + 5000; ++i) t += "w\r\n";
    Load(t);
    M->SetUpdateMode(umOnNeed);
    EXPECT_EQ(M->FormatProgress(), 0);
    for (std::int32_t p = 0; p < 1000; ++p) M->FormatThrough(p);
    EXPECT_EQ(M->FormatProgress(), 0) << "a long range is estimated from its length, laid-out parts and all";
    M->Pars.FormatNext = M->Pars.Count() / 2;
    EXPECT_EQ(M->FormatProgress(), 49) << "half the range behind the layout";
    M->Pars.FormatNext = M->Pars.Count() - 1;
    EXPECT_EQ(M->FormatProgress(), 99) << "a short range is counted: its one paragraph is not laid out";
    M->FormatThrough(M->Pars.Count() - 1);
    EXPECT_EQ(M->FormatProgress(), 100);
    M->SetUpdateMode(umImmediate);
    EXPECT_EQ(M->FormatProgress(), 100);
    EXPECT_NO_THROW(M->CheckConsistency());
}

TEST_F(Background, SwitchingToImmediateLaysOutTheRestAtOnce) {
    Load(Text(30000));
    H.Queue.RunPending();
    M->SetUpdateMode(umImmediate);
    EXPECT_EQ(M->FormatProgress(), 100);
    EXPECT_FALSE(M->FormatThreadRunning());
    EXPECT_NO_THROW(M->CheckConsistency());
    M->SetUpdateMode(umBackground);
    M->SetColumnWrap(7);  // everything is laid out again, in the background
    EXPECT_LT(M->FormatProgress(), 100);
    ASSERT_TRUE(H.PumpUntil([&] { return M->FormatProgress() == 100; }));
    EXPECT_NO_THROW(M->CheckConsistency());
}

TEST_F(Background, EditsWhileLayoutIsPendingStayConsistent) {
    Load(Text(5000));
    for (int i = 0; i < 50; ++i) {
        H.Queue.RunPending();
        M->SetSelStart((i * 7919) % M->CharCount());
        M->SetSelTextBuf(i % 3 ? "x" : "new\r\nlines\r\n");
    }
    ASSERT_TRUE(H.PumpUntil([&] { return M->FormatProgress() == 100; }));
    EXPECT_NO_THROW(M->CheckConsistency());
}

TEST_F(Background, DestroyingTheEditorWhileTheThreadRunsIsSafe) {
    Load(Text(50000));
    H.Queue.RunPending();
    M.reset();
    SUCCEED();
}

}  // namespace
}  // namespace tarvex
