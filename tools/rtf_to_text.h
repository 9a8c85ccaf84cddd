#pragma once
// RTF to plain text: the text a reader sees, as Windows-1251 bytes.

#include <string>
#include <string_view>

namespace tarvex {

// Paragraph and line ends become CR LF, tabs and table cells a tab. The final
// paragraph mark of the document is not part of its text. Text in other code
// pages (\ansicpg, font charsets, \uN) is converted; characters without a
// Windows-1251 form become '?'. Input that does not start with "{\rt" is not
// RTF and is returned unchanged; broken RTF gives what could be read.
std::string RtfToText(std::string_view Rtf);

// True when Head starts with "{\" and the letters r and t in any case.
bool IsRtfSignature(std::string_view Head);

}  // namespace tarvex
