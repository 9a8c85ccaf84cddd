#pragma once
// The editor's key map: a key with Shift and Ctrl to an editor command. The
// keys the control handles itself, and what they do, are rows of one table;
// an owner may rebind or unbind them. Alt is not part of a binding: keys with
// Alt reach a command only while they extend a column block.

#include <cstdint>
#include <vector>

namespace tarvex {

// Commands the keyboard reaches. Movement commands combine with ecExtend
// (the selection follows the caret); the others ignore it.
enum TEditorCommand : std::uint16_t {
    ecNone = 0,
    // Movement.
    ecCharLeft,
    ecCharRight,
    ecWordLeft,
    ecWordRight,
    ecLineUp,
    ecLineDown,
    ecPageUp,          // the view scrolls with the caret
    ecPageDown,
    ecPageUpCaret,     // only the caret moves
    ecPageDownCaret,
    ecLineStart,       // of the display line
    ecLineEnd,
    ecTextStart,
    ecTextEnd,
    // Editing and the clipboard.
    ecDeleteChar,        // the selection, or the character after the caret
    ecDeleteBack,        // the selection, or the character before the caret
    ecDeleteWordBack,    // back to the start of the previous word
    ecDeleteToLineEnd,   // when the selection lies on one display line
    ecCutOrDeleteBack,   // cut a selection, else delete the character before the caret
    ecToggleOverwrite,
    ecCopy,
    ecCut,
    ecPaste,             // read-only: the same key without Shift
    ecNewLine,           // Enter, with auto-indent and overwrite mode
    ecTab,               // a tab, or the smart-tab fill
    ecCheckConsistency,
    ecContextMenu,
    // Hot keys: only with Ctrl and without Alt, when editable and EnableHotKeys is on.
    ecToggleBold,
    ecToggleItalic,
    ecToggleUnderline,
    ecToggleHighlight,
    ecToggleAltFont,
    ecInsertTab,
    ecInsertPageBreak,  // CR LF, character 16, CR LF (no key by default)
    ecUndo,
    ecRedo,
    ecCommandCount,
    ecExtend = 0x100,
};

inline constexpr bool IsMoveCommand(std::uint16_t C) { return (C & 0xFF) >= ecCharLeft && (C & 0xFF) <= ecTextEnd; }
inline constexpr bool IsHotKeyCommand(std::uint16_t C) { return C >= ecToggleBold && C <= ecRedo; }

// Modifier bits of a binding (the control's Shift-state bits ssShift and ssCtrl).
inline constexpr std::uint8_t kmShift = 1;
inline constexpr std::uint8_t kmCtrl = 4;

struct TKeyBinding {
    std::uint16_t Key;   // Windows virtual-key code
    std::uint8_t Mods;   // kmShift | kmCtrl
    std::uint16_t Command;
};

class TKeyMap {
public:
    // The control's own bindings.
    TKeyMap();

    // The command bound to Key with exactly Mods (other bits ignored); ecNone when none.
    std::uint16_t Find(std::uint16_t Key, std::uint32_t Mods) const;
    // Binds Key with Mods to Command, replacing an earlier binding of the pair.
    void Bind(std::uint16_t Key, std::uint8_t Mods, std::uint16_t Command);
    void Unbind(std::uint16_t Key, std::uint8_t Mods);
    const std::vector<TKeyBinding>& Bindings() const { return FBindings; }

private:
    std::vector<TKeyBinding> FBindings;
};

}  // namespace tarvex
