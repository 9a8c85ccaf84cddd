#pragma once
// The link between running instances of the program, for the already-open
// check: each instance listens on a local socket in a per-user folder; a
// starting instance asks the others whether they show a file, and asks the
// one that does to come to the front.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

namespace tarvex {

class TInstanceLink : public QObject {
public:
    // ShownName: the file this instance shows (empty: none). Activate: bring
    // this instance's window to the front.
    TInstanceLink(std::function<QString()> ShownName, std::function<void()> Activate);
    ~TInstanceLink() override;

    // Starts answering other instances; false when no socket could be made.
    bool Listen();
    // The socket of another instance that shows Path (compared as the same
    // file on disk), or empty. An instance that does not answer in time counts as no.
    QString FindShowing(const QString& Path, int TimeoutMs = 1500);
    // Asks that instance to come to the front.
    bool Activate(const QString& Peer, int TimeoutMs = 1500);

    // The per-user folder of the sockets.
    static QString Folder();

private:
    void Serve(class QLocalSocket* S);
    QString Request(const QString& Peer, const QByteArray& Line, int TimeoutMs);

    std::function<QString()> FShownName;
    std::function<void()> FActivate;
    QLocalServer FServer;
    QString FName;
};

}  // namespace tarvex
