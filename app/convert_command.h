#pragma once
// The Convert submenu's commands on an editor, dispatched by tag. Whole-text
// conversions replace the whole text; the others work on the selection, else
// on the word at the caret (As sentence: the sentence), and To Rus / To Eng
// on the whole text when there is no word either. Every change is one undo
// step (editor/text_transform.h); a result equal to the text records nothing.

#include <string>

#include "app/text_convert.h"
#include "textstore/types.h"

namespace tarvex {

class TDudiRiri;

struct TConvertContext {
    bool Reverse = false;     // Shift held: DOS-WIN and KOI-WIN the other way
    bool AutoDecode = true;   // Html-TXT: the KOI8-R check
    std::string FileName;     // the document's file ("" for a new one)
};

enum class TConvertResult { crChanged, crUnchanged, crNothing };

// Runs the command of Tag. Unknown tags do nothing. Errors reading the file
// for UCS-2 propagate (the text is then unchanged).
TConvertResult RunConvertCommand(TDudiRiri& M, int Tag, const TConvertContext& C);

// The conversion of Tag over the whole text whatever is selected, as
// tarvex-cli runs it. For ctUcs2 the document's file is decoded when it
// exists, else the text.
TConvertResult ConvertWholeText(TDudiRiri& M, int Tag, const TConvertContext& C);

}  // namespace tarvex
