// Whole-text rewrites that hand the text to the store: the store keeps the
// string and gives it back untouched, the editor records one undo step with
// the old text, and undo and redo swap the two without copies. The size
// threshold is lowered so that small texts take the same path.

#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "textstore/navigator.h"
#include "textstore/stream.h"

namespace tarvex {
namespace {

bool Upper(const std::string& Old, std::string& New) {
    New = Old;
    for (char& c : New)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return New != Old;
}

struct Memo : TDudiRiri {
    explicit Memo(std::string_view Text) {
        WholeTextMinSize = 0;
        SetTextBuf(Text);
        ClearUndo();
        Modified = false;
    }
};

TEST(AdoptedText, SplitsAtBreaksAndGivesTheStringBack) {
    for (const std::string text : {"one\r\ntwo\r\n\r\nthree", "lone\rcr and\nlf\n\rx\r\n", "", "\r\n", "end\r\n"}) {
        TParagraphsList l;
        l.AdoptText(std::string(text), false);
        // As the editing primitive splits: at CR, CR LF being one break; a lone LF is a character.
        std::string joined;
        for (std::int32_t i = 0; i < l.Count(); ++i) joined += (i ? "\r\n" : "") + std::string(l.At(i).View());
        std::string expected;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                expected += "\r\n";
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            } else {
                expected += text[i];
            }
        }
        EXPECT_EQ(joined, expected);
        EXPECT_EQ(l.TotalLen, static_cast<TPos>(expected.size()));
        EXPECT_EQ(l.StartPos(l.Count() - 1) + l.At(l.Count() - 1).Len(), l.TotalLen);
        std::string back;
        if (expected == text) {
            ASSERT_TRUE(l.ReleaseAdoptedText(back)) << text;
            EXPECT_EQ(back, text) << "the string comes back with its breaks";
            EXPECT_EQ(l.Count(), 0);
        }
    }
}

TEST(AdoptedText, RefusalsChangeNothing) {
    TParagraphsList l;
    l.AdoptText("kept\r\ntext", false);
    l.MaxParLen = 5;
    std::string big = "short\r\nfar too long";
    EXPECT_THROW(l.AdoptText(std::move(big), false), ERiriError);
    EXPECT_EQ(big, "short\r\nfar too long") << "the refused string is left as it was";
    EXPECT_EQ(l.At(0).View(), "kept") << "and so is the store";
    l.MaxCount = 2;
    l.MaxParLen = 100;
    std::string many = "a\r\nb\r\nc";
    EXPECT_THROW(l.AdoptText(std::move(many), false), ERiriError);
    EXPECT_EQ(many, "a\r\nb\r\nc");
}

TEST(AdoptedText, EditedParagraphsAreNotGivenBack) {
    Memo m("one\r\ntwo");
    ASSERT_TRUE(m.TransformWholeText(Upper));
    m.SetSelStart(6);
    m.SetSelTextBuf("x");
    std::string out;
    EXPECT_FALSE(m.Pars.ReleaseAdoptedText(out)) << "an own buffer now";
    EXPECT_EQ(m.Text(), "ONE\r\nTxWO");
}

TEST(WholeTextTransform, OneUndoStepBothWays) {
    Memo m("alpha\r\nbeta\r\ngamma");
    TRiriNavigator mark(&m);
    mark.SetPos(9);
    m.SetSelStart(8);
    ASSERT_TRUE(TransformWholeText(m, Upper));
    EXPECT_EQ(m.Text(), "ALPHA\r\nBETA\r\nGAMMA");
    EXPECT_EQ(m.SelStart(), 0);
    EXPECT_EQ(mark.Pos(), 0) << "positions inside the replaced text go to its start";
    EXPECT_TRUE(m.Modified);
    ASSERT_TRUE(m.CanUndo());
    m.Undo();
    EXPECT_EQ(m.Text(), "alpha\r\nbeta\r\ngamma");
    EXPECT_FALSE(m.CanUndo());
    ASSERT_TRUE(m.CanRedo());
    m.Redo();
    EXPECT_EQ(m.Text(), "ALPHA\r\nBETA\r\nGAMMA");
    m.Undo();
    m.SetSelStart(m.CharCount());
    m.SetSelTextBuf("!");
    EXPECT_FALSE(m.CanRedo()) << "an edit drops the redo step";
    m.Undo();
    m.Undo();
    EXPECT_EQ(m.Text(), "alpha\r\nbeta\r\ngamma");
}

