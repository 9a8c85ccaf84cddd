#include "highlight/factory.h"

#include "highlight/cpp_highlighter.h"
#include "highlight/html_highlighter.h"
#include "highlight/number_highlighter.h"
#include "highlight/oop_highlighter.h"
#include "highlight/sql_highlighter.h"
#include "highlight/url_highlighter.h"

namespace tarvex {

std::unique_ptr<TRiriHighlighter> CreateHighlighter(std::string_view Name) {
    if (Name == "num") return std::make_unique<TNumberHighlighter>();
    if (Name == "pas") return std::make_unique<TOOPHighlighter>();
    if (Name == "url") return std::make_unique<TURLHighlighter>();
    if (Name == "htm") return std::make_unique<THtmlHighlighter>();
    if (Name == "sql") return std::make_unique<TSQLHighlighter>();
    if (Name == "cpp") return std::make_unique<TCPPHighlighter>();
    return nullptr;
}

THighlighterSet::THighlighterSet()
    : FUrl(std::make_unique<TURLHighlighter>()),
      FPas(std::make_unique<TOOPHighlighter>()),
      FHtm(std::make_unique<THtmlHighlighter>()),
      FCpp(std::make_unique<TCPPHighlighter>()),
      FSql(std::make_unique<TSQLHighlighter>()) {}

THighlighterSet::~THighlighterSet() = default;

TRiriHighlighter* THighlighterSet::For(THighlighterKind Kind) {
    switch (Kind) {
        case hkUrl: return FUrl.get();
        case hkPas: return FPas.get();
        case hkHtm: return FHtm.get();
        case hkCpp: return FCpp.get();
        case hkSql: return FSql.get();
        default: return nullptr;
    }
}

void THighlighterSet::SetLauncher(std::function<void(const std::string& Address)> Launch) {
    FUrl->OnLaunch = std::move(Launch);
}

void THighlighterSet::SetLinkColor(std::int32_t Web) {
    FUrl->WebURL.SetForeground(Web);
    const bool blue = Web == 0xFF0000;
    FUrl->EmailURL.SetForeground(blue ? 0x800000 : Web);
    FUrl->FileURL.SetForeground(blue ? 0xFF00FF : Web);
}

std::int32_t THighlighterSet::LinkColor() const { return FUrl->WebURL.Foreground(); }

}  // namespace tarvex
