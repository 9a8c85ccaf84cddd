#pragma once
// Captions of the tools' windows ("English=Russian" texts in the interface
// language) and file names as Qt strings.

#include <QString>
#include <string>
#include <string_view>

#include "platform/interface_text.h"

namespace tarvex {

inline QString Tr(std::string_view EnRu, bool Russian) { return QString::fromStdString(Bilingual(EnRu, Russian)); }

// File names are in the system's encoding.
inline QString FromFileName(const std::string& Name) {
    return QString::fromLocal8Bit(Name.data(), static_cast<qsizetype>(Name.size()));
}
inline std::string ToFileName(const QString& Name) { return Name.toLocal8Bit().toStdString(); }

}  // namespace tarvex
