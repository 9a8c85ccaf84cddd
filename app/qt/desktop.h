#pragma once
// The desktop services the commands hand work to: opening files, links and
// mail through the desktop's own programs, showing a file in the file
// manager, and the keyboard's Shift state. One object for the process, whose
// members tests replace to see what would have been handed over.

#include <QString>
#include <QUrl>
#include <functional>

namespace tarvex {

struct TDesktop {
    // Opens a link, a mail address or a file with the desktop's program for it.
    std::function<bool(const QUrl&)> OpenUrl;
    // Shows the file selected in the file manager; without one that can, its folder.
    std::function<bool(const QString& Path)> ShowInFolder;
    // Whether Shift is held down right now.
    std::function<bool()> ShiftHeld;
};

TDesktop& Desktop();

// The freedesktop file manager interface (org.freedesktop.FileManager1.ShowItems)
// over the session bus; false when no file manager answers.
bool ShowItemsOverDBus(const QString& Path);

}  // namespace tarvex
