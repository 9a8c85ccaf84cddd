// tarvex-cli find and replace: counting, listing and replacing occurrences in
// a file's text with the editor's own find commands, and Replace in Lines.

#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "cli/document.h"
#include "platform/codepage.h"
#include "tools/find_commands.h"
#include "tools/regex_replace.h"

namespace tarvex::cli {

namespace {

struct TFindArgs {
    TFindDialogValues Values;
    TPos From = -1;  // "From cursor" at this position; -1: the whole text
    bool Count = false, List = false, Regex = false;
    std::vector<std::string> Plain;  // TEXT [REPLACEMENT] FILE
    std::string Out;
};

TPos ParsePosition(const std::string& S) {
    char* end = nullptr;
    const long long v = std::strtoll(S.c_str(), &end, 10);
    if (S.empty() || *end != '\0' || v < 0) throw UsageError{"--from takes a position (0 or more), not \"" + S + "\""};
    return v;
}

TFindArgs ParseArgs(const Args& A, bool Replace) {
    TFindArgs r;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        auto next = [&](const char* What) -> const std::string& {
            if (i + 1 >= A.size()) throw UsageError{a + " needs " + What};
            return A[++i];
        };
        if (a == "--case") {
            r.Values.MatchCase = true;
        } else if (a == "--word") {
            r.Values.WholeWord = true;
        } else if (a == "--escapes") {
            r.Values.Escapes = true;
        } else if (a == "--from") {
            r.From = ParsePosition(next("a position"));
        } else if (!Replace && a == "--count") {
            r.Count = true;
        } else if (!Replace && a == "--list") {
            r.List = true;
        } else if (Replace && a == "--regex") {
            r.Regex = true;
        } else if (Replace && a == "-o") {
            r.Out = next("a file");
        } else if (a == "--") {
            r.Plain.insert(r.Plain.end(), A.begin() + static_cast<std::ptrdiff_t>(i) + 1, A.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else {
            r.Plain.push_back(a);
        }
    }
    const char* command = Replace ? "replace" : "find";
    if (r.Plain.size() != (Replace ? 3u : 2u))
        throw UsageError{std::string(command) + (Replace ? " takes TEXT, REPLACEMENT and FILE" : " takes TEXT and FILE")};
    if (r.Plain[0].empty()) throw UsageError{std::string(command) + ": the text to find is empty"};
    if (!Replace && r.Count == r.List) throw UsageError{"find takes one of --count and --list"};
    if (r.Regex && (r.Values.WholeWord || r.Values.Escapes))
        throw UsageError{"replace --regex takes neither --word nor --escapes"};
    r.Values.FindText = r.Plain[0];
    if (Replace) r.Values.ReplaceText = r.Plain[1];
    r.Values.Range = r.From >= 0 ? frFromCursor : frGlobal;
    return r;
}

// The document, with the caret where --from puts it.
std::unique_ptr<TDudiRiri> Open(const TFindArgs& A) {
    TFormatFlags flags;
    std::unique_ptr<TDudiRiri> memo = OpenDocument(A.Plain.back(), TLoadSettings{}, flags);
    // Display lines as an unwrapped layout has them: one per paragraph.
    memo->SetWordWrap(false);
    if (A.From >= 0) memo->SetSelStart(A.From);
    return memo;
}

}  // namespace

int Find(const Args& A) {
    const TFindArgs args = ParseArgs(A, false);
    std::unique_ptr<TDudiRiri> memo = Open(args);
    TSearchState state;
    state.TakeSearchParams(args.Values);
    if (args.Count) {
        std::cout << "count: " << CountOccurrences(*memo, state, args.Values.Range) << "\n";
        return 0;
    }
    std::string out;
    EachOccurrence(
        *memo, state, args.Values.Range,
        [&](const TFoundEntry& e) {
            out.append(std::to_string(e.Pos)).append("\t").append(std::to_string(e.Line)).append("\t");
            out.append(Cp1251ToUtf8(e.Text)).append("\n");
            if (out.size() >= (1u << 20)) {
                std::cout << out;
                out.clear();
            }
        },
        std::string::npos);
    std::cout << out;
    return 0;
}

int Replace(const Args& A) {
    const TFindArgs args = ParseArgs(A, true);
    std::unique_ptr<TDudiRiri> memo = Open(args);
    std::int64_t n = 0;
    if (args.Regex) {
        const TLineRegex regex(Utf8ToCp1251(args.Values.FindText), args.Values.MatchCase);
        const TPos from = std::max<TPos>(args.From, 0);
        n = ApplyReplaceInLines(*memo, regex, PlanReplaceInLines(memo->Pars, regex, from, memo->CharCount()),
                                Utf8ToCp1251(args.Values.ReplaceText));
    } else {
        TSearchState state;
        state.TakeSearchParams(args.Values);
        n = ReplaceAllOccurrences(*memo, state, args.Values.Range);
    }
    WriteDocument(*memo, false, args.Out);
    std::cerr << "replaced: " << n << "\n";
    return 0;
}

}  // namespace tarvex::cli