TEST(WholeTextTransform, TypingAfterItUndoesInOrder) {
    Memo m("abc\r\ndef");
    ASSERT_TRUE(TransformWholeText(m, Upper));
    m.SetSelStart(2);
    m.SetSelTextBuf("x");
    m.SetSelTextBuf("y");
    EXPECT_EQ(m.Text(), "ABxyC\r\nDEF");
    m.Undo();
    EXPECT_EQ(m.Text(), "ABC\r\nDEF");
    m.Undo();
    EXPECT_EQ(m.Text(), "abc\r\ndef");
    m.Redo();
    m.Redo();
    EXPECT_EQ(m.Text(), "ABxyC\r\nDEF");
}

TEST(WholeTextTransform, NoChangeAndFailuresKeepTheText) {
    Memo m("ABC\r\nDEF");
    EXPECT_FALSE(TransformWholeText(m, Upper));
    EXPECT_EQ(m.Text(), "ABC\r\nDEF");
    EXPECT_FALSE(m.CanUndo());
    EXPECT_FALSE(m.Modified);
    EXPECT_THROW(TransformWholeText(m, [](const std::string&, std::string&) -> bool { throw std::runtime_error("x"); }),
                 std::runtime_error);
    EXPECT_EQ(m.Text(), "ABC\r\nDEF");
    EXPECT_FALSE(m.CanUndo());
    m.Pars.MaxParLen = 10;
    EXPECT_THROW(TransformWholeText(m, [](const std::string&, std::string& New) {
                     New = std::string(20, 'x');
                     return true;
                 }),
                 ERiriError);
    EXPECT_EQ(m.Text(), "ABC\r\nDEF") << "a refused text leaves the old one";
    EXPECT_FALSE(m.CanUndo());
    EXPECT_EQ(m.UpdateCount(), 0) << "the update batch ended";
}

TEST(WholeTextTransform, LengthChangesAndTheUndoSpace) {
    Memo m(std::string(5000, 'a'));
    m.SetUndoMaxSpace(100);
    ASSERT_TRUE(TransformWholeText(m, [](const std::string& Old, std::string& New) {
        New = Old + Old + "\r\nend";
        return true;
    }));
    EXPECT_EQ(m.CharCount(), 10005);
    ASSERT_TRUE(m.CanUndo()) << "the undo space was raised for the old text";
    m.Undo();
    EXPECT_EQ(m.Text(), std::string(5000, 'a'));
    m.Redo();
    EXPECT_EQ(m.CharCount(), 10005);
}

// The bytes a save writes (CR LF breaks).
std::string Saved(TDudiRiri& M) {
    TMemoryStream out;
    M.SaveToStream(out);
    return out.Data();
}

TEST(WholeTextTransform, UndoGivesBackTheLoadedBytes) {
    // Empty paragraphs, a break at the end, a tab,
    // high bytes and a NUL replacement byte: a loaded text lies in load
    // buffers (copied out once), a transformed one in its adopted string.
    std::string file = "first line\r\n\r\nthird \xE0\xE1\xFF with\tTAB\r\n";
    for (int i = 0; i < 50; ++i) file += "paragraph " + std::to_string(i) + " \xC0\xF7\r\n";
    TDudiRiri m;
    m.WholeTextMinSize = 0;
    TMemoryStream in(file);
    m.LoadFromStream(in);
    m.ClearUndo();
    const std::string loaded = Saved(m);
    ASSERT_EQ(loaded, file);
    const std::int32_t pars = m.ParagraphCount();
    ASSERT_TRUE(TransformWholeText(m, Upper));
    EXPECT_EQ(m.ParagraphCount(), pars);
    const std::string upper = Saved(m);
    EXPECT_NE(upper, loaded);
    for (int round = 0; round < 3; ++round) {
        m.Undo();
        EXPECT_EQ(Saved(m), loaded) << "round " << round;
        EXPECT_EQ(m.ParagraphCount(), pars);
        m.Redo();
        EXPECT_EQ(Saved(m), upper) << "round " << round;
    }
    // A second transform on top of the first undoes step by step.
    ASSERT_TRUE(TransformWholeText(m, [](const std::string& Old, std::string& New) {
        New = Old;
        for (char& c : New)
            if (c == ' ') c = '_';
        return true;
    }));
    m.Undo();
    EXPECT_EQ(Saved(m), upper);
    m.Undo();
    EXPECT_EQ(Saved(m), loaded);
    EXPECT_FALSE(m.CanUndo());
}

TEST(WholeTextTransform, SmallTextsTakeTheEditingPrimitive) {
    TDudiRiri m;
    m.SetTextBuf("abc");
    m.ClearUndo();
    ASSERT_TRUE(TransformWholeText(m, Upper));
    EXPECT_EQ(m.Text(), "ABC");
    m.Undo();
    EXPECT_EQ(m.Text(), "abc");
}

}  // namespace
}  // namespace tarvex
