#pragma once
// The bookmark list of the open document and its file. An entry is
// "POSITION=LABEL": the character position (each paragraph break counting
// two) in decimal, and a short label. Entries keep the order they were added
// in; the last one is the "last bookmark". A bookmark file holds the entries
// one per line (CR LF after each), Windows-1251, nothing else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textstore/types.h"

namespace tarvex {

// The number before the first "=" of an entry; nothing when it is not a
// (non-negative) number.
std::optional<TPos> BookmarkPosition(std::string_view Entry);
// The text after the first "=" (all of it without one).
std::string_view BookmarkLabel(std::string_view Entry);

class TBookmarks {
public:
    const std::vector<std::string>& Items() const { return FItems; }
    std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }

    // Appends "Pos=Label" unless the same entry is there already; then, with
    // MarkCount above 0, drops the oldest entries beyond it. Returns whether
    // the entry was added.
    bool Add(TPos Pos, std::string_view Label, std::int64_t MarkCount);
    void Delete(std::int32_t Index);
    // Keeps the position part and puts Label after it.
    void SetLabel(std::int32_t Index, std::string_view Label);
    void Assign(std::vector<std::string> Items);
    void Clear();

    // The last entry's position, or FirstPos when there is none or its number
    // is bad.
    TPos LastPosition(TPos FirstPos) const;
    // The nearest valid position after Caret (before it with Backward),
    // wrapping round the text's end; nothing without valid positions.
    std::optional<TPos> NextPosition(TPos Caret, bool Backward) const;

    // The entry last jumped to from the bookmark window; -1 none.
    std::int32_t LastJumped = -1;

    // Replaces the list with a file's entries (empty lines skipped). A
    // missing file gives an empty list. Throws EStreamError when the file
    // exists but cannot be read.
    void LoadFromFile(const std::string& Path);
    // Writes the entries atomically; throws EStreamError on failure.
    void SaveToFile(const std::string& Path) const;

private:
    std::vector<std::string> FItems;
};

// Writes any list of lines as a bookmark file does (the Content view's list too).
void SaveLinesToFile(const std::string& Path, const std::vector<std::string>& Lines);
// Reads a file's non-empty lines; a missing file gives none.
std::vector<std::string> LoadLinesFromFile(const std::string& Path);

// --- the per-document bookmark file

// The folder of the per-document files: "Bookmarks" in DataDir (where the
// program keeps its own files: next to it, or the user's config folder),
// created when missing. Empty when it cannot be made: bookmarks are then not
// kept.
std::string BookmarkFolder(const std::string& DataDir);
// Folder/NAME.bkm, NAME the document's file name without its extension.
std::string BookmarkFileFor(const std::string& Folder, const std::string& DocumentPath);
// Loads the document's bookmarks: Folder/NAME.bkm, else the first
// Folder/NAME.* by name. Clears the list first. Without a folder or a
// document name the list stays empty.
void LoadDocumentBookmarks(TBookmarks& B, const std::string& Folder, const std::string& DocumentPath);
// At close: writes the list to Folder/NAME.bkm, or deletes that file when
// the list is empty. Nothing without a folder or a document name. Throws
// EStreamError when the file cannot be written or deleted.
void StoreDocumentBookmarks(const TBookmarks& B, const std::string& Folder, const std::string& DocumentPath);

}  // namespace tarvex
