#pragma once
// The printer settings of the main window's printer, shared by the window and
// tarvex-cli pdf so that both print the same pages.

#include <string>
#include <string_view>

#include "output/dudi_riri_printer.h"

namespace tarvex {

// Right margin 0.5 in, the others 0.75 in, line spacing 1.5 lines, footer
// "- {p} -", header and footer 0.4 in from the sheet's edges, centred, in
// 12-point Liberation Sans (metric-compatible with Arial).
void ApplyMainPrintSettings(TDudiRiriPrinter& P);

// The header that names the printed file (the PrintHeader setting): the
// file's path, a file-system (UTF-8) name, as Windows-1251 text.
std::string FileNameHeader(std::string_view Path);

}  // namespace tarvex
