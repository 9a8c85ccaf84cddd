#include "tools/rtf_codepage.h"

#include <iconv.h>

#include <cstdio>
#include <string>

#include "platform/codepage.h"

namespace tarvex {

int CharsetToCodePage(int Charset, int DocCp) {
    switch (Charset) {
        case 2: return 1252;  // symbol fonts: their letters sit on Latin-1 places
        case 77: return 10000;
        case 128: return 932;
        case 129: return 949;
        case 130: return 1361;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        case 254: return 437;
        case 255: return 866;
        default: return DocCp;
    }
}

bool IsDoubleByteCodePage(int Cp) { return Cp == 932 || Cp == 936 || Cp == 949 || Cp == 950 || Cp == 1361; }

namespace {
// glibc's name for a Windows code page number, or "" when we know none.
std::string IconvName(int Cp) {
    switch (Cp) {
        case 10000: return "MACINTOSH";
        case 10007: return "MAC-CYRILLIC";
        case 20866: return "KOI8-R";
        case 21866: return "KOI8-U";
        default: break;
    }
    if (Cp >= 28591 && Cp <= 28606) return "ISO-8859-" + std::to_string(Cp - 28590);
    if ((Cp >= 437 && Cp <= 1258) || Cp == 874) return "CP" + std::to_string(Cp);
    return {};
}

// Fills T from the code page through iconv; false when iconv does not know it.
bool BuildTable(int Cp, std::array<unsigned char, 256>& T) {
    const std::string name = IconvName(Cp);
    if (name.empty()) return false;
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char* ip = &in;
        char* op = reinterpret_cast<char*>(out);
        std::size_t il = 1, ol = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        int mapped = '?';
        if (iconv(cd, &ip, &il, &op, &ol) != static_cast<std::size_t>(-1) && ol == sizeof out - 4) {
            const char32_t u = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
            const int w = UnicodeToCp1251(u);
            if (w >= 0) mapped = w;
        }
        T[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b < 0x80 ? b : mapped);
    }
    iconv_close(cd);
    return true;
}
}  // namespace

const std::array<unsigned char, 256>* TCodePageTables::Table(int Cp) {
    if (Cp == 1251) return nullptr;
    auto it = FTables.find(Cp);
    if (it == FTables.end()) {
        auto t = std::make_unique<std::array<unsigned char, 256>>();
        if (!BuildTable(Cp, *t)) t.reset();
        it = FTables.emplace(Cp, std::move(t)).first;
    }
    return it->second.get();
}

}  // namespace tarvex
