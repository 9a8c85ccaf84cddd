// The document object without a window: opening every format, saving back
// byte for byte, the questions before saving and discarding, Save As.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/codepages.h"
#include "app/document.h"
#include "editor/dudi_riri.h"
#include "platform/codepage.h"
#include "platform/interface_text.h"
#include "tests/app/test_files.h"

namespace tarvex {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

class Document : public ::testing::Test {
protected:
    TTempDir Dir;
    TDudiRiri M;
    TScriptedPrompts P;
    TSettings S;
    THistory H;
    TDocument D{M, P, S, H};

    Document() { M.SetOptions(M.Options() | droAutoLineBreak); }
    static std::string Win(const char* Utf8) { return Utf8ToCp1251(Utf8); }
};

TEST_F(Document, PlainTextComesBackByteForByteWithItsLineBreaks) {
    for (const std::string text : {std::string("one\r\ntwo\r\n"), std::string("one\ntwo"), std::string("a\rb\r"),
                                   Win("Съешь же ещё\nэтих мягких булок")}) {
        WriteFile(Dir / "t.txt", text);
        ASSERT_TRUE(D.Open(Dir / "t.txt", 0));
        EXPECT_FALSE(D.SaveEnabled()) << "nothing to save in an unconverted file";
        M.Modified = true;
        ASSERT_TRUE(D.Save());
        EXPECT_EQ(ReadFile(Dir / "t.txt"), text);
        EXPECT_FALSE(D.SaveEnabled());
    }
    EXPECT_TRUE(P.Questions.empty());
    EXPECT_TRUE(P.Errors.empty());
}

// What each format leaves in the editor and writes back as Windows-1251.
TEST_F(Document, EveryFormatOpensAndSavesAsWindows1251) {
    const std::string word = Win("Жук");
    std::string koi = word;
    WinToKoi(koi);
    std::string dos = word + "\r\n" + std::string(40, 'x');
    WinToDos(dos);
    struct TCase {
        const char* Name;
        std::string Bytes;
        std::string Saved;
        bool Asks;  // a question before overwriting the source
    } cases[] = {
        {"u8.txt", "\xEF\xBB\xBF\xD0\x96\xD1\x83\xD0\xBA", word, true},
        {"u16.txt", std::string("\xFF\xFE\x16\x04\x43\x04\x3A\x04", 8), word, true},
        {"u16be.txt", std::string("\xFE\xFF\x04\x16\x04\x43\x04\x3A", 8), word, true},
        {"koi.txt", koi + " " + koi + " " + koi, word + " " + word + " " + word, false},
        {"dos.txt", dos, word + "\r\n" + std::string(40, 'x'), false},
        {"r.rtf", "{\\rtf1 plain text}", "plain text", true},
        {"p.htm", "<html><body><p>one</p></body></html>", "one", true},
    };
    for (TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFile(Dir / c.Name, c.Bytes);
        P.Questions.clear();
        ASSERT_TRUE(D.Open(Dir / c.Name, 0));
        EXPECT_TRUE(D.SaveEnabled()) << "a converted text can be saved unmodified";
        P.Answers = {TPrompts::paNo};
        if (c.Asks) {
            EXPECT_FALSE(D.Save());
            EXPECT_EQ(ReadFile(Dir / c.Name), c.Bytes) << "No keeps the source";
        }
        P.Answers = {TPrompts::paYes};
        ASSERT_TRUE(D.Save());
        EXPECT_EQ(P.Questions.size(), c.Asks ? 2u : 0u);
        const std::string saved = ReadFile(Dir / c.Name);
        EXPECT_NE(saved.find(c.Saved), std::string::npos) << saved;
        EXPECT_FALSE(D.SaveEnabled());
    }
}

TEST_F(Document, SaveAsUtf8WritesAMarkAndTheNextSaveAsks) {
    WriteFile(Dir / "w.txt", Win("Ёжик в тумане\n"));
    ASSERT_TRUE(D.Open(Dir / "w.txt", 0));
    M.SetSelStart(0);
    M.SetSelTextBuf("x");
    P.SaveName = Dir / "out";
    P.SaveFilter = 2;
    ASSERT_TRUE(D.SaveAs());
    EXPECT_EQ(ReadFile(Dir / "out.txt"), "\xEF\xBB\xBFxЁжик в тумане\n") << "\".txt\" added, UTF-8 after the mark";
    EXPECT_EQ(D.FileName(), Dir / "out.txt");
    EXPECT_EQ(D.ShownName(), Dir / "out.txt") << "the status bar names the new file";
    EXPECT_TRUE(M.Modified) << "the Windows-1251 text is still unsaved";
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save()) << "writing Windows-1251 over the UTF-8 copy asks first";
    EXPECT_EQ(P.Questions.back(), "Attention! Source file is UTF-8! Continue saving?");
    EXPECT_EQ(ReadFile(Dir / "out.txt").substr(0, 4), "\xEF\xBB\xBFx");
}

