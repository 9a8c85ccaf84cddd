#pragma once
// Windows-1251 text to and from Qt strings.

#include <QString>
#include <string>
#include <string_view>

namespace tarvex {

QString ToQString(std::string_view Cp1251);
// Characters without a Windows-1251 byte become '?'.
std::string FromQString(const QString& S);

}  // namespace tarvex
