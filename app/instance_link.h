#pragma once
// The link between running instances of the program, for the already-open
// check: each instance listens on a local socket in a folder only its user
// can enter; a starting instance asks the others whether they show a file,
// and asks the one that does to come to the front.
//
// Nothing a peer does can hold an instance up or make it grow: a request is
// at most kMaxMessage bytes and a whole exchange kDeadlineMs long, peers are
// asked all at once, and the listening socket survives a shortage of file
// descriptors. Without a folder that is provably this user's, the check is
// off for the run (said once on standard error).

#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace tarvex {

class TInstanceLink : public QObject {
public:
    static constexpr int kDeadlineMs = 500;
    static constexpr std::size_t kMaxMessage = 4096;

    // ShownName: the file this instance shows (empty: none). Activate: bring
    // this instance's window to the front.
    TInstanceLink(std::function<QString()> ShownName, std::function<void()> Activate);
    ~TInstanceLink() override;

    // Starts answering other instances; false when no socket could be made
    // (no private folder among them).
    bool Listen();
    // The socket of another instance that shows Path (compared as the same
    // file on disk), or empty. All instances are asked at once; one that has
    // not answered when TimeoutMs is over counts as no.
    QString FindShowing(const QString& Path, int TimeoutMs = kDeadlineMs);
    // Asks that instance to come to the front.
    bool Activate(const QString& Peer, int TimeoutMs = kDeadlineMs);
    // This instance's socket once it listens.
    const QString& SocketName() const { return FName; }

    // The per-user folder of the sockets, made (mode 0700) when missing;
    // empty when there is none this user provably owns: the check is off then.
    static QString Folder();

private:
    struct TConnection;
    void AcceptPending();
    void ReadFrom(TConnection* C);
    void Drop(TConnection* C);
    QByteArray Answer(const QByteArray& Line);

    std::function<QString()> FShownName;
    std::function<void()> FActivate;
    int FListenFd = -1;
    QSocketNotifier* FAcceptNotifier = nullptr;
    std::vector<std::unique_ptr<TConnection>> FConnections;
    QString FName;
};

}  // namespace tarvex
