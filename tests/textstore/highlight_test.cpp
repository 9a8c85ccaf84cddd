#include <gtest/gtest.h>

#include <random>

#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

constexpr std::uint8_t kItalic = 2, kBold = 1;

// What a character looks like: style, colours, context, and the context stack.
std::string Describe(const TDynInfo& A) {
    std::string s = std::to_string(A.Flags) + "/" + std::to_string(A.Color) + "/" + std::to_string(A.Context) + "/" +
                    std::to_string(ContextDepth(A));
    for (int i = 0; i <= ContextDepth(A); ++i) s += ":" + std::to_string(A.Contexts[i]);
    return s;
}

// The highlighting in force at every character of every paragraph.
std::vector<std::string> Effective(TDudiRiriBase& M) {
    std::vector<std::string> out;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) {
        const ParInfo& par = M.Pars.At(p);
        std::size_t idx = 0;
        const TDynInfo* a = &M.Pars.StartAttr(par);
        const TDynView d = M.Pars.Dyn(par);
        for (std::int32_t i = 0; i <= par.Len(); ++i) {
            while (idx < static_cast<std::size_t>(d.size()) && d.Offset(static_cast<std::int32_t>(idx)) <= i)
                a = &M.Pars.DynAttr(par, static_cast<std::int32_t>(idx++));
            out.push_back(Describe(*a));
        }
    }
    return out;
}

// Per character of paragraph P: 'p' plain, 'b' bold, 'i' italic, 'k' other own style.
std::string Styles(TDudiRiriBase& M, std::int32_t P) {
    const ParInfo& par = M.Pars.At(P);
    std::string s;
    std::size_t idx = 0;
    const TDynInfo* a = &M.Pars.StartAttr(par);
    const TDynView d = M.Pars.Dyn(par);
    for (std::int32_t i = 0; i < par.Len(); ++i) {
        while (idx < static_cast<std::size_t>(d.size()) && d.Offset(static_cast<std::int32_t>(idx)) <= i)
            a = &M.Pars.DynAttr(par, static_cast<std::int32_t>(idx++));
        if (!(a->Flags & dfOwn))
            s += 'p';
        else if ((a->Flags & 0x3F) == kBold)
            s += 'b';
        else if ((a->Flags & 0x3F) == kItalic)
            s += 'i';
        else
            s += 'k';
    }
    return s;
}

void HighlightAll(TDudiRiriBase& M) { KeywordsOverRange(M, 0, M.Pars.Count() - 1); }

class Highlight : public ::testing::Test {
protected:
    TDudiRiriBase M;
    void SetUp() override {
        M.StartStopKeys.AddKey("/*", "*/", false, -1, 255, 0, 7, kItalic, 0);
        M.StartStopKeys.AddKey("//", "", true, -1, 128, 0, 7, kItalic, 0);
    }
    void Load(std::string_view T) {
        M.LoadText(T);
        HighlightAll(M);
    }
};

TEST_F(Highlight, CommentRegions) {
    Load("a/*b*/c\r\nx // rest of line\r\nnext");
    EXPECT_EQ(Styles(M, 0), "piiiiip") << "the region covers its start key, its text and its stop key";
    EXPECT_EQ(Styles(M, 1), "pp" + std::string(15, 'i')) << "a line comment ends at its paragraph end";
    EXPECT_EQ(Styles(M, 2), "pppp");
    EXPECT_EQ(M.Pars.KeysThrough, 2);
}

TEST_F(Highlight, RegionsSpanParagraphs) {
    Load("a /* open\r\ninside\r\nstill */ b\r\nafter");
    EXPECT_EQ(Styles(M, 0), "ppiiiiiii");
    EXPECT_EQ(Styles(M, 1), "iiiiii");
    EXPECT_EQ(Styles(M, 2), "iiiiiiiipp");
    EXPECT_EQ(Styles(M, 3), "ppppp");
    EXPECT_EQ(ContextDepth(M.Pars.StartAttr(M.Pars.At(1))), 0) << "the middle paragraph starts inside the region";
}