TEST_F(Document, SaveAsTextBindsTheNameAndReplacesWithoutTheDateQuestion) {
    WriteFile(Dir / "old.txt", "old");
    WriteFile(Dir / "new.txt", "someone else's");
    ASSERT_TRUE(D.Open(Dir / "old.txt", 0));
    P.SaveName = Dir / "new.txt";
    P.SaveFilter = 1;
    ASSERT_TRUE(D.SaveAs());
    EXPECT_EQ(ReadFile(Dir / "new.txt"), "old");
    EXPECT_EQ(D.FileName(), Dir / "new.txt");
    EXPECT_EQ(D.Title(), "new.txt");
    EXPECT_TRUE(P.Questions.empty());
    P.SaveName.clear();
    EXPECT_FALSE(D.SaveAs()) << "a cancelled dialog saves nothing";
}

TEST_F(Document, AFileChangedOnDiskIsNotOverwrittenWithoutAYes) {
    WriteFile(Dir / "t.txt", "mine");
    ASSERT_TRUE(D.Open(Dir / "t.txt", 0));
    M.Modified = true;
    WriteFile(Dir / "t.txt", "theirs");
    std::filesystem::last_write_time(Dir / "t.txt",
                                     std::filesystem::last_write_time(Dir / "t.txt") + std::chrono::seconds(5));
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    EXPECT_EQ(P.Questions.back().rfind("File was changed ", 0), 0u);
    EXPECT_EQ(ReadFile(Dir / "t.txt"), "theirs");
    P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(D.Save());
    EXPECT_EQ(ReadFile(Dir / "t.txt"), "mine");
}

TEST_F(Document, DiscardQueryAndNew) {
    EXPECT_TRUE(D.DiscardQuery()) << "nothing to lose, nothing asked";
    EXPECT_TRUE(P.Questions.empty());
    M.SetTextBuf("draft");
    M.Modified = true;
    P.Answers = {TPrompts::paCancel};
    EXPECT_FALSE(D.DiscardQuery());
    EXPECT_EQ(P.Questions.back(), "Save changes to\n\"Untitled\"?");
    P.Answers = {TPrompts::paNo};
    EXPECT_TRUE(D.DiscardQuery());
    P.Answers = {TPrompts::paYes};
    P.SaveName.clear();
    EXPECT_FALSE(D.DiscardQuery()) << "Yes with a cancelled Save As keeps the text";
    S.Lang = true;
    P.Answers = {TPrompts::paCancel};
    D.DiscardQuery();
    EXPECT_EQ(P.Questions.back(), "Сохранить изменения в\n\"Untitled\"?");
    D.New();
    EXPECT_EQ(M.Text(), "");
    EXPECT_FALSE(D.Named());
    EXPECT_FALSE(D.SaveEnabled());
    EXPECT_EQ(M.UndoMaxSpace(), 65000);
}

TEST_F(Document, AFailedSaveKeepsTheTextUnsavedAndSaysWhy) {
    M.SetTextBuf("text");
    M.Modified = true;
    EXPECT_FALSE(D.SaveAsFile(Dir / "no/such/folder/x.txt", sfText));
    ASSERT_EQ(P.Errors.size(), 1u);
    EXPECT_NE(P.Errors[0].find("x.txt"), std::string::npos) << P.Errors[0];
    EXPECT_TRUE(M.Modified);
    EXPECT_TRUE(D.SaveEnabled());
}

