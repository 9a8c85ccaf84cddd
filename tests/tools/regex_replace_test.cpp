// Replace in Lines: PCRE2 with Windows-1251 character tables, applied
// paragraph by paragraph.

#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <clocale>
#include <cstring>

#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "tools/regex_replace.h"

namespace tarvex {
namespace {

std::string W(const char* Utf8) { return Utf8ToCp1251(Utf8); }

std::string Replace(std::string_view Pattern, std::string_view Line, std::string_view With, bool MatchCase = true,
                    std::int64_t* Count = nullptr) {
    const TLineRegex r(Pattern, MatchCase);
    std::string out;
    const std::int64_t n = r.ReplaceIn(Line, With, out);
    if (Count) *Count = n;
    EXPECT_EQ(r.CountIn(Line), n) << "counting finds what replacing replaces";
    return out;
}

TEST(RegexTables, AgreeWithPcre2sOwnForAscii) {
    // The tables PCRE2 makes for the C locale share our layout; for ASCII
    // they must say the same.
    const char* old = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_CTYPE, "C");
    const unsigned char* c = pcre2_maketables(nullptr);
    std::setlocale(LC_CTYPE, saved.c_str());
    const unsigned char* ours = Cp1251RegexTables();
    for (int b = 0; b < 128; ++b) {
        EXPECT_EQ(ours[b], c[b]) << "lower case of " << b;
        EXPECT_EQ(ours[256 + b], c[256 + b]) << "flipped case of " << b;
        EXPECT_EQ(ours[832 + b], c[832 + b]) << "type of " << b;
    }
    for (int cls = 0; cls < 10; ++cls)
        EXPECT_EQ(std::memcmp(ours + 512 + cls * 32, c + 512 + cls * 32, 16), 0) << "class " << cls << " for ASCII";
    pcre2_maketables_free(nullptr, c);
}

TEST(RegexReplace, CyrillicLettersAreWordCharactersAndFoldCase) {
    EXPECT_EQ(Replace("\\w+", W("Ёжик, ёлка и «ђак»"), "<$0>"), W("<Ёжик>, <ёлка> <и> «<ђак>»"));
    EXPECT_EQ(Replace(W("ёлка"), W("ЁЛКА Ёлка елка"), "X", false), W("X X елка"));
    EXPECT_EQ(Replace(W("[а-я]+"), W("Слово"), "_"), W("С_"));
    EXPECT_EQ(Replace(W("[а-я]+"), W("Слово"), "_", false), "_");
    EXPECT_EQ(Replace("\\s", "a\xA0" "b c", "."), "a.b.c") << "the no-break space is a blank";
    EXPECT_EQ(Replace(W("\\bи\\b"), W("и или и"), "&"), W("& или &"));
}

TEST(RegexReplace, GroupsAndEmptyMatches) {
    std::int64_t n = 0;
    EXPECT_EQ(Replace("(\\w+)=(\\w+)", "a=1 b=2", "$2:$1", true, &n), "1:a 2:b");
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Replace("(?<k>x)", "axb", "[${k}$$]"), "a[x$]b");
    EXPECT_EQ(Replace("x*", "abc", "-", true, &n), "-a-b-c-");
    EXPECT_EQ(n, 4);
    EXPECT_EQ(Replace("^", "line", "> "), "> line");
    EXPECT_EQ(Replace("$", "", "end"), "end");
}

TEST(RegexReplace, ErrorsCarryPcre2sMessageAndOffset) {
    try {
        TLineRegex r("ab(c", true);
        FAIL() << "compiled";
    } catch (const ERegexError& e) {
        EXPECT_EQ(e.Offset, 4u);
        EXPECT_NE(std::string(e.what()).find("missing closing parenthesis"), std::string::npos) << e.what();
    }
    const TLineRegex r("(a)", true);
    std::string out;
    EXPECT_THROW(r.ReplaceIn("a", "$2", out), ERegexError) << "a group the pattern lacks";
}

TEST(RegexReplace, ReplaceInLinesIsOneUndoStepOverTheRange) {
    TDudiRiri m;
    const std::string text = "key1 = v1\r\nno match\r\nkey2 = v2\r\nkey3 = v3";
    m.SetTextBuf(text);
    m.ClearUndo();
    const TLineRegex r("^(\\w+) = (\\w+)$", true);
    TLinesPlan all = PlanReplaceInLines(m.Pars, r, 0, m.CharCount());
    EXPECT_EQ(all.Count, 3);
    EXPECT_EQ(all.Start, 0);
    EXPECT_EQ(all.End, m.CharCount());
    // Only the part of a paragraph inside the range is a subject: ^ anchors at the range start.
    const TLinesPlan part = PlanReplaceInLines(m.Pars, r, 23, m.CharCount());
    EXPECT_EQ(part.Count, 2);
    EXPECT_EQ(part.Start, 23);
    EXPECT_EQ(ApplyReplaceInLines(m, r, all, "$2=$1"), 3);
    EXPECT_EQ(m.Text(), "v1=key1\r\nno match\r\nv2=key2\r\nv3=key3");
    m.Undo();
    EXPECT_EQ(m.Text(), text);
    EXPECT_FALSE(m.CanUndo());
}

}  // namespace
}  // namespace tarvex
