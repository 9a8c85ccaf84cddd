#pragma once
// A box asking for one line of text (Go to line): a caption, a prompt, an
// edit field pre-filled and selected, OK and Cancel in the interface language.

#include <QDialog>

class QLineEdit;
class QLabel;

namespace tarvex {

class TInputBox : public QDialog {
public:
    TInputBox(QWidget* Parent, const QString& Caption, const QString& Prompt, const QString& Value, bool Russian);
    QString Value() const;
    QLineEdit* Edit() const { return FEdit; }

private:
    QLabel* FPrompt;
    QLineEdit* FEdit;
};

}  // namespace tarvex
