#include "tools/regex_replace.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>

#include "editor/dudi_riri.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

// The layout of PCRE2's character tables: lower case, flipped case, ten class
// bitmaps, then a type byte per character.
constexpr std::size_t kLowerCase = 0, kFlipCase = 256, kClasses = 512, kTypes = 512 + 320;
constexpr std::size_t kTablesSize = kTypes + 256;
enum TClass { cbSpace, cbXDigit, cbDigit, cbUpper, cbLower, cbWord, cbGraph, cbPrint, cbPunct, cbCntrl };
enum : unsigned char { ctSpace = 0x01, ctLetter = 0x02, ctLowerLetter = 0x04, ctDigit = 0x08, ctWord = 0x10 };

struct TTables {
    unsigned char T[kTablesSize] = {};

    void Set(TClass C, int B) { T[kClasses + C * 32 + B / 8] |= static_cast<unsigned char>(1u << (B % 8)); }

    TTables() {
        // Lower-case letter of each capital, the inverse of the upper-case mapping.
        unsigned char lower[256];
        for (int b = 0; b < 256; ++b) lower[b] = static_cast<unsigned char>(b);
        for (int b = 0; b < 256; ++b) {
            const unsigned char u = Cp1251Upper(static_cast<unsigned char>(b));
            if (u != b) lower[u] = static_cast<unsigned char>(b);
        }
        for (int b = 0; b < 256; ++b) {
            const auto c = static_cast<unsigned char>(b);
            const unsigned char up = Cp1251Upper(c);
            const bool isLower = up != c, isUpper = lower[c] != c;
            const bool letter = isLower || isUpper;
            const bool digit = b >= '0' && b <= '9';
            const bool space = (b >= 9 && b <= 13) || b == ' ' || b == 0xA0;
            const bool cntrl = b < 32 || b == 127;
            // Windows-1251 leaves 0x98 unassigned; every other byte from 0x80 is printable.
            const bool graph = (b > 32 && b < 127) || (b >= 0x80 && b != 0x98 && b != 0xA0);
            T[kLowerCase + b] = lower[c];
            T[kFlipCase + b] = isLower ? up : lower[c];
            if (space) Set(cbSpace, b);
            if (digit || (b >= 'a' && b <= 'f') || (b >= 'A' && b <= 'F')) Set(cbXDigit, b);
            if (digit) Set(cbDigit, b);
            if (isUpper) Set(cbUpper, b);
            if (isLower) Set(cbLower, b);
            if (letter || digit || b == '_') Set(cbWord, b);
            if (graph) Set(cbGraph, b);
            if (graph || b == ' ' || b == 0xA0) Set(cbPrint, b);
            if (graph && !letter && !digit) Set(cbPunct, b);
            if (cntrl) Set(cbCntrl, b);
            unsigned char type = 0;
            if (space) type |= ctSpace;
            if (letter) type |= ctLetter;
            if (isLower) type |= ctLowerLetter;
            if (digit) type |= ctDigit;
            if (letter || digit || b == '_') type |= ctWord;
            T[kTypes + b] = type;
        }
    }
};

std::string ErrorText(int Code) {
    PCRE2_UCHAR buf[256];
    const int n = pcre2_get_error_message(Code, buf, sizeof buf);
    return n > 0 ? std::string(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n))
                 : "error " + std::to_string(Code);
}

// Calls F(Paragraph, Start of its part, the part) for each paragraph's part in [From, To).
template <typename F>
void EachPart(const TParagraphsList& L, TPos From, TPos To, F&& OnPart) {
    From = std::max<TPos>(From, 0);
    To = std::min(To, L.TotalLen);
    if (L.Count() == 0 || From > To) return;
    for (std::int32_t p = L.ParagraphAt(From); p < L.Count(); ++p) {
        const ParInfo& a = L.At(p);
        const TPos start = L.StartPos(p);
        if (start > To) break;
        const TPos s = std::max(From, start), e = std::min(To, start + a.Len());
        if (s > e) continue;  // From lies in the break behind this paragraph
        const char* t = a.Text();
        OnPart(p, s, std::string_view(t ? t + (s - start) : "", static_cast<std::size_t>(e - s)));
    }
}

}  // namespace

const unsigned char* Cp1251RegexTables() {
    static const TTables tables;
    return tables.T;
}

struct TLineRegex::TImpl {
    pcre2_code* Code = nullptr;
    pcre2_match_data* Match = nullptr;
    ~TImpl() {
        pcre2_match_data_free(Match);
        pcre2_code_free(Code);
    }
};

TLineRegex::TLineRegex(std::string_view Pattern, bool MatchCase) : FImpl(new TImpl) {
    pcre2_compile_context* ctx = pcre2_compile_context_create(nullptr);
    pcre2_set_character_tables(ctx, Cp1251RegexTables());
    int code = 0;
    PCRE2_SIZE offset = 0;
    FImpl->Code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Pattern.data()), Pattern.size(),
                                MatchCase ? 0 : PCRE2_CASELESS, &code, &offset, ctx);
    pcre2_compile_context_free(ctx);
    if (!FImpl->Code) {
        delete FImpl;
        throw ERegexError(ErrorText(code), offset);
    }
    // Matching runs compiled to machine code where PCRE2 can; without it, interpreted.
    pcre2_jit_compile(FImpl->Code, PCRE2_JIT_COMPLETE);
    FImpl->Match = pcre2_match_data_create_from_pattern(FImpl->Code, nullptr);
}

