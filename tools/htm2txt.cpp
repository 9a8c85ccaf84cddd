#include "tools/htm2txt.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace tarvex {

namespace {

struct TEntity {
    const char* Name;
    unsigned char Code;
};

// Order matters: the first row that matches wins.
constexpr TEntity kEntities[] = {
    {"quot", 34},     {"amp", 38},      {"lt", 60},       {"gt", 62},       {"nbsp", 32},     {"iexcl", 161},
    {"cent", 162},    {"pound", 163},   {"curren", 164},  {"yen", 165},     {"brvbar", 166},  {"sect", 167},
    {"uml", 168},     {"copy", 169},    {"ordf", 170},    {"laquo", 171},   {"not", 172},     {"shy", 173},
    {"reg", 174},     {"macr", 175},    {"deg", 176},     {"plusmn", 177},  {"sup2", 178},    {"sup3", 179},
    {"acute", 180},   {"micro", 181},   {"para", 182},    {"middot", 183},  {"cedil", 184},   {"sup1", 185},
    {"ordm", 186},    {"raquo", 187},   {"frac14", 188},  {"frac12", 189},  {"frac34", 190},  {"iquest", 191},
    {"tilde", 126},   {"sbquo", 130},   {"bdquo", 132},   {"lsquo", 145},   {"rsquo", 146},   {"ldquo", 147},
    {"rdquo", 148},   {"ndash", 150},   {"mdash", 151},   {"#8212", 151},   {"trade", 153},   {"ensp", 32},
    {"emsp", 32},     {"thinsp", 32},   {"Agrave", 192},  {"Aacute", 193},  {"Acirc", 194},   {"Atilde", 195},
    {"Auml", 196},    {"Aring", 197},   {"AElig", 198},   {"Ccedil", 199},  {"Egrave", 200},  {"Eacute", 201},
    {"Ecirc", 202},   {"Euml", 203},    {"Igrave", 204},  {"Iacute", 205},  {"Icirc", 206},   {"Iuml", 207},
    {"ETH", 208},     {"Ntilde", 209},  {"Ograve", 210},  {"Oacute", 211},  {"Ocirc", 212},   {"Otilde", 213},
    {"Ouml", 214},    {"times", 215},   {"Oslash", 216},  {"Ugrave", 217},  {"Uacute", 218},  {"Ucirc", 219},
    {"Uuml", 220},    {"Yacute", 221},  {"THORN", 222},   {"szlig", 223},   {"agrave", 224},  {"aacute", 225},
    {"acirc", 226},   {"atilde", 227},  {"auml", 228},    {"aring", 229},   {"aelig", 230},   {"ccedil", 231},
    {"egrave", 232},  {"eacute", 233},  {"ecirc", 234},   {"euml", 235},    {"igrave", 236},  {"iacute", 237},
    {"icirc", 238},   {"iuml", 239},    {"eth", 240},     {"ntilde", 241},  {"ograve", 242},  {"oacute", 243},
    {"ocirc", 244},   {"otilde", 245},  {"ouml", 246},    {"divide", 247},  {"oslash", 248},  {"ugrave", 249},
    {"uacute", 250},  {"ucirc", 251},   {"uuml", 252},    {"yacute", 253},  {"thorn", 254},   {"yuml", 255},
};
constexpr std::size_t kEntityCount = std::size(kEntities);
static_assert(kEntityCount == 114);

constexpr char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; }

bool EqualNoCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (Lower(A[i]) != Lower(B[i])) return false;
    return true;
}

// Row indices sorted by lower-cased name, so that a lookup is a binary search
// followed by a check of the few rows that share the lower-cased name.
struct TEntityIndex {
    std::array<std::uint8_t, kEntityCount> Rows{};
    TEntityIndex() {
        for (std::size_t i = 0; i < kEntityCount; ++i) Rows[i] = static_cast<std::uint8_t>(i);
        std::stable_sort(Rows.begin(), Rows.end(), [](std::uint8_t a, std::uint8_t b) {
            return LessNoCase(kEntities[a].Name, kEntities[b].Name);
        });
    }
    static bool LessNoCase(std::string_view A, std::string_view B) {
        const std::size_t n = std::min(A.size(), B.size());
        for (std::size_t i = 0; i < n; ++i)
            if (Lower(A[i]) != Lower(B[i])) return Lower(A[i]) < Lower(B[i]);
        return A.size() < B.size();
    }
};

const TEntityIndex& EntityIndex() {
    static const TEntityIndex index;
    return index;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// A signed 32-bit integer, decimal or (after Hex) hexadecimal; 0 when the text
// is not wholly a number or does not fit.
std::int64_t ParseNumber(std::string_view S, bool Hex) {
    bool negative = false;
    if (!Hex && !S.empty() && (S[0] == '-' || S[0] == '+')) {
        negative = S[0] == '-';
        S.remove_prefix(1);
    }
    if (S.empty()) return 0;
    std::int64_t v = 0;
    for (const char c : S) {
        const int d = Hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (d < 0) return 0;
        v = v * (Hex ? 16 : 10) + d;
        if (v > 0xFFFFFFFFll) return 0;
    }
    if (negative) v = -v;
    if (!Hex && (v > 0x7FFFFFFF || v < -0x80000000ll)) return 0;
    if (Hex && v > 0x7FFFFFFF) v -= 0x100000000ll;  // a hexadecimal literal fills all 32 bits
    return v;
}

}  // namespace

