// Printing an editor's text: the print copy, pages, numbers, header and
// footer, and the runs drawn as the screen draws them. The test printer has
// 100 pixels per inch, characters 10 pixels wide and text 15 pixels high, so
// with the default margins a line holds 72 characters and with the default
// spacing (1.5 lines: 23 pixels) a page holds 41 lines.

#include <gtest/gtest.h>

#include <memory>

#include "output/dudi_riri_printer.h"
#include "output/print_settings.h"
#include "tests/output/test_device.h"

namespace tarvex {
namespace {

std::string NumberedLines(int N) {
    std::string s;
    for (int i = 0; i < N; ++i) s += (i ? "\r\n" : "") + std::string("line ") + std::to_string(i);
    return s;
}

class Printer : public ::testing::Test {
protected:
    test::TTestPrintDevice Dev;
    std::unique_ptr<TDudiRiri> Memo = std::make_unique<TDudiRiri>();
    TDudiRiriPrinter P{&Dev};

    void SetUp() override { P.SetMemoToPrint(Memo.get()); }
    void SetText(std::string_view T) { Memo->SetTextBuf(T); }
    test::TRecordingCanvas& Sheet() { return Dev.Sheet; }
};

TEST_F(Printer, PageGeometryFollowsTheSpacingAndMargins) {
    SetText("x");
    ASSERT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.LineStep(), 23) << "1.5 times the 15-pixel height of A";
    EXPECT_EQ(P.LinesPerPage(), 41) << "(1100 - 150) div 23";
    EXPECT_EQ(P.PrintCopy()->ClientWidth(), 725) << "the sheet less both side margins";

    P.SetLineSpacing(0.25f);
    EXPECT_EQ(P.LineStep(), 25) << "a quarter inch: four lines per inch whatever the font";
    EXPECT_EQ(P.LinesPerPage(), 38);
    TFontSpec big = Memo->Font();
    big.Size = 30;
    Memo->SetFont(big);
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.LineStep(), 25);

    P.SetMarginTop(1.0f);
    EXPECT_EQ(P.LinesPerPage(), 37) << "recomputed at once: (1100 - 175) div 25";
}

TEST_F(Printer, ExactlyFullPagesAndOneLine) {
    SetText(NumberedLines(82));
    EXPECT_EQ(P.PageCount(), 2) << "82 lines fill exactly two pages of 41";
    SetText(NumberedLines(83));
    EXPECT_EQ(P.PageCount(), 3);
    SetText("one line");
    EXPECT_EQ(P.PageCount(), 1);
    SetText("");
    EXPECT_EQ(P.PageCount(), 1);
}

TEST_F(Printer, FooterCarriesThePageNumber) {
    ApplyMainPrintSettings(P);
    SetText(NumberedLines(100));
    P.Print();
    ASSERT_EQ(Dev.Sheets, 3);
    EXPECT_EQ(Dev.Ended, 1);
    const test::TDrawn* f = Sheet().Find("- 3 -");
    ASSERT_NE(f, nullptr) << Sheet().JoinedOn(2);
    EXPECT_EQ(f->Page, 2);
    EXPECT_EQ(f->Font.Name, "Liberation Sans");
    EXPECT_EQ(f->X, 75 + (725 - 50) / 2) << "centred between the side margins";
    EXPECT_EQ(f->Y, 1100 - 40 + Sheet().Metrics().Ascent) << "hanging from 0.4 inch above the bottom";

    P.StartingPageNumber = 10;
    P.Print();
    EXPECT_NE(Sheet().Find("- 12 -"), nullptr);
}

TEST_F(Printer, HeaderSitsBetweenItsPositionAndTheTopMargin) {
    SetText("text");
    P.Header = "Report {p}";
    P.HeaderAlign = taRightJustify;
    P.Print();
    const test::TDrawn* h = Sheet().Find("Report 1");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->X, 800 - 80);
    EXPECT_EQ(h->Y, 40 + Sheet().Metrics().Ascent);
    EXPECT_EQ(Sheet().JoinedOn(0), "Report 1|text") << "no footer when it is empty";
}

