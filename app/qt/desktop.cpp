#include "app/qt/desktop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>

namespace tarvex {

namespace {

bool ShowFolderOf(const QString& Path) {
    if (ShowItemsOverDBus(Path)) return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(Path).absolutePath()));
}

}  // namespace

bool ShowItemsOverDBus(const QString& Path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) return false;
    const QString service = "org.freedesktop.FileManager1";
    if (!bus.interface()->isServiceRegistered(service).value()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, "/org/freedesktop/FileManager1", service, "ShowItems");
    call << QStringList{QUrl::fromLocalFile(QFileInfo(Path).absoluteFilePath()).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

TDesktop& Desktop() {
    static TDesktop d{
        [](const QUrl& U) { return QDesktopServices::openUrl(U); },
        ShowFolderOf,
        [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier); },
    };
    return d;
}

}  // namespace tarvex
