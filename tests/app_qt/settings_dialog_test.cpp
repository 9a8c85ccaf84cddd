// The settings dialog driven through its controls: number boxes, the
// compress coupling, the page keys, OK and Cancel, and OK reaching the editor.

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

#include "app/qt/about_dialog.h"
#include "app/qt/settings_dialog.h"
#include "platform/version.h"
#include "tests/app_qt/window_fixture.h"

namespace tarvex {
namespace {

void Ok(QDialog& D) { D.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); }

TEST(FormSet, NumberBoxesTakeDigitsOnly) {
    TSettings s;
    TFormSet f(s, nullptr);
    f.show();
    auto* box = f.findChild<QLineEdit*>("Ed");
    ASSERT_NE(box, nullptr);
    box->clear();
    QTest::keyClicks(box, "1a2b");
    EXPECT_EQ(box->text(), "12") << "letters are not typed";
    box->setText("12x");  // a paste
    EXPECT_EQ(box->text(), "") << "a text that is not a number clears the box";
    QTest::keyClicks(box, "500");
    Ok(f);
    EXPECT_EQ(s.MaxFiles, 100);
}

TEST(FormSet, CompressGroupAndPagesAndCancel) {
    TSettings s;
    s.Compress = 0;
    TFormSet f(s, [](const std::string& P) { return "sample of " + P; });
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto* spaces = f.findChild<QCheckBox*>("ChSpaces");
    auto* merge = f.findChild<QCheckBox*>("ChMerge");
    merge->click();
    EXPECT_TRUE(spaces->isChecked()) << "merging paragraphs collapses spaces too";
    spaces->click();
    EXPECT_FALSE(merge->isChecked());
    QTest::keyClick(&f, Qt::Key_F8);
    EXPECT_EQ(f.Page(), 3);
    auto* date = f.findChild<QLineEdit*>("EdDate");
    date->clear();
    QTest::keyClicks(date, "yyyy");
    EXPECT_EQ(f.findChild<QLabel*>("LabTest")->text(), "sample of yyyy") << "the sample follows every change";
    f.findChild<QPushButton*>("ButSpell")->click();
    EXPECT_EQ(f.Page(), 4);
    f.reject();
    EXPECT_EQ(s.Compress, 0) << "Cancel changes nothing";
    EXPECT_EQ(s.DateIns, kDefaultDateIns);
}

TEST_F(MainWindow, SetsDialogAppliesAtOnce) {
    Start();
    W->Memo().SetTextBuf("a\tb");
    WhenModal<TFormSet>([](TFormSet& F) {
        auto* tabs = F.findChild<QLineEdit*>("EdTabs");
        tabs->setText("4");
        F.findChild<QCheckBox*>("ChSkip")->setChecked(true);
        Ok(F);
    });
    W->Action("mSets")->trigger();
    EXPECT_EQ(M().TabStops(), 4);
    EXPECT_EQ(M().NullReplacement, ' ');
    EXPECT_TRUE(W->Settings().SkipNull);
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

TEST_F(MainWindow, AboutShowsTheIconNameAndVersion) {
    Start();
    QString name, what;
    bool icon = false;
    WhenModal<TFormAbout>([&](TFormAbout& A) {
        name = A.findChild<QLabel*>("Name")->text();
        what = A.findChild<QLabel*>("Description")->text();
        icon = !A.findChild<QLabel*>("Icon")->pixmap().isNull();
        Ok(A);
    });
    W->Action("mAbout")->trigger();
    EXPECT_TRUE(name.contains(TARVEX_VERSION)) << name.toStdString();
    EXPECT_EQ(what, "Fast Editor for large text files");
    EXPECT_TRUE(icon);
}

}  // namespace
}  // namespace tarvex
