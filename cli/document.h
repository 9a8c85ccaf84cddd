#pragma once
// Opening a file as the editor does and writing the text back as the editor
// saves it: what the commands that work on a document's text share.

#include <memory>
#include <string>

#include "app/loader.h"
#include "editor/dudi_riri.h"

namespace tarvex::cli {

// Loads File into a control without a window with the editor's own loader;
// the control keeps the file's line breaks. Flags receives the format found.
std::unique_ptr<TDudiRiri> OpenDocument(const std::string& File, const TLoadSettings& Settings, TFormatFlags& Flags);
// Writes the control's text as Windows-1251 with its line breaks (UTF-8
// without byte-order mark with Utf8), to standard output when Out is empty,
// else through a temporary file renamed over Out.
void WriteDocument(TDudiRiri& Memo, bool Utf8, const std::string& Out);

}  // namespace tarvex::cli
