// Thousands of random replaces applied to the store and to a plain string
// model side by side, replayed with the paragraph records 2 and 3 a block and
// at the real block size, so that edits join and split paragraphs across
// block boundaries.

#include <gtest/gtest.h>

#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

// The model: the text as one string in which every break is CR LF.
std::string Normalize(const std::string& T) {
    std::string out;
    for (std::size_t i = 0; i < T.size(); ++i) {
        out += T[i];
        if (T[i] == '\r' && (i + 1 >= T.size() || T[i + 1] != '\n')) out += '\n';
    }
    return out;
}

std::vector<std::string> SplitModel(const std::string& Flat) {
    std::vector<std::string> pars(1);
    for (std::size_t i = 0; i < Flat.size(); ++i) {
        if (Flat[i] == '\r') {
            ++i;  // its LF
            pars.emplace_back();
        } else {
            pars.back() += Flat[i];
        }
    }
    return pars;
}

std::string RandomText(std::mt19937& Rng) {
    static const char* bits[] = {"a", "bc", " ", "\r\n", "\r", "\n", "\xC0\xFF", "\t", "word "};
    std::string t;
    const int n = static_cast<int>(Rng() % 6);
    for (int i = 0; i < n; ++i) t += bits[Rng() % std::size(bits)];
    if (Rng() % 40 == 0) t += std::string(Rng() % 70000, 'L');  // crosses the short-form limit
    if (Rng() % 60 == 0)  // more paragraphs than a 32 KB block holds
        for (int i = static_cast<int>(1100 + Rng() % 1500); i > 0; --i) t += i % 7 ? "p\r\n" : "\r\n";
    return t;
}

// A text of about N paragraphs.
std::string ManyParagraphs(int N) {
    std::string t;
    for (int i = 0; i < N; ++i) t += "line " + std::to_string(i) + "\r\n";
    return t + "last";
}

// A position that is not between the CR and the LF of a break.
TPos RandomPos(std::mt19937& Rng, const std::string& Flat) {
    for (;;) {
        const TPos p = static_cast<TPos>(Rng() % (Flat.size() + 1));
        if (p == 0 || Flat[static_cast<std::size_t>(p - 1)] != '\r') return p;
    }
}

// The records a block: 2, 3, or 0 for the store's own.
class ReplaceRandom : public ::testing::TestWithParam<int> {};

TEST_P(ReplaceRandom, StoreMatchesAStringModel) {
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 rng(seed);
        TDudiRiriBase m;
        if (GetParam() > 0) m.Pars.SetRecordsPerBlock(GetParam());
        std::string flat = seed % 2 ? ManyParagraphs(2500) : "first\r\nsecond line\r\n\r\nlast";
        m.LoadText(flat);
        TRiriNavigator a(&m), b(&m);
        std::vector<std::unique_ptr<TRiriNavigator>> others;
        std::vector<TPos> otherPos;
        for (int i = 0; i < 6; ++i) {
            others.push_back(std::make_unique<TRiriNavigator>(&m));
            otherPos.push_back(RandomPos(rng, flat));
            others.back()->SetPos(otherPos.back());
        }
        for (int step = 0; step < 1500; ++step) {
            TPos from = RandomPos(rng, flat), to = RandomPos(rng, flat);
            if (rng() % 3 == 0) to = from;  // plain insertions
            if (from > to) std::swap(from, to);
            if (to - from > 20000 && rng() % 2) to = from;
            if (to - from > 2000 && rng() % 3) {
                // Mostly shorter ranges, still spanning a few hundred paragraphs.
                to = from + static_cast<TPos>(rng() % 2000);
                if (to > 0 && flat[static_cast<std::size_t>(to - 1)] == '\r') ++to;
            }
            const std::string text = RandomText(rng);
            const std::string norm = Normalize(text);
            a.SetPos(from);
            b.SetPos(to);
            if (rng() % 2) {  // resolved caches must not matter
                a.ParOffset();
                b.LineNb();
            }
            const TReplaceResult r = m.ReplaceText(text, a, b);

            const TPos delta = static_cast<TPos>(norm.size()) - (to - from);
            flat = flat.substr(0, static_cast<std::size_t>(from)) + norm + flat.substr(static_cast<std::size_t>(to));
            for (auto& p : otherPos) {
                if (p > to || (p == to && to > from))
                    p += delta;
                else if (p > from)
                    p = from;
            }

            ASSERT_EQ(r.Delta, delta) << "seed " << seed << " step " << step;
            ASSERT_EQ(test::Texts(m.Pars), SplitModel(flat)) << "seed " << seed << " step " << step;
            ASSERT_TRUE(test::PositionsConsistent(m.Pars)) << "seed " << seed << " step " << step;
            ASSERT_EQ(m.Pars.TotalLen, static_cast<TPos>(flat.size()));
            ASSERT_EQ(m.Pars.LineCount, m.ParagraphCount()) << "one display line a paragraph until laid out";
            ASSERT_EQ(a.Pos(), from);
            ASSERT_EQ(b.Pos(), from + static_cast<TPos>(norm.size()));
            for (TRiriNavigator* n : {&a, &b}) {
                const ParInfo& par = m.Pars.At(n->ParNb());
                ASSERT_EQ(m.Pars.StartPos(n->ParNb()) + n->ParOffset(), n->Pos());
                ASSERT_LE(n->ParOffset(), par.Len());
            }
            for (std::size_t i = 0; i < others.size(); ++i) {
                ASSERT_EQ(others[i]->Pos(), otherPos[i]) << "navigator " << i << " seed " << seed << " step " << step;
                const std::int32_t pn = others[i]->ParNb();
                ASSERT_EQ(m.Pars.StartPos(pn) + others[i]->ParOffset(), otherPos[i]);
                const unsigned char expect =
                    otherPos[i] < static_cast<TPos>(flat.size()) ? static_cast<unsigned char>(flat[static_cast<std::size_t>(otherPos[i])]) : 13;
                ASSERT_EQ(others[i]->CurrentChar(), expect);
            }
            if (flat.size() > 400000) {  // keep the text small enough to stay fast
                m.LoadText(flat = ManyParagraphs(1500));
                for (std::size_t i = 0; i < others.size(); ++i) {
                    otherPos[i] = 0;
                    others[i]->SetPos(0);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RecordsPerBlock, ReplaceRandom, ::testing::Values(2, 3, 0),
                         [](const auto& I) { return I.param ? std::to_string(I.param) + "PerBlock" : std::string("RealBlocks"); });

}  // namespace
}  // namespace tarvex
