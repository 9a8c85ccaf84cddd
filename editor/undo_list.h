#pragma once
// The undo list: one ordered list of records for both directions. Records
// below Position can be undone, those at and above it redone. Bounded by a
// number of records and by the bytes they take (text + 13 each).

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "textstore/types.h"

namespace tarvex {

// One replacement of a change made of many (TDudiRiri::ReplaceRanges).
struct TTextEdit {
    TPos Pos = 0;      // where it starts, on the text before the change
    TPos Length = 0;   // the characters replaced
    std::string Text;  // what takes their place
};

struct UndoRecord {
    TPos Start = 0;        // where the change begins
    TPos Stop = 0;         // just behind the text the change inserted
    bool Grouped = false;  // undone together with the record before it
    std::string Text;      // the text the change removed; breaks as CR LF
    // A change of many replacements inside paragraphs: undoing it applies
    // these (on the text after the change) instead of putting Text back.
    std::vector<TTextEdit> Edits;

    std::int64_t Size() const {
        std::int64_t s = static_cast<std::int64_t>(Text.size()) + 13;
        for (const TTextEdit& e : Edits) s += static_cast<std::int64_t>(e.Text.size()) + 24;
        return s;
    }
};

class TUndoList {
public:
    static constexpr std::int32_t kMaxLevel = 134217727;

    std::int32_t Count() const { return static_cast<std::int32_t>(FRecords.size()); }
    UndoRecord& operator[](std::int32_t I) { return FRecords[static_cast<std::size_t>(I)]; }
    std::int32_t Position = 0;
    std::int64_t Space() const { return FSpace; }

    void Clear();
    // Frees record I; below Position, Position follows.
    void Delete(std::int32_t I);
    void Append(UndoRecord R);
    void ReplaceAt(std::int32_t I, UndoRecord R);
    // Moves record I's text out (the record keeps an empty one).
    std::string TakeText(std::int32_t I);
    // Moves record I's replacements out.
    std::vector<TTextEdit> TakeEdits(std::int32_t I);
    void DeleteFirst() { Delete(0); }

private:
    std::deque<UndoRecord> FRecords;
    std::int64_t FSpace = 0;
};

}  // namespace tarvex
