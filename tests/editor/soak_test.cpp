// Thousands of random edits, each followed by the consistency check; then
// undoing everything gives back the original text byte for byte, and redoing
// everything the final text. Replayed with the paragraph records 2 and 3 a
// block and at the real block size, on texts of thousands of paragraphs, with
// edits that join and split paragraphs across block boundaries.

#include <gtest/gtest.h>

#include <random>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"

namespace tarvex {
namespace {

// A few random replacements inside paragraphs, sorted and apart, without breaks.
std::vector<TTextEdit> RandomRanges(TDudiRiri& M, std::mt19937& Rng) {
    const char* words[] = {"", "x", "word", "/*", "*/", " \t", "longer text"};
    std::vector<TTextEdit> r;
    std::int32_t p = static_cast<std::int32_t>(Rng() % 4);
    for (int n = 1 + static_cast<int>(Rng() % 6); n > 0 && p < M.ParagraphCount(); --n) {
        const ParInfo& par = M.Pars.At(p);
        const TPos start = M.Pars.StartPos(p);
        const TPos from = r.empty() || r.back().Pos + r.back().Length <= start ? 0 : r.back().Pos + r.back().Length - start;
        if (from <= par.Len()) {
            const TPos off = from + static_cast<TPos>(Rng() % (par.Len() - from + 1));
            const TPos len = std::min<TPos>(static_cast<TPos>(Rng() % 4), par.Len() - off);
            r.push_back({start + off, len, words[Rng() % std::size(words)]});
        }
        p += static_cast<std::int32_t>(Rng() % 3);
    }
    return r;
}

// HandOver: edits and replays hand their texts to the store, which keeps
// every text of 32 bytes or more as it is (paragraphs pointing into it).
// Ranges: some steps are many replacements at once.
// PerBlock: the paragraph records a block (0 the store's own) on a text of
// thousands of paragraphs; -1 a text of a few hundred.
void RandomEditsUndoAndRedoEverything(bool HandOver, bool Ranges = false, int PerBlock = -1) {
    TFixedCanvas canvas(10);
    TDudiRiri m;
    if (PerBlock > 0) {
        m.Pars.SetRecordsPerBlock(PerBlock);  // empties the list: it gets its one empty paragraph back
        m.LoadText({});
    }
    m.SetCanvas(&canvas);
    m.SetClientSize(300, 100);
    m.SetUndoMaxLevel(100000);
    m.SetUndoMaxSpace(int64_t(1) << 30);
    m.StartStopKeys.AddKey("/*", "*/", false, -1, 1, 0, 7, 2, 0);
    m.Keywords.AddKeyword("word", 0, -1, 2, 0, 1, 1);
    std::mt19937 rng(42);
    const char* bits[] = {"a", "word ", " ", "\r\n", "/*", "*/", "\t", "longer text here "};
    std::string start;
    if (PerBlock < 0)
        for (int i = 0; i < 300; ++i) start += bits[rng() % std::size(bits)];
    else
        for (int i = 0; i < 6000; ++i) start += std::string(bits[rng() % std::size(bits)]) + (i % 3 ? "" : "\r\n");
    if (HandOver) m.Pars.AdoptMinSize = 32;
    m.SetTextBuf(start);
    m.ClearUndo();
    if (PerBlock >= 0) {
        ASSERT_GT(m.ParagraphCount(), m.Pars.RecordsPerBlock()) << "the text spans blocks";
    }
    const std::string original = m.Text();
    std::size_t keptTexts = 0;
    for (int step = 0, steps = PerBlock < 0 ? 3000 : 2000; step < steps; ++step) {
        const TPos len = m.CharCount();
        m.SetSelStart(static_cast<TPos>(rng() % (len + 1)));
        if (rng() % 3 == 0) m.SetSelLength(static_cast<TPos>(rng() % 20) - 10);
        if (PerBlock >= 0 && rng() % 25 == 0) m.SetSelLength(static_cast<TPos>(rng() % 8000) - 4000);  // hundreds of paragraphs
        if (m.SelStartNav().ParOffset() > m.SelStartNav().Par()->Len()) continue;  // between CR and LF
        if (m.SelEndNav().ParOffset() > m.SelEndNav().Par()->Len()) continue;
        std::string t;
        for (int k = static_cast<int>(rng() % 3); k > 0; --k) t += bits[rng() % std::size(bits)];
        if (PerBlock >= 0 && rng() % 40 == 0)
            for (int k = static_cast<int>(500 + rng() % 1500); k > 0; --k) t += k % 3 ? "x\r\n" : "\r\n";
        switch (rng() % 10) {
            case 0: m.Undo(); break;
            case 1: m.Redo(); break;
            case 3:
                if (Ranges) {
                    m.ReplaceRanges(RandomRanges(m, rng));
                    break;
                }
                [[fallthrough]];
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
        ASSERT_NO_THROW(m.Pars.CheckBlocks()) << "step " << step;
        keptTexts = std::max(keptTexts, m.Pars.LoadBuffers.size());
    }
    if (HandOver) {
        EXPECT_GT(keptTexts, 0u) << "some handed-over text was kept in place";
    }
    // The steps undone last are part of the history too: redo-all ends behind them.
    while (m.CanRedo()) m.Redo();
    const std::string final = m.Text();
    {
        // The display lines kept in step edit by edit are those of a fresh layout.
        m.FormatPending();
        TDudiRiri fresh;
        fresh.SetCanvas(&canvas);
        fresh.SetClientSize(300, 100);
        fresh.SetTextBuf(final);
        fresh.FormatPending();
        ASSERT_EQ(m.LineCount(), fresh.LineCount());
        for (std::int32_t p = 0; p < m.ParagraphCount(); ++p)
            ASSERT_EQ(m.Pars.At(p).LineCount(), fresh.Pars.At(p).LineCount()) << "paragraph " << p;
        fresh.SetCanvas(nullptr);
    }
    while (m.CanUndo()) m.Undo();
    EXPECT_EQ(m.Text(), original);
    while (m.CanRedo()) m.Redo();
    EXPECT_EQ(m.Text(), final);
    EXPECT_NO_THROW(m.CheckConsistency());
    m.SetCanvas(nullptr);
}

TEST(Soak, RandomEditsUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(false); }

TEST(Soak, HandedOverTextsUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(true); }

TEST(Soak, ManyReplacementsAtOnceUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(false, true); }

// The records a block: 2, 3, or 0 for the store's own.
class SoakBlocks : public ::testing::TestWithParam<int> {};

TEST_P(SoakBlocks, EditsAcrossBlocksUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(false, true, GetParam()); }

INSTANTIATE_TEST_SUITE_P(RecordsPerBlock, SoakBlocks, ::testing::Values(2, 3, 0),
                         [](const auto& I) { return I.param ? std::to_string(I.param) + "PerBlock" : std::string("RealBlocks"); });

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// Handed-over texts on a text of many blocks, with insertions of thousands of lines.
TEST(Soak, HandedOverTextsAcrossBlocksUndoAndRedoEverything) { RandomEditsUndoAndRedoEverything(true, false, 0); }

}  // namespace
}  // namespace tarvex