TEST_F(Printer, FormFeedStartsAPageAndIsNotPrinted) {
    SetText("first\r\n\fsecond\r\nthird");
    EXPECT_EQ(P.PageCount(), 2);
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "first");
    EXPECT_EQ(Sheet().JoinedOn(1), "second|third");
    const test::TDrawn* s = Sheet().Find("second");
    EXPECT_EQ(s->Y, 75) << "at the top of its page";
    for (const test::TDrawn& d : Sheet().Items) EXPECT_EQ(d.Text.find('\f'), std::string::npos);

    // Exactly one full page before the form feed: the break adds a blank page.
    SetText(NumberedLines(41) + "\r\n\fnext");
    EXPECT_EQ(P.PageCount(), 3);
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(1), "");
    EXPECT_EQ(Sheet().JoinedOn(2), "next");
    EXPECT_EQ(Memo->Paragraph(41), "\fnext") << "the editor's text keeps its form feed";
}

TEST_F(Printer, ParagraphNumbersWinOverLineNumbers) {
    // The first paragraph wraps into two lines (a line holds 72 characters).
    SetText(std::string(60, 'a') + " " + std::string(30, 'b') + "\r\nshort");
    P.LineNumbers = true;
    P.ParagraphNumbers = true;
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "1: |" + std::string(60, 'a') + " |" + std::string(30, 'b') + "|2: |short");
    const test::TDrawn* n = Sheet().Find("1: ");
    EXPECT_EQ(n->X, 75 - 30) << "the number ends at the left margin";

    P.ParagraphNumbers = false;
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "1: |" + std::string(60, 'a') + " |2: |" + std::string(30, 'b') + "|3: |short");
}

TEST_F(Printer, SelectionPrintsItsParagraphsNumberedFromTheirPlace) {
    SetText(NumberedLines(20));
    Memo->SetSelStart(Memo->Pars.StartPos(10) + 2);  // inside paragraph 10 ("line 10")
    Memo->SetSelLength(Memo->Pars.StartPos(12) + 4 - Memo->SelStart());
    const std::string before = Memo->Text();
    P.ParagraphNumbers = true;
    P.PrintSelection();
    EXPECT_EQ(Sheet().JoinedOn(0), "11: |ne 10|12: |line 11|13: |line") << "cut at both ends of the selection";
    P.ParagraphNumbers = false;
    P.LineNumbers = true;
    P.PrintSelection();
    EXPECT_EQ(Sheet().JoinedOn(0), "1: |ne 10|2: |line 11|3: |line");
    EXPECT_EQ(Memo->Text(), before) << "the editor's text is never touched";

    P.LineNumbers = false;
    P.Print();
    EXPECT_EQ(Sheet().TextsOn(0).size(), 20u) << "a later Print prints the whole text again";

    // Whole lines selected with their break: the next paragraph is not printed.
    Memo->SetSelStart(Memo->Pars.StartPos(3));
    Memo->SetSelLength(Memo->Pars.StartPos(5) - Memo->SelStart());
    P.PrintSelection();
    EXPECT_EQ(Sheet().JoinedOn(0), "line 3|line 4");
}

TEST_F(Printer, PrintCopySharesTheEditorsParagraphTexts) {
    SetText("alpha\r\nbeta\r\ngamma");
    ASSERT_TRUE(P.Prepare());
    TDudiRiri* copy = P.PrintCopy();
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->ParagraphCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->Pars.At(i).Text(), Memo->Pars.At(i).Text()) << "paragraph " << i;
        EXPECT_FALSE(copy->Pars.At(i).OwnText());
    }
    // An edit may free those texts: the copy goes, and is built again on demand.
    Memo->SetSelStart(0);
    Memo->SetSelText("new ");
    EXPECT_EQ(P.PrintCopy(), nullptr);
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "new alpha|beta|gamma");
}

TEST_F(Printer, ForgetsADestroyedEditor) {
    SetText("text");
    EXPECT_EQ(P.PageCount(), 1);
    Memo.reset();
    EXPECT_EQ(P.MemoToPrint(), nullptr);
    EXPECT_EQ(P.PrintCopy(), nullptr);
    P.Print();
    EXPECT_EQ(Dev.Jobs, 0) << "nothing is printed without an editor";
    EXPECT_EQ(P.PageCount(), 0);
}

