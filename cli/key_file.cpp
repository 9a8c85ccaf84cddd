#include "cli/key_file.h"

#include <sstream>
#include <stdexcept>

#include "platform/codepage.h"
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

}  // namespace

void ReadKeyFile(const std::string& File, TStringList& Keywords, TStringList& StartStop) {
    // Like any file: no waiting on a FIFO, no reading a device for ever.
    TFileStream in(File, TFileStream::fmOpenRead);
    std::string text = ReadBytes(in);
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

void ApplyKeyFile(TDudiRiriBase& Memo, const std::string& File) {
    TStringList kw, ss;
    ReadKeyFile(File, kw, ss);
    Memo.Keywords.LoadFromStrings(kw);
    Memo.StartStopKeys.LoadFromStrings(&ss);
}

}  // namespace tarvex::cli
