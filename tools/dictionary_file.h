#pragma once
// The two maintenance operations of the user's dictionary file (one
// KEY=VALUE item per line, Windows-1251, CR LF between lines), called by the
// dictionary window's sort and add buttons. Both rewrite the file through a
// temporary file renamed over it, so a failure leaves the old file whole.

#include <string>
#include <string_view>

#include "tools/collation.h"
#include "tools/job_control.h"

namespace tarvex {

// Sorts the file's lines: each trimmed, ordered by the whole line in the
// collation (case ignored), empty lines and lines equal to the one before
// (case ignored) dropped, CR LF between lines and none after the last.
// Returns false, doing nothing, when the file does not exist. Throws
// EStreamError when it cannot be read or written, EJobStopped when Job asked
// to stop (the file is then unchanged).
bool SortDictionaryFile(const std::string& Path, const TCollation& Collation, TJobControl* Job = nullptr);

// Appends Item as the file's last line (after a CR LF unless the file is
// empty or already ends with a line break) and, with SortAfter, sorts the
// file as SortDictionaryFile does, in the same rewrite. Returns false, doing
// nothing, when the file does not exist. Throws as SortDictionaryFile.
bool AddDictionaryItem(const std::string& Path, std::string_view Item, bool SortAfter, const TCollation& Collation,
                       TJobControl* Job = nullptr);

}  // namespace tarvex