TEST_F(Printer, RunsKeepTheHighlightingUnlessPlain) {
    Memo->Keywords.AddKeyword("red", koWholeWord, -1, 0x0000FF, 0, 1, fsBold);
    SetText("a red word");
    P.Print();
    const test::TDrawn* r = Sheet().Find("red");
    ASSERT_NE(r, nullptr) << Sheet().JoinedOn(0);
    EXPECT_EQ(r->Color, 0x0000FF);
    EXPECT_EQ(r->Font.Style & fsBold, fsBold);
    EXPECT_EQ(r->X, 75 + 20);
    EXPECT_EQ(Sheet().Find(" word")->X, 75 + 50);

    P.SetPlainText(true);
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "a red word") << "one run: no highlighting";
    EXPECT_EQ(Sheet().Find("a red word")->Color, Memo->Font().Color);
}

TEST_F(Printer, StaticStylesSwitchFontsAndTheirCodesAreNotPrinted) {
    Memo->SetStaticFormat(true);
    SetText("plain \x02" "bold\x02 \x03hl\x03");
    P.Print();
    EXPECT_EQ(Sheet().JoinedOn(0), "plain |bold| |hl");
    EXPECT_EQ(Sheet().Find("bold")->Font.Style & fsBold, fsBold);
    EXPECT_EQ(Sheet().Find("plain ")->Font.Style & fsBold, 0);
    EXPECT_EQ(Sheet().Find("hl")->Color, Memo->HighlightColor);
    EXPECT_EQ(Sheet().Find("bold")->X, 75 + 60) << "codes take no room";
}

TEST_F(Printer, StyleInForceAtTheSelectionStartCarriesOver) {
    Memo->SetStaticFormat(true);
    SetText("\x02" "bold text\x02 plain");
    Memo->SetSelStart(3);
    Memo->SetSelLength(11);
    P.PrintSelection();
    EXPECT_EQ(Sheet().JoinedOn(0), "ld text| pl");
    EXPECT_EQ(Sheet().Find("ld text")->Font.Style & fsBold, fsBold);
}

TEST_F(Printer, TabsJustificationAndAlignment) {
    SetText("a\tb");
    P.Print();
    EXPECT_EQ(Sheet().Find("b")->X, 75 + 80) << "tabs every 8 blanks of 10 pixels";

    Memo->SetAlignment(taRightJustify);
    SetText("right");
    P.Print();
    EXPECT_EQ(Sheet().Find("right")->X, 800 - 50);

    Memo->SetAlignment(taLeftJustify);
    Memo->SetJustified(true);
    std::string words;
    for (int i = 0; i < 20; ++i) words += "word ";
    SetText(words);
    P.Print();
    const std::vector<test::TDrawn> t = Sheet().TextsOn(0);
    // Line 1 holds 14 words and is stretched to the right margin; line 2 is not.
    int lastOnLine1 = -1;
    for (int i = 0; i < static_cast<int>(t.size()); ++i)
        if (t[static_cast<std::size_t>(i)].Y == t[0].Y) lastOnLine1 = i;
    ASSERT_GT(lastOnLine1, 0);
    EXPECT_EQ(t[static_cast<std::size_t>(lastOnLine1)].X + 40, 800);
}

TEST_F(Printer, AChangedPaperLaysOutAgain) {
    SetText(NumberedLines(50));
    EXPECT_EQ(P.PageCount(), 2);
    Dev.M.PageHeight = 2200;  // the device changed behind the printer's back
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.LinesPerPage(), 89);
}

TEST_F(Printer, DeviceOffsetsAndScale) {
    SetText("x");
    Dev.M.OffsetX = 20;
    Dev.M.OffsetY = 30;
    P.DeviceChanged();
    test::TRecordingCanvas c;
    P.DrawPage(c, 0, 1.0);
    EXPECT_EQ(c.Items.at(0).X, 55) << "device coordinates leave out the unprintable edge";
    EXPECT_EQ(c.Items.at(0).Y, 45);
    c.Items.clear();
    P.DrawPage(c, 0, 0.5, poSheet);
    EXPECT_EQ(c.Items.at(0).X, 38) << "a preview shows the sheet from its corner";
    EXPECT_EQ(c.Items.at(0).Y, 38);
    EXPECT_DOUBLE_EQ(c.Items.at(0).Scale, 0.5) << "fonts scale with the page";
    EXPECT_DOUBLE_EQ(c.FontScale(), 1.0) << "and the canvas is left as it was";
}

