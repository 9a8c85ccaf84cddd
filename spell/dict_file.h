#pragma once
// The user's dictionary file as the dictionary window reads it: one item a
// line (CR LF, CR or LF ends a line), KEY DELIMITER VALUE, split at the first
// delimiter and both parts trimmed; a line without the delimiter, or any line
// when the delimiter is empty, is a key alone. Inside a value the value
// separator stands for a line break.
//
// A lookup streams through the file once and holds no more than the lines it
// lists, so a dictionary of hundreds of megabytes costs one read.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// Key and value of one line.
struct TDictItem {
    std::string_view Key, Value;
    bool HasDelimiter = false;
};
TDictItem SplitDictLine(std::string_view Line, std::string_view Delim);

// The value separator from the Separ setting: every "^t" (any case) becomes a tab.
std::string ValueSeparator(std::string_view Separ);
// A shown value back to one line: each CR LF (or lone CR or LF) becomes
// Separator, or a space without one; the result trimmed.
std::string JoinValueLines(std::string_view Text, std::string_view Separator);

// -1, 0 or 1 as A sorts before, with or after B, case ignored (code-page order).
int CompareNoCase(std::string_view A, std::string_view B);

struct TDictQuery {
    std::string Text;  // the search text, stars already removed
    bool Prefix = false, Suffix = false;  // wildcard: "*" before, after
    bool FromList = false;  // Text is a listed key
    bool Silent = false;    // list nothing (the all-files search)
    bool CountLines = false;  // count every line even when the walk ends early
    std::string Delim = "=";
    std::string Separator;  // the value separator; each becomes CR in the value
    bool Wildcard() const { return Prefix || Suffix; }
};

// The search field's text as a query: trimmed; a leading "*" sets Prefix, a
// trailing one Suffix, and both are removed when the text has 2 characters
// or more ("*" alone lists every key).
TDictQuery QueryFromField(std::string_view FieldText);

struct TDictKey {
    std::string Key;
    std::int64_t Line = 0;
};

struct TDictResult {
    std::string Value;  // what the editor shows, value separators as CR
    std::vector<TDictKey> Listed;  // keys to list, in file order
    bool Remembered = false;       // the found item's or the nearest candidate's line
    TDictKey Selected;
    bool Found = false;
    bool Stopped = false;
    std::int64_t LineCount = -1;  // with CountLines, or when the whole file was read
};

// Called every few thousand lines with the lines read so far; returning
// false stops the walk (the result then holds what was gathered).
using TDictPending = std::function<bool(std::int64_t Lines)>;

// The lookup over a file. A missing or unnamed file, or an empty text, gives
// an empty result. EStreamError when the file cannot be read.
TDictResult LookupDictFile(const std::string& Path, const TDictQuery& Q, const TDictPending& Pending = nullptr);

// Rewrites line LineIndex when its key is still Key (trimmed, case
// ignored): NewLine in its place, or the line and its break removed when
// NewLine is nullptr. Every other byte of the file stays as it was. Returns
// false, changing nothing, when the file is missing or that line no longer
// holds Key. EStreamError when the file cannot be read or written.
bool ReplaceDictLine(const std::string& Path, std::int64_t LineIndex, std::string_view Key, std::string_view Delim,
                     const std::string* NewLine);

// The paths of the regular, readable files of a folder, sorted.
std::vector<std::string> FilesOfFolder(const std::string& Folder);

}  // namespace tarvex