TEST_F(Document, OpeningRecordsTheHistoryAndTakesThePlaceFromIt) {
    S.MemFirstLine = false;
    WriteFile(Dir / "a.txt", "0123456789");
    WriteFile(Dir / "b.txt", "b");
    ASSERT_TRUE(D.Open(Dir / "a.txt", 0));
    M.SetSelStart(7);
    ASSERT_TRUE(D.Open(Dir / "b.txt", 0));
    ASSERT_EQ(H.Items().size(), 1u);
    EXPECT_EQ(H.Items()[0].Name, Dir / "a.txt");
    ASSERT_TRUE(D.Open(Dir / "a.txt", 0));
    EXPECT_EQ(M.SelStart(), 7);
    EXPECT_EQ(D.LoadedPos(), 7);
    EXPECT_FALSE(D.Open(Dir / "missing.txt", 0));
    EXPECT_EQ(D.FileName(), Dir / "a.txt") << "a failed open keeps the document";
    ASSERT_EQ(P.Errors.size(), 1u);
}

TEST_F(Document, RefreshAsksToSaveChangesFirst) {
    WriteFile(Dir / "r.txt", "disk");
    ASSERT_TRUE(D.Open(Dir / "r.txt", 0));
    M.SetSelStart(4);
    M.SetSelTextBuf("!");
    P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(D.ConfirmRefresh());
    EXPECT_EQ(ReadFile(Dir / "r.txt"), "disk!");
    EXPECT_FALSE(TDocument(M, P, S, H).ConfirmRefresh()) << "a new document has no file to read again";
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST_F(Document, ALoadTheUserStopsKeepsWhatWasReadAndGuardsTheFile) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "paragraph " + std::to_string(i) + "\r\n";
    WriteFile(Dir / "big.txt", text);
    M.ProgressInterval = 0;
    D.LoadSliceMs = 0;  // a slice every few paragraphs
    P.StopAfterSlices = 3;
    ASSERT_TRUE(D.Open(Dir / "big.txt", 0));
    P.StopAfterSlices = -1;
    const std::int32_t lines = M.Pars.Count() - 1;
    ASSERT_GT(lines, 0);
    ASSERT_LT(lines, 20000);
    ASSERT_EQ(P.Messages.size(), 1u);
    EXPECT_EQ(P.Messages[0], "Loading was stopped: only the first " + FormatCount(lines) + " lines of the file are in the editor.");
    EXPECT_EQ(M.Text(), text.substr(0, M.Text().size()));
    EXPECT_EQ(D.FileName(), Dir / "big.txt");
    EXPECT_FALSE(M.Modified);
    // Saving over the file would cut it: asked, and No keeps it.
    M.SetSelStart(0);
    M.SetSelTextBuf("edit ");
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    ASSERT_EQ(P.Questions.size(), 1u);
    EXPECT_EQ(P.Questions[0], "Loading was stopped after " + FormatCount(lines) +
                                  " lines: saving replaces the whole file with them and the rest is lost. Save anyway?");
    EXPECT_EQ(ReadFile(Dir / "big.txt"), text);
    // Opened whole again, nothing is asked.
    ASSERT_TRUE(D.Open(Dir / "big.txt", 0));
    EXPECT_EQ(M.Pars.Count(), 20001);
    M.SetSelStart(0);
    M.SetSelTextBuf("edit ");
    EXPECT_TRUE(D.Save());
    EXPECT_EQ(P.Questions.size(), 1u);
    EXPECT_EQ(ReadFile(Dir / "big.txt"), "edit " + text);
}

