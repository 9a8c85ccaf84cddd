#pragma once
// Small compound files laid out the way the raw Word extractor reads them: the
// header sector, the directory sectors, then the document stream.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvex::test {

struct TCompoundSpec {
    std::uint16_t Ident = 0xA5EC;
    std::string Text;  // placed at FcMin in the document stream
    std::uint32_t FcMin = 0x200;
    std::int64_t FcMac = -1;  // -1: FcMin + the text's length
    std::string StreamName = "WordDocument";
    bool NameAsBytes = false;  // the name field in 8-bit bytes rather than UTF-16
    std::vector<std::string> Before = {"Root Entry", "\x05SummaryInformation"};
};

inline void Put16(std::string& S, std::size_t At, std::uint16_t V) {
    S[At] = static_cast<char>(V & 0xFF);
    S[At + 1] = static_cast<char>(V >> 8);
}
inline void Put32(std::string& S, std::size_t At, std::uint32_t V) {
    for (int i = 0; i < 4; ++i) S[At + i] = static_cast<char>((V >> (8 * i)) & 0xFF);
}

inline std::string BuildCompound(const TCompoundSpec& Spec) {
    std::vector<std::string> names = Spec.Before;
    names.push_back(Spec.StreamName);
    const std::size_t dirSectors = (names.size() + 3) / 4;
    std::string f(512 * (1 + dirSectors), '\0');
    f.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    Put32(f, 0x30, 0);  // the directory starts at sector 0
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::size_t e = 512 + 128 * i;
        const std::string& n = names[i];
        const bool bytes = Spec.NameAsBytes && i + 1 == names.size();
        for (std::size_t k = 0; k < n.size() && k < 31; ++k) {
            if (bytes)
                f[e + k] = n[k];
            else
                f[e + 2 * k] = n[k];
        }
        Put16(f, e + 64, static_cast<std::uint16_t>(bytes ? n.size() + 1 : 2 * (n.size() + 1)));
        f[e + 66] = i == 0 ? 5 : 2;
        Put32(f, e + 0x74, static_cast<std::uint32_t>(i + 1 == names.size() ? dirSectors : 0xFFFFFFFE));
    }
    std::string doc(Spec.Text.empty() ? 0x200 : std::max<std::size_t>(Spec.FcMin + Spec.Text.size(), 0x200), '\0');
    Put16(doc, 0, Spec.Ident);
    Put32(doc, 0x18, Spec.FcMin);
    Put32(doc, 0x1C, static_cast<std::uint32_t>(Spec.FcMac >= 0 ? Spec.FcMac : Spec.FcMin + Spec.Text.size()));
    if (!Spec.Text.empty()) doc.replace(Spec.FcMin, Spec.Text.size(), Spec.Text);
    return f + doc;
}

// Little-endian UTF-16 of an ASCII or Windows-1251 Cyrillic (0xC0..0xFF) text.
inline std::string Utf16Le(const std::string& S) {
    std::string out;
    for (const char c : S) {
        const unsigned char b = static_cast<unsigned char>(c);
        const unsigned u = b >= 0xC0 ? 0x0410 + (b - 0xC0) : b;
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

}  // namespace tarvex::test
