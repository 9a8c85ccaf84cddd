#include "app/qt/qt_prompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/qt/input_box.h"
#include "platform/interface_text.h"

namespace tarvex {

namespace {

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }

// Buttons speak the interface language whatever translations Qt has.
void SetButtonTexts(QMessageBox& B, bool Russian) {
    const struct {
        QMessageBox::StandardButton Button;
        const char* Text;
    } texts[] = {{QMessageBox::Yes, "&Yes=&Да"}, {QMessageBox::No, "&No=&Нет"}, {QMessageBox::Cancel, "Cancel=Отмена"},
                 {QMessageBox::Ok, "OK=OK"}};
    for (const auto& t : texts)
        if (QAbstractButton* b = B.button(t.Button)) b->setText(Q(Bilingual(t.Text, Russian)));
}

// The 1-based index of the filter the dialog reports. With the details
// hidden it reports the caption alone ("UTF-8 files (*.txt)"), which is
// what tells apart two filters of the same patterns.
int FilterIndex(const QStringList& Filters, const QString& Selected) {
    for (int i = 0; i < Filters.size(); ++i)
        if (Filters[i] == Selected || Filters[i].startsWith(Selected + " (")) return i + 1;
    return 1;
}

}  // namespace

QString QtNameFilter(const TFileFilter& F) {
    QStringList pats;
    for (const QString& p : QString(F.Patterns).split(';')) {
        pats << p.toLower();
        if (p.toUpper() != p.toLower()) pats << p.toUpper();
    }
    return QString(F.Caption) + " (" + pats.join(' ') + ")";
}

QString FromFileSystem(const std::string& Name) { return QFile::decodeName(QByteArray::fromStdString(Name)); }
std::string ToFileSystem(const QString& Name) { return QFile::encodeName(Name).toStdString(); }

TQtPrompts::TQtPrompts(QWidget* Parent, std::function<bool()> Russian, std::function<void(const QString&)> ShowProgress)
    : FParent(Parent), FRussian(std::move(Russian)), FShowProgress(std::move(ShowProgress)) {}

TPrompts::TAnswer TQtPrompts::Ask(const std::string& Text, TChoice Choice) {
    QMessageBox b(QMessageBox::Question, Title, Q(Text),
                  Choice == pcYesNo ? QMessageBox::Yes | QMessageBox::No
                                    : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  FParent);
    SetButtonTexts(b, FRussian());
    // A busy cursor must not hide that the program waits for an answer.
    const bool busy = FBusy > 0;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int r = b.exec();
    if (busy) QApplication::restoreOverrideCursor();
    if (r == QMessageBox::Yes) return paYes;
    if (r == QMessageBox::No) return paNo;
    return paCancel;
}

void TQtPrompts::ShowError(const std::string& Text) {
    QMessageBox b(QMessageBox::Warning, Title, Q(Text), QMessageBox::Ok, FParent);
    SetButtonTexts(b, FRussian());
    b.exec();
}

void TQtPrompts::ShowMessage(const std::string& Text) {
    QMessageBox b(QMessageBox::Information, Title, Q(Text), QMessageBox::Ok, FParent);
    SetButtonTexts(b, FRussian());
    b.exec();
}

std::string TQtPrompts::AskOpenFileName(const std::string& Folder, int& Filter) {
    QFileDialog d(FParent);
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const TFileFilter& f : OpenFilters()) filters << QtNameFilter(f);
    d.setNameFilters(filters);
    d.setDefaultSuffix("TXT");
    if (Filter >= 1 && Filter <= filters.size()) d.selectNameFilter(filters[Filter - 1]);
    if (!Folder.empty()) d.setDirectory(FromFileSystem(Folder));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    Filter = FilterIndex(filters, d.selectedNameFilter());
    return ToFileSystem(d.selectedFiles().front());
}

std::string TQtPrompts::AskSaveFileName(const std::string& Proposed, int& Filter) {
    QFileDialog d(FParent);
    // Qt's own dialog: it reports the filter picked and speaks the interface language.
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const TSaveFilter& f : SaveFilters()) filters << QtNameFilter(f.Filter);
    d.setNameFilters(filters);
    d.setDefaultSuffix("txt");
    d.selectFile(FromFileSystem(Proposed));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    Filter = FilterIndex(filters, d.selectedNameFilter());
    return ToFileSystem(d.selectedFiles().front());
}

bool TQtPrompts::AskText(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    TInputBox box(FParent, Q(Caption), Q(Prompt), Q(Value), FRussian());
    if (box.exec() != QDialog::Accepted) return false;
    Value = box.Value().toStdString();
    return true;
}

void TQtPrompts::Progress(const std::string& Text) {
    if (FShowProgress) FShowProgress(Q(Text));
}

void TQtPrompts::Busy(bool On) {
    if (On) {
        if (FBusy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (FBusy > 0 && --FBusy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace tarvex
