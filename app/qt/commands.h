#pragma once
// The handlers of the main window's commands, by menu. Each group registers
// its handlers with the window's command binder; a handler calls into the
// document, the editor or a subsystem and then refreshes the window.

#include <QUrl>
#include <cstddef>
#include <string>

#include "app/loader.h"
#include "textstore/stream.h"
#include "textstore/types.h"

namespace tarvex {

class TFrmMainTarvex;
struct TSettings;

// Every handler of the command table.
void AddCommandHandlers(TFrmMainTarvex& W);
void AddFileCommands(TFrmMainTarvex& W);
void AddEditCommands(TFrmMainTarvex& W);
void AddOptionCommands(TFrmMainTarvex& W);
void AddOutputCommands(TFrmMainTarvex& W);
void AddSpellCommands(TFrmMainTarvex& W);
void AddHighlightCommands(TFrmMainTarvex& W);
void AddSearchCommands(TFrmMainTarvex& W);
void AddMarkCommands(TFrmMainTarvex& W);
void ChooseHighlighterAfterLoad(TFrmMainTarvex& W);
void ChooseHighlighterAfterUndo(TFrmMainTarvex& W);
void AddConvertCommands(TFrmMainTarvex& W);
void AddNavigationCommands(TFrmMainTarvex& W);
void AddViewCommands(TFrmMainTarvex& W);
void AddStyleCommands(TFrmMainTarvex& W);
void AddDesktopCommands(TFrmMainTarvex& W);

// Read Only as the settings say: the editor's state, the display style of
// the mode, the selection colours and the command states.
void ApplyReadOnlyState(TFrmMainTarvex& W);
// Word wrap on or off: with it off the text is left-aligned and Left checked.
void ApplyWordWrap(TFrmMainTarvex& W, bool On);
// A mailto: link with Body (Windows-1251) as the message text.
QUrl MailUrl(const std::string& Body);

// After the settings dialog's OK: what changed reaches the window and the editor.
void ApplyChangedSettings(TFrmMainTarvex& W, const TSettings& Before);
void OpenFromHistory(TFrmMainTarvex& W, std::size_t Index);
bool SaveDocument(TFrmMainTarvex& W);
// A large plain file shows its first screen before the whole of it is read.
void ShowLoadPreview(TFrmMainTarvex& W, TStream& S, const TFormatFlags& F, TPos CaretPos);

}  // namespace tarvex