TLineRegex::~TLineRegex() { delete FImpl; }

template <typename F>
std::int64_t TLineRegex::EachMatch(std::string_view Line, F&& OnMatch) const {
    const auto subject = reinterpret_cast<PCRE2_SPTR>(Line.data() ? Line.data() : "");
    std::int64_t count = 0;
    PCRE2_SIZE start = 0;
    std::uint32_t options = 0;
    for (;;) {
        const int rc = pcre2_match(FImpl->Code, subject, Line.size(), start, options, FImpl->Match, nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) {
            // After an empty match nothing non-empty starts there: move on one character.
            if (options == 0 || start >= Line.size()) break;
            ++start;
            options = 0;
            continue;
        }
        if (rc < 0) throw ERegexError(ErrorText(rc), start);
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(FImpl->Match);
        // \K can put the start of a match behind its end; such a match replaces nothing.
        const PCRE2_SIZE a = std::min(ov[0], ov[1]), b = ov[1];
        ++count;
        OnMatch(static_cast<std::size_t>(a), static_cast<std::size_t>(b));
        start = b;
        options = a == b ? PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED : 0;
    }
    return count;
}

std::int64_t TLineRegex::CountIn(std::string_view Line) const {
    return EachMatch(Line, [](std::size_t, std::size_t) {});
}

std::int64_t TLineRegex::EachReplacement(std::string_view Line, std::string_view Replacement,
                                         const std::function<void(std::size_t, std::size_t, const std::string&)>& F) const {
    const auto subject = reinterpret_cast<PCRE2_SPTR>(Line.data() ? Line.data() : "");
    std::string piece(64, '\0');
    return EachMatch(Line, [&](std::size_t A, std::size_t B) {
        // The replacement for this match alone, its groups taken from the match just made.
        for (;;) {
            PCRE2_SIZE len = piece.size();
            const int rc = pcre2_substitute(
                FImpl->Code, subject, Line.size(), 0,
                PCRE2_SUBSTITUTE_MATCHED | PCRE2_SUBSTITUTE_REPLACEMENT_ONLY | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH,
                FImpl->Match, nullptr, reinterpret_cast<PCRE2_SPTR>(Replacement.data() ? Replacement.data() : ""),
                Replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(piece.data()), &len);
            if (rc == PCRE2_ERROR_NOMEMORY) {
                piece.resize(len);
                continue;
            }
            if (rc < 0) throw ERegexError(ErrorText(rc), len);
            const std::string text(piece.data(), len);
            F(A, B, text);
            return;
        }
    });
}

std::int64_t TLineRegex::ReplaceIn(std::string_view Line, std::string_view Replacement, std::string& Out) const {
    std::size_t done = 0;
    const std::int64_t n = EachReplacement(Line, Replacement, [&](std::size_t A, std::size_t B, const std::string& T) {
        if (A > done) Out.append(Line.substr(done, A - done));
        Out.append(T);
        done = std::max(done, B);
    });
    Out.append(Line.substr(std::min(done, Line.size())));
    return n;
}

TLinesPlan PlanReplaceInLines(const TParagraphsList& L, const TLineRegex& R, TPos From, TPos To) {
    TLinesPlan plan;
    plan.From = From;
    plan.To = To;
    EachPart(L, From, To, [&](std::int32_t, TPos Start, std::string_view Part) {
        const std::int64_t n = R.CountIn(Part);
        if (n == 0) return;
        if (plan.Count == 0) plan.Start = Start;
        plan.Count += n;
        plan.End = Start + static_cast<TPos>(Part.size());
    });
    return plan;
}

std::int64_t ApplyReplaceInLines(TDudiRiri& M, const TLineRegex& R, const TLinesPlan& Plan,
                                 std::string_view Replacement) {
    if (Plan.Count == 0) return 0;
    std::int64_t count = 0;
    if (M.CanReplaceRanges() && Replacement.find_first_of("\r\n") == std::string_view::npos) {
        // Each match is one replacement inside its paragraph: only those paragraphs change.
        std::vector<TTextEdit> edits;
        EachPart(M.Pars, Plan.Start, Plan.End, [&](std::int32_t, TPos Start, std::string_view Part) {
            count += R.EachReplacement(Part, Replacement, [&](std::size_t A, std::size_t B, const std::string& T) {
                edits.push_back({Start + static_cast<TPos>(A), static_cast<TPos>(B - A), T});
            });
        });
        M.SetUndoMaxSpace(std::max<std::int64_t>(M.UndoMaxSpace(), M.CharCount() + 8192));
        M.BeginUpdate();
        struct TEnd {
            TDudiRiri& M;
            ~TEnd() { M.EndUpdate(); }
        } end{M};
        M.ReplaceRanges(edits);
        return count;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(Plan.End - Plan.Start));
    bool first = true;
    EachPart(M.Pars, Plan.Start, Plan.End, [&](std::int32_t, TPos, std::string_view Part) {
        if (!first) text += "\r\n";
        first = false;
        count += R.ReplaceIn(Part, Replacement, text);
    });
    ReplaceRangeMoved(M, {false, Plan.Start, Plan.End - Plan.Start}, std::move(text));
    return count;
}

}  // namespace tarvex
