#include "app/convert_command.h"

#include "app/loader.h"
#include "app/word_select.h"
#include "editor/dudi_riri.h"
#include "editor/text_transform.h"
#include "textstore/stream.h"
#include "tools/ucs2.h"

namespace tarvex {

namespace {

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

// The whole text replaced by Make's result from it, when that differs.
TConvertResult Whole(TDudiRiri& M, const std::function<std::string(const std::string& Old)>& Make) {
    const bool changed = TransformWholeText(M, [&](const std::string& Old, std::string& New) {
        New = Make(Old);
        return New != Old;
    });
    return changed ? TConvertResult::crChanged : TConvertResult::crUnchanged;
}

// The selection converted and replaced, staying selected.
TConvertResult ConvertSelection(TDudiRiri& M, int Tag, const TConvertOptions& O) {
    const TTextRange range = CommandRange(M);
    if (range.Start == 0 && range.Length == M.CharCount() && !M.BlockSelected) {
        // All of it: the whole-text frame, which costs no copy of a large text.
        const TConvertResult r = Whole(M, [&](const std::string& Old) { return Converted(Tag, Old, O); });
        M.SelectAll();
        return r;
    }
    const std::string text = RangeText(M, range);
    const std::string out = Converted(Tag, text, O);
    if (out == text) return TConvertResult::crUnchanged;
    ReplaceRange(M, range, out);
    return TConvertResult::crChanged;
}

}  // namespace

TConvertResult ConvertWholeText(TDudiRiri& M, int Tag, const TConvertContext& C) {
    const TSeparators seps(M.SeparatorSet());
    const TConvertOptions o = Options(C, seps);
    if (Tag == ctUcs2 && FileExists(C.FileName)) {
        std::string bytes;
        {
            TFileStream f(C.FileName, TFileStream::fmOpenRead);
            bytes = ReadBytes(f);
        }
        return Whole(M, [&](const std::string&) { return Converted(Tag, bytes, o); });
    }
    return Whole(M, [&](const std::string& Old) { return Converted(Tag, Old, o); });
}

TConvertResult RunConvertCommand(TDudiRiri& M, int Tag, const TConvertContext& C) {
    if (Tag == ctUcs2) {
        // The file again when there is one, else the selection or the whole text.
        if (FileExists(C.FileName) || M.SelLength() == 0) return ConvertWholeText(M, Tag, C);
        const std::string bytes = RangeText(M, CommandRange(M));
        return Whole(M, [&](const std::string&) { return Ucs2ToAnsi(bytes); });
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
        const TConvertResult r = M.SelLength() == 0
                                     ? Whole(M, [&](const std::string& Old) { return Converted(Tag, Old, o); })
                                     : ConvertSelection(M, Tag, o);
        M.SetSelStart(caret);
        return r;
    }
    if (M.SelLength() == 0) return TConvertResult::crNothing;
    return ConvertSelection(M, Tag, o);
}

}  // namespace tarvex
