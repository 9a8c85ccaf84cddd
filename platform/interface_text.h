#pragma once
// The interface language and the way numbers are shown to the user. Every
// caption and message that exists in both languages is one "English=Russian"
// text; a text without "=" is the same in both.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// True when the user's locale (LC_ALL, else LC_MESSAGES, else LANG) is Russian.
bool RussianLocale();
// The English or Russian part of "English=Russian"; a text without "=" is both.
std::string Bilingual(std::string_view Text, bool Russian);
// An integer formatted "#,##0".
std::string FormatCount(std::int64_t N);

}  // namespace tarvex
