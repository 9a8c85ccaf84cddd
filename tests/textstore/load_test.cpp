#include <gtest/gtest.h>

#include "textstore/static_format.h"
#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

using test::Texts;

struct LoadResult {
    std::vector<std::string> Pars;
    TRiriLineBreak Break;
};

LoadResult Load(TParagraphsList& L, std::string Data, char NullReplace = 0, bool Trim = false,
                TRiriLineBreak Initial = pbCRLF) {
    TMemoryStream s(std::move(Data));
    TRiriLineBreak found = Initial;
    L.LoadFromStream(s, NullReplace, 300, nullptr, found, Trim);
    return {Texts(L), found};
}

LoadResult Load(std::string Data, char NullReplace = 0, bool Trim = false) {
    TParagraphsList l;
    auto r = Load(l, std::move(Data), NullReplace, Trim);
    EXPECT_TRUE(test::PositionsConsistent(l));
    return r;
}

using V = std::vector<std::string>;

TEST(Load, BreakKindsAndPairs) {
    struct Case {
        std::string In;
        V Pars;
        TRiriLineBreak Break;
    };
    const Case cases[] = {
        {"a\r\n\r\nb", {"a", "", "b"}, pbCRLF},
        {"a\n\rb", {"a", "b"}, pbLFCR},
        {"a\r\rb", {"a", "", "b"}, pbCR},
        {"a\nb", {"a", "b"}, pbLF},
        {"a\r\n\nb", {"a", "", "b"}, pbLF},  // the last break seen wins
        {"\n\r\n\r", {"", "", ""}, pbLFCR},
        {"a\n\r\nb", {"a", "", "b"}, pbLF},
        {"abc\r\n", {"abc", ""}, pbCRLF},
    };
    for (const auto& c : cases) {
        const auto r = Load(c.In);
        EXPECT_EQ(r.Pars, c.Pars) << testing::PrintToString(c.In);
        EXPECT_EQ(r.Break, c.Break) << testing::PrintToString(c.In);
    }
}

TEST(Load, EmptyAndUnbrokenTexts) {
    TParagraphsList l;
    const auto r = Load(l, "", 0, false, pbLFCR);
    EXPECT_EQ(r.Pars, V{""}) << "an empty file is one empty paragraph";
    EXPECT_EQ(r.Break, pbLFCR) << "no break seen leaves FoundBreak alone";
    EXPECT_EQ(l.TotalLen, 0);
    const auto r2 = Load(l, "no break at all");
    EXPECT_EQ(r2.Pars, V{"no break at all"});
    EXPECT_EQ(l.TotalLen, 15);
}

TEST(Load, TotalLengthCountsTwoPerBreak) {
    TParagraphsList l;
    Load(l, "ab\n\nc");
    EXPECT_EQ(l.TotalLen, 7);
    EXPECT_EQ(l.StartPos(2), 6);
}

TEST(Load, BookkeepingAfterLoad) {
    TParagraphsList l;
    Load(l, "a\nb\nc");
    EXPECT_EQ(l.LineCount, 3);
    EXPECT_EQ(l.FormatNext, 0);
    EXPECT_EQ(l.FormatLast, 3);
    EXPECT_EQ(l.DirtyFirstPar, 0);
    EXPECT_EQ(l.DirtyLastPar, 2);
    EXPECT_EQ(l.KeysThrough, -1);
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(l.FirstLine(i), i);
        EXPECT_FALSE(l.At(i).OwnText()) << "loaded text is not copied";
        const LineInfo li = l.At(i).FirstLineInfo();
        EXPECT_EQ(li.Stop, 1);
        EXPECT_EQ(li.JustifyFrom, 1);
    }
}

TEST(Load, NulEndsTheTextOrIsReplaced) {
    std::string data("ab\r\ncd\0ef\r\ngh", 13);
    TMemoryStream s(data);
    s.Seek(0);
    TParagraphsList l;
    TRiriLineBreak found = pbLF;
    l.LoadFromStream(s, 0, 300, nullptr, found, false);
    EXPECT_EQ(Texts(l), (V{"ab", "cd"}));
    EXPECT_EQ(l.TotalLen, 6);
    EXPECT_EQ(s.Position(), 6) << "the stream is left at the NUL";

    EXPECT_EQ(Load(data, '.').Pars, (V{"ab", "cd.ef", "gh"}));
    EXPECT_EQ(Load(std::string("\0x", 2)).Pars, V{""});
}

TEST(Load, TrimTrailingCutsBlanksOfEveryParagraph) {
    EXPECT_EQ(Load("a \t\r\n  \r\nb  ", 0, true).Pars, (V{"a", "", "b"}));
    TParagraphsList l;
    Load(l, "a  \nb", 0, true);
    EXPECT_EQ(l.TotalLen, 4);
    EXPECT_EQ(l.StartPos(1), 3);
}

