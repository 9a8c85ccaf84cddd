// Printing, print preview, printer set-up, Copy as RTF and the RTF form of
// Save As: the main window's printer and RTF exporter over its editor.

#include <QAction>

#include "app/qt/commands.h"
#include "app/qt/main_window.h"
#include "output/print_settings.h"
#include "output/qt/qt_printer.h"
#include "output/qt/rtf_clipboard.h"
#include "output/riri_to_rtf.h"
#include "platform/interface_text.h"

namespace tarvex {

namespace {

struct TOutputParts {
    TQtDudiRiriPrinter Printer;
    TRiriToRTF Rtf;
    TQtFormattedClipboard Clipboard;
};

// Runs an output command; its failures are shown, not thrown into the event loop.
template <typename F>
void Guarded(TFrmMainTarvex& W, F&& Body) {
    try {
        Body();
    } catch (const std::exception& e) {
        W.Prompts().ShowError(e.what());
    }
    W.ShowProgress({});
    W.MedSelMove();
}

}  // namespace

void AddOutputCommands(TFrmMainTarvex& W) {
    TOutputParts& o = W.Keep(std::make_shared<TOutputParts>());
    TDudiRiri& m = W.Memo();
    ApplyMainPrintSettings(o.Printer);
    o.Printer.SetMemoToPrint(&m);
    o.Printer.PreviewParent = &W;
    o.Printer.OnProgress = [&W, &o](TDudiRiriPrinter&) {
        W.ShowProgress("Wait " + QString::number(o.Printer.ProgressPercent()) + "%");
    };
    o.Rtf.SetDudiRiri(&m);
    o.Rtf.DynFormat = true;
    o.Rtf.RTFLeading = -1;
    o.Rtf.Clipboard = &o.Clipboard;

    // The header names the file when the settings ask for it.
    auto prepare = [&W, &o] {
        const TDocument& d = W.Doc();
        o.Printer.Header = W.Settings().PrintHeader && d.Named() ? FileNameHeader(d.FileName()) : std::string();
        o.Printer.PreviewTitle = FileNameHeader(d.Title());
    };
    TCommandBinder& c = W.Commands();
    c.On("mPrint", [&W, &o, prepare] {
        Guarded(W, [&] {
            prepare();
            o.Printer.ExecPrintDialog(&W);
        });
    });
    c.On("mPreview", [&W, &o, prepare] {
        Guarded(W, [&] {
            prepare();
            o.Printer.Preview();
        });
    });
    c.On("mPrinterSetup", [&W, &o] { Guarded(W, [&] { o.Printer.PrinterSetup(&W); }); });
    c.On("mCopyRTF", [&W, &o] { Guarded(W, [&] { o.Rtf.CopyToClipboard(); }); });
    W.Doc().RtfWriter = [&W](const std::string& Path, const TWriteProgress& Progress) {
        SaveRtfFile(W.Memo(), Path, [&Progress](TPos Done, TPos Total) {
            if (Progress && Total > 0) Progress(static_cast<int>(Done * 100 / Total));
        });
    };
}

}  // namespace tarvex
