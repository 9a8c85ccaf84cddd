#include "highlight/cpp_highlighter.h"

#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

namespace {

const char* const kCppKeywords[] = {
    "__rrti", "__automated", "auto", "bool", "break", "case", "catch", "__cdecl", "_cdecl", "cdecl", "char", "class",
    "__classid", "__closure", "const", "const_cast", "continue", "__declspec", "default", "delete", "__dispid", "do",
    "double", "dynamic_cast", "else", "enum", "__except", "explicit", "__export", "_export", "export", "__int8",
    "__int16", "__int32", "__int64", "unsigned __int64", "extern", "false", "__fastcall", "_fastcall", "__finally",
    "float", "for", "friend", "goto", "if", "__import", "_import", "__inline", "inline", "int", "long",
    "__msfastcall", "__msreturn", "mutable", "namespace", "new", "operator", "__pascal", "_pascal", "private",
    "__property", "protected", "public", "__published", "register", "reinterpret_cast", "return", "short", "signed",
    "sizeof", "static_cast", "__stdcall", "_stdcall", "struct", "switch", "template", "this", "__trhead", "throw",
    "true", "__try", "try", "typedef", "typeid", "typename", "union", "unsigned", "using", "virtual", "void",
    "volatile", "wchar_t", "while", "asm", "_asm", "__asm"};
static_assert(std::size(kCppKeywords) == kCppKeywordCount);

constexpr std::string_view kCppSeparators = "\t \"'(),-./:;<=>[]{}";

}  // namespace

TCPPHighlighter::TCPPHighlighter() {
    SetSeparators(kCppSeparators);
    TExtKeywordList& K = Keywords();
    K.BeginUpdate();
    for (const char* w : kCppKeywords)
        K.AddExtKeyword(w, koWholeWord | koCaseSensitive, hsBold, 1, 0, clNone, clNone, 0, 0);
    K.EndUpdate();
    TExtStartStopList& S = StartStopKeys();
    S.AddExtKey("\"", "\"", 0, hsItalic, 2, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("//", "", 0, hsItalic, 3, 0, clNone, 0xFF0000, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("#", "", 0, hsItalic, 4, 0, 0x808000, 0xFFFFFF, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("/*", "*/", 0, hsItalic, 3, 0, clNone, 0x008000, 0, 0, 0);

    FNumbers.SetSeparators(kCppSeparators);
    FNumbers.SetForeground(0x0000FF);
    FNumbers.SetContextNum(5);

    for (THighlightInfo* i : {&CPPKeywords, &Strings, &CommentSingleLine, &CommentMultiLine, &Directives, &Numbers})
        Watch(*i);
    FSavedKeywords.Take(CPPKeywords);
    BeginLoading();
    EndLoading();
}

bool TCPPHighlighter::FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    const std::int32_t o = Nav.ParOffset();
    if (o > 0 && Nav.Memo() && StopNav.ParNb() == Nav.ParNb()) {
        const std::string_view text = Nav.Par()->View();
        std::int32_t i = 0;
        while (i < o && i < static_cast<std::int32_t>(text.size()) && (text[static_cast<std::size_t>(i)] == ' ' || text[static_cast<std::size_t>(i)] == '\t')) ++i;
        if (i == o) {
            const std::size_t hash = text.find('#', static_cast<std::size_t>(o));
            // Only blanks lie between: no other key can start before the "#".
            if (hash != std::string_view::npos && static_cast<std::int32_t>(hash) <= StopNav.ParOffset() &&
                text.find_first_not_of(" \t", static_cast<std::size_t>(o)) == hash) {
                TRiriNavigator at(Nav.Memo());
                at.SetResolved(Nav.ParNb(), static_cast<std::int32_t>(hash), Nav.Memo()->Pars.StartPos(Nav.ParNb()) + static_cast<std::int64_t>(hash));
                return TTableHighlighter::FindStartKey(at, StopNav, KeyBase);
            }
        }
    }
    return TTableHighlighter::FindStartKey(Nav, StopNav, KeyBase);
}

std::vector<TTableHighlighter::TGroup> TCPPHighlighter::Groups() {
    return {{"CPPKeywords", &CPPKeywords},       {"Strings", &Strings},
            {"CommentSingleLine", &CommentSingleLine}, {"CommentMultiLine", &CommentMultiLine},
            {"Directives", &Directives},         {"Numbers", &Numbers}};
}

void TCPPHighlighter::GroupChanged(THighlightInfo& I) {
    if (&I == &CPPKeywords) MergeKeywords(I, FSavedKeywords, 0, kCppKeywordCount - 1);
    if (&I == &Strings) SetEntries(I, {0});
    if (&I == &CommentSingleLine) SetEntries(I, {1});
    if (&I == &Directives) SetEntries(I, {2});
    if (&I == &CommentMultiLine) SetEntries(I, {3});
    if (&I == &Numbers) SetNumbers(I);
}

void TCPPHighlighter::Loaded() {
    FSavedKeywords.Take(CPPKeywords);
    ResetKeywords(CPPKeywords, 0, kCppKeywordCount - 1, koWholeWord | koCaseSensitive, 1);
    for (THighlightInfo* i : {&Strings, &CommentSingleLine, &CommentMultiLine, &Directives, &Numbers}) GroupChanged(*i);
}

}  // namespace tarvex
