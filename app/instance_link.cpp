#include "app/instance_link.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

namespace tarvex {

namespace {
// Requests: "shows <path>" (answer "yes" or "no") and "activate" (the
// request another instance sends with the code 1952), answer "ok".
constexpr char kShows[] = "shows ";
constexpr char kActivate[] = "activate 1952";

QString SameFileKey(const QString& Path) {
    const QFileInfo f(Path);
    const QString canonical = f.canonicalFilePath();
    return canonical.isEmpty() ? f.absoluteFilePath() : canonical;
}
}  // namespace

TInstanceLink::TInstanceLink(std::function<QString()> ShownName, std::function<void()> Activate)
    : FShownName(std::move(ShownName)), FActivate(std::move(Activate)) {
    FServer.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = FServer.nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] { Serve(s); });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (s->canReadLine()) Serve(s);
        }
    });
}

TInstanceLink::~TInstanceLink() {
    FServer.close();
}

QString TInstanceLink::Folder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) base = QDir::tempPath() + "/tarvex-" + QString::number(::getuid());
    const QString dir = base + "/tarvex-instances";
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

bool TInstanceLink::Listen() {
    static int instances = 0;
    FName = Folder() + "/" + QString::number(::getpid()) + "-" + QString::number(instances++);
    QLocalServer::removeServer(FName);  // left by an earlier process with this id
    return FServer.listen(FName);
}

void TInstanceLink::Serve(QLocalSocket* S) {
    while (S->canReadLine()) {
        const QByteArray line = S->readLine().trimmed();
        QByteArray answer = "no\n";
        if (line.startsWith(kShows)) {
            const QString asked =
                QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(static_cast<qsizetype>(sizeof kShows - 1))));
            const QString shown = FShownName();
            if (!shown.isEmpty() && SameFileKey(shown) == SameFileKey(asked)) answer = "yes\n";
        } else if (line == kActivate) {
            answer = "ok\n";
            if (FActivate) FActivate();
        }
        S->write(answer);
        S->flush();
    }
}

QString TInstanceLink::Request(const QString& Peer, const QByteArray& Line, int TimeoutMs) {
    QLocalSocket s;
    s.connectToServer(Peer);
    if (!s.waitForConnected(TimeoutMs)) {
        // Nobody listens there any more: the process has gone.
        if (s.error() == QLocalSocket::ConnectionRefusedError || s.error() == QLocalSocket::ServerNotFoundError)
            QFile::remove(Peer);
        return {};
    }
    s.write(Line);
    s.waitForBytesWritten(TimeoutMs);
    while (!s.canReadLine())
        if (!s.waitForReadyRead(TimeoutMs)) return {};
    const QString answer = QString::fromUtf8(s.readLine().trimmed());
    s.disconnectFromServer();
    return answer;
}

QString TInstanceLink::FindShowing(const QString& Path, int TimeoutMs) {
    const QDir dir(Folder());
    const QByteArray ask = QByteArray(kShows) + Path.toUtf8().toPercentEncoding() + "\n";
    for (const QString& entry : dir.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString peer = dir.absoluteFilePath(entry);
        if (peer == FName) continue;
        if (Request(peer, ask, TimeoutMs) == "yes") return peer;
    }
    return {};
}

bool TInstanceLink::Activate(const QString& Peer, int TimeoutMs) {
    return Request(Peer, QByteArray(kActivate) + "\n", TimeoutMs) == "ok";
}

}  // namespace tarvex
