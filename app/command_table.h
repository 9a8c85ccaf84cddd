#pragma once
// The main window's commands as data: one row per menu item, submenu,
// separator or shortcut-only command, in menu order. The window builds its
// menus, toolbar, shortcuts and captions from these rows and binds each
// command to its handler by name; CommandEnabled decides every command's
// state from the editor and the document.

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvex {

// What must hold for a command to be enabled.
enum TEnableRule : std::uint8_t {
    erAlways,
    erSelection,          // something is selected
    erSelectionWritable,  // ... and the text may be changed
    erText,               // the text is not empty
    erTextWritable,       // ... and may be changed
    erWritable,           // the text may be changed
    erNamed,              // the document has a file
    erUndo,               // there is something to undo and the text may be changed
    erRedo,
    erPaste,              // the clipboard holds text and the text may be changed
    erSave,               // the document is modified, or was converted on loading
    erSearch,             // there is a search text (Find next, Find back)
    erWordWrap,           // the text is wrapped (alignment needs it)
};

struct TCommandState {
    bool Selection = false, Text = false, ReadOnly = false, Named = false;
    bool CanUndo = false, CanRedo = false, ClipboardText = false, SaveEnabled = false, Search = false;
    bool WordWrap = true;
};

bool CommandEnabled(TEnableRule Rule, const TCommandState& S);

enum TItemKind : std::uint8_t { ikCommand, ikMenu, ikSeparator };

enum TCommandFlag : std::uint8_t {
    cfCheckable = 1,
    cfHidden = 2,  // not shown in its menu: only its shortcut reaches it
};

struct TCommandDef {
    TItemKind Kind = ikCommand;
    const char* Name = nullptr;      // object name: "mNew"; a separator's is empty
    const char* Caption = nullptr;   // "English=Russian"
    const char* Menu = nullptr;      // the menu it sits in; nullptr: the menu bar
    const char* Shortcut = nullptr;  // "Ctrl+N" (portable key text); nullptr: none
    int Tag = 0;                     // tells apart the items that share a handler
    TEnableRule Enable = erAlways;
    std::uint8_t Flags = 0;
    int Group = 0;  // commands with the same group number > 0 are radio items
};

// A toolbar button: the command it triggers, its hint (nullptr: the
// command's caption without "&") and its icon (a desktop theme name).
// A row with a null Command is a separator.
struct TButtonDef {
    const char* Name;
    const char* Command;
    const char* Hint;
    const char* Icon;
};

std::span<const TCommandDef> CommandRows();
std::span<const TButtonDef> ToolbarButtons();
const TCommandDef* FindCommand(std::string_view Name);

}  // namespace tarvex
