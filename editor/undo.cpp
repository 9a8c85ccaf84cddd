// Undo and redo: recording inside the editing primitive, and replaying.

#include <algorithm>

#include "editor/dudi_riri.h"

namespace tarvex {

void TDudiRiri::RecordUndo(std::string Removed, TPos Start, bool& Merged) {
    Merged = false;
    if (!FUndoing)
        while (FUndo.Count() > FUndo.Position) FUndo.Delete(FUndo.Count() - 1);
    // Typing on at the end of the last insertion extends it.
    if (SelLength() == 0 && FUndo.Position > 0 && !FUndoing && !NoMerge) {
        UndoRecord& r = FUndo[FUndo.Position - 1];
        if (SelStart() == r.Stop && r.Stop != r.Start && r.Edits.empty()) {
            NoMerge = false;
            Merged = true;
            return;
        }
    }
    NoMerge = false;
    UndoRecord rec;
    rec.Start = Start;
    rec.Stop = Start;
    rec.Text = std::move(Removed);
    StoreUndo(std::move(rec));
}

void TDudiRiri::StoreUndo(UndoRecord&& Rec) {
    if (FUndo.Position < FUndo.Count()) {
        FUndo.ReplaceAt(FUndo.Position, std::move(Rec));
    } else {
        while (FUndo.Position >= FUndoMaxLevel && FUndo.Count() > 0) FUndo.DeleteFirst();
        FUndo.Append(std::move(Rec));
    }
    ++FUndo.Position;
    // The space limit drops redo records first, then the oldest.
    while (FUndo.Space() > FUndoMaxSpace && FUndo.Count() > FUndo.Position) FUndo.Delete(FUndo.Count() - 1);
    while (FUndo.Space() > FUndoMaxSpace && FUndo.Position >= 1) FUndo.DeleteFirst();
}

// The reverse a replay stores keeps the record's Grouped flag, so that a step
// of any number of records replays as one step in both directions.
void TDudiRiri::ReplayRecord(std::int32_t Index) {
    const bool grouped = FUndo[Index].Grouped;
    ReplayRecordText(Index);
    // The reverse is the record just stored (the space limit may have dropped older ones).
    if (FUndo.Position > 0) FUndo[FUndo.Position - 1].Grouped = grouped;
}

void TDudiRiri::ReplayRecordText(std::int32_t Index) {
    if (SwapWholeText(Index)) return;
    if (!FUndo[Index].Edits.empty()) {
        // Replaying records the replacements that reverse it in the same slot.
        std::vector<TTextEdit> edits = FUndo.TakeEdits(Index);
        FUndoing = true;
        try {
            ReplaceRanges(edits);
        } catch (...) {
            FUndoing = false;
            UndoRecord back = FUndo[Index];
            back.Edits = std::move(edits);
            FUndo.ReplaceAt(Index, std::move(back));
            throw;
        }
        FUndoing = false;
        return;
    }
    // The record's text is handed to the store (no second copy of a large
    // text); replaying records the text it replaces in the same slot.
    const UndoRecord head{FUndo[Index].Start, FUndo[Index].Stop, FUndo[Index].Grouped, {}, {}};
    std::string text = FUndo.TakeText(Index);
    SetSelStart(head.Start);
    SetSelLength(head.Stop - head.Start);
    FUndoing = true;
    try {
        ReplaceSelection(text, false, &text);
    } catch (...) {
        // A refused replacement changed nothing: the record stays as it was.
        FUndoing = false;
        UndoRecord back = head;
        back.Text = std::move(text);
        FUndo.ReplaceAt(Index, std::move(back));
        throw;
    }
    FUndoing = false;
}

void TDudiRiri::Undo() {
    if (FUndo.Position == 0) return;
    const std::int32_t index = FUndo.Position - 1;
    const bool grouped = FUndo[index].Grouped;
    --FUndo.Position;
    ReplayRecord(index);
    if (FUndo.Position > 0) --FUndo.Position;
    if (grouped) Undo();
}

void TDudiRiri::Redo() {
    if (FUndo.Count() <= FUndo.Position) return;
    ReplayRecord(FUndo.Position);
    if (FUndo.Count() > FUndo.Position && FUndo[FUndo.Position].Grouped) Redo();
}

void TDudiRiri::SetUndoMaxLevel(std::int32_t V) {
    if (V > TUndoList::kMaxLevel) throw ERiriError("Undo set too high");
    for (std::int32_t i = FUndo.Count() - 1; i >= std::max(FUndo.Position, V) && i >= 0; --i) FUndo.Delete(i);
    while (FUndo.Position > V && FUndo.Count() > 0) FUndo.DeleteFirst();
    FUndoMaxLevel = V;
}

void TDudiRiri::SetUndoMaxSpace(std::int64_t V) {
    while (FUndo.Count() > FUndo.Position && V < FUndo.Space()) FUndo.Delete(FUndo.Count() - 1);
    while (V < FUndo.Space() && FUndo.Count() > 0) FUndo.DeleteFirst();
    FUndoMaxSpace = V;
}

void TDudiRiri::GroupLastUndo(bool Grouped) {
    if (FUndo.Position > 0) FUndo[FUndo.Position - 1].Grouped = Grouped;
}

}  // namespace tarvex
