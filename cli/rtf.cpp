// tarvex-cli rtf: the RTF export of a file, as the editor's Save As RTF writes it.

#include "app/atomic_file.h"
#include "cli/commands.h"
#include "cli/output_input.h"
#include "output/riri_to_rtf.h"

namespace tarvex::cli {

int Rtf(const Args& A) {
    std::string file, out, highlighter;
    bool dyn = true;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        if (a == "--highlighter") {
            if (++i >= A.size()) throw UsageError{"--highlighter needs a key file"};
            highlighter = A[i];
        } else if (a == "--no-dyn-format") {
            dyn = false;
        } else if (a == "-o") {
            if (++i >= A.size()) throw UsageError{"-o needs a file"};
            out = A[i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError{"rtf takes one file"};
        }
    }
    if (file.empty()) throw UsageError{"rtf needs a file"};
    const std::unique_ptr<TDudiRiri> memo = OpenForOutput(file, highlighter);
    TRiriToRTF rtf;
    rtf.SetDudiRiri(memo.get());
    rtf.DynFormat = dyn;
    rtf.RTFLeading = -1;
    if (out.empty()) {
        THandleStream s(1);
        rtf.SaveToStream(s);
    } else {
        rtf.SaveToFile(out);
    }
    return 0;
}

}  // namespace tarvex::cli