TEST_F(Document, ASaveTheUserStopsLeavesTheFileAsItWas) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "paragraph " + std::to_string(i) + "\r\n";
    WriteFile(Dir / "big.txt", text);
    ASSERT_TRUE(D.Open(Dir / "big.txt", 0));
    M.SetSelStart(0);
    M.SetSelTextBuf("edit ");
    M.ProgressInterval = 0;
    D.SliceMs = 0;  // a slice every few paragraphs
    P.StopAfterSlices = 2;
    EXPECT_FALSE(D.Save());
    ASSERT_EQ(P.Errors.size(), 1u);
    EXPECT_NE(P.Errors[0].find("stopped"), std::string::npos) << P.Errors[0];
    EXPECT_EQ(ReadFile(Dir / "big.txt"), text);
    EXPECT_TRUE(M.Modified);
    P.StopAfterSlices = -1;
    EXPECT_TRUE(D.Save());
    EXPECT_EQ(ReadFile(Dir / "big.txt"), "edit " + text);
    EXPECT_GT(P.ProgressTexts.size(), 2u) << "\"Saving N%\" along the way";
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

class DocumentSafety : public Document {};

TEST_F(DocumentSafety, ANulCutIsToldAndSaveAsksBeforeDroppingTheRest) {
    std::string file = "head line\r\n" + std::string(1, '\0') + "tail that must survive\r\n";
    WriteFile(Dir / "nul.log", file);
    ASSERT_TRUE(D.Open(Dir / "nul.log", 0));
    EXPECT_EQ(M.Text(), "head line\r\n");
    ASSERT_EQ(P.Messages.size(), 1u);
    EXPECT_NE(P.Messages[0].find("NUL byte at position 11"), std::string::npos);
    M.Modified = true;
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    EXPECT_NE(P.Questions.back().find("position 11"), std::string::npos);
    EXPECT_EQ(ReadFile(Dir / "nul.log"), file) << "refused: the file keeps its tail";
    P.Answers = {TPrompts::paYes};
    EXPECT_TRUE(D.Save());
    EXPECT_EQ(ReadFile(Dir / "nul.log"), "head line\r\n");
    const std::size_t asked = P.Questions.size();
    M.Modified = true;
    EXPECT_TRUE(D.Save()) << "once saved, the file is the whole document";
    EXPECT_EQ(P.Questions.size(), asked);
}

TEST_F(DocumentSafety, SavingAUtf8SourceSaysHowManyCharactersBecameQuestionMarks) {
    WriteFile(Dir / "u.txt", "\xEF\xBB\xBF" "мир \xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x98\x80\r\n");
    ASSERT_TRUE(D.Open(Dir / "u.txt", 0));
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    ASSERT_FALSE(P.Questions.empty());
    EXPECT_EQ(P.Questions.back().rfind("3 characters that Windows-1251 lacks", 0), 0u) << P.Questions.back();
    EXPECT_NE(P.Questions.back().find("UTF-8"), std::string::npos);
}

TEST_F(DocumentSafety, AChangeThatPutTheTimeBackIsStillNoticed) {
    WriteFile(Dir / "t.txt", "mine1");
    ASSERT_TRUE(D.Open(Dir / "t.txt", 0));
    const auto when = std::filesystem::last_write_time(Dir / "t.txt");
    WriteFile(Dir / "t.txt", "their");
    std::filesystem::last_write_time(Dir / "t.txt", when);
    M.Modified = true;
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    EXPECT_EQ(P.Questions.back().rfind("File was changed ", 0), 0u);
    EXPECT_EQ(ReadFile(Dir / "t.txt"), "their");
}

TEST_F(DocumentSafety, AReadOnlyFileIsReplacedOnlyAfterAYes) {
    WriteFile(Dir / "ro.txt", "old");
    std::filesystem::permissions(Dir / "ro.txt", std::filesystem::perms::owner_read);
    ASSERT_TRUE(D.Open(Dir / "ro.txt", 0));
    M.SetTextBuf("new");
    M.Modified = true;
    P.Answers = {TPrompts::paNo};
    EXPECT_FALSE(D.Save());
    EXPECT_NE(P.Questions.back().find("read-only"), std::string::npos);
    EXPECT_EQ(ReadFile(Dir / "ro.txt"), "old");
}

}  // namespace
}  // namespace tarvex
