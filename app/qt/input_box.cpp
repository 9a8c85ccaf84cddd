#include "app/qt/input_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/interface_text.h"

namespace tarvex {

TInputBox::TInputBox(QWidget* Parent, const QString& Caption, const QString& Prompt, const QString& Value,
                     bool Russian)
    : QDialog(Parent) {
    setObjectName("InputBox");
    setWindowTitle(Caption);
    auto* layout = new QVBoxLayout(this);
    FPrompt = new QLabel(Prompt, this);
    FEdit = new QLineEdit(Value, this);
    FEdit->selectAll();
    FPrompt->setBuddy(FEdit);
    layout->addWidget(FPrompt);
    layout->addWidget(FEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(Bilingual("OK=OK", Russian)));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromStdString(Bilingual("Cancel=Отмена", Russian)));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setMinimumWidth(qMax(300, fontMetrics().horizontalAdvance(Caption) + 80));
}

QString TInputBox::Value() const { return FEdit->text(); }

}  // namespace tarvex
