#include "highlight/text_scan.h"

#include <array>
#include <cstring>

#include "platform/codepage.h"

namespace tarvex {

namespace {
struct TFoldTables {
    std::array<unsigned char, 256> Up{};
    std::array<bool, 256> Target{};
    TFoldTables() {
        for (int c = 0; c < 256; ++c) Up[static_cast<std::size_t>(c)] = Cp1251Upper(static_cast<unsigned char>(c));
        for (int c = 0; c < 256; ++c)
            if (Up[static_cast<std::size_t>(c)] != c) Target[Up[static_cast<std::size_t>(c)]] = true;
    }
};
const TFoldTables& Tables() {
    static const TFoldTables t;
    return t;
}
}  // namespace

unsigned char FoldByte(unsigned char C) { return Tables().Up[C]; }
const unsigned char* FoldTable() { return Tables().Up.data(); }
bool IsFoldTarget(unsigned char C) { return Tables().Target[C]; }

bool KeyAt(std::string_view Text, std::size_t At, std::string_view Key, bool CaseSensitive) {
    if (CaseSensitive) return Text.compare(At, Key.size(), Key) == 0;
    const auto& up = Tables().Up;
    for (std::size_t j = 0; j < Key.size(); ++j)
        if (up[static_cast<unsigned char>(Text[At + j])] != static_cast<unsigned char>(Key[j])) return false;
    return true;
}

std::size_t FindKey(std::string_view Text, std::size_t From, std::size_t To, std::string_view Key, bool CaseSensitive) {
    if (Key.empty() || To > Text.size() || From + Key.size() > To) return std::string_view::npos;
    const auto first = static_cast<unsigned char>(Key[0]);
    const std::size_t last = To - Key.size();
    if (CaseSensitive || !IsFoldTarget(first)) {
        // Only the byte itself matches the first key byte: jump with memchr.
        std::size_t i = From;
        while (i <= last) {
            const void* hit = std::memchr(Text.data() + i, first, last + 1 - i);
            if (!hit) return std::string_view::npos;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - Text.data());
            if (KeyAt(Text, i, Key, CaseSensitive)) return i;
            ++i;
        }
        return std::string_view::npos;
    }
    const auto& up = Tables().Up;
    for (std::size_t i = From; i <= last; ++i)
        if (up[static_cast<unsigned char>(Text[i])] == first && KeyAt(Text, i, Key, false)) return i;
    return std::string_view::npos;
}

}  // namespace tarvex
