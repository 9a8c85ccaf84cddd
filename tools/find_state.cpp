#include "tools/find_state.h"

#include <algorithm>

#include "platform/codepage.h"

namespace tarvex {

namespace {

constexpr char kJoin = '\x01';
constexpr std::size_t kShownLength = 64;

// The settings file holds one line per key: breaks and tabs are written as escapes.
std::string ToSetting(std::string_view SearchText) {
    std::string s;
    for (std::size_t i = 0; i < SearchText.size(); ++i) {
        const char c = SearchText[i];
        if (c == '\r' || c == '\n') {
            s += "^p";
            if (c == '\r' && i + 1 < SearchText.size() && SearchText[i + 1] == '\n') ++i;
        } else if (c == '\t') {
            s += "^t";
        } else {
            s += c;
        }
    }
    return Cp1251ToUtf8(s);
}

}  // namespace

std::string ExpandEscapes(std::string_view S) {
    std::string out;
    out.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '^' && i + 1 < S.size()) {
            const char c = S[i + 1];
            if (c == 'p' || c == 'P') {
                out += "\r\n";
                ++i;
                continue;
            }
            if (c == 't' || c == 'T') {
                out += '\t';
                ++i;
                continue;
            }
        }
        out += S[i];
    }
    return out;
}

std::string DisplayText(std::string_view SearchText, bool Escapes) {
    std::string d = SearchText.size() >= kShownLength ? std::string(SearchText.substr(0, kShownLength)) + "..."
                                                      : std::string(SearchText);
    if (!Escapes) return d;
    std::string out;
    for (std::size_t i = 0; i < d.size(); ++i) {
        if (d[i] == '\r' && i + 1 < d.size() && d[i + 1] == '\n') {
            out += "^p";
            ++i;
        } else if (d[i] == '\t') {
            out += "^t";
        } else {
            out += d[i];
        }
    }
    return out;
}

void TFindHistory::Push(std::string_view Text, std::int64_t Max) {
    Remove(Text);
    Items.insert(Items.begin(), std::string(Text));
    while (static_cast<std::int64_t>(Items.size()) > std::max<std::int64_t>(Max, 1)) Items.pop_back();
}

bool TFindHistory::Remove(std::string_view Text) {
    const auto it = std::find(Items.begin(), Items.end(), Text);
    if (it == Items.end()) return false;
    Items.erase(it);
    return true;
}

std::string TFindHistory::Joined() const {
    std::string s;
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (i > 0) s += kJoin;
        s += Items[i];
    }
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

void TFindHistory::Split(std::string_view Joined) {
    Items.clear();
    std::size_t start = 0;
    while (start <= Joined.size()) {
        std::size_t end = Joined.find(kJoin, start);
        if (end == std::string_view::npos) end = Joined.size();
        if (end > start) Items.emplace_back(Joined.substr(start, end - start));
        start = end + 1;
    }
}

void TSearchState::Load(const TFindSettings& S) {
    MaxFndList = S.MaxFndList >= 1 && S.MaxFndList <= 100 ? S.MaxFndList : 10;
    SearchText = ExpandEscapes(Utf8ToCp1251(S.Find));
    FindHistory.Split(S.FndList);
    ReplaceHistory.Split(S.RepList);
    while (static_cast<std::int64_t>(FindHistory.Items.size()) > MaxFndList) FindHistory.Items.pop_back();
    while (static_cast<std::int64_t>(ReplaceHistory.Items.size()) > MaxFndList) ReplaceHistory.Items.pop_back();
}

void TSearchState::Store(TFindSettings& S) const {
    S.Find = ToSetting(SearchText);
    S.FndList = FindHistory.Joined();
    S.RepList = ReplaceHistory.Joined();
    S.MaxFndList = MaxFndList;
}

void TSearchState::TakeSearchParams(const TFindDialogValues& V) {
    MatchCase = V.MatchCase;
    WholeWord = V.WholeWord;
    Escapes = V.Escapes;
    Forward = true;
    if (V.FindText.empty()) return;
    SearchText = Utf8ToCp1251(V.FindText);
    FindHistory.Push(V.FindText, MaxFndList);
    if (Escapes) SearchText = ExpandEscapes(SearchText);
    ReplaceText = Utf8ToCp1251(V.ReplaceText);
    if (V.ReplaceText.empty()) return;
    ReplaceHistory.Push(V.ReplaceText, MaxFndList);
    if (Escapes) ReplaceText = ExpandEscapes(ReplaceText);
}

}  // namespace tarvex
