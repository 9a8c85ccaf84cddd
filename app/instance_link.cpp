#include "app/instance_link.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace tarvex {

namespace {

// Requests: "shows <path>" (answer "yes" or "no") and "activate" (the
// request another instance sends with the code 1952), answer "ok".
constexpr char kShows[] = "shows ";
constexpr char kActivate[] = "activate 1952";
// Connections served at once; more are closed as they come.
constexpr std::size_t kMaxConnections = 32;

QString SameFileKey(const QString& Path) {
    const QFileInfo f(Path);
    const QString canonical = f.canonicalFilePath();
    return canonical.isEmpty() ? f.absoluteFilePath() : canonical;
}

// Makes Dir (mode 0700) when missing and checks that it is this user's own
// folder: no symbolic link, owned by this user, closed to everyone else
// (FixMode: a folder of ours with wider permissions is closed first).
// Returns what is wrong, or "" when it is fine.
std::string MakePrivate(const std::string& Dir, bool FixMode) {
    if (::mkdir(Dir.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
    struct stat st {};
    if (::lstat(Dir.c_str(), &st) != 0) return std::strerror(errno);
    if (S_ISLNK(st.st_mode)) return "it is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return "it is not a folder";
    if (st.st_uid != ::geteuid()) return "it belongs to another user";
    if ((st.st_mode & 077) != 0 && !(FixMode && ::chmod(Dir.c_str(), 0700) == 0)) return "others may enter it";
    return {};
}

void WarnOnce(const std::string& Dir, const std::string& Why) {
    static bool warned = false;
    if (warned) return;
    warned = true;
    std::fprintf(stderr, "tarvex: no private folder for the instance sockets (%s: %s); the already-open check is off\n",
                 Dir.c_str(), Why.c_str());
}

bool SocketAddress(const std::string& Path, sockaddr_un& A) {
    A = {};
    A.sun_family = AF_UNIX;
    if (Path.size() >= sizeof A.sun_path) return false;
    std::memcpy(A.sun_path, Path.data(), Path.size());
    return true;
}

// A socket file another instance of this user may listen on.
bool IsOurSocket(const std::string& Path) {
    struct stat st {};
    return ::lstat(Path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid();
}

using Clock = std::chrono::steady_clock;

// One request to a peer, in flight.
struct TAsk {
    explicit TAsk(std::string P) : Peer(std::move(P)) {}
    std::string Peer;
    int Fd = -1;
    std::string Reply;
    bool Done = false;
};

// Sends Line to every peer at once and collects their one-line answers until
// each has answered or Deadline; Stop may end the wait early.
void AskAll(std::vector<TAsk>& Asks, const QByteArray& Line, Clock::time_point Deadline,
            const std::function<bool(const TAsk&)>& Stop) {
    for (TAsk& a : Asks) {
        sockaddr_un addr;
        a.Done = true;
        if (!SocketAddress(a.Peer, addr)) continue;
        a.Fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (a.Fd < 0) continue;
        if (::connect(a.Fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            // Nobody listens there any more: the process has gone.
            if (errno == ECONNREFUSED || errno == ENOENT) ::unlink(a.Peer.c_str());
            continue;  // EAGAIN: its queue is full, as good as no answer
        }
        // A line this short goes into an empty socket buffer whole.
        if (::send(a.Fd, Line.constData(), static_cast<std::size_t>(Line.size()), MSG_NOSIGNAL) != Line.size()) continue;
        a.Done = false;
    }
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<TAsk*> open;
        for (TAsk& a : Asks)
            if (!a.Done) {
                fds.push_back({a.Fd, POLLIN, 0});
                open.push_back(&a);
            }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - Clock::now()).count();
        if (fds.empty() || left <= 0) break;
        if (::poll(fds.data(), fds.size(), static_cast<int>(left)) < 0 && errno != EINTR) break;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0) continue;
            TAsk& a = *open[i];
            char buf[256];
            const ssize_t n = ::recv(a.Fd, buf, sizeof buf, 0);
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n <= 0) {
                a.Done = true;
                a.Reply.clear();
                continue;
            }
            a.Reply.append(buf, static_cast<std::size_t>(n));
            const std::size_t nl = a.Reply.find('\n');
            if (nl != std::string::npos) {
                a.Reply.resize(nl);
                a.Done = true;
                if (Stop && Stop(a)) return;
            } else if (a.Reply.size() > TInstanceLink::kMaxMessage) {
                a.Done = true;
                a.Reply.clear();
            }
        }
    }
    for (TAsk& a : Asks)
        if (!a.Done) a.Reply.clear();
}

void CloseAll(std::vector<TAsk>& Asks) {
    for (TAsk& a : Asks)
        if (a.Fd >= 0) ::close(a.Fd);
}

}  // namespace

struct TInstanceLink::TConnection {
    int Fd = -1;
    QSocketNotifier* Notifier = nullptr;
    QTimer* Deadline = nullptr;
    QByteArray Buffer;
};

TInstanceLink::TInstanceLink(std::function<QString()> ShownName, std::function<void()> Activate)
    : FShownName(std::move(ShownName)), FActivate(std::move(Activate)) {}

TInstanceLink::~TInstanceLink() {
    while (!FConnections.empty()) Drop(FConnections.back().get());
    if (FListenFd >= 0) {
        delete FAcceptNotifier;  // before its descriptor goes
        ::close(FListenFd);
        ::unlink(QFile::encodeName(FName).constData());
    }
}

