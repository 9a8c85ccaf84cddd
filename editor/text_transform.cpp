#include "editor/text_transform.h"

#include <algorithm>

#include "editor/dudi_riri.h"

namespace tarvex {

TTextRange CommandRange(TDudiRiri& M) {
    const TPos len = M.SelLength();
    if (len == 0) return {true, 0, M.CharCount()};
    const TPos start = len > 0 ? M.SelStart() : M.SelStart() + len;
    return {false, start, len > 0 ? len : -len};
}

std::string RangeText(TDudiRiri& M, const TTextRange& R) {
    TRiriNavigator at(&M);
    at.SetPos(R.Start);
    return at.GetText(R.Length);
}

namespace {

void Replace(TDudiRiri& M, const TTextRange& R, std::string_view NewText, std::string* Adopt) {
    const TPos need = M.CharCount() + 8192;
    if (M.UndoMaxSpace() < need) M.SetUndoMaxSpace(need);
    const auto length = static_cast<TPos>(NewText.size());
    M.BeginUpdate();
    // Ends the update batch on every path: the editor must not stay frozen.
    struct TEnd {
        TDudiRiri& M;
        ~TEnd() { M.EndUpdate(); }
    } end{M};
    M.SetSelStart(R.Start);
    M.SetSelLength(R.Length);
    if (Adopt)
        M.SetSelTextMoved(std::move(*Adopt));
    else
        M.SetSelTextBuf(NewText);
    if (R.WholeText) {
        M.SetSelStart(0);
    } else {
        M.SetSelStart(R.Start);
        M.SetSelLength(length);
    }
}

}  // namespace

void ReplaceRange(TDudiRiri& M, const TTextRange& R, std::string_view NewText) { Replace(M, R, NewText, nullptr); }

void ReplaceRangeMoved(TDudiRiri& M, const TTextRange& R, std::string&& NewText) {
    Replace(M, R, NewText, &NewText);
}

bool LoadsAsIs(std::string_view Text) {
    const char* p = Text.data();
    const char* end = p + Text.size();
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c > '\r') continue;
        if (c == '\0' || c == '\n') return false;
        if (c != '\r') continue;
        if (p + 1 == end || p[1] != '\n') return false;
        ++p;
    }
    return true;
}

bool TransformWholeText(TDudiRiri& M, const std::function<bool(const std::string& Old, std::string& New)>& Convert) {
    const TPos need = M.CharCount() + 8192;
    if (M.UndoMaxSpace() < need) M.SetUndoMaxSpace(need);
    M.BeginUpdate();
    struct TEnd {
        TDudiRiri& M;
        ~TEnd() { M.EndUpdate(); }
    } end{M};
    return M.TransformWholeText(Convert);
}

bool ApplyTransform(TDudiRiri& M, const std::function<bool(std::string& Text)>& F) {
    const TTextRange r = CommandRange(M);
    std::string text = RangeText(M, r);
    if (!F(text)) return false;
    ReplaceRangeMoved(M, r, std::move(text));
    return true;
}

}  // namespace tarvex
