// Thousands of random edits, each followed by the consistency check; then
// undoing everything gives back the original text byte for byte, and redoing
// everything the final text.

#include <gtest/gtest.h>

#include <random>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"

namespace tarvex {
namespace {

// HandOver: edits and replays hand their texts to the store, which keeps
// every text of 32 bytes or more as it is (paragraphs pointing into it).
void RandomEditsUndoAndRedoEverything(bool HandOver) {
    TFixedCanvas canvas(10);
    TDudiRiri m;
    m.SetCanvas(&canvas);
    m.SetClientSize(300, 100);
    m.SetUndoMaxLevel(100000);
    m.SetUndoMaxSpace(int64_t(1) << 30);
    m.StartStopKeys.AddKey("/*", "*/", false, -1, 1, 0, 7, 2, 0);
    m.Keywords.AddKeyword("word", 0, -1, 2, 0, 1, 1);
    std::mt19937 rng(42);
    const char* bits[] = {"a", "word ", " ", "\r\n", "/*", "*/", "\t", "longer text here "};
    std::string start;
    for (int i = 0; i < 300; ++i) start += bits[rng() % std::size(bits)];
    if (HandOver) m.Pars.AdoptMinSize = 32;
    m.SetTextBuf(start);
    m.ClearUndo();
    const std::string original = m.Text();
    std::size_t keptTexts = 0;
    for (int step = 0; step < 3000; ++step) {
        const TPos len = m.CharCount();
        m.SetSelStart(static_cast<TPos>(rng() % (len + 1)));
        if (rng() % 3 == 0) m.SetSelLength(static_cast<TPos>(rng() % 20) - 10);
        if (m.SelStartNav().ParOffset() > m.SelStartNav().Par()->Len()) continue;  // between CR and LF
        std::string t;
        for (int k = static_cast<int>(rng() % 3); k > 0; --k) t += bits[rng() % std::size(bits)];
        switch (rng() % 10) {
            case 0: m.Undo(); break;
            case 1: m.Redo(); break;
            case 2:
                if (HandOver) {
                    // A longer text with breaks: whole paragraphs of it stay where they are.
                    for (int k = 0; k < 12; ++k) t += bits[rng() % std::size(bits)];
                    m.SetSelTextMoved(std::move(t));
                    break;
                }
                [[fallthrough]];
            default: m.SetSelTextBuf(t);
        }
        ASSERT_NO_THROW(m.CheckConsistency()) << "step " << step;
        keptTexts = std::max(keptTexts, m.Pars.LoadBuffers.size());
    }
    if (HandOver) {
        EXPECT_GT(keptTexts, 0u) << "some handed-over text was kept in place";
    }
    const std::string final = m.Text();
    while (m.CanUndo()) m.Undo();
    EXPECT_EQ(m.Text(), original);
    while (m.CanRedo()) m.Redo();
    EXPECT_EQ(m.Text(), final);
    EXPECT_NO_THROW(m.CheckConsistency());
    m.SetCanvas(nullptr);
}

TEST(Soak, RandomEditsUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(false); }

TEST(Soak, HandedOverTextsUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(true); }

}  // namespace
}  // namespace tarvex
