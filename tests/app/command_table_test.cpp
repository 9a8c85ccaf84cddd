// The command table: names, captions and shortcuts are unique and complete,
// menus come before their items, and the enable rules follow the document.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "app/command_table.h"
#include "platform/interface_text.h"

namespace tarvex {
namespace {

std::string Normalized(std::string Key) {
    // "Ctrl+Shift+Z" and "Shift+Ctrl+Z" are one key.
    std::multiset<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= Key.size(); ++i)
        if (i == Key.size() || (Key[i] == '+' && i > start)) {
            parts.insert(Key.substr(start, i - start));
            start = i + 1;
        }
    std::string out;
    for (const std::string& p : parts) out += p + "|";
    return out;
}

TEST(CommandTable, NamesShortcutsAndCaptionsAreUniqueAndComplete) {
    std::set<std::string> names;
    std::map<std::string, std::string> keys;
    std::set<std::string> menus;
    for (const TCommandDef& r : CommandRows()) {
        if (r.Menu) EXPECT_TRUE(menus.count(r.Menu)) << r.Name << " sits in " << r.Menu << ", not defined before it";
        if (r.Kind == ikSeparator) continue;
        EXPECT_TRUE(names.insert(r.Name).second) << "two rows named " << r.Name;
        if (r.Kind == ikMenu) menus.insert(r.Name);
        const std::string caption = r.Caption;
        ASSERT_NE(caption.find('='), std::string::npos) << r.Name << " has no Russian caption";
        EXPECT_FALSE(Bilingual(caption, false).empty());
        EXPECT_FALSE(Bilingual(caption, true).empty());
        if (r.Shortcut) {
            const auto [it, fresh] = keys.emplace(Normalized(r.Shortcut), r.Name);
            EXPECT_TRUE(fresh) << r.Shortcut << " is given to " << it->second << " and " << r.Name;
        }
    }
    for (const TButtonDef& b : ToolbarButtons()) {
        if (!b.Command) continue;
        const TCommandDef* c = FindCommand(b.Command);
        ASSERT_NE(c, nullptr) << b.Name;
        EXPECT_EQ(c->Kind, ikCommand);
        if (b.Hint) EXPECT_NE(std::string(b.Hint).find('='), std::string::npos) << b.Name;
    }
    EXPECT_EQ(FindCommand("no such command"), nullptr);
}

TEST(CommandTable, EnableRulesFollowTextSelectionAndReadOnly) {
    TCommandState empty;
    TCommandState text;
    text.Text = true;
    TCommandState sel = text;
    sel.Selection = true;
    TCommandState ro = sel;
    ro.ReadOnly = true;
    ro.CanUndo = ro.CanRedo = ro.ClipboardText = true;
    auto enabled = [](const char* Name, const TCommandState& S) { return CommandEnabled(FindCommand(Name)->Enable, S); };
    EXPECT_FALSE(enabled("mConvert", empty)) << "nothing to convert in an empty document";
    EXPECT_TRUE(enabled("mConvert", text));
    EXPECT_FALSE(enabled("mSaveAs", empty));
    EXPECT_FALSE(enabled("mCopy", text));
    EXPECT_TRUE(enabled("mCopy", sel));
    EXPECT_TRUE(enabled("mCut", sel));
    EXPECT_TRUE(enabled("mCopy", ro));
    EXPECT_FALSE(enabled("mCut", ro)) << "read-only text is not cut";
    EXPECT_FALSE(enabled("mPaste", ro));
    EXPECT_FALSE(enabled("mUndo", ro));
    EXPECT_FALSE(enabled("mRefresh", text));
    TCommandState named = text;
    named.Named = true;
    EXPECT_TRUE(enabled("mRefresh", named));
    EXPECT_FALSE(enabled("mSave", named));
    named.SaveEnabled = true;
    EXPECT_TRUE(enabled("mSave", named));
    EXPECT_TRUE(enabled("mNew", empty));
}

}  // namespace
}  // namespace tarvex
