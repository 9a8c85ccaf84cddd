// The change points the passes write, every field of every record, compared
// with a recording made when each record was stored whole in its paragraph.
// Records are now kept as an offset and a reference to a shared state: this
// catches any state that is lost, merged with another or altered on the way.
//
// TARVEX_WRITE_GOLDEN=1 rewrites the recording (only after a deliberate
// change of what the passes produce).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

#ifndef TARVEX_TEST_DATA
#error "TARVEX_TEST_DATA must name the test data folder"
#endif

namespace tarvex {
namespace {

void DumpAttr(std::ostringstream& O, const TDynInfo& A) {
    O << int(A.Flags) << ' ' << int(A.Depth) << ' ' << int(A.Nesting) << ' ' << int(A.Extra) << ' ' << A.Color << ' '
      << A.BkColor << ' ' << A.Context << ' ' << A.Cursor << ' ' << A.KeyLen << ' ' << A.StopLen << " [";
    for (int i = 0; i < 16; ++i) O << (i ? "," : "") << A.Contexts[i];
    O << ']';
}

std::string Dump(const TDudiRiriBase& M) {
    std::ostringstream o;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) {
        const ParInfo& par = M.Pars.At(p);
        o << 'P' << p << " start ";
        DumpAttr(o, M.Pars.StartAttr(par));
        o << '\n';
        for (std::int32_t i = 0; i < M.Pars.DynCount(par); ++i) {
            o << "  @" << M.Pars.DynOffset(par, i) << ' ';
            DumpAttr(o, M.Pars.DynAttr(par, i));
            o << '\n';
        }
    }
    return o.str();
}

void SetUpKeys(TDudiRiriBase& M) {
    M.StartStopKeys.AddKey("/*", "*/", false, -1, 1, 0, 7, 2, 0);
    M.StartStopKeys.AddKey("//", "", true, -1, 2, 0, 7, 2, 0);
    M.StartStopKeys.AddKey("\"", "\"", false, -1, 3, 5, 0, 4, 0);
    M.StartStopKeys.AddKey("{", "}", false, 0x123456, 9, 0, 0, 6, 0);
    M.Keywords.AddKeyword("if", koWholeWord, -1, 4, 0, 1, 1);
    M.Keywords.AddKeyword("iff", 0, -1, 5, 0, 2, 1);
    M.Keywords.AddKeyword("begin", koWholeWord, 77, 6, -21, 3, 1);
    M.Keywords.AddKeyword("end", 0, -1, 7, 0, 4, 1);
    M.Keywords.AddKeyword("x", koCaseSensitive, -1, 8, 0, 9, 0x20);
}

std::string Record() {
    const char* bits[] = {"/*", "*/", "//", "\r\n", "a", " ", "if", "iff", "begin", "end", "\"",
                          "x",  "/",  "*",  "BEGIN", "{", "}", "X", "\r\n\r\n", "12"};
    std::ostringstream all;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 rng(seed);
        TDudiRiriBase m;
        SetUpKeys(m);
        std::string t;
        for (int i = 0; i < 150; ++i) t += bits[rng() % std::size(bits)];
        m.LoadText(t);
        KeywordsOverRange(m, 0, m.Pars.Count() - 1);
        all << "seed " << seed << " loaded\n" << Dump(m);
        TRiriNavigator a(&m), b(&m);
        for (int step = 0; step < 120; ++step) {
            const TPos len = m.CharCount();
            const TPos from = static_cast<TPos>(rng() % (len + 1));
            const TPos to = rng() % 3 ? from : std::min<TPos>(len, from + rng() % 8);
            std::string text;
            for (int k = static_cast<int>(rng() % 3); k > 0; --k) text += bits[rng() % std::size(bits)];
            a.SetPos(from);
            b.SetPos(to);
            if (a.ParOffset() > a.Par()->Len() || b.ParOffset() > b.Par()->Len()) continue;
            const TReplaceResult r = m.ReplaceText(text, a, b);
            HighlightAfterEdit(m, r);
            KeywordsOverRange(m, 0, m.Pars.Count() - 1);
            if (step % 20 == 19) all << "seed " << seed << " step " << step << '\n' << Dump(m);
        }
    }
    return all.str();
}

TEST(ChangePointStorage, GivesTheRecordedChangePoints) {
    const std::string path = std::string(TARVEX_TEST_DATA) + "/change_points.golden";
    const std::string got = Record();
    if (const char* w = std::getenv("TARVEX_WRITE_GOLDEN"); w && *w == '1') {
        std::ofstream(path, std::ios::binary) << got;
        GTEST_SKIP() << "recording written to " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path;
    std::stringstream want;
    want << in.rdbuf();
    // Line by line, so that a failure names the first record that differs.
    std::istringstream g(got), w(want.str());
    std::string gl, wl;
    int line = 0;
    while (true) {
        const bool gm = static_cast<bool>(std::getline(g, gl));
        const bool wm = static_cast<bool>(std::getline(w, wl));
        ++line;
        if (!gm && !wm) break;
        ASSERT_EQ(gm, wm) << "the recording and the passes end at different lines (" << line << ")";
        ASSERT_EQ(gl, wl) << "line " << line;
    }
}

}  // namespace
}  // namespace tarvex
