// tarvex-cli: the batch front end of Tarvex.

#include <iostream>
#include <map>
#include <string>

#include "cli/commands.h"
#include "cli/run_command.h"
#include "platform/huge_page_heap.h"
#include "platform/version.h"

namespace {
const char* kUsageHead =
    "Usage: tarvex-cli COMMAND [OPTIONS] ARGS\n"
    "       tarvex-cli --version\n"
    "\n"
    "Commands:\n"
    "  stats [--null-replace CHAR] [--trim-trailing] [--wrap-chars N] FILE\n"
    "      Load FILE ('-' for standard input) and print its paragraph count,\n"
    "      length, line break, longest paragraph and display lines (wrapped\n"
    "      at N characters with --wrap-chars).\n"
    "  highlight --keys FILE.ini TEXTFILE\n"
    "  highlight --highlighter num|pas|url|htm|sql|cpp TEXTFILE\n"
    "      Highlight TEXTFILE with the [Keywords] and [StartStopKeys] of FILE.ini\n"
    "      (Name=Value lines) and print each change point as\n"
    "      paragraph<TAB>offset<TAB>flags<TAB>context<TAB>depth.\n"
    "  import [--doc-convert] FILE\n"
    "      Print the text of an RTF, HTML/XML, TCR or Word (.doc) file as\n"
    "      Windows-1251 bytes. --doc-convert tries antiword, then catdoc, for\n"
    "      Word files before the built-in extraction.\n"
    "  detect [--no-autodecode] [--no-html] FILE\n"
    "      Print what opening FILE in the editor decides, as two lines:\n"
    "      format: plain|rtf|tcr|doc|html and encoding: windows-1251|cp866|\n"
    "      koi8-r|utf-8|utf-16le|utf-16be (\"+koi8-r\" follows when KOI8-R was\n"
    "      found after decoding). The options turn AutoDecode and the HTML\n"
    "      conversion off.\n"
    "  decode [--no-autodecode] [--no-html] [--utf8] FILE [-o OUT]\n"
    "      Write the text the editor holds after opening FILE as Windows-1251\n"
    "      with the line breaks it would save (UTF-8 with --utf8), to OUT or\n"
    "      standard output.\n"
    "  find [--case] [--word] [--escapes] [--from POS] (--count | --list) TEXT FILE\n"
    "      Count the occurrences of TEXT (UTF-8) in FILE as the editor opens it\n"
    "      (\"count: N\"), or list each as POSITION<TAB>LINE<TAB>TEXT (caret\n"
    "      position, 1-based line, the line's text in UTF-8). --case matches case,\n"
    "      --word whole words only, --escapes reads ^p as a line break and ^t as a\n"
    "      tab, --from searches from position POS on.\n"
    "  replace [--case] [--word] [--escapes] [--from POS] TEXT REPLACEMENT FILE [-o OUT]\n"
    "  replace --regex [--case] [--from POS] PATTERN REPLACEMENT FILE [-o OUT]\n"
    "      Replace every occurrence and write the text as decode does; prints\n"
    "      \"replaced: N\" on standard error. --regex replaces a PCRE2 pattern\n"
    "      line by line ($1 and ${name} in REPLACEMENT name its groups).\n"
    "  sort [--delim D] [--separ S] [--no-dupl] [--join] [--locale ru|en] FILE\n"
    "      Print FILE's lines trimmed and sorted as Sort lines does: by the key\n"
    "      before D (default \"=\"), letter case ignored, empty lines and (unless\n"
    "      --no-dupl) repeats dropped; --join puts one key's values on one line,\n"
    "      separated by S (default \"^t\", a tab).\n"
    "  compress [--steps N] FILE\n"
    "      Print FILE as Compress lines leaves it; N sums 1 (runs of spaces),\n"
    "      2 (join continued lines), 4 (runs of empty lines), 8 (first space of\n"
    "      a line to a tab); default 15.\n"
    "  headlines [--max-length N] [--any-case] FILE\n"
    "      Print the headlines the bookmark window finds, as HEADLINE = N lines\n"
    "      (N the 1-based paragraph).\n"
    "  calc [--lang ru|en] [--date] TEXT\n"
    "      Print what Calculate Mathemat. (Calculate Date Time with --date)\n"
    "      inserts after TEXT taken as the line up to the caret, or\n"
    "      \"error N at P: MESSAGE\" with exit status 1. --lang chooses the\n"
    "      separators and messages (default en).\n"
    "  spell [--engine ENTRY] [--ignore-latin] [--no-suggestions] [--spell-dir DIR]\n"
    "        [--cust FILE] FILE\n"
    "      Check the spelling of FILE (loaded as the editor loads it) and print\n"
    "      each misspelt word in text order as POSITION<TAB>WORD<TAB>SUGGESTIONS\n"
    "      (UTF-8, suggestions separated by \", \"). ENTRY names the engine and\n"
    "      dictionary as the spelling window lists them (default\n"
    "      \"hunspell - ru_ru\"); --ignore-latin skips words without a Cyrillic\n"
    "      letter; --spell-dir adds a folder of dictionaries; --cust names the\n"
    "      user's word list (default: cust.dic as the editor finds it).\n"
    "  dict [--delim D] [--separ S] FILE WORD\n"
    "      Look WORD up in the dictionary FILE (KEY=VALUE lines) as the\n"
    "      dictionary window does for WORD typed in its search field (\"ca*\",\n"
    "      \"*og\", \"*a*\" and \"*\" list matching keys). Prints the value shown\n"
    "      (value separators as line breaks), a line \"--\", then the listed keys\n"
    "      one a line, \"*\" before the selected one. D is the item delimiter\n"
    "      (default \"=\"), S the value separator (default \"^t\", a tab).\n";
const char* kUsageTail =
    "  rtf [--highlighter KEYS.ini] [--no-dyn-format] FILE [-o OUT]\n"
    "      Write FILE as RTF, with highlighting colours and styles unless\n"
    "      --no-dyn-format, to OUT or standard output.\n"
    "  convert OP FILE [-o OUT]\n"
    "      Run one whole-text conversion of the Convert menu on FILE's bytes as\n"
    "      they are and write Windows-1251 text to OUT or standard output. OP:\n"
    "      dos-win win-dos koi-win win-koi utf8 ucs2 rtf html ruslat latrus\n"
    "      to-rus to-eng upper lower first-large sentence inverse.\n";

std::string Usage() { return std::string(kUsageHead) + tarvex::cli::kPdfUsage + kUsageTail; }
}  // namespace

int main(int argc, char** argv) {
    tarvex::UseHugePageHeap(argv);
    using namespace tarvex::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"stats", Stats}, {"highlight", Highlight}, {"import", Import}, {"detect", Detect}, {"decode", Decode},
        {"sort", Sort},   {"compress", Compress},   {"headlines", Headlines}, {"spell", Spell},
        {"dict", Dict},   {"calc", Calc},   {"pdf", PdfViaHelper},    {"rtf", Rtf},
        {"find", Find},   {"replace", Replace}, {"convert", Convert}};
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::cout << Usage();
        return argc < 2 ? 2 : 0;
    }
    if (std::string(argv[1]) == "--version") {
        std::cout << "tarvex-cli " << TARVEX_VERSION << "\n";
        return 0;
    }
    const auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::cerr << "tarvex-cli: unknown command \"" << argv[1] << "\"\n" << Usage();
        return 2;
    }
    return RunCommand(it->second, Args(argv + 2, argv + argc), Usage().c_str());
}
