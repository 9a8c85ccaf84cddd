#pragma once
// Key files: the [Keywords] and [StartStopKeys] sections of an INI-like file
// (Name=Value lines in the lists' text form), the editor's own keyword and
// start-stop highlighting in a form scripts can write.

#include <string>

#include "textstore/string_list.h"

namespace tarvex {
class TDudiRiriBase;
}

namespace tarvex::cli {

// Lines starting with ';' are comments. UTF-8 files are taken as such,
// others as Windows-1251. Raises when the file cannot be read.
void ReadKeyFile(const std::string& File, TStringList& Keywords, TStringList& StartStop);
// Loads both lists of the file into the editor's own lists.
void ApplyKeyFile(TDudiRiriBase& Memo, const std::string& File);

}  // namespace tarvex::cli
