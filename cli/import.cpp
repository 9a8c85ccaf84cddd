// tarvex-cli import: the text of an RTF, HTML/XML, TCR or Word file, as the
// editor's loader would take it out, written as Windows-1251 bytes.

#include <cstdio>
#include <iostream>

#include "app/codepages.h"
#include "cli/commands.h"
#include "app/detect.h"
#include "tools/doc_import.h"
#include "tools/htm2txt.h"
#include "app/loader.h"
#include "tools/rtf_to_text.h"
#include "textstore/stream.h"
#include "tools/tcr.h"

namespace tarvex::cli {

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
        text = ReadBytes(in);
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
        text = Utf8ToAnsi(text);
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
