#include "app/ini_file.h"

#include "textstore/stream.h"

#include <charconv>
#include <cstdint>

namespace tarvex {

namespace {

std::string_view Trim(std::string_view S) {
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t')) S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t' || S.back() == '\r')) S.remove_suffix(1);
    return S;
}

bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return true;
}

}  // namespace

void TIniFile::Parse(std::string_view Text) {
    FSections.clear();
    FSections.push_back({});
    std::size_t pos = 0;
    while (pos < Text.size()) {
        std::size_t end = Text.find('\n', pos);
        if (end == std::string_view::npos) end = Text.size();
        std::string_view raw = Text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        const std::string_view t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
            FSections.push_back({std::string(Trim(t.substr(1, t.find(']') - 1))), {}});
            continue;
        }
        TLine line{std::string(raw), {}};
        const std::size_t eq = t.find('=');
        if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos && eq > 0)
            line.Key = std::string(Trim(t.substr(0, eq)));
        FSections.back().Lines.push_back(std::move(line));
    }
}

bool TIniFile::LoadFile(const std::string& Path) {
    Parse({});
    try {
        TFileStream in(Path, TFileStream::fmOpenRead);
        Parse(ReadBytes(in));
        return true;
    } catch (const EStreamError&) {
        return false;  // the defaults hold, as for a missing file
    }
}

std::string TIniFile::Serialize() const {
    std::string out;
    for (const TSection& s : FSections) {
        if (!s.Name.empty() || &s != &FSections.front()) out += "[" + s.Name + "]\n";
        for (const TLine& l : s.Lines) out += l.Text + "\n";
    }
    return out;
}

TIniFile::TSection* TIniFile::Find(std::string_view Name) {
    for (TSection& s : FSections)
        if (&s != &FSections.front() && SameName(s.Name, Name)) return &s;
    return nullptr;
}

const TIniFile::TSection* TIniFile::Find(std::string_view Name) const {
    return const_cast<TIniFile*>(this)->Find(Name);
}

TIniFile::TSection& TIniFile::Need(std::string_view Name) {
    if (TSection* s = Find(Name)) return *s;
    if (FSections.empty()) FSections.push_back({});
    // A blank line between sections keeps the file readable.
    TSection& last = FSections.back();
    if (!last.Lines.empty() && !Trim(last.Lines.back().Text).empty()) last.Lines.push_back({});
    FSections.push_back({std::string(Name), {}});
    return FSections.back();
}

std::optional<std::string> TIniFile::Value(std::string_view Section, std::string_view Key) const {
    const TSection* s = Find(Section);
    if (!s) return std::nullopt;
    for (const TLine& l : s->Lines) {
        if (l.Key.empty() || !SameName(l.Key, Key)) continue;
        std::string_view v = Trim(std::string_view(l.Text).substr(l.Text.find('=') + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return std::string(v);
    }
    return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const {
    const auto v = Value(Section, Key);
    return v ? *v : std::string(Default);
}

std::int64_t TIniFile::ReadInteger(std::string_view Section, std::string_view Key, std::int64_t Default) const {
    const auto v = Value(Section, Key);
    if (!v || v->empty()) return Default;
    std::string_view s = *v;
    bool neg = false;
    if (s.front() == '-' || s.front() == '+') {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    std::uint64_t u = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), u, base);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return Default;
    if (base == 16) {
        // Hexadecimal values are bit patterns of 32-bit numbers (colours); a
        // minus sign negates that number, which must stay a 32-bit number.
        if (u > 0xFFFFFFFFu) return Default;
        const std::int64_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
        if (!neg) return v;
        return v == INT32_MIN ? Default : -v;
    }
    if (u > static_cast<std::uint64_t>(INT64_MAX)) return Default;
    return neg ? -static_cast<std::int64_t>(u) : static_cast<std::int64_t>(u);
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value) {
    TSection& s = Need(Section);
    std::string text = std::string(Key) + "=" + std::string(Value);
    for (TLine& l : s.Lines)
        if (!l.Key.empty() && SameName(l.Key, Key)) {
            l.Text = std::move(text);
            return;
        }
    // New keys go after the last entry, before trailing blank lines.
    std::size_t at = s.Lines.size();
    while (at > 0 && Trim(s.Lines[at - 1].Text).empty()) --at;
    s.Lines.insert(s.Lines.begin() + static_cast<std::ptrdiff_t>(at), TLine{std::move(text), std::string(Key)});
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, std::int64_t Value) {
    WriteString(Section, Key, std::to_string(Value));
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Key) {
    TSection* s = Find(Section);
    if (!s) return;
    std::erase_if(s->Lines, [&](const TLine& l) { return !l.Key.empty() && SameName(l.Key, Key); });
}

std::vector<std::string> TIniFile::SectionLines(std::string_view Section) const {
    std::vector<std::string> out;
    if (const TSection* s = Find(Section))
        for (const TLine& l : s->Lines) {
            const std::string_view t = Trim(l.Text);
            if (!t.empty() && t.front() != ';' && t.front() != '#') out.emplace_back(t);
        }
    return out;
}

void TIniFile::ReplaceSection(std::string_view Section, const std::vector<std::string>& Lines) {
    TSection& s = Need(Section);
    s.Lines.clear();
    for (const std::string& l : Lines) s.Lines.push_back({l, {}});
    s.Lines.push_back({});
}

}  // namespace tarvex
