#include "tools/bookmarks.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "textstore/atomic_file.h"
#include "textstore/stream.h"
#include "tools/line_text.h"

namespace tarvex {

std::optional<TPos> BookmarkPosition(std::string_view Entry) {
    const std::size_t eq = Entry.find('=');
    const std::string_view num = TrimBlanks(Entry.substr(0, eq));
    if (num.empty()) return std::nullopt;
    TPos v = 0;
    for (char c : num) {
        if (c < '0' || c > '9') return std::nullopt;
        if (v > (std::numeric_limits<TPos>::max() - 9) / 10) return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::string_view BookmarkLabel(std::string_view Entry) {
    const std::size_t eq = Entry.find('=');
    return eq == std::string_view::npos ? Entry : Entry.substr(eq + 1);
}

bool TBookmarks::Add(TPos Pos, std::string_view Label, std::int64_t MarkCount) {
    std::string entry = std::to_string(std::max<TPos>(Pos, 0));
    (entry += '=') += Label;
    if (std::find(FItems.begin(), FItems.end(), entry) != FItems.end()) return false;
    FItems.push_back(std::move(entry));
    if (MarkCount > 0) {
        const auto excess = static_cast<std::int64_t>(FItems.size()) - MarkCount;
        if (excess > 0) {
            FItems.erase(FItems.begin(), FItems.begin() + excess);
            LastJumped = LastJumped >= excess ? LastJumped - static_cast<std::int32_t>(excess) : -1;
        }
    }
    return true;
}

void TBookmarks::Delete(std::int32_t Index) {
    if (Index < 0 || Index >= Count()) return;
    FItems.erase(FItems.begin() + Index);
    if (LastJumped == Index)
        LastJumped = -1;
    else if (LastJumped > Index)
        --LastJumped;
}

void TBookmarks::SetLabel(std::int32_t Index, std::string_view Label) {
    if (Index < 0 || Index >= Count()) return;
    std::string& e = FItems[static_cast<std::size_t>(Index)];
    const std::size_t eq = e.find('=');
    e = (eq == std::string::npos ? e : e.substr(0, eq)) + "=" + std::string(Label);
}

void TBookmarks::Assign(std::vector<std::string> Items) {
    FItems = std::move(Items);
    LastJumped = -1;
}

void TBookmarks::Clear() {
    FItems.clear();
    LastJumped = -1;
}

TPos TBookmarks::LastPosition(TPos FirstPos) const {
    if (FItems.empty()) return FirstPos;
    return BookmarkPosition(FItems.back()).value_or(FirstPos);
}

std::optional<TPos> TBookmarks::NextPosition(TPos Caret, bool Backward) const {
    std::optional<TPos> best, wrap;
    for (const std::string& e : FItems) {
        const std::optional<TPos> p = BookmarkPosition(e);
        if (!p) continue;
        if (!Backward) {
            if (*p > Caret && (!best || *p < *best)) best = p;
            if (!wrap || *p < *wrap) wrap = p;
        } else {
            if (*p < Caret && (!best || *p > *best)) best = p;
            if (!wrap || *p > *wrap) wrap = p;
        }
    }
    return best ? best : wrap;
}

std::vector<std::string> LoadLinesFromFile(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return {};
    if (!S_ISREG(st.st_mode)) throw EStreamError("\"" + Path + "\" is not a regular file");
    TFileStream in(Path, TFileStream::fmOpenRead);
    const std::string text = ReadBytes(in);
    std::vector<std::string> lines;
    ForEachLine(text, [&](std::string_view L) {
        if (!L.empty()) lines.emplace_back(L);
    });
    return lines;
}

void SaveLinesToFile(const std::string& Path, const std::vector<std::string>& Lines) {
    SaveFileAtomically(Path, [&](TStream& S) {
        std::string buf;
        for (const std::string& l : Lines) {
            buf += l;
            buf += "\r\n";
            if (buf.size() >= (1u << 16)) {
                S.Write(buf.data(), static_cast<std::int64_t>(buf.size()));
                buf.clear();
            }
        }
        S.Write(buf.data(), static_cast<std::int64_t>(buf.size()));
    });
}

void TBookmarks::LoadFromFile(const std::string& Path) { Assign(LoadLinesFromFile(Path)); }

void TBookmarks::SaveToFile(const std::string& Path) const { SaveLinesToFile(Path, FItems); }

namespace {

bool MakeFolder(const std::string& Dir) {
    if (IsDirectory(Dir)) return true;
    // Parents first (the config folder may not exist yet).
    const std::size_t slash = Dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolder(Dir.substr(0, slash))) return false;
    return ::mkdir(Dir.c_str(), 0777) == 0 || (errno == EEXIST && IsDirectory(Dir));
}

// The document's file name without folder and extension.
std::string DocumentStem(const std::string& DocumentPath) {
    const std::size_t slash = DocumentPath.find_last_of('/');
    std::string name = slash == std::string::npos ? DocumentPath : DocumentPath.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

std::string BookmarkFolder(const std::string& DataDir) {
    std::string base = DataDir;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    if (base.empty()) return {};
    const std::string dir = base + "/Bookmarks";
    return MakeFolder(dir) ? dir : std::string();
}

std::string BookmarkFileFor(const std::string& Folder, const std::string& DocumentPath) {
    return Folder + "/" + DocumentStem(DocumentPath) + ".bkm";
}

void LoadDocumentBookmarks(TBookmarks& B, const std::string& Folder, const std::string& DocumentPath) {
    B.Clear();
    if (Folder.empty() || DocumentPath.empty()) return;
    std::string file = BookmarkFileFor(Folder, DocumentPath);
    if (!FileExists(file)) {
        // Another extension of the same name, the first by name.
        const std::string prefix = DocumentStem(DocumentPath) + ".";
        file.clear();
        if (DIR* d = ::opendir(Folder.c_str())) {
            std::vector<std::string> names;
            while (const dirent* e = ::readdir(d))
                if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0) names.emplace_back(e->d_name);
            ::closedir(d);
            std::sort(names.begin(), names.end());
            for (const std::string& n : names)
                if (FileExists(Folder + "/" + n)) {
                    file = Folder + "/" + n;
                    break;
                }
        }
        if (file.empty()) return;
    }
    B.LoadFromFile(file);
}

void StoreDocumentBookmarks(const TBookmarks& B, const std::string& Folder, const std::string& DocumentPath) {
    if (Folder.empty() || DocumentPath.empty()) return;
    const std::string file = BookmarkFileFor(Folder, DocumentPath);
    if (!B.Empty()) {
        B.SaveToFile(file);
    } else if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
        throw EStreamError("Cannot delete \"" + file + "\": " + std::strerror(errno));
    }
}

}  // namespace tarvex