TEST(Load, StaticFormatCodesSetTheStartStyle) {
    TParagraphsList l;
    l.StaticFormat = true;
    Load(l, "x\2bold\nstill\2 plain\n\1\3y");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l.At(0).FirstLineInfo().Style, 0);
    EXPECT_EQ(l.At(1).FirstLineInfo().Style, fsBold) << "the style runs on across breaks";
    EXPECT_EQ(l.At(2).FirstLineInfo().Style, 0);
    EXPECT_TRUE(l.At(1).HasExtra()) << "a styled start needs the long form";
    EXPECT_FALSE(l.At(2).HasExtra());
}

// The 65,500-byte read boundary: a CR LF pair split by it is one break.
TEST(Load, BreakPairSplitByTheReadBoundary) {
    for (const char* pair : {"\r\n", "\n\r"}) {
        std::string data(65499, 'x');
        data += pair;
        data += "tail";
        const auto r = Load(data);
        ASSERT_EQ(r.Pars.size(), 2u) << "pair " << testing::PrintToString(std::string(pair));
        EXPECT_EQ(r.Pars[1], "tail");
        EXPECT_EQ(r.Break, pair[0] == '\r' ? pbCRLF : pbLFCR);
    }
    // Two CRs either side of the boundary are two breaks.
    std::string data(65499, 'x');
    data += "\r\rz";
    EXPECT_EQ(Load(data).Pars.size(), 3u);
}

TEST(Load, ParagraphLongerThanTheReadBufferIsContiguous) {
    std::string big(70000, 'q');
    big[65499] = 'A';
    big[65500] = 'B';
    TParagraphsList l;
    Load(l, "head\r\n" + big + "\r\nend");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l.At(1).Len(), 70000);
    EXPECT_TRUE(l.At(1).HasExtra()) << "65535 characters or more need the long form";
    EXPECT_EQ(std::string(l.At(1).View()), big);
    EXPECT_EQ(std::string(l.At(0).View()), "head");
    EXPECT_TRUE(test::PositionsConsistent(l));

    // Several buffers' worth in one paragraph.
    std::string huge(300000, 'w');
    huge[123456] = 'Z';
    TParagraphsList l2;
    Load(l2, huge);
    EXPECT_EQ(std::string(l2.At(0).View()), huge);
}

// A stream that cannot tell its size (a pipe) fills several buffers; the
// paragraph that is unfinished when one is full moves on, the others stay.
TEST(Load, UnknownSizeFillsSeveralBuffers) {
    std::string data;
    std::vector<std::string> expect;
    for (int i = 0; data.size() < 1040000; ++i) {
        expect.push_back("line " + std::to_string(i));
        data += expect.back() + "\r\n";
    }
    const std::size_t before = data.size();
    expect.push_back(std::string(3000000, 'L'));  // longer than the next buffer, too
    data += expect.back() + "\r\nend";
    expect.push_back("end");
    test::TTrickleStream s(data, 7);
    TParagraphsList l;
    TRiriLineBreak found = pbLF;
    l.LoadFromStream(s, 0, 300, nullptr, found, false);
    EXPECT_EQ(Texts(l), expect);
    ASSERT_GE(l.LoadBuffers.size(), 2u);
    EXPECT_EQ(l.LoadBuffers[0].Used, static_cast<std::int64_t>(before));
    EXPECT_TRUE(test::PositionsConsistent(l));
}

// A file that grows while it is read loads to its real end.
TEST(Load, StreamLongerThanItsReportedSize) {
    class TGrown : public TMemoryStream {
    public:
        using TMemoryStream::TMemoryStream;
        std::int64_t Size() override { return 10; }
    };
    std::string data;
    for (int i = 0; i < 50000; ++i) data += "abcdef\n";
    TGrown s(data);
    TParagraphsList l;
    TRiriLineBreak found = pbCRLF;
    l.LoadFromStream(s, 0, 300, nullptr, found, false);
    EXPECT_EQ(l.Count(), 50001);
    EXPECT_EQ(l.TotalLen, 50000 * 8);
}

std::vector<std::string> ReferenceSplit(const std::string& In, char NullReplace, bool Trim) {
    std::string d = In;
    if (NullReplace)
        std::replace(d.begin(), d.end(), '\0', NullReplace);
    else if (auto z = d.find('\0'); z != std::string::npos)
        d.resize(z);
    std::vector<std::string> pars(1);
    for (std::size_t i = 0; i < d.size(); ++i) {
        const char c = d[i];
        if (c == '\r' || c == '\n') {
            if (i + 1 < d.size() && d[i + 1] == (c ^ 7)) ++i;
            pars.emplace_back();
        } else {
            pars.back() += c;
        }
    }
    if (Trim)
        for (auto& p : pars)
            while (!p.empty() && (p.back() == ' ' || p.back() == '\t')) p.pop_back();
    return pars;
}

