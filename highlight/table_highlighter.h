#pragma once
// TTableHighlighter: what the keyword-table highlighters (Pascal, SQL, C++)
// share: one THighlightInfo per token group pushed into the list entries of
// the group, a merge rule that keeps individually formatted keywords, the
// persistent ModFormats list of those keywords, and an internal number
// highlighter that runs after the keyword pass.

#include <cstdint>
#include <string>
#include <vector>

#include "highlight/ext_highlighter.h"
#include "highlight/highlight_info.h"
#include "highlight/number_highlighter.h"
#include "textstore/value_stream.h"

namespace tarvex {

class TTableHighlighter : public TCustomExtHighlighter {
public:
    TTableHighlighter();

    TNumberHighlighter& NumberHighlighter() { return FNumbers; }

    // The keyword pass, then the number pass with the same arguments.
    void ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;

    // ModFormats: per keyword whose style byte, background or foreground
    // differs from its group's, seven integers (index, options, style,
    // context, cursor, background, foreground). Reading marks each keyword
    // read with style bit 7 (individually formatted) until loading ends.
    std::vector<std::int32_t> ModFormats() const;
    void SetModFormats(const std::vector<std::int32_t>& Values);

    // The persistent form: every group's style, then ModFormats. Loading
    // applies the groups in bulk when it ends.
    void WriteTo(TValueWriter& W) const;
    void ReadFrom(TValueReader& R);
    // Changes made between the two are applied when loading ends.
    void BeginLoading() { FLoading = true; }
    void EndLoading();

protected:
    struct TGroup {
        const char* Name;
        THighlightInfo* Info;
    };
    // Every group in persistent order.
    virtual std::vector<TGroup> Groups() = 0;
    // The group a keyword's format is compared with for ModFormats.
    virtual const THighlightInfo& KeywordGroup(std::int32_t Index) const = 0;
    // Applies the groups after loading (keywords without an individual format take their group's).
    virtual void Loaded() = 0;
    // A group's style was changed.
    virtual void GroupChanged(THighlightInfo& Info) = 0;

    // Watches a group: changes are pushed into the lists through GroupChanged.
    void Watch(THighlightInfo& Info);

    // The merge rule: keywords [From, To] take the style bits, AltFont and
    // colours that changed between Saved and Info; Saved becomes Info.
    struct TSaved {
        std::uint8_t Style = 0;
        bool AltFont = false;
        std::int32_t Background = clNoColor, Foreground = clNoColor;
        void Take(const THighlightInfo& I) {
            Style = I.Style();
            AltFont = I.AltFont();
            Background = I.Background();
            Foreground = I.Foreground();
        }
    };
    void MergeKeywords(const THighlightInfo& Info, TSaved& Saved, std::int32_t From, std::int32_t To);
    // Keywords [From, To] take the group's style byte and colours directly.
    void SetKeywords(const THighlightInfo& Info, std::int32_t From, std::int32_t To);
    // Keywords [From, To] without bit 7 get the group's format, those with it only lose the bit.
    void ResetKeywords(const THighlightInfo& Info, std::int32_t From, std::int32_t To, std::uint8_t Options,
                       std::int32_t Context);
    // Start-stop entries take the group's style byte and colours.
    void SetEntries(const THighlightInfo& Info, std::initializer_list<std::int32_t> Entries);
    // The number highlighter takes the group's style, AltFont and colours.
    void SetNumbers(const THighlightInfo& Info);

    bool FLoading = false;
    TNumberHighlighter FNumbers;
};

}  // namespace tarvex
