#include "textstore/string_list.h"

namespace tarvex {

int TStringList::IndexOfName(std::string_view N) const {
    for (std::size_t i = 0; i < Lines.size(); ++i) {
        const auto eq = Lines[i].find('=');
        if (eq != std::string::npos && std::string_view(Lines[i]).substr(0, eq) == N) return static_cast<int>(i);
    }
    return -1;
}

std::string TStringList::Name(std::size_t I) const {
    const auto eq = Lines[I].find('=');
    return eq == std::string::npos ? std::string() : Lines[I].substr(0, eq);
}

std::string TStringList::Value(std::size_t I) const {
    const auto eq = Lines[I].find('=');
    return eq == std::string::npos ? Lines[I] : Lines[I].substr(eq + 1);
}

void TStringList::SetValue(std::string_view N, std::string_view V) {
    std::string line = std::string(N) + "=" + std::string(V);
    const int i = IndexOfName(N);
    if (i >= 0)
        Lines[static_cast<std::size_t>(i)] = std::move(line);
    else
        Lines.push_back(std::move(line));
}

}  // namespace tarvex
