#pragma once
// TRiriHighlighter: the base of every syntax highlighter. An editor calls its
// five operations while it highlights changed text; the base does nothing.

#include <cstdint>
#include <vector>

#include "textstore/component.h"

namespace tarvex {

class TDudiRiriBase;
class TRiriNavigator;

// MouseNotify's event flags.
inline constexpr std::uint32_t hmClick = 8;      // a click without moving, on a run with a context number
inline constexpr std::uint32_t hmDblClick = 16;  // the editor's double click

class TRiriHighlighter : public TComponent {
public:
    TRiriHighlighter() = default;
    // Every editor that uses it forgets it.
    ~TRiriHighlighter() override;

    // The highlighter's own keyword pass over the range. KeyBase: the number of
    // the editor's own keywords; the highlighter numbers its keys from there.
    virtual void ScanKeywords(TRiriNavigator& /*NavFrom*/, TRiriNavigator& /*NavTo*/, std::int32_t /*KeyBase*/) {}
    // Tries to open a region in the range.
    virtual bool FindStartKey(TRiriNavigator& /*NavFrom*/, TRiriNavigator& /*NavTo*/, std::int32_t /*KeyBase*/) {
        return false;
    }
    // Looks for the end of the region in force.
    virtual bool FindStopKey(TRiriNavigator& /*NavFrom*/, TRiriNavigator& /*NavTo*/, std::int32_t /*KeyBase*/) {
        return false;
    }
    virtual void MouseNotify(TDudiRiriBase& /*Memo*/, std::uint32_t /*Flags*/) {}
    // Before re-highlighting after an edit a highlighter may move Nav back.
    virtual bool AdjustFormatStart(TRiriNavigator& /*Nav*/) { return false; }

    const std::vector<TDudiRiriBase*>& Memos() const { return FMemos; }

    // Referrer is told through Notification when this highlighter is destroyed.
    void FreeNotification(TRiriHighlighter* Referrer);
    void RemoveFreeNotification(TRiriHighlighter* Referrer);

protected:
    // Gone is being destroyed: forget every reference to it.
    virtual void Notification(TRiriHighlighter* /*Gone*/) {}

private:
    friend class TDudiRiriBase;
    std::vector<TDudiRiriBase*> FMemos;
    std::vector<TRiriHighlighter*> FReferrers;  // told when this one goes
    std::vector<TRiriHighlighter*> FReferred;   // this one is in their FReferrers
};

}  // namespace tarvex
