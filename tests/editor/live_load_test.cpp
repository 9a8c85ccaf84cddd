// A load the window watches: between slices the user scrolls, clicks and
// the view lays out what is in; the text ends up whole and laid out right,
// or, when the user stops the load, as the lines read by then.

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

class LiveLoad : public ::testing::Test {
protected:
    test::TTestHost H;
    TFixedCanvas C{10};
    std::unique_ptr<TDudiRiri> M;
    void SetUp() override {
        M = std::make_unique<TDudiRiri>(&H);
        M->SetCanvas(&C);
        M->SetClientSize(216, 100);  // three display lines a paragraph
        M->SetUpdateMode(umOnNeed);
        M->ProgressInterval = 0;     // a slice every few paragraphs
    }
    void TearDown() override { M.reset(); }
};

TEST_F(LiveLoad, LayoutAndCaretMovesBetweenSlicesSurviveTheLoad) {
    M->SetText("an older text\r\nthat goes");
    M->SetSelStart(12);
    const std::string text = Text(3000);
    int slices = 0;
    TPos caret = 0;
    M->OnProgress = [&](TDudiRiri& E) {
        ++slices;
        EXPECT_NO_THROW(E.CheckConsistency());
        EXPECT_EQ(E.Pars.TotalLen, E.CharCount());
        // What the view does on a paint and a click: lay out what it shows, move the caret.
        const std::int32_t last = E.Pars.Count() - 1;
        E.FormatThrough(last / 2);
        E.FormatThrough(last);
        caret = E.Pars.StartPos(last / 2) + 3;
        E.SetSelStart(caret);
        EXPECT_EQ(E.Paragraph(last / 2).substr(0, 4), "word");
    };
    TMemoryStream s(text);
    M->LoadFromStream(s);
    EXPECT_GT(slices, 10);
    EXPECT_EQ(M->Text(), text);
    EXPECT_NO_THROW(M->CheckConsistency());
    EXPECT_EQ(M->SelStart(), caret) << "the caret stays where the user put it";
    EXPECT_FALSE(M->CanUndo());
    M->SetUpdateMode(umImmediate);
    EXPECT_EQ(M->LineCount(), 3 * 3000 + 1) << "lines laid out during the load are counted once";
    for (const std::int32_t p : {0, 1500, 2999}) EXPECT_EQ(M->Pars.FirstLine(p), 3 * p);
}

TEST_F(LiveLoad, AStoppedLoadKeepsTheLinesReadAndIsAnEditableText) {
    const std::string text = Text(3000);
    int slices = 0;
    std::int32_t read = 0;
    M->OnProgress = [&](TDudiRiri& E) {
        read = E.Pars.Count();
        if (++slices == 5) throw ELoadStopped();
    };
    TMemoryStream s(text);
    EXPECT_THROW(M->LoadFromStream(s), ELoadStopped);
    M->OnProgress = nullptr;
    ASSERT_GT(read, 0);
    ASSERT_LT(read, 3000);
    EXPECT_EQ(M->Text(), text.substr(0, text.find(" " + std::to_string(read - 1) + "\r\n") + std::to_string(read - 1).size() + 3));
    EXPECT_NO_THROW(M->CheckConsistency());
    M->SetSelStart(M->CharCount());
    M->SetSelTextBuf("end");
    EXPECT_EQ(M->Paragraph(read), "end");
    M->Undo();
    EXPECT_EQ(M->Paragraph(read), "");
}

}  // namespace
}  // namespace tarvex
