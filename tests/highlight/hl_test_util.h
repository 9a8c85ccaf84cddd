#pragma once
// Helpers of the highlighter tests: highlight a text with a highlighter and
// read back, per character, what the passes made of it.

#include <string>
#include <vector>

#include "textstore/highlight_passes.h"
#include "textstore/highlighter.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex::test {

// Text through the editor's passes with H as its highlighter.
inline void Highlight(TDudiRiriBase& M, TRiriHighlighter* H, std::string_view Text) {
    M.SetHighlighter(H);
    M.LoadText(Text);
    KeywordsOverRange(M, 0, M.Pars.Count() - 1);
}

inline const TDynInfo& AttrOfChar(const TDudiRiriBase& M, std::int32_t P, std::int32_t I) {
    const ParInfo& par = M.Pars.At(P);
    std::int32_t n = 0;
    while (n < M.Pars.DynCount(par) && M.Pars.DynOffset(par, n) <= I) ++n;
    return M.Pars.AttrBefore(par, n);
}

// One letter per character of paragraph P for its context number: 0-9 as
// digits, 10 'a', 11 'b', addresses (1024...) 'u', numbers of a lone number
// highlighter (3000) 'n'; '?' for anything else.
inline std::string Ctx(const TDudiRiriBase& M, std::int32_t P) {
    std::string s;
    for (std::int32_t i = 0; i < M.Pars.At(P).Len(); ++i) {
        const TDynInfo& a = AttrOfChar(M, P, i);
        const std::int32_t c = (a.Flags & dfOwn) ? a.Context : 0;
        s += c >= 0 && c < 10 ? static_cast<char>('0' + c) : c == 10 ? 'a' : c == 11 ? 'b' : c >= 1024 && c < 1039 ? 'u' : c == 3000 ? 'n' : '?';
    }
    return s;
}

// Per character: style byte (bits 0-5), colours, context and the context stack.
inline std::string Describe(const TDynInfo& A) {
    if (!(A.Flags & dfOwn)) return "-";
    std::string s = std::to_string(A.Flags) + "/" + std::to_string(A.Color) + "/" + std::to_string(A.BkColor) + "/" +
                    std::to_string(A.Context) + "/" + std::to_string(ContextDepth(A));
    for (int i = 0; i <= ContextDepth(A); ++i) s += ":" + std::to_string(A.Contexts[i]);
    return s;
}

inline std::vector<std::string> Effective(const TDudiRiriBase& M) {
    std::vector<std::string> out;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p)
        for (std::int32_t i = 0; i <= M.Pars.At(p).Len(); ++i) out.push_back(Describe(AttrOfChar(M, p, i)));
    return out;
}

// Every change point of the text: paragraph, offset and state.
inline std::vector<std::string> Points(const TDudiRiriBase& M) {
    std::vector<std::string> out;
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) {
        const ParInfo& par = M.Pars.At(p);
        for (std::int32_t i = 0; i < M.Pars.DynCount(par); ++i)
            out.push_back(std::to_string(p) + ":" + std::to_string(M.Pars.DynOffset(par, i)) + " " +
                          Describe(M.Pars.DynAttr(par, i)));
    }
    return out;
}

}  // namespace tarvex::test
