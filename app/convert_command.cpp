#include "app/convert_command.h"

#include "app/loader.h"
#include "app/word_select.h"
#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "textstore/stream.h"

namespace tarvex {

namespace {

// Whether Text is the editor's text (paragraphs joined by CR LF), without a copy of it.
bool SameAsText(TDudiRiri& M, std::string_view Text) {
    if (static_cast<TPos>(Text.size()) != M.CharCount()) return false;
    std::size_t at = 0;
    for (std::int32_t p = 0; p < M.ParagraphCount(); ++p) {
        const std::string_view v = M.Pars.At(p).View();
        if (Text.compare(at, v.size(), v) != 0) return false;
        at += v.size();
        if (p + 1 < M.ParagraphCount()) {
            if (Text.compare(at, 2, "\r\n") != 0) return false;
            at += 2;
        }
    }
    return true;
}

TConvertResult ReplaceWhole(TDudiRiri& M, std::string&& Text) {
    if (SameAsText(M, Text)) return TConvertResult::crUnchanged;
    ReplaceWholeText(M, std::move(Text));
    return TConvertResult::crChanged;
}

TConvertOptions Options(const TConvertContext& C, const TSeparators& Seps) {
    TConvertOptions o;
    o.Reverse = C.Reverse;
    o.AutoDecode = C.AutoDecode;
    o.Xml = LowerExtension(C.FileName) == ".xml";
    o.Separators = &Seps;
    return o;
}

bool FileExists(const std::string& Name) {
    if (Name.empty()) return false;
    try {
        TFileStream f(Name, TFileStream::fmOpenRead);
        return true;
    } catch (const EStreamError&) {
        return false;
    }
}

}  // namespace

TConvertResult ConvertWholeText(TDudiRiri& M, int Tag, const TConvertContext& C) {
    const TSeparators seps(M.SeparatorSet());
    const TConvertOptions o = Options(C, seps);
    std::string text;
    if (Tag == ctUcs2 && FileExists(C.FileName)) {
        TFileStream f(C.FileName, TFileStream::fmOpenRead);
        text = ReadBytes(f);
    } else {
        text = RangeText(M, {true, 0, M.CharCount()});
    }
    ConvertInPlace(Tag, text, o);
    return ReplaceWhole(M, std::move(text));
}

TConvertResult RunConvertCommand(TDudiRiri& M, int Tag, const TConvertContext& C) {
    if (Tag == ctUcs2) {
        // The file again when there is one, else the selection or the whole text.
        if (FileExists(C.FileName) || M.SelLength() == 0) return ConvertWholeText(M, Tag, C);
        std::string bytes = RangeText(M, CommandRange(M));
        ConvertInPlace(Tag, bytes, {});
        return ReplaceWhole(M, std::move(bytes));
    }
    if (IsWholeTextTag(Tag)) return ConvertWholeText(M, Tag, C);
    switch (Tag) {
        case ctRusLat: case ctLatRus: case ctToRus: case ctToEng: case ctUpper:
        case ctLower: case ctFirstLarge: case ctSentence: case ctInverse: break;
        default: return TConvertResult::crNothing;
    }
    if (M.SelLength() == 0) SelectWordAt(M, Tag == ctSentence);
    const TSeparators seps(M.SeparatorSet());
    const TConvertOptions o = Options(C, seps);

    if (Tag == ctToRus || Tag == ctToEng) {
        // The caret ends behind what was converted, or stays where it was.
        const TPos caret = SelectionSpan(M).Stop;
        if (M.SelLength() == 0) {
            std::string text = RangeText(M, {true, 0, M.CharCount()});
            ConvertInPlace(Tag, text, o);
            const TConvertResult r = ReplaceWhole(M, std::move(text));
            M.SetSelStart(caret);
            return r;
        }
        const TTextRange range = CommandRange(M);
        std::string text = RangeText(M, range);
        const std::string before = text;
        ConvertInPlace(Tag, text, o);
        const bool changed = text != before;
        if (changed) ReplaceRange(M, range, text);
        M.SetSelStart(caret);
        return changed ? TConvertResult::crChanged : TConvertResult::crUnchanged;
    }

    if (M.SelLength() == 0) return TConvertResult::crNothing;
    const TTextRange range = CommandRange(M);
    std::string text = RangeText(M, range);
    const std::string before = text;
    ConvertInPlace(Tag, text, o);
    if (text == before) return TConvertResult::crUnchanged;
    ReplaceRange(M, range, text);
    return TConvertResult::crChanged;
}

}  // namespace tarvex