int HtmlEntityCode(std::string_view Name) {
    const auto& rows = EntityIndex().Rows;
    auto lo = std::lower_bound(rows.begin(), rows.end(), Name,
                               [](std::uint8_t r, std::string_view n) { return TEntityIndex::LessNoCase(kEntities[r].Name, n); });
    int best = -1;
    for (auto it = lo; it != rows.end() && EqualNoCase(kEntities[*it].Name, Name); ++it) {
        const TEntity& e = kEntities[*it];
        const bool hit = e.Code < 192 ? true : std::string_view(e.Name) == Name;
        if (hit && (best < 0 || *it < best)) best = *it;
    }
    return best < 0 ? -1 : kEntities[best].Code;
}

THtm2Txt::THtm2Txt(std::string_view Source, bool KeepOutsideBody) : FIn(Source), FKeep(KeepOutsideBody) {}

std::string THtm2Txt::Convert(std::string_view Source, bool KeepOutsideBody) {
    if (Source.empty()) return {};
    THtm2Txt c(Source, KeepOutsideBody);
    c.FOut.reserve(Source.size() / 2);
    c.Run();
    if (c.FOut.empty()) return std::string(Source);
    return std::move(c.FOut);
}

namespace {
// Bytes that need a look of their own inside taken text.
struct TSpecial {
    bool B[256]{};
    constexpr TSpecial() {
        for (const unsigned char c : {'<', '&', '\r', '\n'}) B[c] = true;
    }
};
constexpr TSpecial kSpecial;
}  // namespace

void THtm2Txt::Run() {
    const char* data = FIn.data();
    const std::size_t size = FIn.size();
    while (FPos < size) {
        if (!Taken()) {
            // Everything up to the next tag is dropped.
            const void* lt = std::memchr(data + FPos, '<', size - FPos);
            if (!lt) break;
            FPos = static_cast<std::size_t>(static_cast<const char*>(lt) - data) + 1;
            ParseTag();
            continue;
        }
        std::size_t run = FPos;
        while (run < size && !kSpecial.B[static_cast<unsigned char>(data[run])]) ++run;
        if (run > FPos) {
            FOut.append(data + FPos, run - FPos);
            FPos = run;
            if (FPos >= size) break;
        }
        const char c = data[FPos++];
        if (c == '<') {
            ParseTag();
        } else if (c == '&') {
            ParseEntity();
        } else if (LineEndAllowed()) {
            FOut.push_back(c);  // CR or LF
        }
    }
}

// Called with FPos just behind '<'.
void THtm2Txt::ParseTag() {
    const std::size_t start = FPos;
    const void* gt = std::memchr(FIn.data() + FPos, '>', FIn.size() - FPos);
    // The tag text loses the last byte read: the '>', or at the end of the
    // input the last byte of the file.
    const std::size_t end = gt ? static_cast<std::size_t>(static_cast<const char*>(gt) - FIn.data()) : FIn.size();
    FPos = gt ? end + 1 : FIn.size();
    std::size_t len = end - start;
    if (!gt && len > 0) --len;
    const std::string_view tag = FIn.substr(start, len);

    char head[6] = {};
    const std::size_t n = std::min<std::size_t>(tag.size(), 5);
    for (std::size_t i = 0; i < n; ++i) head[i] = Lower(tag[i]);
    const std::string_view h4(head, std::min<std::size_t>(n, 4));
    if (h4 == "body" || h4 == "html")
        FInBody = true;
    else if (std::string_view(head, n) == "/body")
        FInBody = false;

    if (tag.size() > 5) return;  // no fixed word is longer than "table"
    const std::string_view word(head, n);
    if (word == "td" || word == "th") {
        FOut.push_back('\t');
    } else if (word == "tr" || word == "br" || word == "p" || word == "hr" || word == "li" || word == "ol" ||
               word == "table" || word == "pre" || word == "div") {
        if (LineEndAllowed()) FOut.append("\r\n");
    }
}

// Called with FPos just behind '&'.
void THtm2Txt::ParseEntity() {
    char text[11] = {'&'};
    std::size_t len = 1;
    bool tagFollows = false;
    while (len < 10 && FPos < FIn.size()) {
        const char c = FIn[FPos];
        if (c == '<') {
            // No entity holds a '<': it ends here and the tag is parsed after
            // the entity's text, so that the text keeps its order.
            tagFollows = true;
            break;
        }
        text[len++] = c;
        ++FPos;
        if (c == ';') break;
    }
    const std::string_view all(text, len);
    // The name between '&' and ';'; an entity cut short by a tag is decoded
    // from what was really read.
    std::string_view name = tagFollows ? all.substr(1) : len >= 2 ? all.substr(1, len - 2) : std::string_view();
    int code = HtmlEntityCode(name);
    if (code < 0) {
        bool hex = false;
        if (!name.empty() && name[0] == '#') {
            name.remove_prefix(1);
            if (!name.empty() && (name[0] == 'x' || name[0] == 'X')) {
                name.remove_prefix(1);
                hex = true;
            }
        }
        const std::int64_t v = (hex && name.empty()) ? 0 : ParseNumber(name, hex);
        if (v >= 1 && v <= 255) {
            code = static_cast<int>(v);
        } else if (v > 255) {
            const int b = UnicodeToCp1251(static_cast<char32_t>(v));
            code = b < 0 ? '?' : b;
        }
    }
    if (code >= 0)
        FOut.push_back(static_cast<char>(code));
    else
        FOut.append(all);
    if (tagFollows) {
        ++FPos;
        ParseTag();
    }
}

bool THtm2Txt::LineEndAllowed() {
    std::size_t n = FOut.size();
    while (n > 0 && (FOut[n - 1] == ' ' || FOut[n - 1] == '\t')) --n;
    FOut.resize(n);
    return !(n >= 4 && FOut.compare(n - 4, 4, "\r\n\r\n") == 0);
}

}  // namespace tarvex
