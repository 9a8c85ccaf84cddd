#pragma once
// TFormSet: the settings dialog of Options, Sets... Five pages chosen by a
// column of page buttons (F5..F9); OK stores every value by the rules of
// StoreSets, Cancel nothing (but a spell folder already chosen).

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "app/sets_values.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QStackedWidget;

namespace tarvex {

class TFormSet : public QDialog {
public:
    // Settings: what the dialog shows and, on OK, changes. FormatDate: the
    // date-time pattern formatter of Insert Date Time, for the live sample.
    TFormSet(TSettings& Settings, std::function<std::string(const std::string& Pattern)> FormatDate,
             QWidget* Parent = nullptr);
    // The page shown (0..4).
    int Page() const;
    void ShowPage(int Page);
    // The values the controls hold now.
    TSetsValues Values() const;

protected:
    void accept() override;
    bool eventFilter(QObject* O, QEvent* E) override;

private:
    QCheckBox* Check(const char* Name, const char* Caption, bool Value);
    QLineEdit* Box(const char* Name, const std::string& Value, bool Number);
    QString Text(const char* Bilingual) const;
    void ChooseSpellDir();

    TSettings& FSettings;
    std::function<std::string(const std::string&)> FFormatDate;
    QButtonGroup* FPages = nullptr;
    QStackedWidget* FStack = nullptr;
    std::map<std::string, QCheckBox*> FChecks;
    std::map<std::string, QLineEdit*> FBoxes;
    QLabel* FDateSample = nullptr;
};

}  // namespace tarvex
