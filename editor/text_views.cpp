#include "editor/text_views.h"

#include "platform/codepage.h"
#include "editor/dudi_riri.h"

namespace tarvex {

// --- shared

std::u16string TDudiRiriStrings::GetWide(std::int32_t I) { return Cp1251ToUtf16(Get(I)); }
void TDudiRiriStrings::PutWide(std::int32_t I, std::u16string_view S) { Put(I, Utf16ToCp1251(S)); }
void TDudiRiriStrings::InsertWide(std::int32_t I, std::u16string_view S) { Insert(I, Utf16ToCp1251(S)); }

void TDudiRiriStrings::Assign(TDudiRiriStrings& Source) {
    TMemoryStream m;
    Source.Memo.SaveToStream(m);
    m.Seek(0);
    Memo.LoadFromStream(m);
}

void TDudiRiriStrings::Assign(const std::vector<std::string>& Source) {
    std::string all;
    for (const auto& s : Source) all += s + "\r\n";
    TMemoryStream m(std::move(all));
    Memo.LoadFromStream(m);
}

void TDudiRiriStrings::SetUpdateState(bool Updating) {
    if (Updating)
        Memo.BeginUpdate();
    else
        Memo.EndUpdate();
}

std::string TDudiRiriStrings::Text() { return Memo.Text(); }
void TDudiRiriStrings::SetText(std::string_view S) { Memo.SetTextBuf(S); }
void TDudiRiriStrings::Clear() { Memo.Clear(); }
void TDudiRiriStrings::LoadFromStream(TStream& S) { Memo.LoadFromStream(S); }

void TDudiRiriStrings::SaveToStream(TStream& S) {
    const std::string t = Text();
    S.Write(t.data(), static_cast<std::int64_t>(t.size()));
}

void TDudiRiriStrings::WriteTo(TValueWriter& W) {
    if (Memo.CharCount() < 1) return;
    W.WriteProperty("Strings");
    W.WriteListBegin();
    for (std::int32_t i = 0; i < Memo.ParagraphCount(); ++i) {
        std::string p = Memo.Paragraph(i);
        if (!p.empty() && p.back() == '\x05') {
            // A paragraph that itself ends in the continuation mark.
            W.WriteString(p + '\x05');
            W.WriteString("");
        } else {
            W.WriteString(p);
        }
    }
    W.WriteListEnd();
}

void TDudiRiriStrings::ReadFrom(TValueReader& R) {
    Memo.BeginUpdate();
    try {
        std::string all;
        bool first = true;
        std::string cur;
        bool open = false;
        R.ReadListBegin();
        while (!R.EndOfList()) {
            const bool wide = R.NextValue() == TValueType::vaWString;
            std::string s = R.ReadString();
            if (!wide && !s.empty() && s.back() == '\x05') {
                s.pop_back();
                cur += s;
                open = true;
                continue;
            }
            cur += s;
            if (!first) all += "\r\n";
            all += cur;
            first = false;
            cur.clear();
            open = false;
        }
        if (open) {
            if (!first) all += "\r\n";
            all += cur;
        }
        R.ReadListEnd();
        Memo.SetTextBuf(all);
    } catch (...) {
        Memo.EndUpdate();
        throw;
    }
    Memo.EndUpdate();
}

// --- paragraphs

std::int32_t TRiriParaStrings::Count() {
    const std::int32_t n = Memo.ParagraphCount();
    return Memo.Pars.At(n - 1).Len() == 0 ? n - 1 : n;
}

std::string TRiriParaStrings::Get(std::int32_t I) { return Memo.Paragraph(I); }

void TRiriParaStrings::Put(std::int32_t I, std::string_view S) { Memo.SetParagraph(I, S); }

std::int32_t TRiriParaStrings::Add(std::string_view S) {
    const std::int32_t last = Memo.ParagraphCount() - 1;
    if (Memo.Pars.At(last).Len() == 0) {
        Memo.SetSelStart(Memo.CharCount());
        Memo.SetSelTextBuf(std::string(S) + "\r\n");
        return last;
    }
    Memo.SetParagraph(last + 1, S);
    return last + 1;
}

void TRiriParaStrings::Insert(std::int32_t I, std::string_view S) {
    if (I >= Memo.ParagraphCount()) {
        Memo.SetSelStart(Memo.CharCount());
        Memo.SetSelTextBuf("\r\n" + std::string(S));
    } else {
        Memo.Pars.Par(I);  // raises for an index out of bounds
        Memo.SetSelStart(Memo.Pars.StartPos(I));
        Memo.SetSelTextBuf(std::string(S) + "\r\n");
    }
}

void TRiriParaStrings::Delete(std::int32_t I) {
    const ParInfo& p = Memo.Pars.Par(I);
    Memo.SetSelStart(Memo.Pars.StartPos(I));
    Memo.SetSelLength(p.Len() + (I + 1 < Memo.ParagraphCount() ? 2 : 0));
    Memo.SetSelTextBuf({});
}

// --- display lines

void TRiriLinesStrings::LaidOut() { Memo.FormatPending(); }

std::int32_t TRiriLinesStrings::Count() {
    LaidOut();
    const std::int32_t n = Memo.LineCount();
    TRiriNavigator at(&Memo);
    at.SetPos(Memo.CharCount());
    const LineInfo& last = at.CurrentLine();
    return last.Start == last.Stop ? n - 1 : n;
}

std::string TRiriLinesStrings::Get(std::int32_t I) {
    LaidOut();
    TRiriNavigator at(&Memo);
    at.SetVisibleLine(I);
    return at.LineText();
}

void TRiriLinesStrings::Put(std::int32_t I, std::string_view S) {
    LaidOut();
    if (I < 0 || I >= Memo.LineCount()) return;
    TRiriNavigator at(&Memo);
    at.SetVisibleLine(I);
    const LineInfo li = at.CurrentLine();
    Memo.SetSelStart(at.Pos());
    Memo.SetSelLength(li.Stop - li.Start);
    Memo.SetSelTextBuf(S);
}

std::int32_t TRiriLinesStrings::Add(std::string_view S) {
    Memo.Paragraphs().Add(S);
    Memo.SetSelStart(Memo.CharCount());
    LaidOut();
    TRiriNavigator at(&Memo);
    at.SetPos(Memo.CharCount());
    const std::int32_t line = at.VisibleLine();
    // The added text ends before the final break when an empty paragraph remains.
    return Memo.Pars.At(Memo.ParagraphCount() - 1).Len() == 0 && line > 0 ? line - 1 : line;
}

void TRiriLinesStrings::Insert(std::int32_t I, std::string_view S) {
    LaidOut();
    if (I < 0 || I > Memo.LineCount()) return;
    if (I == Memo.LineCount()) {
        Memo.SetSelStart(Memo.CharCount());
        Memo.SetSelTextBuf("\r\n" + std::string(S));
        return;
    }
    TRiriNavigator at(&Memo);
    at.SetVisibleLine(I);
    Memo.SetSelStart(at.Pos());
    Memo.SetSelTextBuf(std::string(S) + "\r\n");
}

void TRiriLinesStrings::Delete(std::int32_t I) {
    if (I < 0 || I >= Count()) return;
    TRiriNavigator at(&Memo);
    at.SetVisibleLine(I);
    const LineInfo li = at.CurrentLine();
    TPos len = li.Stop - li.Start;
    const bool parEnd = li.Stop == at.Par()->Len();
    if (parEnd && at.ParNb() + 1 < Memo.ParagraphCount()) len += 2;
    Memo.SetSelStart(at.Pos());
    Memo.SetSelLength(len);
    Memo.SetSelTextBuf({});
}

}  // namespace tarvex
