#include "tools/dictionary_file.h"

#include <sys/stat.h>

#include "textstore/atomic_file.h"
#include "textstore/stream.h"
#include "tools/sort_lines.h"

namespace tarvex {

namespace {

// Whether Path names a file to work on: false when nothing is there; a
// folder, pipe or device is refused, as reading it may never end.
bool ExistingFile(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return false;
    if (!S_ISREG(st.st_mode)) throw EStreamError("\"" + Path + "\" is not a regular file");
    return true;
}

std::string ReadWhole(const std::string& Path) {
    TFileStream in(Path, TFileStream::fmOpenRead);
    return ReadBytes(in);
}

// The sorted lines without the break after the last.
std::string SortedFileText(std::string_view Text, const TCollation& Collation, TJobControl* Job) {
    TSortOptions o;
    o.Delim.clear();
    o.DeleteDuplicates = true;
    o.JoinItems = false;
    std::string r = SortLinesText(Text, o, Collation, Job);
    if (r.size() >= 2) r.resize(r.size() - 2);
    return r;
}

void WriteWhole(const std::string& Path, std::string_view Bytes) {
    SaveFileAtomically(Path, [&](TStream& S) { S.Write(Bytes.data(), static_cast<std::int64_t>(Bytes.size())); });
}

}  // namespace

bool SortDictionaryFile(const std::string& Path, const TCollation& Collation, TJobControl* Job) {
    if (!ExistingFile(Path)) return false;
    const std::string text = ReadWhole(Path);
    WriteWhole(Path, SortedFileText(text, Collation, Job));
    return true;
}

bool AddDictionaryItem(const std::string& Path, std::string_view Item, bool SortAfter, const TCollation& Collation,
                       TJobControl* Job) {
    if (!ExistingFile(Path)) return false;
    std::string text = ReadWhole(Path);
    // No empty line between the old last item and the new one.
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') text += "\r\n";
    text += Item;
    WriteWhole(Path, SortAfter ? SortedFileText(text, Collation, Job) : text);
    return true;
}

}  // namespace tarvex
