#pragma once
// Sorting lines the way a glossary of KEY=VALUE lines is kept: trimmed lines
// in the user's collation (letter case ignored), empty lines dropped,
// optionally without duplicates and with the values of one key joined into
// one line. The editor's Sort lines command and the dictionary file's sort
// both run this.

#include <string>
#include <string_view>

#include "tools/collation.h"
#include "tools/job_control.h"

namespace tarvex {

struct TSortOptions {
    std::string Delim = "=";        // between key and value; "^t" stands for a tab; empty: whole lines
    std::string Separ = "^t";       // put between joined values; "^t" stands for a tab
    bool DeleteDuplicates = true;   // a line equal to the one before, case ignored, goes
    bool JoinItems = false;         // lines of one key become one line (needs Delim and Separ)
};

// The sorted lines of Text, each followed by CR LF. Lines end at CR LF, CR or
// LF. Ordered by key (the text before the first delimiter, the whole line
// without one), then by the whole line; the order of lines that collate
// equal is not defined. Job, when given, gets the progress and may stop the
// sort (EJobStopped).
std::string SortLinesText(std::string_view Text, const TSortOptions& Options, const TCollation& Collation,
                          TJobControl* Job = nullptr);

}  // namespace tarvex
