#include "output/qt/rtf_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace tarvex {

void TQtFormattedClipboard::SetFormattedText(const std::string& Format, const std::string& Data,
                                             const std::u16string& PlainText) {
    auto* mime = new QMimeData;
    mime->setData(QString::fromStdString(Format), QByteArray(Data.data(), static_cast<qsizetype>(Data.size())));
    mime->setText(QString::fromStdU16String(PlainText));
    QGuiApplication::clipboard()->setMimeData(mime);
}

}  // namespace tarvex
