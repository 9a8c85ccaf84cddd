#include "highlight/oop_highlighter.h"

#include "textstore/highlight_passes.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {

namespace {

const char* const kPascalKeywords[] = {
    "and", "array", "as", "automated", "begin", "case", "class", "const", "constructor", "default", "destructor",
    "dispinterface", "div", "do", "downto", "dynamic", "else", "end", "except", "exports", "far", "file",
    "finalization", "finally", "for", "function", "goto", "if", "implementation", "in", "inherited",
    "initialization", "inline", "interface", "is", "label", "library", "mod", "message", "nil", "not", "object",
    "of", "on", "or", "out", "overload", "override", "packed", "private", "procedure", "program", "property",
    "protected", "public", "published", "raise", "record", "register", "repeat", "resourcestring", "set", "shl",
    "shr", "string", "then", "threadvar", "to", "try", "type", "unit", "until", "uses", "var", "virtual", "while",
    "with", "xor", "absolute", "implements", "index", "nodefault", "read", "stored", "write"};

const char* const kAsmWords[] = {
    "ASM", "END", "AAA", "AAS", "AAD", "AAM", "ADC", "ADD", "AND", "BOUND", "BSF", "BSR", "BT", "BTC", "BTR", "BTS",
    "CALL", "CMP", "CBW", "CWD", "CDQ", "CWDE", "CLC", "CLD", "CLI", "CMC", "CMPSB", "CMPSD", "CMPSW", "DAA", "DAS",
    "DEC", "DIV", "ENTER", "HLT", "IDIV", "IMUL", "IN", "INC", "INSB", "INSW", "INSD", "INT", "INTO", "IRET", "IRETD",
    "JA", "JAE", "JBE", "JC", "JE", "JCXZ", "JG", "JGE", "JMP", "JO", "JNA", "JNO", "JB", "JNAE", "JNB", "JNC", "JZ",
    "JNE", "JNZ", "JNBE", "JS", "JNS", "JP", "JPE", "JNP", "JPO", "JL", "JNGE", "JNL", "JLE", "JNG", "JNLE", "JECXZ",
    "LAHF", "LEA", "LEAVE", "LDS", "LES", "LFS", "LGS", "LODSB", "LODSW", "LODSD", "LOOP", "LOCK", "REP", "REPE",
    "REPZ", "REPNE", "REPNZ", "SEGES", "SEGCS", "SEGSS", "SEGDS", "SEGFS", "SEGGS", "LOOPE", "LOOPZ", "LOOPNE",
    "LOOPNZ", "LOOPD", "LOOPDE", "LOOPDZ", "LOOPDNE", "LOOPDNZ", "MOV", "MOVSX", "MOVZX", "MOVSB", "MOVSW", "MOVSD",
    "MUL", "NEG", "NOP", "NOT", "OR", "OUT", "OUTSB", "OUTSW", "OUTSD", "POP", "POPF", "POPA", "POPAD", "POPFD",
    "PUSH", "PUSHF", "PUSHA", "PUSHAD", "PUSHFD", "RET", "RETN", "RETF", "SUB", "SBB", "RCL", "RCR", "ROL", "ROR",
    "SAL", "SHL", "SAR", "SHR", "SHLD", "SHRD", "SAHF", "SCASB", "SCASW", "SCASD", "STC", "STD", "STI", "STOSB",
    "STOSW", "STOSD", "TEST", "WAIT", "XCHG", "XLAT", "XOR"};

const char* const kSymbols[] = {"(", ")", ",", ".", ";", ":", "=", "[", "]", "<", ">", "+", "-", "*", "^"};

static_assert(std::size(kPascalKeywords) == 85);
static_assert(std::size(kAsmWords) == 166);
static_assert(std::size(kSymbols) == 15);

constexpr std::string_view kPascalSeparators = "\t \"'()*+,-./:;<=>[]^{}";

}  // namespace

