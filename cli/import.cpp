// tarvex-cli import: the text of an RTF, HTML/XML, TCR or Word file, as the
// editor's loader would take it out, written as Windows-1251 bytes.

#include <cstdio>
#include <iostream>

#include "codepage.h"
#include "commands.h"
#include "doc_import.h"
#include "htm2txt.h"
#include "rtf_to_text.h"
#include "stream.h"
#include "tcr.h"

namespace tarvex::cli {

namespace {
std::string LowerExtension(const std::string& Path) {
    const std::size_t slash = Path.find_last_of('/');
    const std::size_t dot = Path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = Path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return ext;
}

bool IsHtmlExtension(const std::string& Ext) {
    for (const char* e : {".htm", ".html", ".shtml", ".phtml", ".xml", ".asp", ".aspx", ".php3", ".php", ".fb2", ".mht"})
        if (Ext == e) return true;
    return false;
}

// True when Text holds non-ASCII bytes and all of it from the first one on is well-formed UTF-8.
bool IsUtf8Text(const std::string& Text) {
    std::size_t i = 0;
    while (i < Text.size() && static_cast<unsigned char>(Text[i]) < 0x80) ++i;
    if (i == Text.size()) return false;
    auto in = [&](std::size_t k, int lo, int hi) {
        return k < Text.size() && static_cast<unsigned char>(Text[k]) >= lo && static_cast<unsigned char>(Text[k]) <= hi;
    };
    while (i < Text.size()) {
        const unsigned char c = static_cast<unsigned char>(Text[i]);
        std::size_t n = 0;
        if (c < 0x80) {
            n = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1;
        } else if (c == 0xE0) {
            if (!in(i + 1, 0xA0, 0xBF)) return false;
            n = 2;
        } else if (c >= 0xE1 && c <= 0xEF) {
            n = 2;
        } else if (c == 0xF0) {
            if (!in(i + 1, 0x90, 0xBF)) return false;
            n = 3;
        } else if (c >= 0xF1 && c <= 0xF3) {
            n = 3;
        } else if (c == 0xF4) {
            if (!in(i + 1, 0x80, 0x8F)) return false;
            n = 3;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= n; ++k)
            if (!in(i + k, 0x80, 0xBF)) return false;
        i += n + 1;
    }
    return true;
}

std::string ReadAll(TStream& S) {
    std::string all;
    char buf[1 << 16];
    for (;;) {
        const std::int64_t n = S.Read(buf, sizeof buf);
        if (n <= 0) return all;
        all.append(buf, static_cast<std::size_t>(n));
    }
}
}  // namespace

int Import(const Args& A) {
    TImportOptions options;
    std::string file;
    for (const std::string& a : A) {
        if (a == "--doc-convert")
            options.DocConvert = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else if (file.empty())
            file = a;
        else
            throw UsageError{"import takes one file"};
    }
    if (file.empty()) throw UsageError{"import needs a file"};

    TFileStream in(file, TFileStream::fmOpenRead);
    char head[10] = {};
    const std::int64_t got = in.Read(head, sizeof head);
    const std::string_view h(head, static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    in.Seek(0);
    const std::string ext = LowerExtension(file);
    const bool isRtf = IsRtfSignature(h);
    const bool isTcr = !isRtf && IsTcrSignature(h);
    const bool isDoc = ext == ".doc";
    const bool isHtml = IsHtmlExtension(ext) || file.find("content.ie") != std::string::npos;
    if (!isRtf && !isTcr && !isDoc && !isHtml) {
        std::cerr << "tarvex-cli: \"" << file << "\" is not an RTF, HTML, XML, TCR or DOC file\n";
        return 1;
    }

    std::string text;
    if (isDoc || isTcr) {
        TTextImportTarget target;
        ImportDocument(file, in, isTcr, target, options);
        text = target.Text();
    } else {
        // Loaded as the editor loads it: NUL bytes are spaces in RTF, and end the text otherwise.
        text = ReadAll(in);
        if (isRtf) {
            for (char& c : text)
                if (c == '\0') c = ' ';
        } else if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
            text.resize(nul);
        }
    }
    if (isRtf)
        text = RtfToText(text);
    else if (IsUtf8Text(text))
        text = Utf8ToCp1251(text);
    if (isHtml) text = THtm2Txt::Convert(text, ext == ".xml");

    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        std::cerr << "tarvex-cli: cannot write the text\n";
        return 1;
    }
    if (std::fflush(stdout) != 0) {
        std::cerr << "tarvex-cli: cannot write the text\n";
        return 1;
    }
    return 0;
}

}  // namespace tarvex::cli
