#pragma once
// What tarvex-cli pdf and rtf share: opening the file as the editor does,
// with the editor's default look, and the highlighting asked for.

#include <memory>
#include <string>

#include "editor/dudi_riri.h"

namespace tarvex::cli {

// Loads File through the editor's loader into a control without a window,
// with the font, tab stops and wrapping the main window starts with.
// Highlighter: empty for none, or a key file (.ini with [Keywords] and
// [StartStopKeys], as `highlight --keys` reads it).
std::unique_ptr<TDudiRiri> OpenForOutput(const std::string& File, const std::string& Highlighter);

}  // namespace tarvex::cli