TOOPHighlighter::TOOPHighlighter() {
    SetSeparators(kPascalSeparators);
    TExtKeywordList& K = Keywords();
    K.BeginUpdate();
    for (const char* w : kPascalKeywords) K.AddExtKeyword(w, koWholeWord, hsBold, 1, 0, clNone, clNone, 0, 0);
    for (const char* w : kAsmWords) K.AddExtKeyword(w, koWholeWord, hsBold, 7, 0, 65535, clNone, 6, 0);
    for (const char* w : kSymbols) K.AddExtKeyword(w, 0, 0, 9, 0, clNone, clNone, 0, 0);
    K.EndUpdate();

    TExtStartStopList& S = StartStopKeys();
    S.AddExtKey("property", ";", koWholeWord, 0, 0, 0, clNone, clNone, 0, 0, 0);
    S.AddExtKey("'", "'", 0, hsItalic, 2, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("#", "", 0, hsItalic, 2, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("//", "", 0, hsItalic, 3, 0, clNone, 0xFF0000, kfEndsAtLineEnd, 0, 0);
    S.AddExtKey("{$", "}", 0, hsItalic, 4, 0, 0x808000, 0xFFFFFF, 0, 0, 0);
    S.AddExtKey("{", "}", 0, hsItalic, 3, 0, clNone, 0x800000, 0, 0, 0);
    S.AddExtKey("(*", "*)", 0, hsItalic, 3, 0, clNone, 0x008000, 0, 0, 0);
    S.AddExtKey("'", "'", 0, hsItalic, 8, 0, 0xC0C0C0, 0, kfEndsAtLineEnd, 6, 0);
    S.AddExtKey("//", "", 0, hsItalic, 3, 0, clNone, 0xFF0000, kfEndsAtLineEnd, 6, 0);
    S.AddExtKey("{$", "}", 0, hsItalic, 4, 0, 0x808000, 0xFFFFFF, 0, 6, 0);
    S.AddExtKey("{", "}", 0, hsItalic, 3, 0, clNone, 0x800000, 0, 6, 0);
    S.AddExtKey("(*", "*)", 0, hsItalic, 3, 0, clNone, 0x008000, 0, 6, 0);
    S.AddExtKey("asm", "end", koWholeWord, hsUnderline, 6, 0, clNone, 0x800080, 0, 0, 0);

    FNumbers.SetSeparators(kPascalSeparators);
    FNumbers.SetForeground(0x0000FF);
    FNumbers.SetContextNum(5);
    FNumbers.OnQueryHilit = [](TCustomExtHighlighter&, std::int16_t Scope, bool& DoHilit) {
        DoHilit = Scope == 0 || Scope == 6;
    };

    OnQueryKeyword = [](TCustomExtHighlighter&, TRiriNavigator& From, TRiriNavigator&, std::int32_t Keyword,
                        bool& DoHilit) {
        if (Keyword >= 79 && Keyword <= 84) {
            // implements, index, nodefault, read, stored, write: only inside property ... ;
            const TDynInfo& a = From.CurrentAttr();
            DoHilit = (a.Flags & (dfOwn | dfKeyed)) == (dfOwn | dfKeyed);
        } else if (Keyword == kAsmWordsFirst) {
            // ASM only where the asm block's own run starts.
            TParagraphsList& L = From.Memo()->Pars;
            const std::int32_t n = From.DynNb();
            DoHilit = n > 0 && L.DynOffset(*From.Par(), n - 1) == From.ParOffset() &&
                      ContextOf(L.DynAttr(*From.Par(), n - 1)) == 6;
        }
    };

    for (THighlightInfo* i : {&KeywordsOOP, &KeywordsASM, &ASMHighlight, &Strings, &CommentSingleLine, &CommentBrace,
                              &CommentParAst, &Directives, &Numbers, &Properties, &Symbols})
        Watch(*i);
    FSavedOOP.Take(KeywordsOOP);
    FSavedASM.Take(KeywordsASM);
    // The constructor's tables already hold the default styles, but the
    // asm block and the groups go through the same path as a restyle.
    BeginLoading();
    EndLoading();
}

std::vector<TTableHighlighter::TGroup> TOOPHighlighter::Groups() {
    return {{"KeywordsOOP", &KeywordsOOP},   {"KeywordsASM", &KeywordsASM},
            {"ASMHighlight", &ASMHighlight}, {"Strings", &Strings},
            {"CommentSingleLine", &CommentSingleLine}, {"CommentBrace", &CommentBrace},
            {"CommentParAst", &CommentParAst}, {"Directives", &Directives},
            {"Numbers", &Numbers},           {"Properties", &Properties},
            {"Symbols", &Symbols}};
}

const THighlightInfo& TOOPHighlighter::KeywordGroup(std::int32_t Index) const {
    return Index <= kOopKeywordsLast ? KeywordsOOP : KeywordsASM;
}

void TOOPHighlighter::GroupChanged(THighlightInfo& I) {
    if (&I == &KeywordsOOP) MergeKeywords(I, FSavedOOP, kOopKeywordsFirst, kOopKeywordsLast);
    if (&I == &KeywordsASM) MergeKeywords(I, FSavedASM, kAsmWordsFirst, kAsmWordsLast);
    if (&I == &Symbols) SetKeywords(I, kSymbolsFirst, kSymbolsLast);
    if (&I == &ASMHighlight) SetEntries(I, {12});
    if (&I == &Properties) SetEntries(I, {0});
    if (&I == &Strings) SetEntries(I, {1, 2});
    if (&I == &CommentSingleLine) SetEntries(I, {3, 8});
    if (&I == &Directives) SetEntries(I, {4, 9});
    if (&I == &CommentBrace) SetEntries(I, {5, 10});
    if (&I == &CommentParAst) SetEntries(I, {6, 11});
    if (&I == &Numbers) SetNumbers(I);
}

void TOOPHighlighter::Loaded() {
    FSavedOOP.Take(KeywordsOOP);
    FSavedASM.Take(KeywordsASM);
    ResetKeywords(KeywordsOOP, kOopKeywordsFirst, kOopKeywordsLast, koWholeWord, 1);
    ResetKeywords(KeywordsASM, kAsmWordsFirst, kAsmWordsLast, koWholeWord, 7);
    for (THighlightInfo* i : {&ASMHighlight, &Strings, &CommentSingleLine, &CommentBrace, &CommentParAst, &Numbers,
                              &Directives, &Properties})
        GroupChanged(*i);
}

void TOOPHighlighter::ApplyKeywordsOvr(const TOOPKeywordList& L) {
    for (std::size_t j = 0; j + 6 <= L.Formats.size() && static_cast<std::int32_t>(j / 6) < Keywords().Count(); j += 6) {
        TKeyInfoLen& k = Keywords().Item(static_cast<std::int32_t>(j / 6));
        k.Options = static_cast<std::uint8_t>(L.Formats[j]);
        k.Style = static_cast<std::uint8_t>(L.Formats[j + 1]);
        k.Context = L.Formats[j + 2];
        k.Cursor = static_cast<std::int16_t>(L.Formats[j + 3]);
        k.BkColor = L.Formats[j + 4];
        k.Color = L.Formats[j + 5];
    }
}

bool TOOPHighlighter::FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) {
    TDudiRiriBase* memo = Nav.Memo();
    if (!memo || !Active) return TTableHighlighter::FindStopKey(Nav, StopNav, KeyBase);
    TParagraphsList& L = memo->Pars;
    ParInfo& par = *Nav.Par();
    const std::int32_t co = Nav.ParOffset();
    const std::int32_t inForce = PointsAtMost(L, par, co);
    const TDynInfo A = L.AttrBefore(par, inForce);
    const std::int32_t depth = ContextDepth(A);
    if (depth < 0 || A.Contexts[depth] >= 0 || (A.Contexts[depth] & 0x7FFF) - KeyBase != 2)
        return TTableHighlighter::FindStopKey(Nav, StopNav, KeyBase);
    // "#" then digits: the code ends at the first other character.
    const std::string_view text = par.View();
    const auto len = static_cast<std::int32_t>(text.size());
    std::int32_t i = inForce > 0 ? std::min(co, L.DynOffset(par, inForce - 1) + 1) : 0;
    while (i < len && text[static_cast<std::size_t>(i)] >= '0' && text[static_cast<std::size_t>(i)] <= '9') ++i;
    CloseRegion(Nav, StopNav, i, 0, StateBefore(*memo, Nav.ParNb(), co, depth));
    return true;
}

}  // namespace tarvex
