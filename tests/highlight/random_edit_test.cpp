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
    const unsigned seeds = std::getenv("HIGHLIGHT_SEEDS") ? static_cast<unsigned>(std::atoi(std::getenv("HIGHLIGHT_SEEDS"))) : 3u;
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

INSTANTIATE_TEST_SUITE_P(Highlighters, RandomEdits, ::testing::ValuesIn(kCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace tarvex
