#pragma once
// The settings between the file and the window: applied to the window and
// the editor at start, collected from them at close.

#include <string>

namespace tarvex {

class TDudiRiri;
class TFrmMainTarvex;
class TIniFile;

// The settings file as it is now (a missing or unreadable one parses as empty).
void ReadSettingsFile(const std::string& Path, TIniFile& Ini);
// What the editor of the main window always has: the word separators and
// line breaks kept from loading to saving.
void PrepareEditor(TDudiRiri& M);
void ApplySettings(TFrmMainTarvex& W);
void CollectSettings(TFrmMainTarvex& W);
// Keeps the window above others, or not, without moving it or taking the focus from the editor.
void ApplyStaysOnTop(TFrmMainTarvex& W, bool On);
bool StaysOnTop(const TFrmMainTarvex& W);

}  // namespace tarvex
