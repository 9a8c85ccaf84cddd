// tarvex-cli detect and decode: what opening a file in the editor decides
// about its bytes, and the text the editor then holds. Both run the editor's
// own loader on a control without a window.

#include <iostream>
#include <memory>

#include "textstore/atomic_file.h"
#include "platform/codepage.h"
#include "cli/commands.h"
#include "cli/document.h"
#include "editor/dudi_riri.h"
#include "app/document.h"
#include "app/loader.h"
#include "platform/prompts.h"
#include "app/text_writer.h"

namespace tarvex::cli {

namespace {

struct TDecodeArgs {
    TLoadSettings Settings;
    bool Utf8 = false;
    std::string File, Out;
};

TDecodeArgs ParseArgs(const Args& A, const char* Command, bool Decode) {
    TDecodeArgs r;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        if (a == "--no-autodecode") {
            r.Settings.AutoDecode = false;
        } else if (a == "--no-html") {
            r.Settings.AutoHtmTxt = false;
        } else if (Decode && a == "--utf8") {
            r.Utf8 = true;
        } else if (Decode && a == "-o") {
            if (i + 1 >= A.size()) throw UsageError{"-o needs a file"};
            r.Out = A[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else if (r.File.empty()) {
            r.File = a;
        } else {
            throw UsageError{std::string(Command) + " takes one file"};
        }
    }
    if (r.File.empty()) throw UsageError{std::string(Command) + " needs a file"};
    return r;
}

}  // namespace

int Detect(const Args& A) {
    const TDecodeArgs args = ParseArgs(A, "detect", false);
    TFormatFlags flags;
    OpenDocument(args.File, args.Settings, flags);
    std::cout << "format: " << FormatName(flags) << "\nencoding: " << EncodingName(flags) << "\n";
    return 0;
}

int Decode(const Args& A) {
    const TDecodeArgs args = ParseArgs(A, "decode", true);
    TFormatFlags flags;
    std::unique_ptr<TDudiRiri> memo = OpenDocument(args.File, args.Settings, flags);
    WriteDocument(*memo, args.Utf8, args.Out);
    return 0;
}

namespace {

// The document's questions answered as a batch run must: a large file is
// loaded, anything else is refused; what the window would tell goes to
// standard error.
class TCliPrompts : public TPrompts {
public:
    TAnswer Ask(const std::string& Text, TChoice) override {
        return Text.rfind("Too large file!", 0) == 0 ? paYes : paNo;
    }
    void ShowError(const std::string& Text) override { Error = Text; }
    void ShowMessage(const std::string& Text) override { std::cerr << "tarvex-cli: " << Text << "\n"; }
    std::string AskOpenFileName(const std::string&, int&) override { return {}; }
    std::string AskSaveFileName(const std::string&, int&) override { return {}; }
    std::string Error;
};

}  // namespace

std::unique_ptr<TDudiRiri> OpenDocument(const std::string& File, const TLoadSettings& Settings, TFormatFlags& Flags) {
    auto memo = std::make_unique<TDudiRiri>();
    memo->SetOptions(memo->Options() | droAutoLineBreak);
    // The window's own document object opens it: the same decisions, questions and warnings.
    TSettings settings;
    settings.AutoDecode = Settings.AutoDecode;
    settings.AutoHtmTxt = Settings.AutoHtmTxt;
    settings.DocConvert = Settings.DocConvert;
    settings.WatchOpen = false;
    THistory history;
    TCliPrompts prompts;
    TDocument document(*memo, prompts, settings, history);
    if (!document.Open(File, 0)) throw EStreamError(prompts.Error.empty() ? "Cannot open " + File : prompts.Error);
    Flags = document.Flags();
    return memo;
}

void WriteDocument(TDudiRiri& Memo, bool Utf8, const std::string& Out) {
    auto write = [&](TStream& S) { WriteText(Memo, S, Utf8 ? teUtf8 : teAnsi); };
    if (Out.empty()) {
        THandleStream out(1);
        write(out);
    } else {
        // A device or a pipe named as OUT is written into, never replaced.
        SaveFileAtomically(Out, write);
    }
}

}  // namespace tarvex::cli
