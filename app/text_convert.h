#pragma once
// The text conversions of the Convert submenu as pure functions: Windows-1251
// bytes in, Windows-1251 bytes out (the decoders take the bytes of their
// encoding). The menu, tarvex-cli and the tests run these same functions.

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// The Convert submenu's items, by their tags.
enum TConvertTag : int {
    ctDosWin = 1,
    ctKoiWin = 2,
    ctUtf8 = 3,
    ctUcs2 = 4,
    ctRtf = 5,
    ctHtml = 6,
    ctRusLat = 7,
    ctLatRus = 8,
    ctToRus = 9,
    ctToEng = 10,
    ctUpper = 14,
    ctLower = 15,
    ctFirstLarge = 16,
    ctSentence = 17,
    ctInverse = 18,
};

// Tags that rewrite the whole text whatever is selected.
bool IsWholeTextTag(int Tag);

// The bytes that end a word. Cyrillic letters (0xC0 and above) never do,
// whatever the set says.
class TSeparators {
public:
    TSeparators() = default;
    explicit TSeparators(const std::bitset<256>& Set) : FSet(Set) {}
    explicit TSeparators(std::string_view Chars);
    bool operator()(unsigned char C) const { return C < 0xC0 && FSet[C]; }

private:
    std::bitset<256> FSet;
};
// The program's own set (AppWordSeparators).
const TSeparators& AppSeparators();

// --- transliteration and keyboard layouts

// Cyrillic letters to Latin ("Щ" to "Shh", "ъ" to a double quote, "ь" to an
// apostrophe); every other byte is copied.
std::string RusLat(std::string_view S);
// Latin to Cyrillic with the look-ahead pairs (ch, eh, kh, zh, sh, shh, shch,
// ja, jo, ju, jj, ya, yu), "i" after "y" as "й", and the apostrophe, double
// quote and circumflex inside words as the soft and hard signs.
std::string LatRus(std::string_view S, const TSeparators& Seps);
// The character on the same key of the Russian (ToRus) or US layout.
std::string KbdSwap(std::string_view S, bool ToRus);
void KbdSwapInPlace(std::string& S, bool ToRus);

// --- letter case (Windows-1251 letters: Latin, Russian and the other
// Cyrillic letters of 0x80..0xBF)

unsigned char LowerChar(unsigned char C);
unsigned char UpperChar(unsigned char C);
bool IsLowerLetter(unsigned char C);
bool IsUpperLetter(unsigned char C);
void UpperCaseInPlace(std::string& S);
void LowerCaseInPlace(std::string& S);
void InverseCaseInPlace(std::string& S);
// Lower case, then the first character of every word upper case. A word's
// first character ends its capitalising whatever it is ("1st" stays).
void AllFirstLargeInPlace(std::string& S, const TSeparators& Seps);
// Lower case, then the first character of the text and of every word that
// follows a full stop, exclamation or question mark upper case (separators
// between them are passed over; "2.5" and "1st" stay).
void AsSentenceInPlace(std::string& S, const TSeparators& Seps);

// --- decoders and the other whole-text conversions

// HTML (XML when Xml) to text; with AutoDecode, text that then looks like
// KOI8-R is converted from it.
std::string HtmlToTextChecked(std::string_view S, bool Xml, bool AutoDecode);

struct TConvertOptions {
    bool Reverse = false;     // Shift held: Windows-1251 to DOS and to KOI8-R
    bool Xml = false;         // Html-TXT: the document is XML
    bool AutoDecode = true;   // Html-TXT: the KOI8-R check
    const TSeparators* Separators = nullptr;  // nullptr: the program's own
};

// Runs the conversion of Tag over S (for ctUcs2, S holds UTF-16 bytes).
// Tags without a conversion leave S unchanged.
void ConvertInPlace(int Tag, std::string& S, const TConvertOptions& O);
// The same into a new string, S left as it is (byte-for-byte conversions
// write the result directly, without a copy of S first).
std::string Converted(int Tag, std::string_view S, const TConvertOptions& O);

}  // namespace tarvex
