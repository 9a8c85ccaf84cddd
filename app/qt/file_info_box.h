#pragma once
// Info file: a small box with a file's properties: where it is, its size,
// dates, owner and permissions, and what opening it in the editor decides
// about its format and encoding.

#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "app/loader.h"

namespace tarvex {

// The rows of the box as (label, value) in the interface language.
std::vector<std::pair<QString, QString>> FileInfoRows(const std::string& Path, const TLoadSettings& Settings,
                                                      bool Russian);

class TFileInfoBox : public QDialog {
public:
    TFileInfoBox(QWidget* Parent, const std::string& Path, const TLoadSettings& Settings, bool Russian);
};

}  // namespace tarvex
