#pragma once
// TURLHighlighter: finds web, e-mail, news, FTP and other addresses in plain
// text, colours them as links and opens the one clicked through the host's
// launcher (the application opens it with the system's default handler).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "highlight/highlight_info.h"
#include "textstore/dyn_info.h"
#include "textstore/highlighter.h"
#include "textstore/types.h"

namespace tarvex {

enum TURLType : std::uint8_t { utWeb = 0, utEmail = 1, utNNTP = 2, utFile = 3, utOther = 4 };

// The prefixes that start an address, in the order they are tried.
struct TURLPrefix {
    const char* Prefix;  // upper case; compared regardless of case
    TURLType Type;
    bool Boundary;  // must start a word (the paragraph start or after a delimiter)
};
inline constexpr TURLPrefix kURLPrefixes[] = {
    {"HTTP://", utWeb, true},      {"WWW.", utWeb, true},         {"MAILTO:", utEmail, true},
    {"@", utEmail, false},         {"NEWS:", utNNTP, true},       {"NNTP://", utNNTP, true},
    {"FTP://", utFile, true},      {"FTP.", utFile, true},        {"GOPHER://", utOther, true},
    {"GOPHER.", utOther, true},    {"TELNET://", utOther, true},  {"TN3270://", utOther, true},
    {"WAIS://", utOther, true},    {"PROSPERO://", utOther, true}, {"HTTPS://", utWeb, true},
};
inline constexpr std::int32_t kURLPrefixCount = static_cast<std::int32_t>(std::size(kURLPrefixes));

// The system's tooltip background colour.
inline constexpr std::int32_t clInfoBk = static_cast<std::int32_t>(0x80000018);

class TURLHighlighter : public TRiriHighlighter {
public:
    TURLHighlighter();

    // An address found with prefix i gets the context number BaseContext + i.
    std::int32_t BaseContext = 1024;
    THighlightInfo WebURL{hsUnderline, clNoColor, 0xFF0000, crHandPoint};
    THighlightInfo EmailURL{hsUnderline, clNoColor, 0x008000, crHandPoint};
    THighlightInfo NNTP_URL{hsUnderline, clNoColor, 0x0000FF, crHandPoint};
    THighlightInfo FileURL{hsUnderline, clNoColor, 0xFF00FF, crHandPoint};
    THighlightInfo OtherURL{hsItalic, clInfoBk, 0xC0C0C0, crHandPoint};
    bool LaunchURLs = true;
    // Opening waits for the editor's double click instead of a single click.
    bool DblClickLaunch = false;
    // Addresses are coloured where the context number equals Scope, or everywhere with Priority.
    std::int32_t Scope = 0;
    bool Priority = false;
    // When set, it alone decides whether an address may be coloured at a position.
    std::function<bool(TURLHighlighter& Sender, std::int16_t CurrentContext, TURLType Type)> OnURL;
    // Opens an address (Windows-1251 text); the application fills it with the system's default handler.
    std::function<void(const std::string& Address)> OnLaunch;

    THighlightInfo& InfoOf(TURLType T);

    void ScanKeywords(TRiriNavigator& StartNav, TRiriNavigator& StopNav, std::int32_t KeyBase) override;
    void MouseNotify(TDudiRiriBase& Memo, std::uint32_t Flags) override;

    // The address of the run at Pos as it is opened ("mailto:", "ftp://" or
    // "gopher://" added where its prefix needs one); empty when Pos is not on an address.
    std::string AddressAt(TDudiRiriBase& Memo, TPos Pos) const;

    static bool IsDelimiter(unsigned char C) {
        return C == '\t' || C == ' ' || C == '"' || C == '\'' || C == '(' || C == ')' || C == '<' || C == '>';
    }

private:
    bool Allowed(const TDynInfo& A, TURLType Type);
};

}  // namespace tarvex
