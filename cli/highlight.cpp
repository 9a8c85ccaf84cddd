// tarvex-cli highlight: highlight a text with keyword and start-stop lists
// and print every change point, so that highlighting can be diffed in scripts.

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "platform/codepage.h"
#include "cli/commands.h"
#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/stream.h"

namespace tarvex::cli {

namespace {

bool IsUtf8(std::string_view S) {
    bool high = false;
    for (std::size_t i = 0; i < S.size();) {
        const auto c = static_cast<unsigned char>(S[i]);
        std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > S.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(S[i + k]) & 0xC0) != 0x80) return false;
        high |= n > 1;
        i += n;
    }
    return high;
}

// The [Keywords] and [StartStopKeys] sections of an INI-like file. Lines
// starting with ';' are comments. UTF-8 files are taken as such, others as Windows-1251.
void ReadKeys(const std::string& File, TStringList& Keywords, TStringList& StartStop) {
    std::ifstream in(File, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open key file \"" + File + "\"");
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    if (IsUtf8(text)) text = Utf8ToCp1251(text);
    TStringList* section = nullptr;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const std::string name = line.substr(0, line.find(']') + 1);
            section = name == "[Keywords]" ? &Keywords : name == "[StartStopKeys]" ? &StartStop : nullptr;
            continue;
        }
        if (section) section->Add(line);
    }
}

}  // namespace

int Highlight(const Args& A) {
    std::string keys, file;
    for (std::size_t i = 0; i < A.size(); ++i) {
        if (A[i] == "--keys") {
            if (++i >= A.size()) throw UsageError{"--keys needs a file"};
            keys = A[i];
        } else if (A[i].size() > 1 && A[i][0] == '-') {
            throw UsageError{"unknown option " + A[i]};
        } else if (file.empty()) {
            file = A[i];
        } else {
            throw UsageError{"highlight takes one text file"};
        }
    }
    if (keys.empty() || file.empty()) throw UsageError{"highlight needs --keys FILE.ini and a text file"};

    TDudiRiriBase memo;
    TStringList kw, ss;
    ReadKeys(keys, kw, ss);
    memo.Keywords.LoadFromStrings(kw);
    memo.StartStopKeys.LoadFromStrings(&ss);

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
        if (const TDynInfoArray* d = memo.Pars.At(p).Dyn()) {
            for (const TDynInfo& x : *d) {
                out += std::to_string(p) + "\t" + std::to_string(x.Offset) + "\t" + std::to_string(x.Flags) + "\t" +
                       std::to_string(x.Context) + "\t" + std::to_string(ContextDepth(x)) + "\n";
                if (out.size() > (1 << 20)) {
                    std::cout << out;
                    out.clear();
                }
            }
        }
    }
    std::cout << out;
    return 0;
}

}  // namespace tarvex::cli
