// tarvex-cli convert: one whole-text conversion of the Convert submenu on a
// file's bytes as they are, through the same command the menu runs.

#include <iostream>
#include <map>

#include "app/atomic_file.h"
#include "app/convert_command.h"
#include "app/text_writer.h"
#include "app/word_separators.h"
#include "cli/commands.h"
#include "editor/dudi_riri.h"

namespace tarvex::cli {

namespace {

struct TOp {
    int Tag;
    bool Reverse;
};

const std::map<std::string, TOp>& Ops() {
    static const std::map<std::string, TOp> ops = {
        {"dos-win", {ctDosWin, false}}, {"win-dos", {ctDosWin, true}},   {"koi-win", {ctKoiWin, false}},
        {"win-koi", {ctKoiWin, true}},  {"utf8", {ctUtf8, false}},       {"ucs2", {ctUcs2, false}},
        {"rtf", {ctRtf, false}},        {"html", {ctHtml, false}},       {"ruslat", {ctRusLat, false}},
        {"latrus", {ctLatRus, false}},  {"to-rus", {ctToRus, false}},    {"to-eng", {ctToEng, false}},
        {"upper", {ctUpper, false}},    {"lower", {ctLower, false}},     {"first-large", {ctFirstLarge, false}},
        {"sentence", {ctSentence, false}}, {"inverse", {ctInverse, false}},
    };
    return ops;
}

// Whether the file holds a NUL byte (the store cannot keep one).
bool HasNul(const std::string& File) {
    TFileStream in(File, TFileStream::fmOpenRead);
    std::string buf(1 << 20, '\0');
    for (;;) {
        const std::int64_t n = in.Read(buf.data(), static_cast<std::int64_t>(buf.size()));
        if (n <= 0) return false;
        if (std::string_view(buf.data(), static_cast<std::size_t>(n)).find('\0') != std::string_view::npos) return true;
    }
}

}  // namespace

int Convert(const Args& A) {
    std::string op, file, out;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        if (a == "-o") {
            if (i + 1 >= A.size()) throw UsageError{"-o needs a file"};
            out = A[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option " + a};
        } else if (op.empty()) {
            op = a;
        } else if (file.empty()) {
            file = a;
        } else {
            throw UsageError{"convert takes one operation and one file"};
        }
    }
    if (op.empty() || file.empty()) throw UsageError{"convert needs an operation and a file"};
    const auto it = Ops().find(op);
    if (it == Ops().end()) throw UsageError{"unknown conversion \"" + op + "\""};

    // The file's bytes as the editor holds them, breaks kept for writing back.
    TDudiRiri memo;
    memo.SetOptions(memo.Options() | droAutoLineBreak);
    memo.SetSeparators(AppWordSeparators());
    memo.NullReplacement = ' ';  // a NUL would end the text
    {
        TFileStream in(file, TFileStream::fmOpenRead);
        memo.LoadFromStream(in);
    }
    if (it->second.Tag != ctUcs2 && HasNul(file))
        std::cerr << "tarvex-cli: " << file << ": NUL bytes were read as spaces\n";
    TConvertContext c;
    c.Reverse = it->second.Reverse;
    c.FileName = file;
    // Every command works on the whole text, as the menu's does with all of it selected.
    if (!IsWholeTextTag(it->second.Tag)) memo.SelectAll();
    if (it->second.Tag == ctUcs2)
        ConvertWholeText(memo, ctUcs2, c);
    else
        RunConvertCommand(memo, it->second.Tag, c);

    auto write = [&](TStream& S) { WriteText(memo, S, teAnsi); };
    if (out.empty()) {
        THandleStream s(1);
        write(s);
    } else {
        SaveFileAtomically(out, write);
    }
    return 0;
}

}  // namespace tarvex::cli
