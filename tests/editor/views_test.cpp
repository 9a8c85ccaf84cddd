#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "editor/text_views.h"

namespace tarvex {
namespace {

TEST(Paragraphs, TheEmptyLastParagraphIsNotListed) {
    TDudiRiri m;
    m.SetTextBuf("a\r\nb\r\n");
    TRiriParaStrings& p = m.Paragraphs();
    EXPECT_EQ(p.Count(), 2);
    EXPECT_EQ(p.Add("c"), 2) << "Add fills the empty last paragraph";
    EXPECT_EQ(m.Text(), "a\r\nb\r\nc\r\n");
    m.SetTextBuf("x");
    EXPECT_EQ(p.Add("y"), 1) << "without one it appends";
    EXPECT_EQ(m.Text(), "x\r\ny");
    p.Insert(0, "first");
    p.Insert(10, "last");
    EXPECT_EQ(m.Text(), "first\r\nx\r\ny\r\nlast");
    p.Delete(1);
    EXPECT_EQ(m.Text(), "first\r\ny\r\nlast");
    p.Delete(2);
    EXPECT_EQ(m.Text(), "first\r\ny\r\n") << "deleting the last paragraph leaves an empty one";
    p.Put(1, "Y");
    EXPECT_EQ(p.Get(1), "Y");
    p.PutWide(0, u"\u041F");
    EXPECT_EQ(p.Get(0), "\xCF");
    EXPECT_EQ(p.GetWide(0), u"\u041F");
}

TEST(Lines, PutReplacesOneDisplayLine) {
    TFixedCanvas c(10);
    TDudiRiri m;
    m.SetCanvas(&c);
    m.SetColumnWrap(10);
    m.SetTextBuf("aaaa bbbb cccc\r\nnext");
    TRiriLinesStrings& l = m.Lines();
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Get(1), "cccc");
    l.Put(1, "XY");
    EXPECT_EQ(m.Text(), "aaaa bbbb XY\r\nnext") << "only that line's characters";
    l.Delete(2);
    EXPECT_EQ(m.Text(), "aaaa bbbb XY\r\n");
    m.SetCanvas(nullptr);
}

TEST(Views, AssignCopiesTheWholeText) {
    TFixedCanvas c(10);
    TDudiRiri a, b;
    a.SetCanvas(&c);
    a.SetColumnWrap(5);
    const std::string t = "a paragraph much longer than any display line\r\nsecond";
    a.SetTextBuf(t);
    b.Lines().Assign(a.Lines());
    EXPECT_EQ(b.Text(), t);
    b.Paragraphs().Assign(std::vector<std::string>{"x", "y"});
    EXPECT_EQ(b.Text(), "x\r\ny\r\n");
    a.SetCanvas(nullptr);
}

TEST(Views, PersistentFormRoundTripWithContinuations) {
    TDudiRiri a, b;
    a.SetTextBuf(std::string("one\r\nends in five\x05\r\n\r\nlast"));
    TValueWriter w;
    a.Paragraphs().WriteTo(w);
    TValueReader r(w.Data());
    EXPECT_EQ(r.ReadProperty(), "Strings");
    b.Paragraphs().ReadFrom(r);
    EXPECT_EQ(b.Text(), a.Text());

    TValueWriter pieces;
    pieces.WriteListBegin();
    pieces.WriteString("split \x05");
    pieces.WriteString("across strings");
    pieces.WriteWideString(u"wide \u0416\x05");
    pieces.WriteListEnd();
    TValueReader r2(pieces.Data());
    b.Paragraphs().ReadFrom(r2);
    EXPECT_EQ(b.Text(), "split across strings\r\nwide \xC6\x05") << "a wide string is always a whole paragraph";
    TDudiRiri empty;
    TValueWriter none;
    empty.Paragraphs().WriteTo(none);
    EXPECT_TRUE(none.Data().empty()) << "nothing is written for an empty text";
}

}  // namespace
}  // namespace tarvex
