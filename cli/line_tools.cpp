// tarvex-cli sort, compress and headlines: the editor's Sort lines, Compress
// lines and headline scan run on a file opened as the editor opens it.

#include <iostream>
#include <memory>

#include "app/loader.h"
#include "platform/interface_text.h"
#include "cli/commands.h"
#include "editor/dudi_riri.h"
#include "textstore/stream.h"
#include "tools/compress_lines.h"
#include "tools/headlines.h"
#include "tools/line_commands.h"

namespace tarvex::cli {

namespace {

std::unique_ptr<TDudiRiri> OpenAsEditor(const std::string& File) {
    auto memo = std::make_unique<TDudiRiri>();
    // No window: nothing is laid out for display.
    memo->SetWordWrap(false);
    TLoadHooks hooks;
    hooks.ConfirmLarge = [](std::int64_t) { return true; };
    TLoadOutcome outcome;
    LoadDocument(*memo, File, TLoadSettings{}, hooks, outcome);
    return memo;
}

// The text with CR LF between paragraphs, streamed to standard output.
void WriteText(TDudiRiri& M) {
    M.LineBreak = pbCRLF;
    THandleStream out(1);
    M.SaveToStream(out);
}

std::int64_t Number(const Args& A, std::size_t& I, const char* Option, std::int64_t Min, std::int64_t Max) {
    if (++I >= A.size()) throw UsageError{std::string(Option) + " needs a number"};
    try {
        std::size_t used = 0;
        const long long v = std::stoll(A[I], &used);
        if (used != A[I].size() || v < Min || v > Max) throw std::invalid_argument("");
        return v;
    } catch (const std::logic_error&) {
        throw UsageError{std::string(Option) + " takes a number from " + std::to_string(Min) + " to " +
                         std::to_string(Max) + ", not \"" + A[I] + "\""};
    }
}

std::string Text(const Args& A, std::size_t& I, const char* Option) {
    if (++I >= A.size()) throw UsageError{std::string(Option) + " needs a value"};
    return A[I];
}

void TakeFile(const Args& A, std::size_t I, std::string& File, const char* Command) {
    if (A[I].size() > 1 && A[I][0] == '-') throw UsageError{"unknown option " + A[I]};
    if (!File.empty()) throw UsageError{std::string(Command) + " takes one file"};
    File = A[I];
}

}  // namespace

int Sort(const Args& A) {
    TSortOptions o;
    bool russian = RussianLocale();
    std::string file;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--delim") {
            o.Delim = Text(A, i, "--delim");
        } else if (A[i] == "--separ") {
            o.Separ = Text(A, i, "--separ");
        } else if (A[i] == "--no-dupl") {
            o.DeleteDuplicates = false;
        } else if (A[i] == "--join") {
            o.JoinItems = true;
        } else if (A[i] == "--locale") {
            const std::string l = Text(A, i, "--locale");
            if (l != "ru" && l != "en") throw UsageError{"--locale takes ru or en, not \"" + l + "\""};
            russian = l == "ru";
        } else {
            TakeFile(A, i, file, "sort");
        }
    }
    if (file.empty()) throw UsageError{"sort needs a file"};
    const TCollation collation(russian);
    std::unique_ptr<TDudiRiri> memo = OpenAsEditor(file);
    SortLines(*memo, o, collation);
    WriteText(*memo);
    return 0;
}

int Compress(const Args& A) {
    std::uint32_t steps = cmpAll;
    std::string file;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--steps")
            steps = static_cast<std::uint32_t>(Number(A, i, "--steps", 0, cmpAll));
        else
            TakeFile(A, i, file, "compress");
    }
    if (file.empty()) throw UsageError{"compress needs a file"};
    std::unique_ptr<TDudiRiri> memo = OpenAsEditor(file);
    CompressLines(*memo, steps);
    WriteText(*memo);
    return 0;
}

int Headlines(const Args& A) {
    THeadlineOptions o;
    std::string file;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--max-length")
            o.MaxLength = HeadlineMaxLength(Number(A, i, "--max-length", 0, 1'000'000));
        else if (A[i] == "--any-case")
            o.CapitalsOnly = false;
        else
            TakeFile(A, i, file, "headlines");
    }
    if (file.empty()) throw UsageError{"headlines needs a file"};
    std::unique_ptr<TDudiRiri> memo = OpenAsEditor(file);
    std::string out;
    for (const std::string& h : ScanHeadlines(memo->Pars, o)) (out += h) += '\n';
    std::cout << out << std::flush;
    return std::cout ? 0 : 1;
}

}  // namespace tarvex::cli