TEST_F(Highlight, OpeningACommentRipplesParagraphByParagraph) {
    std::string t;
    for (int i = 0; i < 50; ++i) t += "line " + std::to_string(i) + "\r\n";
    t += "end */ tail\r\nafter";
    Load(t);
    for (std::int32_t p = 0; p < 51; ++p) ASSERT_EQ(Styles(M, p).find('i'), std::string::npos);
    TRiriNavigator a(&M), b(&M);
    a.SetPos(0);
    b.SetPos(0);
    const TReplaceResult r = M.ReplaceText("/*", a, b);
    HighlightAfterEdit(M, r);
    EXPECT_EQ(Styles(M, 0), "iiiiiiii") << "the typed paragraph at once";
    EXPECT_FALSE(M.Pars.At(1).Flags & pfKeysApplied) << "the next one is marked to be done again";
    EXPECT_EQ(Styles(M, 1), "iiiiii") << "it starts in the new state";
    EXPECT_EQ(Styles(M, 2), "pppppp") << "and nothing further yet";
    EXPECT_GE(M.Pars.FormatLast, 1);
    KeysThrough(M, M.Pars.Count() - 1);
    for (std::int32_t p = 1; p < 50; ++p) ASSERT_EQ(Styles(M, p), std::string(M.Pars.At(p).Len(), 'i')) << p;
    EXPECT_EQ(Styles(M, 50), "iiiiiippppp");
    EXPECT_EQ(Styles(M, 51), "ppppp") << "the ripple stops where the states agree again";
}

TEST_F(Highlight, FirstKeywordInListOrderWins) {
    M.Keywords.AddKeyword("if", 0, -1, 1, 0, 1, kBold);
    M.Keywords.AddKeyword("iff", 0, -1, 2, 0, 1, kItalic);
    Load("iff");
    EXPECT_EQ(Styles(M, 0), "bbp");
}

TEST_F(Highlight, WholeWordAndCase) {
    M.Keywords.AddKeyword("begin", koWholeWord, -1, 1, 0, 1, kBold);
    M.Keywords.AddKeyword("END", koCaseSensitive, -1, 1, 0, 1, kItalic);
    Load("Begin beginning begin. end END");
    EXPECT_EQ(Styles(M, 0), "bbbbb" + std::string(11, 'p') + "bbbbb" + "pppppp" + "iii");
}

TEST_F(Highlight, KeywordsInsideRegionsFollowTheRegionContext) {
    M.Keywords.AddKeyword("key", 0, -1, 1, 0, 1, kBold);
    Load("key /* key */ key");
    EXPECT_EQ(Styles(M, 0), "bbbpiiiiiiiiipbbb") << "not inside a region whose context is not 0";
    TDudiRiriBase open;
    open.StartStopKeys.AddKey("/*", "*/", false, -1, 255, 0, 0, kItalic, 0);
    open.Keywords.AddKeyword("key", 0, -1, 1, 0, 1, kBold);
    open.LoadText("/* key */");
    HighlightAll(open);
    EXPECT_EQ(Styles(open, 0), "iiibbbiii") << "a region of context 0 lets keywords in";
    const TDynInfo& kw = open.Pars.DynAttr(open.Pars.At(0), 1);
    EXPECT_EQ(ContextDepth(kw), 1);
    EXPECT_EQ(kw.Contexts[0], static_cast<std::int16_t>(0 + 32768));
    EXPECT_EQ(kw.Contexts[1], 0);
}

TEST_F(Highlight, ContextStackHoldsSixteenLevels) {
    M.Keywords.AddKeyword("k", 0, -1, 1, 0, 1, kBold);
    M.LoadText("ab k /* x");
    // The paragraph starts fifteen levels deep in highlighter contexts.
    TDynInfo deep;
    deep.Flags = dfOwn | dfKeyed;
    deep.Depth = 15;
    for (auto& c : deep.Contexts) c = -1;
    M.Pars.SetStartAttr(M.Pars.At(0), deep);
    HighlightAll(M);
    EXPECT_EQ(Styles(M, 0), "kkkkkkkkk") << "no keyword and no region beyond the sixteenth level";
    deep.Depth = 14;
    M.LoadText("k");
    M.Pars.SetStartAttr(M.Pars.At(0), deep);
    HighlightAll(M);
    EXPECT_EQ(Styles(M, 0), "b") << "the sixteenth level is still free";
    EXPECT_EQ(ContextDepth(M.Pars.DynAttr(M.Pars.At(0), 0)), 15);
}

