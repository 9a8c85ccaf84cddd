#include "editor/undo_list.h"

namespace tarvex {

void TUndoList::Clear() {
    FRecords.clear();
    Position = 0;
    FSpace = 0;
}

void TUndoList::Delete(std::int32_t I) {
    FSpace -= FRecords[static_cast<std::size_t>(I)].Size();
    FRecords.erase(FRecords.begin() + I);
    if (I < Position) --Position;
}

void TUndoList::Append(UndoRecord R) {
    FSpace += R.Size();
    FRecords.push_back(std::move(R));
}

void TUndoList::ReplaceAt(std::int32_t I, UndoRecord R) {
    UndoRecord& old = FRecords[static_cast<std::size_t>(I)];
    FSpace += R.Size() - old.Size();
    old = std::move(R);
}

std::string TUndoList::TakeText(std::int32_t I) {
    UndoRecord& r = FRecords[static_cast<std::size_t>(I)];
    FSpace -= static_cast<std::int64_t>(r.Text.size());
    std::string t = std::move(r.Text);
    r.Text.clear();
    return t;
}

std::vector<TTextEdit> TUndoList::TakeEdits(std::int32_t I) {
    UndoRecord& r = FRecords[static_cast<std::size_t>(I)];
    FSpace -= r.Size();
    std::vector<TTextEdit> e = std::move(r.Edits);
    r.Edits.clear();
    FSpace += r.Size();
    return e;
}

}  // namespace tarvex