TEST_F(Printer, PageRangesAndDialogChoices) {
    ApplyMainPrintSettings(P);
    SetText(NumberedLines(100));
    P.PrintPages(1, 10);
    EXPECT_EQ(Dev.Sheets, 2) << "pages beyond the last are skipped";
    EXPECT_NE(Sheet().Find("- 2 -"), nullptr);
    EXPECT_NE(Sheet().Find("- 3 -"), nullptr);

    const int jobs = Dev.Jobs;
    int progress = 0;
    P.OnProgress = [&](TDudiRiriPrinter&) { ++progress; };
    P.PrintPages(5, 9);
    EXPECT_EQ(Dev.Jobs, jobs) << "no job for an empty range";
    EXPECT_EQ(progress, 1);

    TPrintChoice c;
    c.Range = TPrintChoice::prPageNums;
    c.FromPage = 2;
    c.ToPage = 2;
    P.PrintWithDialog(c);
    EXPECT_EQ(Dev.Sheets, 1);
    EXPECT_NE(Sheet().Find("- 2 -"), nullptr) << "dialog pages count from 1";
    c.Range = TPrintChoice::prAllPages;
    P.PrintWithDialog(c);
    EXPECT_EQ(Dev.Sheets, 3);
    EXPECT_EQ(P.PagePrinting(), -1);
}

TEST_F(Printer, AFailingJobIsAbortedAndReported) {
    SetText(NumberedLines(100));
    Dev.FailOnSheet = 1;
    EXPECT_THROW(P.Print(), std::runtime_error);
    EXPECT_EQ(Dev.Aborted, 1);
    EXPECT_EQ(Dev.Ended, 0);
    EXPECT_EQ(P.PagePrinting(), -1);

    TDudiRiriPrinter none;
    none.SetMemoToPrint(Memo.get());
    EXPECT_THROW(none.PageCount(), ERiriError) << "no printer";
    EXPECT_THROW(P.Preview(), ERiriError) << "no preview window without a window system";
}

TEST_F(Printer, SideMarginsLayOutAgain) {
    SetText(std::string(100, 'a') + " " + std::string(100, 'b'));
    EXPECT_EQ(P.PrintCopy() == nullptr, true);
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.PrintCopy()->LineCount(), 4) << "100-character words break at 72 characters";
    P.SetMarginLeft(0.5f);
    P.SetMarginRight(0.25f);
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.PrintCopy()->ClientWidth(), 775);
    EXPECT_EQ(P.PrintCopy()->LineCount(), 4);
    P.SetWordWrap(false);
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(P.PrintCopy()->LineCount(), 1);
}

TEST_F(Printer, LongLayoutReportsProgress) {
    std::string t;
    for (int i = 0; i < 70000; ++i) t += "p\r\n";
    SetText(t);
    Memo->ProgressInterval = 0;
    std::vector<int> seen;
    P.OnProgress = [&](TDudiRiriPrinter& S) { seen.push_back(S.ProgressPercent()); };
    EXPECT_EQ(P.PageCount(), (70001 + 40) / 41);
    ASSERT_EQ(seen.size(), 1u) << "after the first slice of paragraphs";
    EXPECT_GT(seen[0], 0);
    EXPECT_LT(seen[0], 100);
    EXPECT_EQ(P.ProgressPercent(), 100);
    EXPECT_EQ(P.PrintCopy()->LineCount(), 70001) << "the slices add up";
    P.PrintPages(0, 1);
    EXPECT_EQ(seen.size(), 3u) << "between the sheets and at the end";
    EXPECT_EQ(seen[1], 0) << "while sheet 1 of many prints";
}

TEST_F(Printer, FormatPrintSeesTheCopyBeforeLayout) {
    SetText("some text");
    TDudiRiri* seen = nullptr;
    P.OnFormatPrint = [&](TDudiRiri& Copy) {
        seen = &Copy;
        Copy.TDudiRiriBase::SetTabStops(2);
    };
    EXPECT_EQ(P.PageCount(), 1);
    EXPECT_EQ(seen, P.PrintCopy());
    EXPECT_NE(seen, Memo.get());
    EXPECT_EQ(P.PrintCopy()->TabStops(), 2);
}

}  // namespace
}  // namespace tarvex
