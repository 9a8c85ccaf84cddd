// tarvex-cli stats: load a file through the paragraph store and describe it.

#include <unistd.h>

#include <iostream>
#include <memory>

#include "platform/codepage.h"
#include "app/loader.h"
#include "cli/commands.h"
#include "platform/fixed_canvas.h"
#include "textstore/layout.h"
#include "textstore/memo_base.h"
#include "textstore/stream.h"

namespace tarvex::cli {

namespace {
const char* BreakName(TRiriLineBreak B) {
    switch (B) {
        case pbCRLF: return "CRLF";
        case pbLFCR: return "LFCR";
        case pbCR: return "CR";
        case pbLF: return "LF";
    }
    return "none";
}

// The replacement character, given as one byte or one UTF-8 character.
char ParseChar(const std::string& S) {
    if (S.size() == 1) return S[0];
    const std::string b = Utf8ToCp1251(S);
    if (b.size() == 1 && b[0] != '?') return b[0];
    throw UsageError{"--null-replace takes one character, not \"" + S + "\""};
}
}  // namespace

int Stats(const Args& A) {
    char nullReplace = 0;
    bool trim = false;
    int wrapChars = 0;
    std::string file;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--null-replace") {
            if (++i >= A.size()) throw UsageError{"--null-replace needs a character"};
            nullReplace = ParseChar(A[i]);
        } else if (A[i] == "--trim-trailing") {
            trim = true;
        } else if (A[i] == "--wrap-chars") {
            if (++i >= A.size()) throw UsageError{"--wrap-chars needs a number"};
            try {
                std::size_t used = 0;
                wrapChars = std::stoi(A[i], &used);
                if (used != A[i].size() || wrapChars < 1) throw std::invalid_argument("");
            } catch (const std::logic_error&) {
                throw UsageError{"--wrap-chars takes a positive number, not \"" + A[i] + "\""};
            }
        } else if (A[i].size() > 1 && A[i][0] == '-' && A[i] != "-") {
            throw UsageError{"unknown option " + A[i]};
        } else if (file.empty()) {
            file = A[i];
        } else {
            throw UsageError{"stats takes one file"};
        }
    }
    if (file.empty()) throw UsageError{"stats needs a file"};

    // Standard input is read as it comes; it can step back to where a NUL stopped the load.
    std::unique_ptr<TStream> source;
    std::unique_ptr<TBacktrackStream> piped;
    TStream* in;
    if (file == "-") {
        source = std::make_unique<THandleStream>(STDIN_FILENO);
        piped = std::make_unique<TBacktrackStream>(*source);
        in = piped.get();
    } else {
        source = std::make_unique<TFileStream>(file, TFileStream::fmOpenRead);
        in = source.get();
    }

    TDudiRiriBase memo;
    TParagraphsList& pars = memo.Pars;
    TRiriLineBreak found = pbCRLF;
    pars.LoadFromStream(*in, nullReplace, 300, nullptr, found, trim);
    // The store leaves the stream at a NUL that ended the text.
    const std::int64_t end = piped ? piped->BytesRead() : in->Size();
    if (nullReplace == 0 && in->Position() < end) std::cerr << "tarvex-cli: " << NulCutMessage(in->Position(), false) << "\n";
    if (wrapChars > 0) {
        // Character wrap decides breaks by counting; any canvas measures alike.
        TFixedCanvas canvas(8);
        memo.SetCanvas(&canvas);
        memo.SetWordWrap(true);
        memo.SetColumnWrap(wrapChars);
        FormatAll(memo);
        memo.SetCanvas(nullptr);
    }

    std::int32_t longest = 0;
    for (std::int32_t i = 0; i < pars.Count(); ++i) longest = std::max(longest, pars.At(i).Len());
    std::cout << "paragraphs: " << pars.Count() << "\n"
              << "chars: " << pars.TotalLen << "\n"
              << "linebreak: " << (pars.Count() > 1 ? BreakName(found) : "none") << "\n"
              << "longest: " << longest << "\n"
              << "lines: " << pars.LineCount << "\n";
    return 0;
}

}  // namespace tarvex::cli
