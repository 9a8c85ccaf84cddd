// After random edits, and the passes that follow an edit, every highlighter
// leaves the text highlighted as the passes highlight the same text from
// scratch: the same change points.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "highlight/factory.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

struct TCase {
    const char* Name;
    std::vector<const char*> Bits;
};

const TCase kCases[] = {
    {"num", {"12", " ", "$1F", ".", "a", "\r\n", "3", "x9", ",", "$"}},
    {"url", {"www.", "a", ".", "ru", " ", "http://", "@", ",", "(", ")", "\r\n", "x", "mailto:", "ftp."}},
    {"pas", {"begin", " ", "end", ";", "'", "{", "}", "(*", "*)", "//", "\r\n", "asm", "mov", "12", "#13", "property",
             "read", "x", ":", "=", "{$", "$1F", "a"}},
    {"htm", {"<", ">", "a", "table", " ", "=", "\"", "'", "&", ";", "lt", "<!--", "-->", "script", "</", "\r\n", "x",
             "%", "?", "br"}},
    {"sql", {"select", " ", "from", "'", "\"", "--", "/*", "*/", "\r\n", "12", "(", ")", "x", "+", "#"}},
    {"cpp", {"class", " ", "int", "\"", "//", "/*", "*/", "#", "\r\n", "12", "x", "  ", "include", "unsigned __int64"}},
};

class RandomEdits : public ::testing::TestWithParam<TCase> {};

TEST_P(RandomEdits, IncrementalEqualsScratch) {
    const TCase& c = GetParam();
    const auto h = CreateHighlighter(c.Name);
    ASSERT_TRUE(h);
    const unsigned seeds = std::getenv("HIGHLIGHT_SEEDS") ? static_cast<unsigned>(std::atoi(std::getenv("HIGHLIGHT_SEEDS"))) : 40u;
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        std::mt19937 rng(seed);
        auto bit = [&] { return std::string(c.Bits[rng() % c.Bits.size()]); };
        TDudiRiriBase inc;
        std::string t;
        for (int i = 0; i < 150; ++i) t += bit();
        test::Highlight(inc, h.get(), t);
        TRiriNavigator a(&inc), b(&inc);
        for (int step = 0; step < 200; ++step) {
            const TPos len = inc.CharCount();
            const TPos from = static_cast<TPos>(rng() % (len + 1));
            const TPos to = rng() % 3 ? from : std::min<TPos>(len, from + rng() % 8);
            std::string text;
            for (int k = static_cast<int>(rng() % 3); k > 0; --k) text += bit();
            a.SetPos(from);
            b.SetPos(to);
            if (a.ParOffset() > a.Par()->Len() || b.ParOffset() > b.Par()->Len()) continue;
            const std::string before = inc.Text();
            const TReplaceResult r = inc.ReplaceText(text, a, b);
            HighlightAfterEdit(inc, r);
            KeywordsOverRange(inc, 0, inc.Pars.Count() - 1);  // what layout and the background do for the rest

            TDudiRiriBase scratch;
            test::Highlight(scratch, h.get(), inc.Text());
            const auto ei = test::Effective(inc), es = test::Effective(scratch);
            std::size_t at = 0;
            while (at < ei.size() && at < es.size() && ei[at] == es[at]) ++at;
            std::int32_t par = 0;
            std::size_t off = at;
            while (par < scratch.Pars.Count() && off > static_cast<std::size_t>(scratch.Pars.At(par).Len())) {
                off -= static_cast<std::size_t>(scratch.Pars.At(par).Len()) + 1;
                ++par;
            }
            auto where = [&](const TDudiRiriBase& m) {
                if (par >= m.Pars.Count()) return std::string();
                std::string s = testing::PrintToString(std::string(m.Pars.At(par).View())) + "\n  " + test::Ctx(m, par) + " |";
                const ParInfo& pp = m.Pars.At(par);
                for (std::int32_t i = 0; i < m.Pars.DynCount(pp); ++i)
                    s += " @" + std::to_string(m.Pars.DynOffset(pp, i)) + "=" + test::Describe(m.Pars.DynAttr(pp, i));
                return s;
            };
            ASSERT_EQ(ei, es) << "paragraph " << par << " offset " << off << "\ninc     " << where(inc) << "\nscratch " << where(scratch) << "\n"
                              << "first difference at character " << at << ": "
                              << (at < ei.size() ? ei[at] : "-") << " instead of " << (at < es.size() ? es[at] : "-") << "\n"
                              << c.Name << " seed " << seed << " step " << step << "\nbefore "
                              << testing::PrintToString(before) << "\nedit " << from << ".." << to << " -> "
                              << testing::PrintToString(text) << "\nafter " << testing::PrintToString(inc.Text());
            ASSERT_EQ(test::Points(inc), test::Points(scratch)) << c.Name << " seed " << seed << " step " << step;
            scratch.SetHighlighter(nullptr);
        }
        inc.SetHighlighter(nullptr);
    }
}

// Every field of every change point and of every paragraph's start state.
std::vector<std::string> Records(const TDudiRiriBase& M) {
    auto full = [](const TDynInfo& A) {
        return test::Describe(A) + "/n" + std::to_string(A.Nesting) + "/x" + std::to_string(A.Extra) + "/c" +
               std::to_string(A.Cursor) + "/k" + std::to_string(A.KeyLen) + "/s" + std::to_string(A.StopLen);
    };
    std::vector<std::string> out;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) {
        const ParInfo& par = M.Pars.At(p);
        out.push_back(std::to_string(p) + " starts " + full(M.Pars.StartAttr(par)));
        for (std::int32_t i = 0; i < M.Pars.DynCount(par); ++i)
            out.push_back(std::to_string(p) + ":" + std::to_string(M.Pars.DynOffset(par, i)) + " " + full(M.Pars.DynAttr(par, i)));
    }
    return out;
}

// The passes take paragraphs that wait in a row together: the result is what
// one paragraph at a time gives, field for field.
TEST_P(RandomEdits, GroupsEqualParagraphByParagraph) {
    const TCase& c = GetParam();
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 rng(seed);
        std::string t;
        for (int i = 0; i < 2500; ++i) t += c.Bits[rng() % c.Bits.size()];
        const auto grouped = CreateHighlighter(c.Name);
        TDudiRiriBase g;
        test::Highlight(g, grouped.get(), t);

        const auto single = CreateHighlighter(c.Name);
        TDudiRiriBase s;
        s.SetHighlighter(single.get());
        s.LoadText(t);
        ASSERT_GT(s.Pars.Count(), 70) << "the text spans more than one group";
        for (std::int32_t q = 0; q < s.Pars.Count(); ++q) KeysThrough(s, q);
        for (std::int32_t q = 0; q < s.Pars.Count(); ++q) {
            s.ApplyKeywordsToParagraph(q);
            s.Pars.At(q).Flags |= pfKeywordsApplied;
        }
        EXPECT_EQ(Records(g), Records(s)) << c.Name << " seed " << seed;
        g.SetHighlighter(nullptr);
        s.SetHighlighter(nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Highlighters, RandomEdits, ::testing::ValuesIn(kCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace tarvex
