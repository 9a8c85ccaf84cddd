#include "spell/dict_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include "platform/codepage.h"
#include "textstore/atomic_file.h"
#include "textstore/stream.h"

namespace tarvex {

namespace {

std::string_view Trim(std::string_view S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) <= ' ') --b;
    return S.substr(a, b - a);
}

[[noreturn]] void Fail(const std::string& What, const std::string& Path) {
    throw EStreamError(What + " \"" + Path + "\": " + std::strerror(errno));
}

// An open file read only, closed on every path.
class TReadFile {
public:
    // A FIFO or a device is refused at once, never waited on or read without end.
    explicit TReadFile(const std::string& Path) : Fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        if (Fd < 0) Fail("Cannot read", Path);
        struct stat st {};
        if (::fstat(Fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(Fd);
            throw EStreamError("Cannot read \"" + Path + "\": not a regular file");
        }
        ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    }
    ~TReadFile() { ::close(Fd); }
    TReadFile(const TReadFile&) = delete;
    TReadFile& operator=(const TReadFile&) = delete;
    const int Fd;
};

// Lines of a file: CR LF, CR or LF ends one; a last line without a break
// counts, the empty text after a final break does not.
class TLineReader {
public:
    TLineReader(int Fd, const std::string& Path) : FFd(Fd), FPath(Path), FBuf(1 << 20) {}

    bool Next(std::string_view& Line, std::int64_t& Offset, int& BreakLen) {
        while (true) {
            const char* b = FBuf.data();
            std::size_t i = FPos;
            while (i < FEnd && b[i] != '\n' && b[i] != '\r') ++i;
            if (i < FEnd && !(b[i] == '\r' && i + 1 == FEnd && !FEof)) {
                BreakLen = b[i] == '\r' && i + 1 < FEnd && b[i + 1] == '\n' ? 2 : 1;
                Line = std::string_view(b + FPos, i - FPos);
                Offset = FBufStart + static_cast<std::int64_t>(FPos);
                FPos = i + static_cast<std::size_t>(BreakLen);
                return true;
            }
            if (FEof) {
                if (FPos >= FEnd) return false;
                Line = std::string_view(b + FPos, FEnd - FPos);
                Offset = FBufStart + static_cast<std::int64_t>(FPos);
                BreakLen = 0;
                FPos = FEnd;
                return true;
            }
            Refill();
        }
    }

    // Counts the lines still to come without looking at them.
    std::int64_t CountRest() {
        std::int64_t n = 0;
        std::string_view l;
        std::int64_t o;
        int br;
        while (Next(l, o, br)) ++n;
        return n;
    }

private:
    void Refill() {
        if (FPos > 0) {
            std::memmove(FBuf.data(), FBuf.data() + FPos, FEnd - FPos);
            FBufStart += static_cast<std::int64_t>(FPos);
            FEnd -= FPos;
            FPos = 0;
        }
        // A line longer than the buffer: grow it.
        if (FEnd == FBuf.size()) FBuf.resize(FBuf.size() * 2);
        ssize_t n;
        do n = ::read(FFd, FBuf.data() + FEnd, FBuf.size() - FEnd);
        while (n < 0 && errno == EINTR);
        if (n < 0) Fail("Cannot read", FPath);
        if (n == 0) FEof = true;
        FEnd += static_cast<std::size_t>(n);
    }

    int FFd;
    const std::string& FPath;
    std::vector<char> FBuf;
    std::size_t FPos = 0, FEnd = 0;
    std::int64_t FBufStart = 0;
    bool FEof = false;
};

struct TUpper {
    unsigned char T[256];
    TUpper() {
        for (int c = 0; c < 256; ++c) T[c] = Cp1251Upper(static_cast<unsigned char>(c));
    }
};
const TUpper& Upper() {
    static const TUpper u;
    return u;
}

void UpperInto(std::string_view S, std::string& Out) {
    const auto& t = Upper().T;
    Out.resize(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) Out[i] = static_cast<char>(t[static_cast<unsigned char>(S[i])]);
}

