#include "app/qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/interface_text.h"
#include "platform/version.h"

namespace tarvex {

TFormAbout::TFormAbout(bool Russian, QWidget* Parent) : QDialog(Parent) {
    setObjectName("FormAbout");
    const auto text = [Russian](const char* Bi) { return QString::fromStdString(Bilingual(Bi, Russian)); };
    setWindowTitle(text("About Tarvex=О программе Tarvex"));
    auto* icon = new QLabel;
    icon->setObjectName("Icon");
    icon->setPixmap(QIcon(":/tarvex/tarvex-256.png").pixmap(96, 96));
    auto* name = new QLabel("<b>Tarvex</b> " + QString(TARVEX_VERSION));
    name->setObjectName("Name");
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    name->setFont(big);
    auto* what = new QLabel(text("Fast Editor for large text files=Быстрый редактор больших текстовых файлов"));
    what->setObjectName("Description");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* words = new QVBoxLayout;
    words->addWidget(name);
    words->addWidget(what);
    words->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(words, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(buttons);
}

}  // namespace tarvex
