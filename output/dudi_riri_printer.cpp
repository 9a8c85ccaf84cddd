// TDudiRiriPrinter: properties, the editor link and the print jobs.

#include "output/dudi_riri_printer.h"

#include <chrono>
#include <climits>

namespace tarvex {

TDudiRiriPrinter::TDudiRiriPrinter(TPrintDevice* Device) : FDevice(Device) {}

TDudiRiriPrinter::~TDudiRiriPrinter() {
    if (FMemo) FMemo->RemoveLink(this);
}

void TDudiRiriPrinter::SetDevice(TPrintDevice* D) {
    FDevice = D;
    FLaidOut = false;
}

void TDudiRiriPrinter::DeviceChanged() { FLaidOut = false; }

void TDudiRiriPrinter::SetMemoToPrint(TDudiRiri* M) {
    if (M == FMemo) return;
    if (FMemo) FMemo->RemoveLink(this);
    Release();
    FMemo = M;
    if (FMemo) FMemo->AddLink(this, true);
}

void TDudiRiriPrinter::LinkNotify(TDudiRiri& Sender, std::uint32_t Code) {
    if (&Sender != FMemo) return;
    if (Code == lnDestroying) {
        FMemo->RemoveLink(this);
        FMemo = nullptr;
        Release();
    } else if (Code == lnTextChanged) {
        // The copy's records may point at texts the edit freed.
        Release();
    } else if (Code == lnFontChanged) {
        FBuilt = false;
    }
}

void TDudiRiriPrinter::Release() {
    FCopy.reset();
    FBuilt = false;
    FLaidOut = false;
}

void TDudiRiriPrinter::SetMarginLeft(float V) {
    if (V == FMarginLeft) return;
    FMarginLeft = V;
    FLaidOut = false;
}

void TDudiRiriPrinter::SetMarginRight(float V) {
    if (V == FMarginRight) return;
    FMarginRight = V;
    FLaidOut = false;
}

void TDudiRiriPrinter::SetMarginTop(float V) {
    FMarginTop = V;
    if (FLaidOut) Paginate();
}

void TDudiRiriPrinter::SetMarginBottom(float V) {
    FMarginBottom = V;
    if (FLaidOut) Paginate();
}

void TDudiRiriPrinter::SetLineSpacing(float V) {
    FLineSpacing = V;
    if (FLaidOut) Paginate();
}

void TDudiRiriPrinter::SetPlainText(bool V) {
    if (V == FPlainText) return;
    FPlainText = V;
    FBuilt = false;
}

void TDudiRiriPrinter::SetWordWrap(bool V) {
    if (V == FWordWrap) return;
    FWordWrap = V;
    FLaidOut = false;
}

void TDudiRiriPrinter::RequireDevice() const {
    if (!FDevice) throw ERiriError("No printer");
}

std::int32_t TDudiRiriPrinter::PageCount() { return Prepare() ? FPages.PageCount() : 0; }

void TDudiRiriPrinter::Print() { PrintPages(0, INT32_MAX); }

void TDudiRiriPrinter::PrintSelection() {
    if (!FMemo) return;
    struct TSelectionOnly {
        bool& Flag;
        explicit TSelectionOnly(bool& F) : Flag(F) { Flag = true; }
        ~TSelectionOnly() { Flag = false; }
    } only(FSelectionOnly);
    PrintPages(0, INT32_MAX);
}

void TDudiRiriPrinter::PrintWithDialog(const TPrintChoice& Choice) {
    switch (Choice.Range) {
        case TPrintChoice::prSelection: PrintSelection(); break;
        case TPrintChoice::prPageNums: PrintPages(Choice.FromPage - 1, Choice.ToPage - 1); break;
        default: Print(); break;
    }
}

void TDudiRiriPrinter::PrintPages(std::int32_t FromPage, std::int32_t ToPage) {
    if (!Prepare()) return;
    FromPage = std::max(0, FromPage);
    ToPage = std::min(ToPage, FPages.PageCount() - 1);
    if (FromPage <= ToPage) {
        using Clock = std::chrono::steady_clock;
        const auto interval = std::chrono::milliseconds(FMemo->ProgressInterval);
        auto last = Clock::now();
        TPageCanvas& c = FDevice->BeginDoc(PreviewTitle.empty() ? "Tarvex" : PreviewTitle);
        try {
            for (std::int32_t p = FromPage; p <= ToPage; ++p) {
                if (p > FromPage) FDevice->NewPage();
                FPagePrinting = p;
                if (!Header.empty()) DrawHeaderFooter(c, p, false, 1.0);
                if (!Footer.empty()) DrawHeaderFooter(c, p, true, 1.0);
                DrawPage(c, p, 1.0);
                if (OnProgress && p < ToPage && Clock::now() - last > interval) {
                    last = Clock::now();
                    OnProgress(*this);
                }
            }
            FDevice->EndDoc();
        } catch (...) {
            FPagePrinting = -1;
            FDevice->AbortDoc();
            throw;
        }
    }
    FPagePrinting = -1;
    if (OnProgress) OnProgress(*this);
}

void TDudiRiriPrinter::Preview() {
    if (!Prepare()) return;
    ShowPreview();
}

void TDudiRiriPrinter::ShowPreview() { throw ERiriError("No print preview without a window"); }

}  // namespace tarvex
