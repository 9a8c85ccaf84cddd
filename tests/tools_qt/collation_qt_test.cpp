// Our collation orders words as QCollator does for the same language with
// letter case ignored: Qt programs and Tarvex sort alike.

#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <vector>

#include "platform/qt_text.h"
#include "tools/collation.h"

namespace tarvex {
namespace {

std::vector<std::string> Words() {
    std::vector<std::string> w;
    for (const char* u8 : {"ёж", "еж", "Ёлка", "елка", "ель", "Ель", "жук", "Жук", "яблоко", "Яблоко", "apple",
                           "Apple", "APPLE", "zebra", "Zebra", "éclair", "eclair", "a-b", "a b", "ab", "a=b",
                           "a_b", "10", "9", "1", "№5", "«кавычки»", "— тире", "Щука", "шуба", "ъ", "ь", "Ы",
                           "ä", "a", "", " ", "x1", "x10", "x2", "Ёж=1", "еж=2", "Mixed Смесь", "Смесь Mixed"})
        w.push_back(FromQString(QString::fromUtf8(u8)));
    return w;
}

void CheckAgainstQt(bool Russian) {
    const TCollation ours(Russian);
    QCollator qt(QLocale(Russian ? QLocale::Russian : QLocale::English));
    qt.setCaseSensitivity(Qt::CaseInsensitive);
    const std::vector<std::string> words = Words();
    for (const std::string& a : words)
        for (const std::string& b : words) {
            const int q = qt.compare(ToQString(a), ToQString(b));
            const int o = ours.Compare(a, b);
            EXPECT_EQ(q < 0, o < 0) << ToQString(a).toStdString() << " / " << ToQString(b).toStdString();
            EXPECT_EQ(q == 0, o == 0) << ToQString(a).toStdString() << " / " << ToQString(b).toStdString();
            const int k = ours.SortKey(a).compare(ours.SortKey(b));
            EXPECT_EQ(k < 0, q < 0) << ToQString(a).toStdString() << " / " << ToQString(b).toStdString();
        }
}

TEST(CollationAgainstQt, Russian) { CheckAgainstQt(true); }
TEST(CollationAgainstQt, English) { CheckAgainstQt(false); }

}  // namespace
}  // namespace tarvex
