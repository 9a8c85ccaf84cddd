#include "platform/qt_text.h"

#include "platform/codepage.h"

namespace tarvex {

QString ToQString(std::string_view Cp1251) {
    QString s(static_cast<qsizetype>(Cp1251.size()), Qt::Uninitialized);
    QChar* d = s.data();
    for (std::size_t i = 0; i < Cp1251.size(); ++i) d[i] = QChar(Cp1251ToUnicode(static_cast<unsigned char>(Cp1251[i])));
    return s;
}

std::string FromQString(const QString& S) {
    return Utf16ToCp1251(std::u16string_view(reinterpret_cast<const char16_t*>(S.utf16()), static_cast<std::size_t>(S.size())));
}

}  // namespace tarvex
