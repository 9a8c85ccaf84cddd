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

}  // namespace tarvex
