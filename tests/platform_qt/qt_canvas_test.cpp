#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <random>

#include "platform/qt_canvas.h"
#include "platform/qt_text.h"

namespace tarvex {
namespace {

std::string RandomText(std::mt19937& Rng) {
    static const std::string latin = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:-()!?'\"";
    std::string s;
    const int n = 1 + static_cast<int>(Rng() % 60);
    for (int i = 0; i < n; ++i) {
        if (Rng() % 2)
            s.push_back(latin[Rng() % latin.size()]);
        else
            s.push_back(static_cast<char>(0xC0 + Rng() % 64));  // Cyrillic letters
    }
    return s;
}

// The layout adds up per-character advances; that must be exactly what Qt
// draws for the whole run, in every bundled font and style.
TEST(QtCanvas, RunAdvanceEqualsTheSumOfCharacterAdvances) {
    for (const char* family : {"Liberation Sans", "Liberation Mono", "DejaVu Sans", "Liberation Serif"}) {
        for (int size : {8, 10, 12, 15}) {
            for (std::uint8_t style : {0, 1, 2, 3}) {
                TQtCanvas c;
                c.SelectFont(TFontSpec{family, size, style, 0});
                ASSERT_TRUE(QFontInfo(c.QtFont()).family().startsWith(QString::fromLatin1(family).left(8)))
                    << family << " is not installed";
                const QFontMetrics fm(c.QtFont());
                std::mt19937 rng(size * 10 + style);
                for (int i = 0; i < 500; ++i) {
                    const std::string s = RandomText(rng);
                    ASSERT_EQ(c.TextExtent(s), fm.horizontalAdvance(ToQString(s)))
                        << family << " " << size << " style " << int(style) << " " << s;
                }
            }
        }
    }
}

TEST(QtCanvas, FontsAreCachedPerSpec) {
    TQtCanvas c;
    c.SelectFont(TFontSpec{"DejaVu Sans", 10, 0, 0});
    const int* plain = c.Advances();
    c.SelectFont(TFontSpec{"DejaVu Sans", 10, fsBold, 0});
    EXPECT_NE(c.Advances(), plain);
    EXPECT_GE(c.TextExtent("WWW"), 3 * plain[static_cast<unsigned char>('W')]);
    c.SelectFont(TFontSpec{"DejaVu Sans", 10, 0, 0});
    EXPECT_EQ(c.Advances(), plain);
    EXPECT_GT(c.Metrics().Height, 0);
}

TEST(QtText, Cp1251RoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromQString(ToQString(all)), all);
    EXPECT_EQ(ToQString("\xCF\xF0\xE8\xE2\xE5\xF2"), QString::fromUtf8("Привет"));
    EXPECT_EQ(FromQString(QString::fromUtf8("日本")), "??");
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    // Tests never need a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
