#pragma once
// The commands of tarvex-cli. Each takes its arguments (without the command
// name) and returns the process exit code.

#include <string>
#include <vector>

namespace tarvex::cli {

using Args = std::vector<std::string>;

int Stats(const Args& A);
int Highlight(const Args& A);
int Import(const Args& A);
int Detect(const Args& A);
int Decode(const Args& A);
int Spell(const Args& A);
int Dict(const Args& A);
int Sort(const Args& A);
int Compress(const Args& A);
int Headlines(const Args& A);
int Calc(const Args& A);
// Runs in tarvex-cli-pdf (Qt); tarvex-cli hands the command over to it.
int Pdf(const Args& A);
int PdfViaHelper(const Args& A);
int Rtf(const Args& A);
int Convert(const Args& A);

inline constexpr const char* kPdfUsage =
    "  pdf [--highlighter KEYS.ini] [--line-numbers|--paragraph-numbers] [--plain]\n"
    "      [--header TEXT] [--footer TEXT] FILE -o OUT.pdf\n"
    "      Print FILE to a PDF file with the editor's printer settings (the\n"
    "      file's name in the header, \"- {p} -\" in the footer, the locale's\n"
    "      paper) and print \"pages: N\". {p} in a header or footer is the page\n"
    "      number; --plain leaves out highlighting colours.\n";
int Find(const Args& A);
int Replace(const Args& A);

// Thrown for a malformed command line; main prints it with the usage.
struct UsageError {
    std::string Message;
};

}  // namespace tarvex::cli
