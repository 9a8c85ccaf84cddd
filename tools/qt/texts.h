#pragma once
// Captions of the tools' windows: every text is "English=Russian" and the
// part of the interface language is shown.

#include <QString>
#include <string>
#include <string_view>

namespace tarvex {

// The English or Russian part of a UTF-8 "English=Russian" text; a text
// without "=" is both.
inline QString Tr(std::string_view EnRu, bool Russian) {
    const std::size_t eq = EnRu.find('=');
    if (eq == std::string_view::npos) return QString::fromUtf8(EnRu.data(), static_cast<qsizetype>(EnRu.size()));
    const std::string_view part = Russian ? EnRu.substr(eq + 1) : EnRu.substr(0, eq);
    return QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
}

// File names (in the system's encoding) as Qt strings and back.
inline QString FromFileName(const std::string& Name) { return QString::fromLocal8Bit(Name.data(), static_cast<qsizetype>(Name.size())); }
inline std::string ToFileName(const QString& Name) { return Name.toLocal8Bit().toStdString(); }

}  // namespace tarvex
