// tarvex-cli highlight: highlight a text with keyword and start-stop lists or
// with one of the language highlighters, and print every change point, so
// that highlighting can be diffed in scripts.

#include <unistd.h>

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/key_file.h"
#include "highlight/factory.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/stream.h"

namespace tarvex::cli {

int Highlight(const Args& A) {
    std::string keys, file, name;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--keys") {
            if (++i >= A.size()) throw UsageError{"--keys needs a file"};
            keys = A[i];
        } else if (A[i] == "--highlighter") {
            if (++i >= A.size()) throw UsageError{"--highlighter needs num, pas, url, htm, sql or cpp"};
            name = A[i];
        } else if (A[i].size() > 1 && A[i][0] == '-') {
            throw UsageError{"unknown option " + A[i]};
        } else if (file.empty()) {
            file = A[i];
        } else {
            throw UsageError{"highlight takes one text file"};
        }
    }
    if ((keys.empty() && name.empty()) || file.empty())
        throw UsageError{"highlight needs --keys FILE.ini or --highlighter NAME, and a text file"};

    TDudiRiriBase memo;
    if (!keys.empty()) ApplyKeyFile(memo, keys);
    std::unique_ptr<TRiriHighlighter> highlighter;
    if (!name.empty()) {
        highlighter = CreateHighlighter(name);
        if (!highlighter) throw UsageError{"unknown highlighter " + name + " (num, pas, url, htm, sql or cpp)"};
        memo.SetHighlighter(highlighter.get());
    }

    std::unique_ptr<TStream> in;
    if (file == "-")
        in = std::make_unique<THandleStream>(STDIN_FILENO);
    else
        in = std::make_unique<TFileStream>(file, TFileStream::fmOpenRead);
    TRiriLineBreak found = pbCRLF;
    memo.Pars.LoadFromStream(*in, 0, 300, nullptr, found, false);
    KeywordsOverRange(memo, 0, memo.Pars.Count() - 1);

    std::string out;
    for (std::int32_t p = 0; p < memo.Pars.Count(); ++p) {
        {
            const TDynView d = memo.Pars.Dyn(memo.Pars.At(p));
            for (std::int32_t i = 0; i < d.size(); ++i) {
                const TDynPoint pt = d[i];
                const TDynInfo& x = memo.Pars.States[pt.State];
                out += std::to_string(p) + "\t" + std::to_string(pt.Offset) + "\t" + std::to_string(x.Flags) + "\t" +
                       std::to_string(x.Context) + "\t" + std::to_string(ContextDepth(x)) + "\n";
                if (out.size() > (1 << 20)) {
                    std::cout << out;
                    out.clear();
                }
            }
        }
    }
    std::cout << out;
    memo.SetHighlighter(nullptr);
    return 0;
}

}  // namespace tarvex::cli
