#include "app/text_info.h"

#include <algorithm>
#include <vector>

#include "app/word_select.h"
#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "editor/text_views.h"
#include "platform/codepage.h"
#include "platform/interface_text.h"

namespace tarvex {

namespace {

std::string Lowered(std::string_view S) {
    std::string out(S);
    LowerCaseInPlace(out);
    return out;
}

// Labels hold "=" themselves, so the two languages come apart.
std::string Pick(bool Russian, const char* English, const char* InRussian) { return Russian ? InRussian : English; }

}  // namespace

std::int64_t CountWords(std::string_view Text, const TSeparators& Seps) {
    std::int64_t n = 0;
    bool in = false;
    for (const char c : Text) {
        const bool sep = Seps(static_cast<unsigned char>(c));
        if (!sep && !in) ++n;
        in = !sep;
    }
    return n;
}

std::int64_t CountWords(TDudiRiri& M) {
    const TSeparators seps(M.SeparatorSet());
    std::int64_t n = 0;
    for (std::int32_t p = 0; p < M.ParagraphCount(); ++p) n += CountWords(M.Pars.At(p).View(), seps);
    return n;
}

std::int64_t EditDistance(std::string_view A, std::string_view B) {
    if (A.size() < B.size()) std::swap(A, B);
    // One row of the table over the shorter text.
    std::vector<std::int64_t> row(B.size() + 1);
    for (std::size_t j = 0; j <= B.size(); ++j) row[j] = static_cast<std::int64_t>(j);
    for (std::size_t i = 1; i <= A.size(); ++i) {
        std::int64_t diag = row[0];
        row[0] = static_cast<std::int64_t>(i);
        const char a = A[i - 1];
        for (std::size_t j = 1; j <= B.size(); ++j) {
            const std::int64_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a == B[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[B.size()];
}

std::string NormalizeBlanks(std::string_view S) {
    std::string out;
    out.reserve(S.size());
    bool gap = false;
    for (const char c : S) {
        if (static_cast<unsigned char>(c) < 0x21) {
            gap = !out.empty();
            continue;
        }
        if (gap) out.push_back(' ');
        gap = false;
        out.push_back(c);
    }
    return out;
}

std::string DifferenceText(std::string_view Selected, std::string_view Clipboard) {
    const std::string a = Lowered(Selected), b = Lowered(Clipboard);
    if (a == b) return "0";
    const std::string na = NormalizeBlanks(a), nb = NormalizeBlanks(b);
    const std::int64_t d = EditDistance(std::string_view(na).substr(0, kMaxCompared),
                                        std::string_view(nb).substr(0, kMaxCompared));
    return d > 0 ? FormatCount(d) : "(CR,SP,TAB)";
}

std::string InfoTextMessage(TDudiRiri& M, const std::string& Name, const std::optional<std::string>& Clipboard,
                            bool Russian) {
    if (M.CharCount() == 0) return Bilingual("Editor is empty!=Нет текста!", Russian);
    const TSeparators seps(M.SeparatorSet());
    const bool ru = Russian;
    std::string s = Pick(ru, "Statistic for file", "Статистика файла") + "\n" + Name + "\n\n";
    s += Pick(ru, "Paragraphs    =  ", "Абзацев       =  ") + FormatCount(M.ParagraphCount()) + " \n";
    s += Pick(ru, "Lines              =  ", "Строк            =  ") + FormatCount(M.Lines().Count()) + "\n";
    s += Pick(ru, "Words           =  ", "Слов              =  ") + FormatCount(CountWords(M)) + "\n";
    s += Pick(ru, "Characters     =  ", "Символов       =  ") + FormatCount(M.CharCount());

    const TSpan sel = SelectionSpan(M);
    if (sel.Length() == 0 && !Clipboard) return s;
    s += "\n----------------------------";
    const auto chars = [ru](std::int64_t Chars, std::int64_t Words) {
        return FormatCount(Chars) + Pick(ru, " chars  ", " симв.  ") + FormatCount(Words) + Pick(ru, " words", " слов");
    };
    std::string selected;
    if (sel.Length() > 0) {
        selected = RangeText(M, {false, sel.Start, sel.Length()});
        s += "\n" + Pick(ru, "Selected       = ", "Выделено     = ") + chars(sel.Length(), CountWords(selected, seps));
    }
    if (Clipboard) {
        const auto len = static_cast<std::int64_t>(Clipboard->size());
        s += "\n" + Pick(ru, "Buffer          = ", "Буфер           = ") + chars(len, CountWords(*Clipboard, seps));
        if (sel.Length() > 0)
            s += "\n" + Pick(ru, "Differences  = ", "Различий     = ") + DifferenceText(selected, *Clipboard);
    }
    return s;
}

}  // namespace tarvex