// Random texts with every break kind, long lines and blanks, read through
// streams that deliver a few bytes at a time, against a plain splitter.
TEST(Load, RandomTextsMatchAPlainSplitter) {
    std::mt19937 rng(12345);
    const char* pieces[] = {"\r\n", "\n\r", "\r", "\n", " ", "\t", "word", "\xC0\xE1\xE2", "  "};
    for (int round = 0; round < 40; ++round) {
        std::string text;
        const std::size_t size = 1 + rng() % 300000;
        while (text.size() < size) {
            if (rng() % 50 == 0)
                text += std::string(rng() % 90000, 'x');
            else
                text += pieces[rng() % std::size(pieces)];
        }
        if (round % 5 == 0) text[rng() % text.size()] = '\0';
        const bool trim = round % 3 == 0;
        const char nul = round % 2 ? '.' : 0;
        test::TTrickleStream s(text, static_cast<unsigned>(round));
        TParagraphsList l;
        TRiriLineBreak found = pbCRLF;
        l.LoadFromStream(s, nul, 300, nullptr, found, trim);
        ASSERT_EQ(Texts(l), ReferenceSplit(text, nul, trim)) << "round " << round;
        ASSERT_TRUE(test::PositionsConsistent(l));
    }
}

TEST(Load, LimitsRefuseCleanly) {
    TParagraphsList l;
    l.MaxCount = 3;
    TMemoryStream s("a\nb\nc\nd\ne");
    TRiriLineBreak found = pbCRLF;
    try {
        l.LoadFromStream(s, 0, 300, nullptr, found, false);
        FAIL() << "more paragraphs than the counters hold must be refused";
    } catch (const ERiriError& e) {
        EXPECT_NE(std::string(e.what()).find("Too many paragraphs"), std::string::npos);
    }
    EXPECT_GE(l.Count(), 1);
    EXPECT_TRUE(test::PositionsConsistent(l));

    TParagraphsList l2;
    l2.MaxParLen = 100;
    TMemoryStream s2(std::string(1000, 'x'));
    EXPECT_THROW(l2.LoadFromStream(s2, 0, 300, nullptr, found, false), ERiriError);
    EXPECT_TRUE(test::PositionsConsistent(l2));
}

TEST(Load, ReadErrorKeepsWhatWasRead) {
    std::string data;
    for (int i = 0; i < 20000; ++i) data += "line\r\n";
    test::TFailingStream s(data, 70000);
    TParagraphsList l;
    TRiriLineBreak found = pbCRLF;
    EXPECT_THROW(l.LoadFromStream(s, 0, 300, nullptr, found, false), EStreamError);
    EXPECT_GT(l.Count(), 10000);
    EXPECT_TRUE(test::PositionsConsistent(l));
    EXPECT_EQ(std::string(l.At(5).View()), "line");
}

TEST(Load, ProgressIsReported) {
    std::string data;
    for (int i = 0; i < 5000; ++i) data += "x\n";
    TMemoryStream s(data);
    TParagraphsList l;
    TRiriLineBreak found = pbCRLF;
    int calls = 0;
    l.LoadFromStream(s, 0, 0, [&](TParagraphsList& p) { EXPECT_EQ(&p, &l); ++calls; }, found, false);
    EXPECT_GT(calls, 0);
}

// The progress handler may show what is loaded: at every call the paragraphs
// read so far are a whole text, and a stop keeps exactly them.
TEST(Load, EachProgressCallSeesAWholeTextAndAStopKeepsIt) {
    std::string data;
    for (int i = 0; i < 6000; ++i) data += "line " + std::to_string(i) + (i % 3 ? "\r\n" : "\n");
    for (const std::int32_t perBlock : {3, TParagraphsList::kRecordsPerBlock}) {
        TMemoryStream s(data);
        TParagraphsList l;
        l.SetRecordsPerBlock(perBlock);
        TRiriLineBreak found = pbCRLF;
        int calls = 0;
        std::int32_t seen = 0;
        const auto check = [&](TParagraphsList& p) {
            ASSERT_TRUE(test::PositionsConsistent(p));
            EXPECT_NO_THROW(p.CheckBlocks());
            EXPECT_EQ(p.LineCount, p.Count()) << "one display line a paragraph until laid out";
            EXPECT_GT(p.Count(), seen) << "the text grows between calls";
            EXPECT_EQ(std::string(p.At(p.Count() - 1).View()), "line " + std::to_string(p.Count() - 1));
            seen = p.Count();
            if (++calls == 20) throw ELoadStopped();
        };
        EXPECT_THROW(l.LoadFromStream(s, 0, 0, check, found, false), ELoadStopped);
        EXPECT_EQ(calls, 20);
        ASSERT_TRUE(test::PositionsConsistent(l));
        EXPECT_EQ(l.Count(), seen + 1) << "the paragraphs read by the stop and the empty one behind the last break";
        EXPECT_EQ(l.LineCount, l.Count());
        EXPECT_EQ(std::string(l.At(seen - 1).View()), "line " + std::to_string(seen - 1));
    }
}

TEST(Clear, ReturnsToOneBlockAndNoBuffers) {
    TParagraphsList l;
    std::string data;
    for (int i = 0; i < 5000; ++i) data += "abc\n";
    Load(l, data);
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.TotalLen, 0);
    EXPECT_EQ(l.BlockCount(), 1);
    EXPECT_NO_THROW(l.CheckBlocks());
    EXPECT_TRUE(l.LoadBuffers.empty());
    EXPECT_EQ(l.FormatLast, -1);
}

}  // namespace
}  // namespace tarvex
