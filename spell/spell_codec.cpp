#include "spell/spell_codec.h"

#include <iconv.h>

#include <cctype>

#include "platform/codepage.h"

namespace tarvex {

namespace {

// Converts one byte with an open descriptor; -1 when it has no counterpart
// or does not become exactly one byte.
int ConvertByte(iconv_t Cd, unsigned char B) {
    char in = static_cast<char>(B);
    char out[8];
    char* ip = &in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(Cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return -1;
    if (op - out != 1) return -1;
    return static_cast<unsigned char>(out[0]);
}

}  // namespace

std::string IconvEncodingName(std::string_view EncodingName) {
    std::string n;
    for (char c : EncodingName)
        if (!std::isspace(static_cast<unsigned char>(c))) n.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (n.rfind("MICROSOFT-", 0) == 0) n.erase(0, 10);
    if (n.rfind("ISO8859", 0) == 0) n = "ISO-" + n.substr(3);
    if (n == "UTF8") n = "UTF-8";
    if (n == "KOI8R") n = "KOI8-R";
    if (n == "KOI8U") n = "KOI8-U";
    if (n.rfind("WINDOWS-", 0) == 0) n = "CP" + n.substr(8);
    return n;
}

TSpellCodec TSpellCodec::For(std::string_view EncodingName) {
    TSpellCodec c;
    std::string name = IconvEncodingName(EncodingName);
    if (name.empty()) name = "ISO-8859-1";
    if (name == "CP1251") return c;
    if (name == "UTF-8") {
        c.FKind = kUtf8;
        c.FName = name;
        return c;
    }
    iconv_t to = iconv_open(name.c_str(), "CP1251");
    iconv_t from = iconv_open("CP1251", name.c_str());
    if (to == reinterpret_cast<iconv_t>(-1) || from == reinterpret_cast<iconv_t>(-1)) {
        if (to != reinterpret_cast<iconv_t>(-1)) iconv_close(to);
        if (from != reinterpret_cast<iconv_t>(-1)) iconv_close(from);
        name = "ISO-8859-1";
        to = iconv_open(name.c_str(), "CP1251");
        from = iconv_open("CP1251", name.c_str());
    }
    c.FKind = kTable;
    c.FName = name;
    for (int b = 0; b < 256; ++b) {
        c.FToEngine[b] = static_cast<short>(ConvertByte(to, static_cast<unsigned char>(b)));
        const int w = ConvertByte(from, static_cast<unsigned char>(b));
        c.FFromEngine[b] = static_cast<unsigned char>(w < 0 ? '?' : w);
    }
    iconv_close(to);
    iconv_close(from);
    return c;
}

bool TSpellCodec::ToEngine(std::string_view Word, std::string& Out) const {
    switch (FKind) {
        case kIdentity: Out.assign(Word); return true;
        case kUtf8:
            Out = Cp1251ToUtf8(Word);
            // Byte 0x98 has no character in Windows-1251; it maps to a C1 control.
            return Word.find('\x98') == std::string_view::npos;
        case kTable:
            Out.resize(Word.size());
            for (std::size_t i = 0; i < Word.size(); ++i) {
                const short e = FToEngine[static_cast<unsigned char>(Word[i])];
                if (e < 0) return false;
                Out[i] = static_cast<char>(e);
            }
            return true;
    }
    return false;
}

std::string TSpellCodec::FromEngine(std::string_view Text) const {
    switch (FKind) {
        case kIdentity: return std::string(Text);
        case kUtf8: return Utf8ToCp1251(Text);
        case kTable: {
            std::string r(Text.size(), '\0');
            for (std::size_t i = 0; i < Text.size(); ++i) r[i] = static_cast<char>(FFromEngine[static_cast<unsigned char>(Text[i])]);
            return r;
        }
    }
    return std::string(Text);
}

}  // namespace tarvex
