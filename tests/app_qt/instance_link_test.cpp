// The link between instances: answers, and everything a misbehaving peer or a
// foreign folder could do to it. The instance under test serves from a Qt
// thread of its own while the test plays the other side.

#include "app/instance_link.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QThread>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tarvex {
namespace {

std::string S(const QString& Q) { return QFile::encodeName(Q).toStdString(); }

// A fresh temporary folder as TMPDIR, without XDG_RUNTIME_DIR: the sockets'
// folder is found in it.
class TPrivateTmp {
public:
    TPrivateTmp() {
        std::string t = (std::filesystem::temp_directory_path() / "tarvex-link-XXXXXX").string();
        if (!::mkdtemp(t.data())) std::abort();
        ::chmod(t.c_str(), 0755);
        FPath = t;
        if (const char* x = std::getenv("XDG_RUNTIME_DIR")) FXdg = x;
        if (const char* x = std::getenv("TMPDIR")) FTmp = x;
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", FPath.c_str(), 1);
    }
    ~TPrivateTmp() {
        if (FXdg.empty()) ::unsetenv("XDG_RUNTIME_DIR"); else ::setenv("XDG_RUNTIME_DIR", FXdg.c_str(), 1);
        if (FTmp.empty()) ::unsetenv("TMPDIR"); else ::setenv("TMPDIR", FTmp.c_str(), 1);
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
    std::string FPath, FXdg, FTmp;
};

// An instance that shows Shown, serving from its own thread.
class TServer : public QThread {
public:
    explicit TServer(QString Shown) : FShown(std::move(Shown)) {
        start();
        FReady.acquire();
    }
    ~TServer() override {
        quit();
        wait();
    }
    bool Listening = false;
    QString Name;
    std::atomic<int> Activations{0};

protected:
    void run() override {
        TInstanceLink link([this] { return FShown; }, [this] { ++Activations; });
        Listening = link.Listen();
        Name = link.SocketName();
        FReady.release();
        exec();
    }

private:
    QString FShown;
    QSemaphore FReady;
};

int Connect(const std::string& Path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, Path.c_str(), sizeof a.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the other end closes Fd within a generous time.
bool ClosedByPeer(int Fd) {
    char b[64];
    for (int i = 0; i < 100; ++i) {
        pollfd p{Fd, POLLIN, 0};
        if (::poll(&p, 1, 100) > 0) {
            const ssize_t n = ::recv(Fd, b, sizeof b, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN)) return true;
        }
    }
    return false;
}

// A peer that is not an instance: it listens at Path in a thread and, for
// each connection, either says nothing or dribbles bytes without a line end.
class TFakePeer {
public:
    enum TMode { fpSilent, fpDribble };
    // Connections open at the fake peers together, and the most there ever were.
    struct TCount {
        std::atomic<int> Open{0}, Most{0};
    };
    TFakePeer(const std::string& Path, TMode Mode, TCount* Shared = nullptr)
        : FPath(Path), FMode(Mode), FShared(Shared) {
        FFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, Path.c_str(), sizeof a.sun_path - 1);
        if (::bind(FFd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(FFd, 8) != 0) std::abort();
        FThread = std::thread([this] { Run(); });
    }
    ~TFakePeer() {
        FStop = true;
        FThread.join();
        ::close(FFd);
        ::unlink(FPath.c_str());
    }
    std::atomic<int> Open{0}, MostOpen{0}, Requests{0};
    std::atomic<bool> DroppedWhileDribbling{false};

private:
    void Run() {
        std::vector<int> conns;
        int dribbled = 0;
        while (!FStop) {
            std::vector<pollfd> p{{FFd, POLLIN, 0}};
            for (int c : conns) p.push_back({c, POLLIN, 0});
            ::poll(p.data(), p.size(), 20);
            if (p[0].revents & POLLIN) {
                conns.push_back(::accept(FFd, nullptr, nullptr));
                MostOpen = std::max<int>(MostOpen, static_cast<int>(conns.size()));
                if (FShared) FShared->Most = std::max<int>(FShared->Most, ++FShared->Open);
            }
            for (std::size_t i = 1; i < p.size(); ++i) {
                if (!(p[i].revents & (POLLIN | POLLHUP))) continue;
                char b[256];
                const ssize_t n = ::recv(p[i].fd, b, sizeof b, MSG_DONTWAIT);
                if (n > 0) ++Requests;
                if (n == 0) {
                    if (FShared) --FShared->Open;
                    ::close(p[i].fd);
                    conns.erase(std::find(conns.begin(), conns.end(), p[i].fd));
                    if (FMode == fpDribble && dribbled < 40) DroppedWhileDribbling = true;
                }
            }
            if (FMode == fpDribble && dribbled < 40 && !conns.empty()) {
                // One byte every 100 ms, never a line end.
                ::send(conns.front(), "y", 1, MSG_NOSIGNAL);
                ++dribbled;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        for (int c : conns) ::close(c);
    }
    std::string FPath;
    TMode FMode;
    TCount* FShared;
    int FFd;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

TEST(InstanceLink, FindsTheInstanceShowingAFileAndActivatesIt) {
    TPrivateTmp tmp;
    const QString file = QString::fromStdString(tmp / "shown.txt");
    QFile(file).open(QIODevice::WriteOnly);
    TServer server(file);
    ASSERT_TRUE(server.Listening);
    TInstanceLink me([] { return QString(); }, [] {});
    ASSERT_TRUE(me.Listen());
    EXPECT_EQ(me.FindShowing(file), server.Name);
    EXPECT_EQ(me.FindShowing(QString::fromStdString(tmp / "other.txt")), QString());
    EXPECT_TRUE(me.Activate(server.Name));
    EXPECT_EQ(server.Activations, 1);
    struct stat st {};
    ASSERT_EQ(::stat(S(TInstanceLink::Folder()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(InstanceLink, ARequestWithoutEndIsCutOffAtItsLimit) {
    // Regression: a message without a line break was buffered without limit.
    TPrivateTmp tmp;
    TServer server("/x");
    const int fd = Connect(S(server.Name));
    ASSERT_GE(fd, 0);
    const std::string chunk(4096, 'a');
    std::size_t sent = 0;
    bool refused = false;
    while (sent < (std::size_t(64) << 20) && !refused) {
        const ssize_t n = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (n < 0) refused = true;
        else sent += static_cast<std::size_t>(n);
    }
    EXPECT_TRUE(refused) << sent << " bytes taken";
    ::close(fd);
}

TEST(InstanceLink, APeerThatKeepsTheLineOpenIsDropped) {
    TPrivateTmp tmp;
    TServer server("/x");
    const int fd = Connect(S(server.Name));
    ASSERT_GE(fd, 0);
    ::send(fd, "sh", 2, MSG_NOSIGNAL);
    EXPECT_TRUE(ClosedByPeer(fd));
    ::close(fd);
    // Others are answered as before.
    TInstanceLink me([] { return QString(); }, [] {});
    EXPECT_EQ(me.FindShowing("/x"), server.Name);
}

TEST(InstanceLink, PeersAreAskedAtOnceAndASlowAnswerIsNotWaitedFor) {
    TPrivateTmp tmp;
    const std::string folder = S(TInstanceLink::Folder());
    ASSERT_FALSE(folder.empty());
    // Regression: peers were asked one after the other, each given 1.5 s.
    TFakePeer::TCount together;
    std::vector<std::unique_ptr<TFakePeer>> silent;
    for (int i = 0; i < 5; ++i)
        silent.push_back(
            std::make_unique<TFakePeer>(folder + "/silent-" + std::to_string(i), TFakePeer::fpSilent, &together));
    TFakePeer dribbler(folder + "/dribbler", TFakePeer::fpDribble);
    TServer server("/x");
    TInstanceLink me([] { return QString(); }, [] {});
    EXPECT_EQ(me.FindShowing("/nothing", 1000), QString());
    EXPECT_TRUE(dribbler.DroppedWhileDribbling || dribbler.MostOpen == 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int asked = 0;
    for (const auto& p : silent) asked += p->Requests;
    EXPECT_EQ(asked, 5) << "every silent peer got the question";
    EXPECT_EQ(together.Most, 5) << "the silent peers were not asked at the same time";
    EXPECT_EQ(together.Open, 0) << "every connection is closed";
    EXPECT_TRUE(dribbler.DroppedWhileDribbling) << "a peer sending a byte now and then held the question up";
    EXPECT_EQ(me.FindShowing("/x"), server.Name) << "the real instance answers among them";
}

TEST(InstanceLink, RunningOutOfDescriptorsDoesNotEndTheServer) {
    // Regression: a failed accept closed the server and removed its socket for good.
    TPrivateTmp tmp;
    TServer server("/x");
    TInstanceLink me([] { return QString(); }, [] {});
    ASSERT_EQ(me.FindShowing("/x"), server.Name) << "answering before";
    rlimit old{};
    ::getrlimit(RLIMIT_NOFILE, &old);
    std::size_t open = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) (void)e, ++open;
    rlimit low = old;
    low.rlim_cur = open + 8;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> fds;
    for (int i = 0; i < 64; ++i) {
        const int fd = Connect(S(server.Name));
        if (fd < 0) break;
        fds.push_back(fd);
    }
    // The server meets the full table while accepting what waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    for (int fd : fds) ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_TRUE(std::filesystem::exists(S(server.Name))) << "the socket was removed";
    QString found;
    for (int i = 0; i < 20 && found.isEmpty(); ++i) found = me.FindShowing("/x");
    EXPECT_EQ(found, server.Name) << "no longer answering";
}

TEST(InstanceLink, AFolderThatIsNotProvablyOursTurnsTheCheckOff) {
    TPrivateTmp tmp;
    // Qt's own runtime folder unusable (here: a file in its place), so the
    // fallback under TMPDIR is used.
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    std::ofstream(tmp / ("runtime-" + std::string(pw->pw_name))) << "taken";
    const bool root = ::geteuid() == 0;
    const std::string fallback = tmp / ("tarvex-" + std::to_string(::geteuid()));
    // A planted link to a folder someone else reads.
    ::mkdir((tmp / "elsewhere").c_str(), 0777);
    ASSERT_EQ(::symlink((tmp / "elsewhere").c_str(), fallback.c_str()), 0);
    EXPECT_EQ(TInstanceLink::Folder(), QString());
    TInstanceLink me([] { return QString("/x"); }, [] {});
    EXPECT_FALSE(me.Listen());
    EXPECT_EQ(me.FindShowing("/x"), QString());
    EXPECT_TRUE(std::filesystem::is_empty(tmp / "elsewhere")) << "nothing was made in the planted folder";
    ::unlink(fallback.c_str());
    if (root) {
        // Someone else's folder.
        ::mkdir(fallback.c_str(), 0700);
        ::chown(fallback.c_str(), 65534, 65534);
        EXPECT_EQ(TInstanceLink::Folder(), QString());
        ::rmdir(fallback.c_str());
    }
    // Ours, left open to others: closed, then used.
    ::mkdir(fallback.c_str(), 0777);
    ::chmod(fallback.c_str(), 0777);
    const QString folder = TInstanceLink::Folder();
    EXPECT_FALSE(folder.isEmpty());
    struct stat st {};
    ::stat(fallback.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
