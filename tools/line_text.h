#pragma once
// Small helpers on Windows-1251 lines shared by the line tools.

#include <string>
#include <string_view>

namespace tarvex {

// Without leading and trailing blanks and control characters (bytes up to
// and including the space).
std::string_view TrimBlanks(std::string_view S);
// Equal when both are upper-cased (Latin and Cyrillic letters).
bool SameIgnoringCase(std::string_view A, std::string_view B);
// Whether Needle occurs in Hay, letter case ignored; an empty Needle always does.
bool ContainsIgnoringCase(std::string_view Hay, std::string_view Needle);
// "^t" (in either case) stands for a tab in the delimiter and separator settings.
std::string ExpandTabMarks(std::string_view S);
// Calls F for each line of Text; lines end at CR LF, CR or LF, and a break
// at the very end starts no further line.
template <class F>
void ForEachLine(std::string_view Text, F&& Fn) {
    std::size_t start = 0;
    const std::size_t n = Text.size();
    while (start < n) {
        std::size_t i = start;
        while (i < n && Text[i] != '\r' && Text[i] != '\n') ++i;
        Fn(Text.substr(start, i - start));
        if (i < n && Text[i] == '\r' && i + 1 < n && Text[i + 1] == '\n') ++i;
        start = i + 1;
    }
}

}  // namespace tarvex
