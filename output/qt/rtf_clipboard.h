#pragma once
// The system clipboard for exporters: the formatted item (text/rtf) and the
// plain text in one clipboard entry, so that word processors paste the
// formatting and every other program the text.

#include "output/formatted_text.h"

namespace tarvex {

class TQtFormattedClipboard : public TFormattedClipboard {
public:
    void SetFormattedText(const std::string& Format, const std::string& Data, const std::u16string& PlainText) override;
};

}  // namespace tarvex
