// The Convert submenu's conversions as functions: transliteration both ways,
// the keyboard-layout swap, the five case modes, the decoders and the
// statistical UTF-16 test.

#include "app/text_convert.h"

#include <gtest/gtest.h>

#include "app/codepages.h"
#include "app/detect.h"
#include "app/word_separators.h"
#include "platform/codepage.h"
#include "tools/ucs2.h"

namespace tarvex {
namespace {

std::string Win(const char* Utf8) { return Utf8ToCp1251(Utf8); }
std::string Utf8(const std::string& Win1251) { return Cp1251ToUtf8(Win1251); }
const TSeparators& Seps() { return AppSeparators(); }
std::string LatRusOf(const char* S) { return Utf8(LatRus(S, Seps())); }

std::string Cased(int Tag, const char* Utf8Text) {
    std::string s = Win(Utf8Text);
    ConvertInPlace(Tag, s, {});
    return Utf8(s);
}

// UTF-16 little-endian bytes of a UTF-8 text.
std::string Utf16Le(const char* Utf8Text) {
    std::string out;
    std::u16string u;
    // Decode UTF-8 by hand: the texts here are within the BMP.
    const auto* p = reinterpret_cast<const unsigned char*>(Utf8Text);
    while (*p) {
        char32_t c;
        if (*p < 0x80) {
            c = *p++;
        } else if ((*p & 0xE0) == 0xC0) {
            c = (*p++ & 0x1Fu) << 6;
            c |= *p++ & 0x3Fu;
        } else {
            c = (*p++ & 0x0Fu) << 12;
            c |= (*p++ & 0x3Fu) << 6;
            c |= *p++ & 0x3Fu;
        }
        u.push_back(static_cast<char16_t>(c));
    }
    for (const char16_t c : u) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

TEST(Transliteration, RusLatLetters) {
    EXPECT_EQ(RusLat(Win("Щука")), "Shhuka");
    EXPECT_EQ(RusLat(Win("Ёлка, съешь ЖУК, Эхо! Юла Яма Хор Цех Чай Шум Йод")),
              "Jolka, s\"esh' ZhUK, Ehkho! Jula Jama Khor Cekh Chaj Shum Jod");
    EXPECT_EQ(RusLat("plain 123 \r\n"), "plain 123 \r\n") << "other bytes are copied";
    EXPECT_EQ(RusLat(Win("ЪЬ")), "\"'");
}

TEST(Transliteration, RoundTripsThroughLatin) {
    for (const char* w : {"Щука", "большой", "объем", "Хорошо", "Эхо", "ЮЛА", "Ёжик", "щи", "Шар", "жучка"})
        EXPECT_EQ(LatRusOf(RusLat(Win(w)).c_str()), w) << w;
}

TEST(Transliteration, LatRusPairsAndLookAhead) {
    EXPECT_EQ(LatRusOf("Shchuka"), "Щука");
    EXPECT_EQ(LatRusOf("Sch"), "Сч") << "the c takes the h";
    EXPECT_EQ(LatRusOf("SHH shh sHh SHCH"), "Щ щ щ Щ") << "pairs match in any case; the first letter decides";
    EXPECT_EQ(LatRusOf("Ch ch Eh kh Zh sh"), "Ч ч Э х Ж ш");
    EXPECT_EQ(LatRusOf("ja jo ju jj J Ya yu y"), "я ё ю й Й Я ю ы");
    EXPECT_EQ(LatRusOf("novyi YI"), "новый ЫЙ") << "i right after y";
    EXPECT_EQ(LatRusOf("qwx W"), "щвх В");
}

TEST(Transliteration, LatRusSignsInsideWords) {
    EXPECT_EQ(LatRusOf("bol'shoj"), "большой");
    EXPECT_EQ(LatRusOf("'tis"), "'тис") << "an apostrophe at the start of the text stays";
    EXPECT_EQ(LatRusOf("a 'b'"), "а 'бь") << "after a separator it stays; after a letter it is a soft sign";
    EXPECT_EQ(LatRusOf("BOL'SHOJ"), "БОЛЬШОЙ") << "after a capital, a capital sign";
    EXPECT_EQ(LatRusOf("mat''"), "мать") << "a second apostrophe is consumed";
    EXPECT_EQ(LatRusOf("ob\"em"), "объем");
    EXPECT_EQ(LatRusOf("ob^em"), "объем");
    EXPECT_EQ(LatRusOf("OB\"EM"), "ОБЪЕМ");
    EXPECT_EQ(LatRusOf("a \" b"), "а \" б") << "between two spaces it stays";
    EXPECT_EQ(LatRusOf("\"kot\""), "\"кот\"") << "at the ends of the text it stays";
}

TEST(Transliteration, LatRusAtTextEdgesAndMixedCase) {
    EXPECT_EQ(LatRusOf("s"), "с");
    EXPECT_EQ(LatRusOf("sh"), "ш");
    EXPECT_EQ(LatRusOf("shc"), "шц") << "s h c without the final h";
    EXPECT_EQ(LatRusOf("j"), "й");
    EXPECT_EQ(LatRusOf("'"), "'");
    EXPECT_EQ(LatRusOf("x\""), "х\"");
    EXPECT_EQ(LatRusOf("PriVet"), "ПриВет");
    EXPECT_EQ(LatRusOf(""), "");
}

TEST(KeyboardLayouts, LettersBothWays) {
    EXPECT_EQ(Utf8(KbdSwap("Ghbdtn", true)), "Привет");
    EXPECT_EQ(KbdSwap(Win("Руддщ"), false), "Hello");
    EXPECT_EQ(KbdSwap("Latin text 123", false), "Latin text 123") << "To Eng leaves Latin text unchanged";
}

TEST(KeyboardLayouts, EveryListedCharacterRoundTrips) {
    const std::string us = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ`~[];',.{}:\"<>@#$^&";
    const std::string ru = KbdSwap(us, true);
    EXPECT_EQ(Utf8(ru), "фисвуапршолдьтщзйкыегмцчняФИСВУАПРШОЛДЬТЩЗЙКЫЕГМЦЧНЯёЁхъжэбюХЪЖЭБЮ\"№;:?");
    EXPECT_EQ(KbdSwap(ru, false), us);
    // Slash and question mark have no way back: full stop and comma are their own.
    EXPECT_EQ(KbdSwap("/?", true), ".,");
    EXPECT_EQ(KbdSwap(".,", false), ".,");
    EXPECT_EQ(KbdSwap("%*()-_=+ 0", true), "%*()-_=+ 0") << "unlisted characters are copied";
}

TEST(LetterCase, UpperLowerInverse) {
    EXPECT_EQ(Cased(ctUpper, "abc ёжик Ђђ ў"), "ABC ЁЖИК ЂЂ Ў");
    EXPECT_EQ(Cased(ctLower, "ABC ЁЖИК Ђ Ї"), "abc ёжик ђ ї");
    EXPECT_EQ(Cased(ctInverse, "Hello Мир ё 12"), "hELLO мИР Ё 12");
}

TEST(LetterCase, AllFirstLarge) {
    EXPECT_EQ(Cased(ctFirstLarge, "one two-three"), "One Two-three") << "the hyphen is no separator";
    EXPECT_EQ(Cased(ctFirstLarge, "ALL CAPS here"), "All Caps Here");
    EXPECT_EQ(Cased(ctFirstLarge, "ёлка и щука"), "Ёлка И Щука") << "yo is a letter like the others";
    // Regression: the second letter of a word starting with a digit or a
    // separator at the start was capitalised.
    EXPECT_EQ(Cased(ctFirstLarge, "1st place"), "1st Place");
    EXPECT_EQ(Cased(ctFirstLarge, " one"), " One");
    EXPECT_EQ(Cased(ctFirstLarge, "(x) «да»"), "(X) «Да»");
}

TEST(LetterCase, AsSentence) {
    EXPECT_EQ(Cased(ctSentence, "one. two! three"), "One. Two! Three");
    EXPECT_EQ(Cased(ctSentence, "HELLO WORLD. BYE?"), "Hello world. Bye?");
    EXPECT_EQ(Cased(ctSentence, " one"), " One");
    EXPECT_EQ(Cased(ctSentence, "ёлка. ёж"), "Ёлка. Ёж");
    // Regression: the first letter after a number was capitalised.
    EXPECT_EQ(Cased(ctSentence, "1st step. 2nd step"), "1st step. 2nd step");
    EXPECT_EQ(Cased(ctSentence, "pi is 3.14 or so"), "Pi is 3.14 or so") << "a decimal point starts no sentence";
    EXPECT_EQ(Cased(ctSentence, "end. «quoted» text"), "End. «Quoted» text");
}

TEST(WholeTextConversions, CodePagesBothWays) {
    std::string s = "\xEB\xF0\xEA";  // KOI8-R "КПЙ"
    ConvertInPlace(ctKoiWin, s, {});
    EXPECT_EQ(Utf8(s), "КПЙ");
    TConvertOptions back;
    back.Reverse = true;
    ConvertInPlace(ctKoiWin, s, back);
    EXPECT_EQ(s, "\xEB\xF0\xEA") << "with Shift held, Windows-1251 to KOI8-R";
    s = "\x8F\xE0\xA8\xA2\xA5\xE2";  // cp866 "Привет"
    ConvertInPlace(ctDosWin, s, {});
    EXPECT_EQ(Utf8(s), "Привет");
    ConvertInPlace(ctDosWin, s, back);
    EXPECT_EQ(s, "\x8F\xE0\xA8\xA2\xA5\xE2") << "DOS-WIN with Shift converts to the OEM code page";
}

TEST(WholeTextConversions, DecodersAndMarkup) {
    std::string s = "\xEF\xBB\xBF\xD0\x96\xD1\x83\xD0\xBA \xE2\x80\x94 ok";
    ConvertInPlace(ctUtf8, s, {});
    EXPECT_EQ(Utf8(s), "Жук — ok");
    s = "{\\rtf1\\ansi text\\par more}";
    ConvertInPlace(ctRtf, s, {});
    EXPECT_EQ(s, "text\r\nmore");
    s = "<html><body>a &amp; b<br>c</body></html>";
    ConvertInPlace(ctHtml, s, {});
    EXPECT_EQ(s, "a & b\r\nc");
}

TEST(WholeTextConversions, HtmlOfKoiTextIsDecodedWithAutoDecode) {
    // "Привет, как дела у тебя сегодня" in KOI8-R inside HTML.
    std::string koi = Win("Привет, как дела у тебя сегодня? Все хорошо, спасибо.");
    WinToKoi(koi);
    const std::string html = "<html><body>" + koi + "</body></html>";
    TConvertOptions o;
    std::string s = html;
    ConvertInPlace(ctHtml, s, o);
    EXPECT_EQ(Utf8(s), "Привет, как дела у тебя сегодня? Все хорошо, спасибо.");
    o.AutoDecode = false;
    s = html;
    ConvertInPlace(ctHtml, s, o);
    EXPECT_EQ(s, koi);
}

// Regression: units with high byte 0x20 were dropped and Latin-1 letters
// became the Cyrillic letters of the same byte (8-bit Cyrillic stored a byte
// a unit keeps its bytes).
TEST(Ucs2Decoding, PunctuationAndLatinLettersKeepTheirCharacters) {
    const std::string bytes = "\xFF\xFE" + Utf16Le("Привет — мир … “да” café № ™ € ‰ •");
    EXPECT_EQ(Utf8(Ucs2ToAnsi(bytes)), "Привет — мир … “да” caf? № ™ € ‰ •");
    std::string s = bytes;
    ConvertInPlace(ctUcs2, s, {});
    EXPECT_EQ(Utf8(s), "Привет — мир … “да” caf? № ™ € ‰ •");
    EXPECT_EQ(Utf8(Ucs2ToAnsi("\xFF\xFE" + Utf16Le("a\u2002b"))), "a?b") << "punctuation without a byte is shown";
    EXPECT_EQ(Utf8(Ucs2ToAnsi("\xFF\xFE" + Utf16Le("a\u200Bb"))), "ab") << "invisible marks go";
    EXPECT_EQ(Utf8(Ucs2ToAnsi("\xFF\xFE" + Utf16Le("Grüße aus Köln"))), "Gr??e aus K?ln");
    EXPECT_EQ(Utf8(Ucs2ToAnsi("\xFF\xFE" + Utf16Le("«x» ©"))), "«x» ©") << "Latin-1 signs Windows-1251 has";
}

TEST(Ucs2Decoding, RussianTextRoundTripsThroughUtf16) {
    const std::string text = Win("Съешь же ещё этих мягких французских булок, да выпей чаю.");
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : Cp1251ToUtf16(text)) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    EXPECT_EQ(Ucs2ToAnsi(bytes), text);
}

// Regression: little-endian UTF-16 without a mark, mostly box drawing with
// labels, was taken for 8-bit text.
TEST(Utf16Detection, BoxDrawingTablesAreRecognised) {
    const std::string table = Utf16Le(
        "┌──────────┬───────┐\r\n│ Имя      │ Count │\r\n├──────────┼───────┤\r\n│ Иван     │    12 │\r\n"
        "└──────────┴───────┘\r\n▒▒▒░░░ █ done\r\n");
    EXPECT_TRUE(LooksLikeUtf16(table));
    EXPECT_FALSE(LooksLikeUtf16(Win("┌──┐ plain Windows-1251 text, even length!")));
    std::string nul(40, '\0');
    EXPECT_FALSE(LooksLikeUtf16(nul)) << "NUL units are binary data";
}

}  // namespace
}  // namespace tarvex
