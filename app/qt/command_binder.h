#pragma once
// Builds the window's menus, toolbar and shortcuts from the command table,
// binds each command to its handler, relabels everything when the interface
// language changes and applies the enable rules.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/command_table.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace tarvex {

class TCommandBinder {
public:
    using THandler = std::function<void()>;

    explicit TCommandBinder(QMainWindow& Window) : FWindow(Window) {}
    // Registers the handler of a command (by its object name). A checkable
    // command's action is already toggled when the handler runs.
    void On(const char* Name, THandler H);
    // Creates every menu, action and toolbar button. Throws std::logic_error
    // when a command has no handler: no menu item may do nothing.
    void Build(QToolBar& ToolBar);
    void Relabel(bool Russian);
    // Every command by its rule; without a state (long work) every command is off.
    void ApplyEnableRules(const std::optional<TCommandState>& S);

    QAction* Action(std::string_view Name) const;
    QMenu* Menu(std::string_view Name) const;
    QAction* Button(std::string_view Name) const;

private:
    QMainWindow& FWindow;
    std::map<std::string, THandler, std::less<>> FHandlers;
    std::map<std::string, QAction*, std::less<>> FActions, FButtons;
    std::map<std::string, QMenu*, std::less<>> FMenus;
};

// A caption without its accelerator marks ("&&" stays one "&").
QString NoAmpersands(QString T);

}  // namespace tarvex
