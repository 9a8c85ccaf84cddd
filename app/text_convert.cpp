#include "app/text_convert.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "app/codepages.h"
#include "app/detect.h"
#include "app/word_separators.h"
#include "platform/codepage.h"
#include "tools/htm2txt.h"
#include "tools/rtf_to_text.h"
#include "tools/ucs2.h"

namespace tarvex {

namespace {

using TTable = std::array<unsigned char, 256>;

constexpr unsigned char kCapA = 0xC0;  // А; а is 0xE0
constexpr unsigned char kYo = 0xA8, kYoSmall = 0xB8;

// --- case

const TTable& LowerTable() {
    static const TTable t = [] {
        TTable l{};
        for (int b = 0; b < 256; ++b) l[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        for (int b = 0; b < 256; ++b) {
            const unsigned char u = Cp1251Upper(static_cast<unsigned char>(b));
            if (u != b) l[u] = static_cast<unsigned char>(b);
        }
        return l;
    }();
    return t;
}

const TTable& UpperTable() {
    static const TTable t = [] {
        TTable u{};
        for (int b = 0; b < 256; ++b) u[static_cast<std::size_t>(b)] = Cp1251Upper(static_cast<unsigned char>(b));
        return u;
    }();
    return t;
}

const TTable& InverseTable() {
    static const TTable t = [] {
        TTable v{};
        const TTable& lo = LowerTable();
        const TTable& up = UpperTable();
        for (std::size_t b = 0; b < 256; ++b) v[b] = up[b] != b ? up[b] : lo[b];
        return v;
    }();
    return t;
}

// S through a 256-byte table into a new string.
std::string Mapped(const unsigned char* T, std::string_view S) {
    std::string out(S.size(), '\0');
    const auto* in = reinterpret_cast<const unsigned char*>(S.data());
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    const std::size_t n = S.size();
    for (std::size_t i = 0; i < n; ++i) o[i] = T[in[i]];
    return out;
}

void ApplyTable(const TTable& T, std::string& S) {
    auto* p = reinterpret_cast<unsigned char*>(S.data());
    const std::size_t n = S.size();
    for (std::size_t i = 0; i < n; ++i) p[i] = T[p[i]];
}

// --- transliteration

// RusLat: the Latin form of every byte (empty: the byte itself).
const std::array<std::string_view, 256>& RusLatTable() {
    static const auto t = [] {
        std::array<std::string_view, 256> a{};
        static constexpr const char* kCaps[32] = {"A",  "B",  "V",  "G",  "D",  "E",   "Zh", "Z", "I",  "J",  "K",
                                                  "L",  "M",  "N",  "O",  "P",  "R",   "S",  "T", "U",  "F",  "Kh",
                                                  "C",  "Ch", "Sh", "Shh", "\"", "Y", "'",  "Eh", "Ju", "Ja"};
        static constexpr const char* kSmall[32] = {"a",  "b",  "v",  "g",  "d",  "e",   "zh", "z", "i",  "j",  "k",
                                                   "l",  "m",  "n",  "o",  "p",  "r",   "s",  "t", "u",  "f",  "kh",
                                                   "c",  "ch", "sh", "shh", "\"", "y", "'",  "eh", "ju", "ja"};
        for (int i = 0; i < 32; ++i) {
            a[static_cast<std::size_t>(kCapA + i)] = kCaps[i];
            a[static_cast<std::size_t>(kCapA + 32 + i)] = kSmall[i];
        }
        a[kYo] = "Jo";
        a[kYoSmall] = "jo";
        return a;
    }();
    return t;
}

// LatRus single letters: A..Z to the capital Cyrillic letter.
constexpr unsigned char kLatRusCaps[26] = {
    0xC0, 0xC1, 0xD6, 0xC4, 0xC5, 0xD4, 0xC3, 0xD5, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC,  // A..M
    0xCD, 0xCE, 0xCF, 0xD9, 0xD0, 0xD1, 0xD2, 0xD3, 0xC2, 0xC2, 0xD5, 0xDB, 0xC7,  // N..Z
};
constexpr unsigned char kCh = 0xD7, kEh = 0xDD, kKh = 0xD5, kZh = 0xC6, kSh = 0xD8, kShh = 0xD9;
constexpr unsigned char kJa = 0xDF, kJj = 0xC9, kJu = 0xDE, kSoft = 0xDC, kHard = 0xDA;

unsigned char AsciiUpper(unsigned char C) { return C >= 'a' && C <= 'z' ? static_cast<unsigned char>(C - 32) : C; }
bool LatinCapital(unsigned char C) { return C >= 'A' && C <= 'Z'; }

// --- keyboard layouts

// US key characters and what the Russian layout has on the same key.
constexpr std::pair<char, unsigned char> kKeys[] = {
    {'q', 0xE9}, {'w', 0xF6}, {'e', 0xF3}, {'r', 0xEA}, {'t', 0xE5}, {'y', 0xED}, {'u', 0xE3}, {'i', 0xF8},
    {'o', 0xF9}, {'p', 0xE7}, {'a', 0xF4}, {'s', 0xFB}, {'d', 0xE2}, {'f', 0xE0}, {'g', 0xEF}, {'h', 0xF0},
    {'j', 0xEE}, {'k', 0xEB}, {'l', 0xE4}, {'z', 0xFF}, {'x', 0xF7}, {'c', 0xF1}, {'v', 0xEC}, {'b', 0xE8},
    {'n', 0xF2}, {'m', 0xFC},
};
// Keys whose two layouts differ beyond the letters; Back: To Eng maps the Russian character back.
struct TKeyChar {
    char Us;
    unsigned char Ru;
    bool Back;
};
constexpr TKeyChar kOtherKeys[] = {
    {'`', 0xB8, true}, {'~', 0xA8, true}, {'[', 0xF5, true}, {']', 0xFA, true}, {';', 0xE6, true},
    {'\'', 0xFD, true}, {',', 0xE1, true}, {'.', 0xFE, true}, {'/', '.', false}, {'{', 0xD5, true},
    {'}', 0xDA, true}, {':', 0xC6, true}, {'"', 0xDD, true}, {'<', 0xC1, true}, {'>', 0xDE, true},
    {'?', ',', false}, {'@', '"', true}, {'#', 0xB9, true}, {'$', ';', true}, {'^', ':', true},
    {'&', '?', true},
};

const TTable& KbdTable(bool ToRus) {
    static const auto tables = [] {
        std::array<TTable, 2> t{};
        for (auto& x : t)
            for (int b = 0; b < 256; ++b) x[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        TTable& rus = t[1];
        TTable& eng = t[0];
        for (const auto& [us, ru] : kKeys) {
            const auto u = static_cast<unsigned char>(us);
            rus[u] = ru;
            rus[u - 32] = static_cast<unsigned char>(ru - 32);
            eng[ru] = u;
            eng[ru - 32] = static_cast<unsigned char>(u - 32);
        }
        for (const TKeyChar& k : kOtherKeys) {
            rus[static_cast<unsigned char>(k.Us)] = k.Ru;
            if (k.Back) eng[k.Ru] = static_cast<unsigned char>(k.Us);
        }
        return t;
    }();
    return tables[ToRus ? 1 : 0];
}

}  // namespace

bool IsWholeTextTag(int Tag) { return Tag >= ctDosWin && Tag <= ctHtml; }

TSeparators::TSeparators(std::string_view Chars) {
    for (const char c : Chars) FSet.set(static_cast<unsigned char>(c));
}

const TSeparators& AppSeparators() {
    static const TSeparators s(AppWordSeparators());
    return s;
}

std::string RusLat(std::string_view S) {
    // Every byte's Latin form packed into 4 bytes (stored whole, the output
    // moving on by its length): no per-byte call.
    struct TPacked {
        std::array<std::uint32_t, 256> Code{};
        std::array<unsigned char, 256> Len{};
    };
    static const TPacked t = [] {
        TPacked p;
        const auto& forms = RusLatTable();
        for (std::size_t b = 0; b < 256; ++b) {
            char bytes[4] = {static_cast<char>(b), 0, 0, 0};
            if (!forms[b].empty()) std::memcpy(bytes, forms[b].data(), forms[b].size());
            std::memcpy(&p.Code[b], bytes, 4);
            p.Len[b] = static_cast<unsigned char>(forms[b].empty() ? 1 : forms[b].size());
        }
        return p;
    }();
    const auto* in = reinterpret_cast<const unsigned char*>(S.data());
    const std::size_t n = S.size();
    std::size_t total = 0;
    for (std::size_t i = 0; i < n; ++i) total += t.Len[in[i]];
    std::string out(total + 3, '\0');
    char* o = out.data();
    for (std::size_t i = 0; i < n; ++i) {
        std::memcpy(o, &t.Code[in[i]], 4);
        o += t.Len[in[i]];
    }
    out.resize(total);
    return out;
}

std::string LatRus(std::string_view S, const TSeparators& Seps) {
    const std::size_t n = S.size();
    const auto at = [&](std::size_t I) -> unsigned char { return I < n ? static_cast<unsigned char>(S[I]) : 0; };
    const auto up = [&](std::size_t I) { return AsciiUpper(at(I)); };
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = at(i);
        const unsigned char u = AsciiUpper(c);
        const bool small = c != u;
        const auto put = [&](unsigned char Capital) {
            out.push_back(static_cast<char>(small && Capital != kYo ? Capital + 32 : (small ? kYoSmall : Capital)));
        };
        if (LatinCapital(u)) {
            const unsigned char next = up(i + 1);
            unsigned char r = kLatRusCaps[u - 'A'];
            std::size_t used = 0;
            switch (u) {
                case 'C': if (next == 'H') r = kCh, used = 1; break;
                case 'E': if (next == 'H') r = kEh, used = 1; break;
                case 'K': if (next == 'H') r = kKh, used = 1; break;
                case 'Z': if (next == 'H') r = kZh, used = 1; break;
                case 'S':
                    if (next == 'H') {
                        if (up(i + 2) == 'H')
                            r = kShh, used = 2;
                        else if (up(i + 2) == 'C' && up(i + 3) == 'H')
                            r = kShh, used = 3;
                        else
                            r = kSh, used = 1;
                    }
                    break;
                case 'J':
                    if (next == 'A') r = kJa, used = 1;
                    else if (next == 'J') r = kJj, used = 1;
                    else if (next == 'O') r = kYo, used = 1;
                    else if (next == 'U') r = kJu, used = 1;
                    break;
                case 'Y':
                    if (next == 'A') r = kJa, used = 1;
                    else if (next == 'U') r = kJu, used = 1;
                    break;
                case 'I':
                    if (i > 0 && up(i - 1) == 'Y') r = kJj;
                    break;
                default: break;
            }
            put(r);
            i += used;
            continue;
        }
        if (c == '\'') {
            // A soft sign inside or at the end of a word; a quote elsewhere.
            if (i > 0 && !Seps(at(i - 1))) {
                out.push_back(static_cast<char>(LatinCapital(at(i - 1)) ? kSoft : kSoft + 32));
                if (at(i + 1) == '\'') ++i;
            } else {
                out.push_back('\'');
            }
            continue;
        }
        if (c == '"' || c == '^') {
            // A hard sign between two letters of a word.
            if (i > 0 && i + 1 < n && !Seps(at(i - 1)) && !Seps(at(i + 1)))
                out.push_back(static_cast<char>(LatinCapital(at(i + 1)) ? kHard : kHard + 32));
            else
                out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

void KbdSwapInPlace(std::string& S, bool ToRus) { ApplyTable(KbdTable(ToRus), S); }

std::string KbdSwap(std::string_view S, bool ToRus) {
    std::string out(S);
    KbdSwapInPlace(out, ToRus);
    return out;
}

unsigned char LowerChar(unsigned char C) { return LowerTable()[C]; }
unsigned char UpperChar(unsigned char C) { return UpperTable()[C]; }
bool IsLowerLetter(unsigned char C) { return UpperTable()[C] != C; }
bool IsUpperLetter(unsigned char C) { return LowerTable()[C] != C; }

void UpperCaseInPlace(std::string& S) { ApplyTable(UpperTable(), S); }
void LowerCaseInPlace(std::string& S) { ApplyTable(LowerTable(), S); }
void InverseCaseInPlace(std::string& S) { ApplyTable(InverseTable(), S); }

namespace {

void AllFirstLargeInto(const unsigned char* In, unsigned char* Out, std::size_t N, const TSeparators& Seps) {
    // By a table of (starts a word, byte): the next byte starts a word when
    // this one is a separator. The first character of a word, whatever it
    // is, ends its capitalising.
    std::array<unsigned char, 512> map{};
    std::array<unsigned char, 256> sep{};
    for (std::size_t c = 0; c < 256; ++c) {
        map[c] = LowerTable()[c];
        map[256 + c] = UpperTable()[c];
        sep[c] = Seps(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    unsigned start = 1;
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned char c = In[i];
        Out[i] = map[start << 8 | c];
        start = sep[c];
    }
}

void AsSentenceInto(const unsigned char* In, unsigned char* Out, std::size_t N, const TSeparators& Seps) {
    // By a table of (a sentence is due, byte): a full stop, exclamation or
    // question mark makes one due; separators pass it on; the first other
    // character takes it (upper case when it is a letter).
    std::array<unsigned char, 512> map{}, next{};
    for (std::size_t c = 0; c < 256; ++c) {
        const bool end = c == '.' || c == '!' || c == '?';
        const bool sep = Seps(static_cast<unsigned char>(c));
        map[c] = LowerTable()[c];
        map[256 + c] = sep ? LowerTable()[c] : UpperTable()[c];
        next[c] = end ? 1 : 0;
        next[256 + c] = end || sep ? 1 : 0;
    }
    unsigned due = 1;
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned char c = In[i];
        const unsigned k = due << 8 | c;
        Out[i] = map[k];
        due = next[k];
    }
}

using TCaseInto = void (*)(const unsigned char*, unsigned char*, std::size_t, const TSeparators&);

void InPlace(TCaseInto F, std::string& S, const TSeparators& Seps) {
    auto* p = reinterpret_cast<unsigned char*>(S.data());
    F(p, p, S.size(), Seps);
}

std::string Into(TCaseInto F, std::string_view S, const TSeparators& Seps) {
    std::string out(S.size(), '\0');
    F(reinterpret_cast<const unsigned char*>(S.data()), reinterpret_cast<unsigned char*>(out.data()), S.size(), Seps);
    return out;
}

}  // namespace

void AllFirstLargeInPlace(std::string& S, const TSeparators& Seps) { InPlace(AllFirstLargeInto, S, Seps); }
void AsSentenceInPlace(std::string& S, const TSeparators& Seps) { InPlace(AsSentenceInto, S, Seps); }

std::string HtmlToTextChecked(std::string_view S, bool Xml, bool AutoDecode) {
    std::string t = THtm2Txt::Convert(S, Xml);
    if (AutoDecode && LooksLikeKoi(t)) KoiToWin(t);
    return t;
}

std::string Converted(int Tag, std::string_view S, const TConvertOptions& O) {
    const TTable* table = nullptr;
    switch (Tag) {
        case ctKoiWin:
            return Mapped(O.Reverse ? WinToKoiTable() : KoiToWinTable(), S);
        case ctDosWin:
            return Mapped(O.Reverse ? WinToDosTable() : DosToWinTable(), S);
        case ctToRus: table = &KbdTable(true); break;
        case ctToEng: table = &KbdTable(false); break;
        case ctUpper: table = &UpperTable(); break;
        case ctLower: table = &LowerTable(); break;
        case ctInverse: table = &InverseTable(); break;
        case ctUtf8: return Utf8ToAnsi(S);
        case ctUcs2: return Ucs2ToAnsi(S);
        case ctRtf: return RtfToText(S);
        case ctHtml: return HtmlToTextChecked(S, O.Xml, O.AutoDecode);
        case ctRusLat: return RusLat(S);
        case ctLatRus: return LatRus(S, O.Separators ? *O.Separators : AppSeparators());
        case ctFirstLarge: return Into(AllFirstLargeInto, S, O.Separators ? *O.Separators : AppSeparators());
        case ctSentence: return Into(AsSentenceInto, S, O.Separators ? *O.Separators : AppSeparators());
        default: break;
    }
    if (table) return Mapped(table->data(), S);
    std::string out(S);
    ConvertInPlace(Tag, out, O);
    return out;
}

void ConvertInPlace(int Tag, std::string& S, const TConvertOptions& O) {
    const TSeparators& seps = O.Separators ? *O.Separators : AppSeparators();
    switch (Tag) {
        case ctDosWin: O.Reverse ? WinToDos(S) : DosToWin(S); break;
        case ctKoiWin: O.Reverse ? WinToKoi(S) : KoiToWin(S); break;
        case ctUtf8: S = Utf8ToAnsi(S); break;
        case ctUcs2: S = Ucs2ToAnsi(S); break;
        case ctRtf: S = RtfToText(S); break;
        case ctHtml: S = HtmlToTextChecked(S, O.Xml, O.AutoDecode); break;
        case ctRusLat: S = RusLat(S); break;
        case ctLatRus: S = LatRus(S, seps); break;
        case ctToRus: KbdSwapInPlace(S, true); break;
        case ctToEng: KbdSwapInPlace(S, false); break;
        case ctUpper: UpperCaseInPlace(S); break;
        case ctLower: LowerCaseInPlace(S); break;
        case ctFirstLarge: AllFirstLargeInPlace(S, seps); break;
        case ctSentence: AsSentenceInPlace(S, seps); break;
        case ctInverse: InverseCaseInPlace(S); break;
        default: break;
    }
}

}  // namespace tarvex
