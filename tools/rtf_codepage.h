#pragma once
// Code pages of RTF documents mapped onto Windows-1251.

#include <array>
#include <map>
#include <memory>

namespace tarvex {

// The code page of a font charset (\fcharsetN); DocCp for the ANSI and
// default charsets.
int CharsetToCodePage(int Charset, int DocCp);

// True for the double-byte code pages (East Asian), whose lead bytes take a
// second byte with them.
bool IsDoubleByteCodePage(int Cp);

// Byte-to-byte tables from single-byte code pages to Windows-1251, built once
// per code page through iconv and kept for the life of the object. Characters
// without a Windows-1251 form become '?'.
class TCodePageTables {
public:
    // The table for Cp, or nullptr when bytes pass unchanged (Windows-1251,
    // and code pages that iconv does not know).
    const std::array<unsigned char, 256>* Table(int Cp);

private:
    std::map<int, std::unique_ptr<std::array<unsigned char, 256>>> FTables;
};

}  // namespace tarvex