void ReplaceAll(std::string& S, std::string_view What, std::string_view With) {
    if (What.empty() || S.find(What) == std::string::npos) return;
    std::string out;
    out.reserve(S.size());
    std::size_t from = 0;
    for (std::size_t at; (at = S.find(What, from)) != std::string::npos; from = at + What.size()) {
        out.append(S, from, at - from);
        out.append(With);
    }
    out.append(S, from, std::string::npos);
    S = std::move(out);
}

}  // namespace

TDictItem SplitDictLine(std::string_view Line, std::string_view Delim) {
    TDictItem it;
    const std::size_t at = Delim.empty() ? std::string_view::npos : Line.find(Delim);
    if (at == std::string_view::npos) {
        it.Key = Trim(Line);
        return it;
    }
    it.HasDelimiter = true;
    it.Key = Trim(Line.substr(0, at));
    it.Value = Trim(Line.substr(at + Delim.size()));
    return it;
}

std::string ValueSeparator(std::string_view Separ) {
    std::string s;
    for (std::size_t i = 0; i < Separ.size(); ++i) {
        if (Separ[i] == '^' && i + 1 < Separ.size() && (Separ[i + 1] == 't' || Separ[i + 1] == 'T')) {
            s.push_back('\t');
            ++i;
        } else {
            s.push_back(Separ[i]);
        }
    }
    return s;
}

std::string JoinValueLines(std::string_view Text, std::string_view Separator) {
    const std::string_view sep = Separator.empty() ? std::string_view(" ") : Separator;
    std::string out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
            out += sep;
        } else {
            out.push_back(c);
        }
    }
    return std::string(Trim(out));
}

