// tarvex-cli calc: the calculate commands on one line of text.

#include <iostream>

#include "app/detect.h"
#include "calc/calc_command.h"
#include "cli/commands.h"
#include "platform/codepage.h"

namespace tarvex::cli {

int Calc(const Args& A) {
    TCalcLanguage lang = TCalcLanguage::English;
    TCalcMode mode = TCalcMode::Math;
    std::string text;
    bool haveText = false, optionsDone = false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        const std::string& a = A[i];
        if (!optionsDone && a == "--lang") {
            if (++i >= A.size()) throw UsageError{"--lang needs ru or en"};
            if (A[i] == "ru") lang = TCalcLanguage::Russian;
            else if (A[i] == "en") lang = TCalcLanguage::English;
            else throw UsageError{"--lang takes ru or en, not \"" + A[i] + "\""};
        } else if (!optionsDone && a == "--date") {
            mode = TCalcMode::DateTime;
        } else if (!optionsDone && a == "--") {
            optionsDone = true;
        } else if (!optionsDone && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            throw UsageError{"unknown option " + a};
        } else {
            // Words of an unquoted expression are joined by blanks.
            if (haveText) text += ' ';
            text += a;
            haveText = true;
        }
    }
    if (!haveText) throw UsageError{"calc needs the text of a line"};
    // Arguments are UTF-8 on this system; other bytes are taken as Windows-1251.
    if (IsUtf8Text(text)) text = Utf8ToCp1251(text);
    // The caret line: what follows the last line break.
    const std::size_t br = text.find_last_of("\r\n");
    const std::string_view line = br == std::string::npos ? std::string_view(text) : std::string_view(text).substr(br + 1);

    const TCalcSource source = ExpressionFromLine(line, mode);
    if (!source.TooLong && source.Expression.empty()) return 0;
    const TCalcAnswer answer = CalculateExpression(source, mode, lang, LocalClock());
    if (!answer.Ok()) {
        std::cout << "error " << answer.ErrorCode << " at " << answer.ErrorPos << ": "
                  << CalcErrorMessage(answer.ErrorCode, lang) << "\n";
        return 1;
    }
    std::cout << Cp1251ToUtf8(answer.Insert) << "\n";
    return 0;
}

}  // namespace tarvex::cli
