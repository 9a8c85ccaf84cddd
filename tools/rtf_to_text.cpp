#include "tools/rtf_to_text.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/codepage.h"
#include "tools/rtf_codepage.h"

namespace tarvex {

namespace {

enum TAction : std::uint8_t {
    aNone,
    aPar,        // paragraph end: CR LF
    aLine,       // line, section or page end: CR LF
    aRow,        // table row end: CR LF in place of the last cell's tab
    aTab,        // tab or table cell
    aChar,       // one Windows-1251 byte
    aUnicode,    // \uN
    aUc,         // \ucN: fallback bytes after \uN
    aBin,        // \binN: N bytes of binary data
    aAnsiCpg,    // the document's code page
    aCodePage,   // \mac, \pc, \pca
    aDeff,       // default font
    aFont,       // \fN: select (text) or define (font table) font N
    aFontCharset,
    aFontCpg,
    aPlain,      // back to the default font
    aFontTbl,
    aSkipDest,   // a destination without visible text
    aObject,     // an embedded object: only its \result shows
    aResult,
};

struct TWord {
    const char* Name;
    TAction Action;
    int Value;
};

constexpr TWord kWords[] = {
    {"par", aPar, 0}, {"line", aLine, 0}, {"sect", aLine, 0}, {"page", aLine, 0}, {"row", aRow, 0},
    {"nestrow", aRow, 0}, {"tab", aTab, 0}, {"cell", aTab, 0}, {"nestcell", aTab, 0},
    {"emdash", aChar, 0x97}, {"endash", aChar, 0x96}, {"lquote", aChar, 0x91}, {"rquote", aChar, 0x92},
    {"ldblquote", aChar, 0x93}, {"rdblquote", aChar, 0x94}, {"bullet", aChar, 0x95}, {"emspace", aChar, ' '},
    {"enspace", aChar, ' '}, {"qmspace", aChar, ' '},
    {"u", aUnicode, 0}, {"uc", aUc, 0}, {"bin", aBin, 0},
    {"ansicpg", aAnsiCpg, 0}, {"mac", aCodePage, 10000}, {"pc", aCodePage, 437}, {"pca", aCodePage, 850},
    {"deff", aDeff, 0}, {"f", aFont, 0}, {"fcharset", aFontCharset, 0}, {"cpg", aFontCpg, 0}, {"plain", aPlain, 0},
    {"fonttbl", aFontTbl, 0}, {"object", aObject, 0}, {"result", aResult, 0},
    // Destinations whose text is never shown.
    {"colortbl", aSkipDest, 0}, {"stylesheet", aSkipDest, 0}, {"info", aSkipDest, 0}, {"pict", aSkipDest, 0},
    {"objdata", aSkipDest, 0}, {"objclass", aSkipDest, 0}, {"objname", aSkipDest, 0}, {"objalias", aSkipDest, 0},
    {"objsect", aSkipDest, 0}, {"objitem", aSkipDest, 0}, {"objtopic", aSkipDest, 0}, {"objtime", aSkipDest, 0},
    {"header", aSkipDest, 0}, {"headerl", aSkipDest, 0}, {"headerr", aSkipDest, 0}, {"headerf", aSkipDest, 0},
    {"footer", aSkipDest, 0}, {"footerl", aSkipDest, 0}, {"footerr", aSkipDest, 0}, {"footerf", aSkipDest, 0},
    {"fldinst", aSkipDest, 0}, {"filetbl", aSkipDest, 0}, {"listtable", aSkipDest, 0},
    {"listoverridetable", aSkipDest, 0}, {"revtbl", aSkipDest, 0}, {"rsidtbl", aSkipDest, 0},
    {"xmlnstbl", aSkipDest, 0}, {"themedata", aSkipDest, 0}, {"colorschememapping", aSkipDest, 0},
    {"latentstyles", aSkipDest, 0}, {"datastore", aSkipDest, 0}, {"datafield", aSkipDest, 0},
    {"nonshppict", aSkipDest, 0}, {"shpinst", aSkipDest, 0}, {"sp", aSkipDest, 0}, {"sn", aSkipDest, 0},
    {"sv", aSkipDest, 0}, {"pgdsctbl", aSkipDest, 0}, {"protusertbl", aSkipDest, 0}, {"generator", aSkipDest, 0},
    {"ftnsep", aSkipDest, 0}, {"ftnsepc", aSkipDest, 0}, {"ftncn", aSkipDest, 0}, {"aftnsep", aSkipDest, 0},
    {"aftnsepc", aSkipDest, 0}, {"aftncn", aSkipDest, 0}, {"docvar", aSkipDest, 0}, {"userprops", aSkipDest, 0},
    {"template", aSkipDest, 0}, {"bkmkstart", aSkipDest, 0}, {"bkmkend", aSkipDest, 0},
    {"annotation", aSkipDest, 0}, {"atnauthor", aSkipDest, 0}, {"atnid", aSkipDest, 0}, {"atnref", aSkipDest, 0},
    {"atntime", aSkipDest, 0}, {"atrfstart", aSkipDest, 0}, {"atrfend", aSkipDest, 0}, {"xe", aSkipDest, 0},
    {"tc", aSkipDest, 0}, {"tcn", aSkipDest, 0}, {"txe", aSkipDest, 0}, {"falt", aSkipDest, 0},
    {"panose", aSkipDest, 0}, {"fontemb", aSkipDest, 0}, {"fontfile", aSkipDest, 0}, {"pn", aSkipDest, 0},
    {"pntxta", aSkipDest, 0}, {"pntxtb", aSkipDest, 0}, {"listpicture", aSkipDest, 0}, {"keywords", aSkipDest, 0},
    {"comment", aSkipDest, 0}, {"title", aSkipDest, 0}, {"subject", aSkipDest, 0}, {"author", aSkipDest, 0},
    {"operator", aSkipDest, 0}, {"doccomm", aSkipDest, 0}, {"hlinkbase", aSkipDest, 0}, {"mmathPr", aSkipDest, 0},
};

// Open-addressing table of the control words, so that the lookup of the word
// after every backslash costs a hash and a compare or two.
class TWordTable {
public:
    TWordTable() {
        for (const TWord& w : kWords) {
            std::size_t i = Hash(w.Name) & kMask;
            while (FSlots[i]) i = (i + 1) & kMask;
            FSlots[i] = &w;
        }
    }
    const TWord* Find(std::string_view Name) const {
        for (std::size_t i = Hash(Name) & kMask; FSlots[i]; i = (i + 1) & kMask)
            if (Name == FSlots[i]->Name) return FSlots[i];
        return nullptr;
    }

private:
    static constexpr std::size_t kMask = 511;
    static std::size_t Hash(std::string_view S) {
        std::uint32_t h = 2166136261u;
        for (const char c : S) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h ^ (h >> 13);
    }
    std::array<const TWord*, kMask + 1> FSlots{};
};

const TWordTable& Words() {
    static const TWordTable table;
    return table;
}

enum TDest : std::uint8_t { dText, dSkip, dFontTbl };

struct TGroup {
    int Uc = 1;
    int Font = -1;  // -1: the default font
    int Cp = 1251;  // code page of Font, valid while CpVersion matches
    std::uint32_t CpVersion = 0;
    TDest Dest = dText;
    bool InObject = false;  // inside \object, outside its \result
    bool Visible() const { return Dest == dText && !InObject; }
};

struct TFont {
    int Charset = 1;  // the default charset: the document's code page
    int Cpg = 0;
};

constexpr std::size_t kMaxDepth = 4096;

// Bytes that end a run of plain text.
struct TStopSet {
    bool B[256]{};
    constexpr TStopSet() {
        for (int c = 0; c < 0x20; ++c) B[c] = c != '\t';
        for (const unsigned char c : {'\\', '{', '}'}) B[c] = true;
    }
};
constexpr TStopSet kStop;

int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}
bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

class TRtfReader {
public:
    explicit TRtfReader(std::string_view In) : FIn(In) { FOut.reserve(In.size() / 2); }
    std::string Run();

private:
    TGroup& Cur() { return FStack.back(); }
    void Push();
    void Pop();
    const char* Control(const char* P);
    void Word(std::string_view Name, bool HasParam, std::int64_t Param, const char*& P);
    void Symbol(char C);
    const char* Text(const char* P);
    void HighByte(unsigned char B);
    void Unicode(std::int64_t V);
    void ParEnd() {
        FOut.append("\r\n");
        FLastPar = FOut.size();
    }
    int CodePage();

