#pragma once
// TStringList: lines of text, with the Name=Value access the text forms of the
// keyword lists (and the settings) use.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class TStringList {
public:
    std::vector<std::string> Lines;

    std::size_t Count() const { return Lines.size(); }
    void Add(std::string S) { Lines.push_back(std::move(S)); }
    void Clear() { Lines.clear(); }
    // The index of the first line "Name=..." (-1 when none).
    int IndexOfName(std::string_view Name) const;
    // The part before / after the first '=' of line I ("" and the whole line without one).
    std::string Name(std::size_t I) const;
    std::string Value(std::size_t I) const;
    // Replaces the line of that name, or adds one.
    void SetValue(std::string_view Name, std::string_view Value);
};

}  // namespace tarvex
