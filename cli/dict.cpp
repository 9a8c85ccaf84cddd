// tarvex-cli dict: what the dictionary window shows for a word typed in its
// search field.

#include <iostream>

#include "cli/commands.h"
#include "platform/codepage.h"
#include "spell/dict_file.h"
#include "textstore/atomic_file.h"

namespace tarvex::cli {

int Dict(const Args& A) {
    std::string delim = "=", separ = "^t", file, word;
    int positional = 0;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= A.size()) throw UsageError{a + " needs a value"};
            return A[++i];
        };
        if (a == "--delim") delim = Utf8ToCp1251(value());
        else if (a == "--separ") separ = Utf8ToCp1251(value());
        else if (a.size() > 1 && a[0] == '-' && positional < 2 && a != "-") throw UsageError{"unknown option " + a};
        else if (positional == 0) file = a, ++positional;
        else if (positional == 1) word = a, ++positional;
        else throw UsageError{"dict takes a file and a word"};
    }
    if (positional < 2) throw UsageError{"dict needs a file and a word"};
    if (!file.empty() && !FileExists(file)) throw std::runtime_error("cannot read \"" + file + "\": no such file");

    TDictQuery q = QueryFromField(Utf8ToCp1251(word));
    q.Delim = delim;
    q.Separator = ValueSeparator(separ);
    const TDictResult r = LookupDictFile(file, q);
    std::string out = r.Value;
    for (char& c : out)
        if (c == '\r') c = '\n';
    if (!out.empty()) out += '\n';
    out += "--\n";
    // The remembered item's entry is selected, else the first one.
    std::size_t selected = 0;
    for (std::size_t i = 0; i < r.Listed.size(); ++i)
        if (r.Remembered && r.Listed[i].Line == r.Selected.Line) selected = i;
    for (std::size_t i = 0; i < r.Listed.size(); ++i) {
        const TDictKey& k = r.Listed[i];
        out += i == selected ? "*" : "";
        out += k.Key;
        out += '\n';
    }
    std::cout << Cp1251ToUtf8(out);
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace tarvex::cli