QString TInstanceLink::Folder() {
    std::string base = QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)).toStdString();
    bool ownBase = false;
    if (base.empty()) {
        // The temporary folder is everyone's: the folder made in it must prove to be ours.
        base = QFile::encodeName(QDir::tempPath()).toStdString() + "/tarvex-" + std::to_string(::geteuid());
        ownBase = true;
    }
    if (const std::string why = MakePrivate(base, ownBase); !why.empty()) {
        WarnOnce(base, why);
        return {};
    }
    const std::string dir = base + "/tarvex-instances";
    if (const std::string why = MakePrivate(dir, true); !why.empty()) {
        WarnOnce(dir, why);
        return {};
    }
    return QFile::decodeName(QByteArray::fromStdString(dir));
}

bool TInstanceLink::Listen() {
    if (FListenFd >= 0) return true;
    const QString folder = Folder();
    if (folder.isEmpty()) return false;
    static int instances = 0;
    FName = folder + "/" + QString::number(::getpid()) + "-" + QString::number(instances++);
    const std::string path = QFile::encodeName(FName).toStdString();
    sockaddr_un addr;
    if (!SocketAddress(path, addr)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    ::unlink(path.c_str());  // left by an earlier process with this id
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return false;
    }
    FListenFd = fd;
    FAcceptNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(FAcceptNotifier, &QSocketNotifier::activated, this, [this] { AcceptPending(); });
    return true;
}

void TInstanceLink::AcceptPending() {
    for (;;) {
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // The connection waits in the queue; listening goes on once descriptors are free again.
                FAcceptNotifier->setEnabled(false);
                QTimer::singleShot(200, this, [this] { FAcceptNotifier->setEnabled(true); });
            }
            return;
        }
        if (FConnections.size() >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        auto c = std::make_unique<TConnection>();
        TConnection* raw = c.get();
        c->Fd = fd;
        c->Notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        c->Deadline = new QTimer(this);
        c->Deadline->setSingleShot(true);
        connect(c->Notifier, &QSocketNotifier::activated, this, [this, raw] { ReadFrom(raw); });
        // A peer that keeps the line open without finishing it is dropped.
        connect(c->Deadline, &QTimer::timeout, this, [this, raw] { Drop(raw); });
        c->Deadline->start(kDeadlineMs);
        FConnections.push_back(std::move(c));
    }
}

void TInstanceLink::ReadFrom(TConnection* C) {
    char buf[1024];
    const ssize_t n = ::recv(C->Fd, buf, sizeof buf, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) return Drop(C);
    C->Buffer.append(buf, static_cast<qsizetype>(n));
    const qsizetype nl = C->Buffer.indexOf('\n');
    if (nl < 0) {
        if (static_cast<std::size_t>(C->Buffer.size()) > kMaxMessage) Drop(C);
        return;
    }
    // One request a connection.
    const QByteArray answer = Answer(C->Buffer.left(nl).trimmed());
    ::send(C->Fd, answer.constData(), static_cast<std::size_t>(answer.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    Drop(C);
}

void TInstanceLink::Drop(TConnection* C) {
    const auto it = std::find_if(FConnections.begin(), FConnections.end(), [C](const auto& p) { return p.get() == C; });
    if (it == FConnections.end()) return;
    // Called from their own signals: the notifier and the timer go once those return.
    C->Notifier->setEnabled(false);
    C->Notifier->deleteLater();
    C->Deadline->stop();
    C->Deadline->deleteLater();
    ::close(C->Fd);
    FConnections.erase(it);
}

QByteArray TInstanceLink::Answer(const QByteArray& Line) {
    if (Line.startsWith(kShows)) {
        const QString asked =
            QString::fromUtf8(QByteArray::fromPercentEncoding(Line.mid(static_cast<qsizetype>(sizeof kShows - 1))));
        const QString shown = FShownName ? FShownName() : QString();
        return !shown.isEmpty() && SameFileKey(shown) == SameFileKey(asked) ? "yes\n" : "no\n";
    }
    if (Line == kActivate) {
        if (FActivate) FActivate();
        return "ok\n";
    }
    return "no\n";
}

QString TInstanceLink::FindShowing(const QString& Path, int TimeoutMs) {
    const QString folder = Folder();
    if (folder.isEmpty()) return {};
    const std::string dir = QFile::encodeName(folder).toStdString();
    const std::string self = QFile::encodeName(FName).toStdString();
    std::vector<TAsk> asks;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string peer = dir + "/" + e->d_name;
            if (e->d_name[0] == '.' || peer == self || !IsOurSocket(peer)) continue;
            asks.emplace_back(peer);
        }
        ::closedir(d);
    }
    const QByteArray ask = QByteArray(kShows) + Path.toUtf8().toPercentEncoding() + "\n";
    QString found;
    AskAll(asks, ask, Clock::now() + std::chrono::milliseconds(TimeoutMs), [&](const TAsk& A) {
        if (A.Reply != "yes") return false;
        found = QFile::decodeName(QByteArray::fromStdString(A.Peer));
        return true;
    });
    CloseAll(asks);
    return found;
}

bool TInstanceLink::Activate(const QString& Peer, int TimeoutMs) {
    const std::string path = QFile::encodeName(Peer).toStdString();
    if (!IsOurSocket(path)) return false;
    std::vector<TAsk> asks;
    asks.emplace_back(path);
    AskAll(asks, QByteArray(kActivate) + "\n", Clock::now() + std::chrono::milliseconds(TimeoutMs), {});
    CloseAll(asks);
    return asks[0].Reply == "ok";
}

}  // namespace tarvex
