#pragma once
// TDudiRiriPrinter: prints the text of an editor page by page, with margins,
// line spacing, a header and a footer with the page number, line or
// paragraph numbers, and the editor's highlighting and static styles.
//
// The text is laid out again for the paper in a hidden print copy of the
// editor. The copy's paragraph records point at the editor's own paragraph
// texts (nothing is copied but the records and, unless PlainText, the
// highlighting change points), so the copy is dropped whenever the editor's
// text changes and rebuilt on the next use.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/dudi_riri.h"
#include "output/pagination.h"
#include "output/print_device.h"

namespace tarvex {

// Where drawing puts the page's (0, 0): at the device's origin when printing
// (the sheet's unprintable offsets are taken off), or at the sheet's corner
// when a preview shows the whole sheet.
enum TPageOrigin : std::uint8_t { poDevice, poSheet };

class TDudiRiriPrinter : public TComponent, private TLinkedObject {
public:
    explicit TDudiRiriPrinter(TPrintDevice* Device = nullptr);
    ~TDudiRiriPrinter() override;

    // --- the printer the pages go to (not owned); a change lays out again
    TPrintDevice* Device() const { return FDevice; }
    void SetDevice(TPrintDevice* D);
    // The device's paper, orientation or resolution changed.
    void DeviceChanged();

    // --- published properties (lengths in inches)
    TDudiRiri* MemoToPrint() const { return FMemo; }
    void SetMemoToPrint(TDudiRiri* M);

    float MarginLeft() const { return FMarginLeft; }
    float MarginRight() const { return FMarginRight; }
    float MarginTop() const { return FMarginTop; }
    float MarginBottom() const { return FMarginBottom; }
    // Side margins lay the text out again; top and bottom only re-page it.
    void SetMarginLeft(float V);
    void SetMarginRight(float V);
    void SetMarginTop(float V);
    void SetMarginBottom(float V);
    // Negative: a multiple of the text height of "A" in the editor's font on
    // the printer; positive: inches.
    float LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(float V);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool V);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool V);

    // "{p}" (its first occurrence) stands for the page number. Windows-1251 text.
    std::string Header, Footer;
    float HeaderYPos = 0.4f;  // the header's top below the sheet's top
    float FooterYPos = 0.4f;  // the footer's top above the sheet's bottom
    TAlignment HeaderAlign = taLeftJustify, FooterAlign = taLeftJustify;
    TFontSpec HeaderFont, FooterFont;
    bool LineNumbers = false;
    bool ParagraphNumbers = false;  // wins over LineNumbers
    std::string PreviewTitle;
    std::int32_t StartingPageNumber = 1;

    // After the print copy is built, before it is laid out (Sender: the copy).
    std::function<void(TDudiRiri& Copy)> OnFormatPrint;
    // While a long layout for the paper runs and between sheets (at most
    // every ProgressInterval ms of the editor), and at the end of a job;
    // PagePrinting() tells the sheet, ProgressPercent() how far the work is.
    std::function<void(TDudiRiriPrinter&)> OnProgress;

    // --- printing
    void Print();
    // Only the paragraphs the editor's selection touches (cut at its ends).
    void PrintSelection();
    // Pages FromPage..ToPage, numbered from 0; pages beyond the last are skipped.
    void PrintPages(std::int32_t FromPage, std::int32_t ToPage);
    void PrintWithDialog(const TPrintChoice& Choice);
    // Shows the preview window; the platform's printer class provides it.
    virtual void Preview();
    // Pages after layout; 0 without an editor.
    std::int32_t PageCount();

    // Draws page Page (0-based) at Scale (1: the printer's own size).
    void DrawPage(TPageCanvas& C, std::int32_t Page, double Scale, TPageOrigin Origin = poDevice);
    // Draws the header (or the footer) of page Page.
    void DrawHeaderFooter(TPageCanvas& C, std::int32_t Page, bool IsFooter, double Scale, TPageOrigin Origin = poDevice);

    // --- state
    // Builds the print copy and lays it out when needed; false without an editor.
    bool Prepare();
    // Valid after Prepare.
    const TPrinterMetrics& Metrics() const { return FMetrics; }
    std::int32_t LineStep() const { return FLineStep; }
    std::int32_t LinesPerPage() const { return FPages.LinesPerPage(); }
    const TPagination& Pagination() const { return FPages; }
    // The display lines of the print copy that begin a page (form feeds).
    const std::vector<std::int32_t>& BreakLines() const { return FBreakLines; }
    std::int32_t PagePrinting() const { return FPagePrinting; }
    // How far the layout for the paper (or the job) is, 0 to 100.
    std::int32_t ProgressPercent() const;
    // The hidden copy (nullptr until built).
    TDudiRiri* PrintCopy() const { return FCopy.get(); }
    // The editor's paragraph that the copy's first paragraph is.
    std::int32_t FirstPrintedParagraph() const { return FFirstPar; }
    // Frees the print copy.
    void Release();

protected:
    // Shows the window of a preview over this printer, modally.
    virtual void ShowPreview();

private:
    void LinkNotify(TDudiRiri& Sender, std::uint32_t Code) override;
    void RequireDevice() const;
    // Prepare without the walk over every paragraph when the copy is ready:
    // drawing checks the records of the page it draws.
    bool Ready();
    void BuildCopy();
    void LayOut();
    void LayOutInSlices();
    void Paginate();
    // The copy's paragraphs First..Last still point into the editor's current texts.
    bool CopyMatches(std::int32_t First, std::int32_t Last) const;
    // The editor's look the copy was built with differs from the editor's now.
    bool LookChanged() const;
    void DrawLine(TPageCanvas& C, std::int32_t Line, std::int64_t X0, std::int64_t Baseline, double Scale);

    struct TLook {
        TAlignment Alignment = taLeftJustify;
        TFontSpec Font, AltFont;
        std::string Separators;
        bool Justified = false, StaticFormat = false;
        std::int32_t TabStops = 8, Color = 0, HighlightColor = 0, HighlightBackgnd = 0;
        friend bool operator==(const TLook&, const TLook&) = default;
    };
    TLook MemoLook() const;

    TPrintDevice* FDevice;
    TDudiRiri* FMemo = nullptr;
    float FMarginLeft = 0.75f, FMarginRight = 0.5f, FMarginTop = 0.75f, FMarginBottom = 0.75f;
    float FLineSpacing = -1.5f;
    bool FPlainText = false;
    bool FWordWrap = true;

    std::unique_ptr<TDudiRiri> FCopy;
    bool FBuilt = false;     // the copy holds the records of the current text and range
    bool FLaidOut = false;   // ... laid out for the current device and side margins
    bool FSelectionOnly = false;
    bool FBuiltSelection = false;  // what the copy was built for
    TPos FBuiltFrom = 0, FBuiltTo = 0;
    TLook FBuiltLook;
    std::int32_t FFirstPar = 0;
    std::int32_t FFirstCut = 0;                // characters left out of the first paragraph
    std::vector<std::int32_t> FBreakPars;      // copy paragraphs that begin a page
    std::vector<std::int32_t> FBreakLines;
    TPrinterMetrics FMetrics;
    std::int32_t FLineStep = 1;
    TPagination FPages;
    std::int32_t FPagePrinting = -1;
    std::int32_t FLaidOutPars = 0;  // paragraphs of the copy laid out so far
};

}  // namespace tarvex
