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
        if (SelStart() == r.Stop && r.Stop != r.Start) {
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
    if (FUndo.Position < FUndo.Count()) {
        FUndo.ReplaceAt(FUndo.Position, std::move(rec));
    } else {
        while (FUndo.Position >= FUndoMaxLevel && FUndo.Count() > 0) FUndo.DeleteFirst();
        FUndo.Append(std::move(rec));
    }
    ++FUndo.Position;
    // The space limit drops redo records first, then the oldest.
    while (FUndo.Space() > FUndoMaxSpace && FUndo.Count() > FUndo.Position) FUndo.Delete(FUndo.Count() - 1);
    while (FUndo.Space() > FUndoMaxSpace && FUndo.Position >= 1) FUndo.DeleteFirst();
}

void TDudiRiri::Undo() {
    if (FUndo.Position == 0) return;
    const UndoRecord r = FUndo[FUndo.Position - 1];
    SetSelStart(r.Start);
    SetSelLength(r.Stop - r.Start);
    FUndoing = true;
    --FUndo.Position;
    try {
        SetSelTextBuf(r.Text);
    } catch (...) {
        FUndoing = false;
        throw;
    }
    if (FUndo.Position > 0) --FUndo.Position;
    FUndoing = false;
    if (r.Grouped) {
        Undo();
        if (FUndo.Position + 1 < FUndo.Count()) FUndo[FUndo.Position + 1].Grouped = true;
    }
}

void TDudiRiri::Redo() {
    if (FUndo.Count() <= FUndo.Position) return;
    const UndoRecord r = FUndo[FUndo.Position];
    SetSelStart(r.Start);
    SetSelLength(r.Stop - r.Start);
    FUndoing = true;
    try {
        SetSelTextBuf(r.Text);
    } catch (...) {
        FUndoing = false;
        throw;
    }
    FUndoing = false;
    if (FUndo.Count() > FUndo.Position && FUndo[FUndo.Position].Grouped) {
        Redo();
        FUndo[FUndo.Position - 1].Grouped = true;
    }
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