TEST_F(Highlight, ApplyAttributeSetsAndClearsSpans) {
    M.LoadText("0123456789\r\nabcdefghij");
    TRiriNavigator a(&M), b(&M);
    TDynInfo bold;
    bold.Flags = kBold;
    a.SetPos(2);
    b.SetPos(15);
    ApplyAttribute(M, b, a, true, true, bold);  // either order
    EXPECT_EQ(Styles(M, 0), "ppbbbbbbbb");
    EXPECT_EQ(Styles(M, 1), "bbbppppppp");
    EXPECT_EQ(M.Pars.DirtyFirstPar, 0);
    a.SetPos(4);
    b.SetPos(6);
    ApplyAttribute(M, a, b, false, false, bold);
    EXPECT_EQ(Styles(M, 0), "ppbbppbbbb") << "clearing a span keeps what follows";
    TDynInfo italic;
    italic.Flags = kItalic;
    a.SetPos(0);
    b.SetPos(22);
    ApplyAttribute(M, a, b, false, true, italic);
    EXPECT_EQ(Styles(M, 0), "iiiiiiiiii");
    EXPECT_EQ(Styles(M, 1), "iiiiiiiiii");
    EXPECT_EQ(M.Pars.StartState(M.Pars.At(1)), M.Pars.Dyn(M.Pars.At(0)).State(0))
        << "the second paragraph starts in the state of the span's point: one table entry";
}

class TCountingHighlighter : public TRiriHighlighter {
public:
    int Scans = 0, Starts = 0;
    std::int32_t LastBase = -1;
    void ScanKeywords(TRiriNavigator&, TRiriNavigator&, std::int32_t KeyBase) override {
        ++Scans;
        LastBase = KeyBase;
    }
    bool FindStartKey(TRiriNavigator&, TRiriNavigator&, std::int32_t) override {
        ++Starts;
        return false;
    }
};

TEST_F(Highlight, TheHighlighterIsAskedAndForgottenWhenDestroyed) {
    M.Keywords.AddKeyword("a", 0, -1, 1, 0, 1, kBold);
    auto h = std::make_unique<TCountingHighlighter>();
    M.SetHighlighter(h.get());
    EXPECT_EQ(h->Memos().size(), 1u);
    Load("x\r\ny");
    EXPECT_GE(h->Scans, 1) << "paragraphs in a row may go in one call";
    EXPECT_EQ(h->LastBase, 1) << "its keys are numbered after the editor's own";
    EXPECT_GE(h->Starts, 2);
    h.reset();
    EXPECT_EQ(M.Highlighter(), nullptr);
}

