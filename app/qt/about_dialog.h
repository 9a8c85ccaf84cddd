#pragma once
// Help, About: the program's icon, name, version and what it is.

#include <QDialog>

namespace tarvex {

class TFormAbout : public QDialog {
public:
    explicit TFormAbout(bool Russian, QWidget* Parent = nullptr);
};

}  // namespace tarvex
