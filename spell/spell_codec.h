#pragma once
// Words travel to a spelling engine in its dictionary's own encoding and
// come back to Windows-1251. Debian's dictionaries declare UTF-8, KOI8-R,
// ISO 8859-x or a Windows code page; single-byte encodings go through two
// 256-entry tables made once with iconv.

#include <array>
#include <string>
#include <string_view>

namespace tarvex {

class TSpellCodec {
public:
    // Windows-1251 itself (nothing converted).
    TSpellCodec() = default;
    // The codec of an encoding as dictionaries name it ("UTF-8", "KOI8-R",
    // "ISO8859-5", "microsoft-cp1251", "cp1251"). An encoding iconv does not
    // know is taken as ISO 8859-1, the engines' own default.
    static TSpellCodec For(std::string_view EncodingName);

    // The word in the engine's encoding; false when a character of it has no
    // counterpart there (no word of that dictionary can hold it).
    bool ToEngine(std::string_view Word, std::string& Out) const;
    // Characters without a Windows-1251 counterpart become '?'.
    std::string FromEngine(std::string_view Text) const;

    bool IsUtf8() const { return FKind == kUtf8; }
    // The iconv name in use ("CP1251" for the default codec).
    const std::string& Name() const { return FName; }

private:
    enum TKind { kIdentity, kUtf8, kTable };
    TKind FKind = kIdentity;
    std::string FName = "CP1251";
    // -1: no counterpart.
    std::array<short, 256> FToEngine{};
    std::array<unsigned char, 256> FFromEngine{};
};

// The iconv spelling of a dictionary's encoding name ("microsoft-cp1251" ->
// "CP1251", "ISO8859-1" -> "ISO-8859-1"), upper-cased.
std::string IconvEncodingName(std::string_view EncodingName);

}  // namespace tarvex
