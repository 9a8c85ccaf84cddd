#pragma once
// The editor's own keyword and start-stop lists for the generated C-like text:
// forty C keywords, block and line comments, strings.

#include <iterator>

#include "textstore/memo_base.h"

namespace tarvex::bench {

inline constexpr const char* kCLikeKeywords[] = {
    "auto",   "break",    "case",    "char",   "const",    "continue", "default", "do",       "double", "else",
    "enum",   "extern",   "float",   "for",    "goto",     "if",       "int",     "long",     "register", "return",
    "short",  "signed",   "sizeof",  "static", "struct",   "switch",   "typedef", "union",    "unsigned", "void",
    "volatile", "while",  "bool",    "true",   "false",    "inline",   "class",   "public",   "private", "namespace"};
inline constexpr int kCLikeKeywordCount = static_cast<int>(std::size(kCLikeKeywords));

inline void SetUpCLikeKeys(TDudiRiriBase& M) {
    for (const char* k : kCLikeKeywords) M.Keywords.AddKeyword(k, koCaseSensitive | koWholeWord, -1, 0xFF0000, 0, 1, 1);
    M.StartStopKeys.AddKey("/*", "*/", false, -1, 0x008000, 0, 2, 2, koCaseSensitive);
    M.StartStopKeys.AddKey("//", "", true, -1, 0x008000, 0, 2, 2, koCaseSensitive);
    M.StartStopKeys.AddKey("\"", "\"", false, -1, 0x800000, 0, 3, 0, koCaseSensitive);
}

}  // namespace tarvex::bench
