#include "calc/calc_command.h"

#include <algorithm>

#include "calc/calc_format.h"
#include "calc/evaluate_text.h"
#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

bool IsNameByte(unsigned char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_' || C >= 0xC0 || C == 0xA8 || C == 0xB8 ||
           IsCalcDigit(C);
}

// Whether the "=" at I assigns a definition: ":" or ";" (with a ":" somewhere
// before), a name, then the "=".
bool IsDefinitionEquals(std::string_view S, std::size_t I) {
    const std::size_t colon = S.find(':');
    if (colon == std::string_view::npos || colon > I) return false;
    std::size_t j = I;
    while (j > 0 && IsCalcSpace(static_cast<unsigned char>(S[j - 1]))) --j;
    const std::size_t nameEnd = j;
    while (j > 0 && IsNameByte(static_cast<unsigned char>(S[j - 1]))) --j;
    if (j == nameEnd || IsCalcDigit(static_cast<unsigned char>(S[j]))) return false;
    while (j > 0 && IsCalcSpace(static_cast<unsigned char>(S[j - 1]))) --j;
    return j > 0 && (S[j - 1] == ':' || S[j - 1] == ';');
}

// The last "=" of S that ends a previous result (npos: none).
std::size_t LastResultEquals(std::string_view S, TCalcMode Mode) {
    for (std::size_t i = S.size(); i-- > 0;) {
        if (S[i] != '=') continue;
        if (Mode == TCalcMode::Math && IsDefinitionEquals(S, i)) continue;
        return i;
    }
    return std::string_view::npos;
}

// Trims Part (which starts at Offset of the source) into the source's expression.
TCalcSource Trimmed(std::string_view Part, std::size_t Offset, bool OmitEquals) {
    TCalcSource s;
    s.OmitEquals = OmitEquals;
    const std::string_view t = CalcTrim(Part);
    s.Offset = Offset + (t.empty() ? 0 : static_cast<std::size_t>(t.data() - Part.data()));
    if (t.size() > kMaxCalcExpression) s.TooLong = true;
    else s.Expression.assign(t);
    return s;
}

}  // namespace

TCalcSource ExpressionFromLine(std::string_view Line, TCalcMode Mode) {
    const std::size_t eq = LastResultEquals(Line, Mode);
    if (eq == std::string_view::npos) return Trimmed(Line, 0, false);
    const std::string_view after = Line.substr(eq + 1);
    if (!CalcTrim(after).empty()) return Trimmed(after, eq + 1, false);
    const std::string_view before = Line.substr(0, eq);
    const std::size_t again = LastResultEquals(before, Mode);
    if (again == std::string_view::npos) return Trimmed(before, 0, true);
    return Trimmed(before.substr(again + 1), again + 1, true);
}

TCalcSource ExpressionFromSelection(std::string_view Selected) { return Trimmed(Selected, 0, false); }

TCalcAnswer CalculateExpression(const TCalcSource& Source, TCalcMode Mode, TCalcLanguage Language,
                                const TCalcClock& Now) {
    TCalcAnswer a;
    if (Source.TooLong) {
        a.ErrorCode = ceTooLong;
        a.ErrorPos = 1;
        return a;
    }
    const std::string& expr = Source.Expression;
    std::string result;
    if (Mode == TCalcMode::DateTime) {
        const TDateCalcResult d = EvaluateDateText(expr, Language, Now);
        a.ErrorCode = d.ErrorCode;
        a.ErrorPos = d.ErrorPos;
        result = d.Text;
    } else if (const TCalcBase base = ClassifyWholeNumber(expr); base != TCalcBase::None) {
        const TBaseConversion c = ConvertWholeNumber(expr, base);
        a.ErrorCode = c.ErrorCode;
        a.ErrorPos = c.ErrorPos;
        result = c.Text;
    } else {
        const TCalcLocale locale = CalcLocale(Language);
        const TCalcValue v = EvaluateText(expr, locale);
        a.ErrorCode = v.ErrorCode;
        a.ErrorPos = v.ErrorPos;
        if (v.Ok()) result = FormatCalcNumber(v.Value, locale);
    }
    if (a.Ok()) a.Insert = (Source.OmitEquals ? "" : "=") + result;
    return a;
}

TCalcCommandResult CalculateCommand(TDudiRiri& M, TCalcMode Mode, TCalcLanguage Language) {
    return CalculateCommand(M, Mode, Language, LocalClock());
}

TCalcCommandResult CalculateCommand(TDudiRiri& M, TCalcMode Mode, TCalcLanguage Language, const TCalcClock& Now) {
    TCalcCommandResult r;
    if (M.CharCount() == 0) return r;
    TCalcSource source;
    TPos exprStart = 0, insertAt = 0;
    if (M.SelLength() != 0) {
        const TTextRange range = CommandRange(M);
        insertAt = range.Start + range.Length;
        if (range.Length > static_cast<TPos>(kMaxCalcExpression)) {
            source.TooLong = true;
        } else {
            source = ExpressionFromSelection(M.SelText());
        }
        exprStart = range.Start + static_cast<TPos>(source.Offset);
    } else {
        TRiriNavigator& caret = M.CaretNav();
        const std::int32_t offset = caret.ParOffset();
        const std::string_view par = M.Pars.Par(caret.ParNb()).View();
        source = ExpressionFromLine(par.substr(0, static_cast<std::size_t>(std::max(offset, 0))), Mode);
        insertAt = M.SelStart();
        exprStart = insertAt - offset + static_cast<TPos>(source.Offset);
    }
    if (!source.TooLong && source.Expression.empty()) return r;

    const TCalcAnswer answer = CalculateExpression(source, Mode, Language, Now);
    if (!answer.Ok()) {
        r.Kind = TCalcCommandResult::ckFailed;
        r.ErrorCode = answer.ErrorCode;
        r.ErrorPos = answer.ErrorPos;
        r.Message = CalcErrorMessage(answer.ErrorCode, Language);
        if (!source.TooLong) {
            // Just before the character the error was found at.
            const auto inside = std::clamp<TPos>(answer.ErrorPos - 1, 0, static_cast<TPos>(source.Expression.size()));
            r.Caret = exprStart + inside;
            M.SetSelStart(r.Caret);
        }
        return r;
    }
    r.Text = answer.Insert;
    if (M.ReadOnly || M.DisplayOnly) {
        r.Kind = TCalcCommandResult::ckShown;
        const std::string shown = source.Expression + (answer.Insert.front() == '=' ? "" : "=") + answer.Insert;
        r.Message = Cp1251ToUtf8(shown);
        return r;
    }
    ReplaceRange(M, TTextRange{false, insertAt, 0}, answer.Insert);
    M.SetSelStart(insertAt + static_cast<TPos>(answer.Insert.size()));
    r.Kind = TCalcCommandResult::ckInserted;
    return r;
}

}  // namespace tarvex
