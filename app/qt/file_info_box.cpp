#include "app/qt/file_info_box.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/qt_prompts.h"
#include "platform/interface_text.h"

namespace tarvex {

namespace {

QString Q(const std::string& Utf8) { return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size())); }

QString Permissions(const QFileInfo& F) {
    const QFile::Permissions p = F.permissions();
    QString s;
    const struct {
        QFile::Permission Bit;
        char C;
    } bits[] = {{QFile::ReadOwner, 'r'}, {QFile::WriteOwner, 'w'}, {QFile::ExeOwner, 'x'},
                {QFile::ReadGroup, 'r'}, {QFile::WriteGroup, 'w'}, {QFile::ExeGroup, 'x'},
                {QFile::ReadOther, 'r'}, {QFile::WriteOther, 'w'}, {QFile::ExeOther, 'x'}};
    for (const auto& b : bits) s += p.testFlag(b.Bit) ? QChar(b.C) : QChar('-');
    return s + "  " + F.owner() + ":" + F.group();
}

QString Date(const QDateTime& D) {
    return D.isValid() ? D.toLocalTime().toString("dd.MM.yyyy HH:mm:ss") : QString("-");
}

// What the loader decides about the file, without loading it.
QString Detected(const std::string& Path, const TLoadSettings& Settings) {
    try {
        TFileStream s(Path, TFileStream::fmOpenRead);
        TFormatFlags f = NameFlags(Path, Settings);
        ProbeContent(s, f, Settings);
        return Q(FormatName(f) + ", " + EncodingName(f));
    } catch (const std::exception& e) {
        return Q(e.what());
    }
}

}  // namespace

std::vector<std::pair<QString, QString>> FileInfoRows(const std::string& Path, const TLoadSettings& Settings,
                                                      bool Russian) {
    const QFileInfo f(FromFileSystem(Path));
    const auto t = [Russian](const char* Bi) { return Q(Bilingual(Bi, Russian)); };
    const qint64 size = f.size();
    return {
        {t("Name=Имя"), f.fileName()},
        {t("Folder=Папка"), f.absolutePath()},
        {t("Size=Размер"), Q(FormatCount(size)) + t(" bytes= байт")},
        {t("Modified=Изменён"), Date(f.lastModified())},
        {t("Accessed=Открыт"), Date(f.lastRead())},
        {t("Created=Создан"), Date(f.birthTime())},
        {t("Permissions=Права"), Permissions(f)},
        {t("Format=Формат"), Detected(Path, Settings)},
    };
}

TFileInfoBox::TFileInfoBox(QWidget* Parent, const std::string& Path, const TLoadSettings& Settings, bool Russian)
    : QDialog(Parent) {
    setObjectName("FileInfoBox");
    setWindowTitle(Q(Bilingual("File properties=Свойства файла", Russian)));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& [label, value] : FileInfoRows(Path, Settings, Russian)) {
        auto* v = new QLabel(value, this);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label + ":", v);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(Q(Bilingual("Close=Закрыть", Russian)));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace tarvex