int CompareNoCase(std::string_view A, std::string_view B) {
    const auto& t = Upper().T;
    const std::size_t n = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = t[static_cast<unsigned char>(A[i])], b = t[static_cast<unsigned char>(B[i])];
        if (a != b) return a < b ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

TDictQuery QueryFromField(std::string_view FieldText) {
    TDictQuery q;
    std::string_view s = Trim(FieldText);
    q.Prefix = !s.empty() && s.front() == '*';
    q.Suffix = !s.empty() && s.back() == '*';
    if (q.Wildcard() && s.size() >= 2) {
        if (q.Prefix) s.remove_prefix(1);
        if (q.Suffix && !s.empty()) s.remove_suffix(1);
    }
    q.Text = std::string(s);
    return q;
}

TDictResult LookupDictFile(const std::string& Path, const TDictQuery& Q, const TDictPending& Pending) {
    TDictResult r;
    if (Q.Text.empty() || Path.empty() || !FileExists(Path) || IsDirectory(Path)) return r;
    TReadFile file(Path);
    TLineReader lines(file.Fd, Path);
    const bool plain = !Q.Wildcard();
    const bool listAll = Q.Wildcard() && !Q.FromList && Q.Text == "*";
    std::string want;
    UpperInto(Q.Text, want);
    std::string upperKey;

    // The neighbourhood of the remembered line: up to 5 lines before it
    // (kept while walking) and 5 after it.
    std::deque<TDictKey> recent;
    std::vector<TDictKey> before, after;
    int afterWanted = 0;

    std::string_view line;
    std::int64_t offset = 0, index = 0;
    int br = 0;
    bool done = false;
    while (!done && lines.Next(line, offset, br)) {
        if ((index & 4095) == 0 && index > 0 && Pending && !Pending(index)) {
            r.Stopped = true;
            break;
        }
        const TDictItem item = SplitDictLine(line, Q.Delim);
        if (plain) {
            if (afterWanted > 0) {
                after.push_back({std::string(item.Key), index});
                if (--afterWanted == 0 && r.Found) done = true;
            }
            if (!r.Found) {
                const int c = CompareNoCase(item.Key, Q.Text);
                if (c == 0 || (c > 0 && !r.Remembered)) {
                    r.Remembered = true;
                    r.Selected = {std::string(item.Key), index};
                    before.assign(recent.begin(), recent.end());
                    after.clear();
                    afterWanted = Q.Silent ? 0 : 5;
                }
                if (c == 0) {
                    r.Found = true;
                    r.Value = item.Value.empty() ? Q.Text : std::string(item.Value);
                    if (afterWanted == 0) done = true;
                }
            }
            recent.push_back({std::string(item.Key), index});
            if (recent.size() > 5) recent.pop_front();
        } else if (Q.FromList) {
            if (CompareNoCase(item.Key, Q.Text) == 0) {
                r.Found = r.Remembered = true;
                r.Selected = {std::string(item.Key), index};
                r.Value = item.Value.empty() ? Q.Text : std::string(item.Value);
                done = true;
            }
        } else if (!Q.Silent) {
            bool match = listAll;
            if (!match) {
                UpperInto(item.Key, upperKey);
                if (Q.Prefix && Q.Suffix) match = upperKey.find(want) != std::string::npos;
                else if (Q.Suffix) match = upperKey.compare(0, want.size(), want) == 0;
                else match = upperKey.size() >= want.size() && upperKey.compare(upperKey.size() - want.size(), want.size(), want) == 0;
            }
            if (match) r.Listed.push_back({std::string(item.Key), index});
        }
        ++index;
    }
    if (!r.Stopped) {
        if (!done) r.LineCount = index;
        else if (Q.CountLines) r.LineCount = index + lines.CountRest();
    }
    if (plain && !Q.Silent && r.Remembered) {
        for (TDictKey& k : before)
            if (!k.Key.empty()) r.Listed.push_back(std::move(k));
        if (!r.Selected.Key.empty()) r.Listed.push_back(r.Selected);
        for (TDictKey& k : after)
            if (!k.Key.empty()) r.Listed.push_back(std::move(k));
    }
    if (!Q.Separator.empty()) ReplaceAll(r.Value, Q.Separator, "\r");
    return r;
}

bool ReplaceDictLine(const std::string& Path, std::int64_t LineIndex, std::string_view Key, std::string_view Delim,
                     const std::string* NewLine) {
    if (Path.empty() || !FileExists(Path) || LineIndex < 0) return false;
    std::int64_t start = -1, length = 0;
    int breakLen = 0;
    {
        TReadFile file(Path);
        TLineReader lines(file.Fd, Path);
        std::string_view line;
        std::int64_t offset = 0;
        int br = 0;
        for (std::int64_t i = 0; lines.Next(line, offset, br); ++i)
            if (i == LineIndex) {
                if (CompareNoCase(SplitDictLine(line, Delim).Key, Trim(Key)) != 0) return false;
                start = offset;
                length = static_cast<std::int64_t>(line.size());
                breakLen = br;
                break;
            }
    }
    if (start < 0) return false;
    TReadFile file(Path);
    SaveFileAtomically(Path, [&](TStream& Out) {
        std::vector<char> buf(1 << 20);
        // Copies [From, To) of the file (To < 0: to its end).
        auto copy = [&](std::int64_t From, std::int64_t To) {
            std::int64_t at = From;
            while (To < 0 || at < To) {
                std::size_t want = buf.size();
                if (To >= 0) want = static_cast<std::size_t>(std::min<std::int64_t>(To - at, static_cast<std::int64_t>(want)));
                const ssize_t n = ::pread(file.Fd, buf.data(), want, at);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    Fail("Cannot read", Path);
                }
                if (n == 0) break;
                Out.Write(buf.data(), n);
                at += n;
            }
        };
        copy(0, start);
        if (NewLine) {
            Out.Write(NewLine->data(), static_cast<std::int64_t>(NewLine->size()));
            copy(start + length, -1);
        } else {
            copy(start + length + breakLen, -1);
        }
    });
    return true;
}

std::vector<std::string> FilesOfFolder(const std::string& Folder) {
    std::vector<std::string> names;
    DIR* d = ::opendir(Folder.empty() ? "." : Folder.c_str());
    if (!d) return names;
    std::string dir = Folder;
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');
    while (dirent* e = ::readdir(d)) {
        const std::string path = dir + e->d_name;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), R_OK) == 0)
            names.push_back(path);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tarvex
