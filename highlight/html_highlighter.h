#pragma once
// THtmlHighlighter: tags and their names, attributes and values, comments,
// character references, SCRIPT content and "<%" and "<?" blocks. It has no
// start-stop list: a small state machine, whose state is the context number
// of the run in force, decides where the next run begins.

#include <cstdint>
#include <string_view>

#include "highlight/ext_highlighter.h"
#include "highlight/highlight_info.h"

namespace tarvex {

// The states: the context numbers of the runs the highlighter makes.
enum THtmlState : std::int32_t {
    hsText = 0,
    hsInTag = 1,         // inside a tag that takes attributes
    hsScript = 2,        // SCRIPT content, "<%" block
    hsComment = 3,
    hsAfterOpen = 4,     // just after "<": a name is expected
    hsName = 5,          // the element name
    hsInPlainTag = 6,    // inside a tag without attributes (unknown and closing tags too)
    hsClose = 7,         // the closing ">"
    hsAttrName = 8,
    hsAttrValue = 9,
    hsCharRef = 10,
    hsPhpBlock = 11,     // "<?" block
};

// Key numbers beyond the elements' (the chain goes on at KeyBase + 111).
inline constexpr std::int32_t kHtmlElementCount = 106;
inline constexpr std::int32_t khComment = 106, khUnknownTag = 107, khServerBlock = 108, khCharRef = 109,
                              khPhpBlock = 110, kHtmlKeyCount = 111;

struct THtmlElement {
    const char* Name;
    bool Attributes;  // takes attributes
    bool EndTag;      // has an end tag
};
// The element table, in key order.
extern const THtmlElement kHtmlElements[kHtmlElementCount];
// The key of an element name (upper case), -1 when unknown.
std::int32_t HtmlElementIndex(std::string_view UpperName);

class THtmlHighlighter : public TCustomExtHighlighter {
public:
    THtmlHighlighter();

    THighlightInfo Bracket{hsBold, clNoColor, 0xFF0000};
    THighlightInfo DefaultText{0, clNoColor, static_cast<std::int32_t>(0x80000008)};
    THighlightInfo HtmlKeyword{hsBold, clNoColor, 0x800000};
    THighlightInfo HtmlTag{hsItalic, clNoColor, 0x008000};
    THighlightInfo HtmlComment{hsItalic, clNoColor, 0x008080};
    THighlightInfo HtmlAttribute{0, clNoColor, 0x008000};
    THighlightInfo HtmlAttributeValue{0, clNoColor, 0x808080};
    THighlightInfo PerlScript{0, clNoColor, 0x808000};
    THighlightInfo ScriptTag{hsBold, static_cast<std::int32_t>(0x80000005), 0x800080};
    THighlightInfo ScriptContent{hsAltFont, clNoColor, static_cast<std::int32_t>(0x80000008)};
    THighlightInfo SpecialChars{0, clNoColor, 0xFF00FF};
    THighlightInfo UnknownTag{0, clNoColor, 0x0000FF};
    // Every element name counts as known.
    bool XMLSyntax = false;
    // Keywords(): per-element overrides; an entry named as an upper-cased
    // element gives that name its own style, colours and context number.

    // The keyword pass does nothing of its own.
    void ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    bool FindStartKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    bool FindStopKey(TRiriNavigator& Nav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    // An edit inside a tag redoes the tag from its "<".
    bool AdjustFormatStart(TRiriNavigator& Nav) override;

private:
    struct TRun {
        std::int32_t Offset;
        TDynInfo Attr;
    };
    // The state and key of A when its innermost run is this highlighter's; false otherwise.
    bool OwnRun(const TDynInfo& A, std::int32_t KeyBase, std::int32_t& State, std::int32_t& Key) const;
    // A run over Parent (state ParentId of the text's table). Runs at depth 0
    // keep ParentId in Contexts[1] and [2], unused at that depth: the state
    // before a run is then read from it instead of walking back to where it
    // began, which for a tag over many lines took quadratic time.
    TDynInfo RunAttr(const TDynInfo& Parent, std::uint32_t ParentId, std::int32_t Depth, std::int32_t State,
                     std::int32_t Key, const THighlightInfo& Info, std::int32_t KeyLen, std::int32_t StopLen,
                     std::int32_t KeyBase) const;
    // The state a depth-0 run of ours lies over, when it kept a valid one.
    static bool ParentOf(const TDynInfo& Run, const TDynStates& States, std::uint32_t& Id);
    // Writes runs at their offsets (replacing change points there and deleting
    // key-made ones after the first up to End); StopNav goes to End.
    void PutRuns(TRiriNavigator& Nav, TRiriNavigator& StopNav, const TRun* Runs, std::size_t N, std::int32_t End);
};

}  // namespace tarvex
