#include "tools/line_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace tarvex {

std::string_view TrimBlanks(std::string_view S) {
    std::size_t a = 0, b = S.size();
    while (a < b && static_cast<unsigned char>(S[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(S[b - 1]) <= ' ') --b;
    return S.substr(a, b - a);
}

bool SameIgnoringCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (A[i] != B[i] && Cp1251Upper(static_cast<unsigned char>(A[i])) != Cp1251Upper(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

bool ContainsIgnoringCase(std::string_view Hay, std::string_view Needle) {
    if (Needle.empty()) return true;
    const auto eq = [](char a, char b) {
        return Cp1251Upper(static_cast<unsigned char>(a)) == Cp1251Upper(static_cast<unsigned char>(b));
    };
    return std::search(Hay.begin(), Hay.end(), Needle.begin(), Needle.end(), eq) != Hay.end();
}

std::string ExpandTabMarks(std::string_view S) {
    std::string r;
    r.reserve(S.size());
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '^' && i + 1 < S.size() && (S[i + 1] == 't' || S[i + 1] == 'T')) {
            r += '\t';
            ++i;
        } else {
            r += S[i];
        }
    }
    return r;
}

}  // namespace tarvex