    std::string_view FIn;
    std::string FOut;
    std::vector<TGroup> FStack;
    std::size_t FOverflow = 0;  // groups opened beyond kMaxDepth
    std::unordered_map<int, TFont> FFonts;
    int FDefFont = 0;  // in the font table: the font being defined
    int FDocCp = 1251;
    int FDeff = 0;
    std::uint32_t FCpVersion = 1;
    TCodePageTables FTables;
    std::int64_t FSkipChars = 0;  // fallback characters still to skip after \uN
    bool FTrail = false;          // a double-byte lead byte waits for its second byte
    bool FHighSurrogate = false;  // the last \uN was a high surrogate, already written as '?'
    std::size_t FLastPar = std::string::npos;
};

std::string TRtfReader::Run() {
    const char* p = FIn.data();
    const char* end = p + FIn.size();
    while (p < end && *p != '{') ++p;
    if (p == end) return {};
    ++p;
    Push();
    while (p < end && !FStack.empty()) {
        switch (*p) {
            case '{':
                ++p;
                Push();
                break;
            case '}':
                ++p;
                Pop();
                break;
            case '\\':
                p = Control(p + 1);
                break;
            case '\r':
            case '\n':
                ++p;
                break;
            default:
                if (!Cur().Visible()) {
                    ++p;
                    while (p < end && *p != '\\' && *p != '{' && *p != '}') ++p;
                } else if (FSkipChars > 0) {
                    --FSkipChars;
                    ++p;
                } else {
                    p = Text(p);
                }
        }
    }
    if (FLastPar == FOut.size()) FOut.resize(FOut.size() - 2);  // the document's final paragraph mark
    return std::move(FOut);
}

void TRtfReader::Push() {
    FSkipChars = 0;
    FTrail = false;
    if (FStack.size() >= kMaxDepth) {
        ++FOverflow;
        return;
    }
    if (FStack.empty())
        FStack.emplace_back();
    else
        FStack.push_back(FStack.back());
}

void TRtfReader::Pop() {
    FSkipChars = 0;
    FTrail = false;
    if (FOverflow > 0)
        --FOverflow;
    else
        FStack.pop_back();
}

int TRtfReader::CodePage() {
    TGroup& g = Cur();
    if (g.CpVersion != FCpVersion) {
        const auto it = FFonts.find(g.Font >= 0 ? g.Font : FDeff);
        g.Cp = it == FFonts.end() ? FDocCp
               : it->second.Cpg > 0 ? it->second.Cpg
                                    : CharsetToCodePage(it->second.Charset, FDocCp);
        g.CpVersion = FCpVersion;
    }
    return g.Cp;
}

// A run of plain text from P on; P is no stop byte other than a control character.
const char* TRtfReader::Text(const char* P) {
    const char* end = FIn.data() + FIn.size();
    const unsigned char c0 = static_cast<unsigned char>(*P);
    if (kStop.B[c0]) return P + 1;  // control characters are not text
    const int cp = CodePage();
    if (cp == 1251 && !FTrail) {
        const char* q = P;
        while (q < end && !kStop.B[static_cast<unsigned char>(*q)]) ++q;
        FOut.append(P, static_cast<std::size_t>(q - P));
        FHighSurrogate = false;
        return q;
    }
    while (P < end && !kStop.B[static_cast<unsigned char>(*P)]) {
        const unsigned char c = static_cast<unsigned char>(*P++);
        if (c >= 0x80 || FTrail) {
            HighByte(c);
        } else {
            FOut.push_back(static_cast<char>(c));
        }
    }
    FHighSurrogate = false;
    return P;
}

// A byte of the current code page: raw in the text or written as \'hh.
void TRtfReader::HighByte(unsigned char B) {
    FHighSurrogate = false;
    if (FTrail) {  // the second byte of a double-byte character
        FTrail = false;
        return;
    }
    const int cp = CodePage();
    if (IsDoubleByteCodePage(cp)) {
        if (B < 0x80) {
            FOut.push_back(static_cast<char>(B));
            return;
        }
        FOut.push_back('?');  // no East Asian character exists in Windows-1251
        const bool singleKana = cp == 932 && B >= 0xA1 && B <= 0xDF;
        FTrail = B >= 0x81 && B <= 0xFE && !singleKana;
        return;
    }
    const auto* t = FTables.Table(cp);
    FOut.push_back(static_cast<char>(t ? (*t)[B] : B));
}

void TRtfReader::Unicode(std::int64_t V) {
    if (V < 0) V += 65536;
    if (V >= 0xDC00 && V <= 0xDFFF && FHighSurrogate) {
        FHighSurrogate = false;  // the pair was written as one '?'
        return;
    }
    FHighSurrogate = V >= 0xD800 && V <= 0xDBFF;
    if (V <= 0) return;
    const int b = V > 0x10FFFF ? -1 : UnicodeToCp1251(static_cast<char32_t>(V));
    FOut.push_back(b < 0 ? '?' : static_cast<char>(b));
}

// P is just behind a backslash; returns the position after the control.
const char* TRtfReader::Control(const char* P) {
    const char* end = FIn.data() + FIn.size();
    if (P >= end) return P;
    if (IsLetter(*P)) {
        const char* name = P;
        while (P < end && IsLetter(*P)) ++P;
        const std::string_view word(name, static_cast<std::size_t>(P - name));
        bool negative = false, hasParam = false;
        std::int64_t param = 0;
        if (P + 1 < end && *P == '-' && IsDigit(P[1])) {
            negative = true;
            ++P;
        }
        while (P < end && IsDigit(*P)) {
            if (param < 100000000000ll) param = param * 10 + (*P - '0');
            hasParam = true;
            ++P;
        }
        if (negative) param = -param;
        if (P < end && *P == ' ') ++P;
        Word(word, hasParam, param, P);
        return P;
    }
    if (*P == '\'') {
        ++P;
        const int hi = P < end ? HexValue(P[0]) : -1;
        const int lo = P + 1 < end ? HexValue(P[1]) : -1;
        if (hi < 0 || lo < 0) return P;
        if (FSkipChars > 0)
            --FSkipChars;
        else if (Cur().Visible())
            HighByte(static_cast<unsigned char>(hi * 16 + lo));
        return P + 2;
    }
    Symbol(*P);
    return P + 1;
}

void TRtfReader::Symbol(char C) {
    if (C == '*') {  // an optional destination: we show none of them
        FSkipChars = 0;
        if (Cur().Dest != dSkip) Cur().Dest = dSkip;
        return;
    }
    if (FSkipChars > 0) {
        --FSkipChars;
        return;
    }
    if (!Cur().Visible()) return;
    FTrail = false;
    FHighSurrogate = false;
    switch (C) {
        case '\\':
        case '{':
        case '}':
            FOut.push_back(C);
            break;
        case '~':
            FOut.push_back('\xA0');
            break;
        case '_':
            FOut.push_back('-');
            break;
        case '\r':
        case '\n':
            ParEnd();
            break;
        case '\t':
            FOut.push_back('\t');
            break;
        default:
            break;  // \- optional hyphen, \: index entry, \| formula: nothing to show
    }
}

void TRtfReader::Word(std::string_view Name, bool HasParam, std::int64_t Param, const char*& P) {
    const TWord* w = Words().Find(Name);
    const TAction a = w ? w->Action : aNone;
    if (a == aBin) {
        const char* end = FIn.data() + FIn.size();
        const std::int64_t n = Param > 0 ? std::min<std::int64_t>(Param, end - P) : 0;
        P += n;
        if (FSkipChars > 0) --FSkipChars;
        return;
    }
    if (FSkipChars > 0) {
        --FSkipChars;
        return;
    }
    TGroup& g = Cur();
    const int param = static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(Param, 0x7FFFFFFF), -0x7FFFFFFF));
    if (g.Dest == dSkip) return;
    if (g.Dest == dFontTbl) {
        if (a == aFont) {
            FDefFont = param;
            FFonts[FDefFont];
            ++FCpVersion;
        } else if (a == aFontCharset) {
            FFonts[FDefFont].Charset = param;
            ++FCpVersion;
        } else if (a == aFontCpg) {
            FFonts[FDefFont].Cpg = param;
            ++FCpVersion;
        } else if (a == aSkipDest) {
            g.Dest = dSkip;
        }
        return;
    }
    switch (a) {
        case aFontTbl: g.Dest = dFontTbl; return;
        case aSkipDest: g.Dest = dSkip; return;
        case aObject: g.InObject = true; return;
        case aResult: g.InObject = false; return;
        case aUc: g.Uc = std::max(param, 0); return;
        case aAnsiCpg:
            if (HasParam && param > 0) {
                FDocCp = param;
                ++FCpVersion;
            }
            return;
        case aCodePage:
            FDocCp = w->Value;
            ++FCpVersion;
            return;
        case aDeff:
            FDeff = param;
            ++FCpVersion;
            return;
        case aFont:
            g.Font = param;
            g.CpVersion = 0;
            return;
        case aPlain:
            g.Font = -1;
            g.CpVersion = 0;
            return;
        default: break;
    }
    if (!g.Visible()) return;
    if (a != aUnicode) {
        FTrail = false;
        FHighSurrogate = false;
    }
    switch (a) {
        case aPar: ParEnd(); break;
        case aLine: FOut.append("\r\n"); break;
        case aRow:
            if (!FOut.empty() && FOut.back() == '\t') FOut.pop_back();
            FOut.append("\r\n");
            break;
        case aTab: FOut.push_back('\t'); break;
        case aChar: FOut.push_back(static_cast<char>(w->Value)); break;
        case aUnicode:
            if (HasParam) {
                Unicode(Param);
                FSkipChars = g.Uc;
            }
            break;
        default: break;
    }
}

}  // namespace

bool IsRtfSignature(std::string_view Head) {
    return Head.size() >= 4 && Head[0] == '{' && Head[1] == '\\' && (Head[2] == 'r' || Head[2] == 'R') &&
           (Head[3] == 't' || Head[3] == 'T');
}

std::string RtfToText(std::string_view Rtf) {
    std::size_t start = 0;
    while (start < Rtf.size() && (Rtf[start] == ' ' || Rtf[start] == '\t' || Rtf[start] == '\r' || Rtf[start] == '\n'))
        ++start;
    if (!IsRtfSignature(Rtf.substr(start))) return std::string(Rtf);
    return TRtfReader(Rtf.substr(start)).Run();
}

}  // namespace tarvex
