#pragma once
// The highlighters an application offers, by kind, and the ones tarvex-cli
// runs by name.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "textstore/highlighter.h"

namespace tarvex {

class TURLHighlighter;
class TOOPHighlighter;
class THtmlHighlighter;
class TCPPHighlighter;
class TSQLHighlighter;

// The Highlight menu's radio items, in tag order.
enum THighlighterKind : int { hkNone = 1, hkUrl = 2, hkPas = 3, hkHtm = 4, hkCpp = 5, hkSql = 6 };

// A highlighter by its tarvex-cli name: num, pas, url, htm, sql or cpp;
// nullptr for any other name.
std::unique_ptr<TRiriHighlighter> CreateHighlighter(std::string_view Name);

// The five highlighters of the main window, created once; For(hkNone) is nullptr.
class THighlighterSet {
public:
    THighlighterSet();
    ~THighlighterSet();
    THighlighterSet(const THighlighterSet&) = delete;
    THighlighterSet& operator=(const THighlighterSet&) = delete;

    TRiriHighlighter* For(THighlighterKind Kind);
    TURLHighlighter& Url() { return *FUrl; }
    TOOPHighlighter& Pas() { return *FPas; }
    THtmlHighlighter& Htm() { return *FHtm; }
    TCPPHighlighter& Cpp() { return *FCpp; }
    TSQLHighlighter& Sql() { return *FSql; }

    // Opens a clicked address (Windows-1251 text); the application passes the system's default handler.
    void SetLauncher(std::function<void(const std::string& Address)> Launch);
    // The link colours of a display style: Web for web addresses; e-mail and
    // file addresses get navy and fuchsia when Web is pure blue, else Web too.
    void SetLinkColor(std::int32_t Web);
    std::int32_t LinkColor() const;

private:
    std::unique_ptr<TURLHighlighter> FUrl;
    std::unique_ptr<TOOPHighlighter> FPas;
    std::unique_ptr<THtmlHighlighter> FHtm;
    std::unique_ptr<TCPPHighlighter> FCpp;
    std::unique_ptr<TSQLHighlighter> FSql;
};

}  // namespace tarvex