// After random edits and the passes that follow them, every character is
// highlighted as the passes highlight the same text from scratch.
TEST(HighlightRandom, IncrementalEqualsScratch) {
    const char* bits[] = {"/*", "*/", "//", "\r\n", "a", " ", "if", "iff", "begin", "end", "\"", "x", "/", "*", "BEGIN"};
    auto setup = [](TDudiRiriBase& m) {
        m.StartStopKeys.AddKey("/*", "*/", false, -1, 1, 0, 7, 2, 0);
        m.StartStopKeys.AddKey("//", "", true, -1, 2, 0, 7, 2, 0);
        m.StartStopKeys.AddKey("\"", "\"", false, -1, 3, 0, 0, 4, 0);
        m.Keywords.AddKeyword("if", koWholeWord, -1, 4, 0, 1, 1);
        m.Keywords.AddKeyword("iff", 0, -1, 5, 0, 2, 1);
        m.Keywords.AddKeyword("begin", koWholeWord, -1, 6, 0, 3, 1);
        m.Keywords.AddKeyword("end", 0, -1, 7, 0, 4, 1);
    };
    const unsigned seeds = getenv("HIGHLIGHT_SEEDS") ? static_cast<unsigned>(atoi(getenv("HIGHLIGHT_SEEDS"))) : 3u;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        std::mt19937 rng(seed);
        TDudiRiriBase inc;
        setup(inc);
        std::string t;
        for (int i = 0; i < 200; ++i) t += bits[rng() % std::size(bits)];
        inc.LoadText(t);
        HighlightAll(inc);
        TRiriNavigator a(&inc), b(&inc);
        for (int step = 0; step < 300; ++step) {
            const TPos len = inc.CharCount();
            const TPos from = static_cast<TPos>(rng() % (len + 1));
            const TPos to = rng() % 3 ? from : std::min<TPos>(len, from + rng() % 8);
            std::string text;
            for (int k = static_cast<int>(rng() % 3); k > 0; --k) text += bits[rng() % std::size(bits)];
            a.SetPos(from);
            b.SetPos(to);
            if (a.ParOffset() > a.Par()->Len() || b.ParOffset() > b.Par()->Len()) continue;
            const std::string before = inc.Text();
            std::string beforeDump;
            {
                std::int32_t bp = a.ParNb();
                beforeDump = "par " + std::to_string(bp) + " off " + std::to_string(a.ParOffset()) + " ";
                const ParInfo& pp = inc.Pars.At(bp);
                beforeDump += testing::PrintToString(std::string(pp.View())) + " start " + Describe(inc.Pars.StartAttr(pp)) + " |";
                for (std::int32_t i = 0; i < inc.Pars.DynCount(pp); ++i)
                    beforeDump += " @" + std::to_string(inc.Pars.DynOffset(pp, i)) + " " + Describe(inc.Pars.DynAttr(pp, i));
            }
            const TReplaceResult r = inc.ReplaceText(text, a, b);
            HighlightAfterEdit(inc, r);
            HighlightAll(inc);  // what layout and the background do for the rest

            TDudiRiriBase scratch;
            setup(scratch);
            scratch.LoadText(inc.Text());
            HighlightAll(scratch);
            const auto ei = Effective(inc), es = Effective(scratch);
            std::size_t at = 0;
            while (at < ei.size() && at < es.size() && ei[at] == es[at]) ++at;
            std::int32_t par = 0;
            std::size_t off = at;
            while (par < scratch.Pars.Count() && off > static_cast<std::size_t>(scratch.Pars.At(par).Len())) {
                off -= scratch.Pars.At(par).Len() + 1;
                ++par;
            }
            auto dump = [&](TDudiRiriBase& m) {
                std::string d;
                if (par >= m.Pars.Count()) return d;
                d += testing::PrintToString(std::string(m.Pars.At(par).View())) + " start " + Describe(m.Pars.StartAttr(m.Pars.At(par))) + " |";
                const ParInfo& pp = m.Pars.At(par);
                for (std::int32_t i = 0; i < m.Pars.DynCount(pp); ++i) {
                    const TDynInfo& e = m.Pars.DynAttr(pp, i);
                    d += " @" + std::to_string(m.Pars.DynOffset(pp, i)) + " " + Describe(e) + " k" + std::to_string(e.KeyLen) + " s" + std::to_string(e.StopLen);
                }
                return d;
            };
            ASSERT_EQ(ei, es) << "before edit: " << beforeDump << "\ninc: " << dump(inc) << "\nscratch: " << dump(scratch) << "\n" << "first difference: paragraph " << par << " offset " << off << ": "
                << (at < ei.size() ? ei[at] : "-") << " instead of " << (at < es.size() ? es[at] : "-") << "\n"
                << "seed " << seed << " step " << step << "\nbefore " << testing::PrintToString(before) << "\nedit "
                << from << ".." << to << " -> " << testing::PrintToString(text) << "\nafter "
                << testing::PrintToString(inc.Text());
        }
    }
}

}  // namespace
}  // namespace tarvex
