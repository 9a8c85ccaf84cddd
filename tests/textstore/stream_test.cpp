// Opening files without waiting on them, and reading pipes so that a reader
// that stops early can tell where.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

class TFolder {
public:
    TFolder() {
        std::string t = (std::filesystem::temp_directory_path() / "tarvex-stream-XXXXXX").string();
        if (!::mkdtemp(t.data())) std::abort();
        FPath = t;
    }
    ~TFolder() {
        std::error_code ec;
        std::filesystem::remove_all(FPath, ec);
    }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};

// Lets a reader stuck in open() on a FIFO go on (by opening the other end)
// and remembers that it had to: a correct open never waits for a writer.
class TFifoRescuer {
public:
    explicit TFifoRescuer(std::string Fifo) : FFifo(std::move(Fifo)), FThread([this] { Run(); }) {}
    ~TFifoRescuer() {
        FStop = true;
        FThread.join();
    }
    bool Rescued() const { return FRescued; }

private:
    void Run() {
        for (int i = 0; i < 1000 && !FStop; ++i) {
            // Succeeds only while a reader has the FIFO open (or waits in open()).
            const int fd = ::open(FFifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                FRescued = true;
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    std::string FFifo;
    std::atomic<bool> FStop{false}, FRescued{false};
    std::thread FThread;
};

TEST(FileStream, AFifoIsRefusedWithoutWaitingForAWriter) {
    TFolder dir;
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TFifoRescuer rescuer(fifo);
    try {
        TFileStream s(fifo, TFileStream::fmOpenRead);
        ADD_FAILURE() << "a FIFO was opened as a file";
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("not a regular file"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("pipe"), std::string::npos) << "the message names the file";
    }
    EXPECT_FALSE(rescuer.Rescued()) << "open() waited for a writer";
}

TEST(FileStream, DevicesAndFoldersAreRefusedRegularFilesRead) {
    TFolder dir;
    EXPECT_THROW(TFileStream("/dev/zero", TFileStream::fmOpenRead), EStreamError);
    EXPECT_THROW(TFileStream("/dev/null", TFileStream::fmOpenRead), EStreamError);
    try {
        TFileStream s(dir.Path(), TFileStream::fmOpenRead);
        ADD_FAILURE() << "a folder was opened";
    } catch (const EStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("directory"), std::string::npos) << e.what();
    }
    // Through a link the file it names decides.
    ASSERT_EQ(::symlink("/dev/zero", (dir / "z.html").c_str()), 0);
    EXPECT_THROW(TFileStream(dir / "z.html", TFileStream::fmOpenRead), EStreamError);
    {
        TFileStream w(dir / "f.txt", TFileStream::fmCreate);
        w.Write("abc", 3);
    }
    TFileStream r(dir / "f.txt", TFileStream::fmOpenRead);
    EXPECT_EQ(r.Size(), 3);
    EXPECT_EQ(ReadBytes(r), "abc") << "reads wait as usual after the open";
}

TEST(BacktrackStream, ALoadStoppedByANulLeavesThePipeAtTheNul) {
    // Far more than one read of the loader, and the NUL in a later read.
    std::string data(300000, 'a');
    data[100] = '\n';
    data[250001] = '\0';
    test::TTrickleStream pipe(data, 5);
    TBacktrackStream s(pipe);
    TParagraphsList l;
    TRiriLineBreak found = pbCRLF;
    l.LoadFromStream(s, 0, 300, nullptr, found, false);
    EXPECT_EQ(s.Position(), 250001) << "where the NUL is";
    EXPECT_GT(s.BytesRead(), s.Position());
    EXPECT_EQ(l.TotalLen, 250001 + 1);
}

TEST(BacktrackStream, ReplaysWhatItKeptAndRefusesTheRest) {
    std::string data;
    for (int i = 0; i < 100000; ++i) data += static_cast<char>('a' + i % 26);
    TMemoryStream src(data);
    TBacktrackStream s(src, 1000);
    EXPECT_EQ(ReadBytes(s, 5000), data.substr(0, 5000));
    s.Seek(4500);
    EXPECT_EQ(ReadBytes(s, 10), data.substr(4500, 10));
    EXPECT_EQ(ReadBytes(s), data.substr(4510)) << "replayed bytes, then the source again";
    EXPECT_EQ(s.BytesRead(), 100000);
    EXPECT_THROW(s.Seek(10), EStreamError) << "long gone";
    EXPECT_THROW(s.Seek(100001), EStreamError) << "not read yet";
    s.Seek(100000 - 500);
    EXPECT_EQ(ReadBytes(s).size(), 500u);
}

}  // namespace
}  // namespace tarvex
