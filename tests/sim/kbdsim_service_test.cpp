// The real kbdsim binary on a socket in a temporary folder, spoken to with
// the same frame functions the program uses.
#include "platform/devframe.h"
#include "sim/model/functions.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef KBDSIM_PATH
#error "KBDSIM_PATH must name the kbdsim binary"
#endif

namespace kbdsim {
namespace {

namespace fs = std::filesystem;
namespace frame = ptu::frame;
using Bytes = std::vector<uint8_t>;

struct Reply {
    bool answered = false;  // a reply frame came back
    bool ok = false;
    int error = 0;
    Bytes data;
};

class Conn {
public:
    explicit Conn(const std::string& path)
    {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un sa{};
        sa.sun_family = AF_UNIX;
        path.copy(sa.sun_path, sizeof sa.sun_path - 1);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
        timeval tv{5, 0};
        if (fd_ >= 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }
    ~Conn()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    bool connected() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    Reply ask(uint32_t fn, const Bytes& in, uint32_t outLen)
    {
        Reply r;
        Bytes buf(outLen);
        uint32_t returned = 0;
        if (!frame::sendRequest(fd_, codeOf(fn), in.data(), uint32_t(in.size()), outLen)) return r;
        r.answered = frame::readReply(fd_, buf.data(), outLen, r.ok, r.error, returned);
        buf.resize(returned);
        r.data = std::move(buf);
        return r;
    }

private:
    int fd_ = -1;
};

// Skips to the first byte in 0xD0..0xF0, then takes pairs.
Bytes unpack(const Bytes& d)
{
    size_t i = 0;
    while (i < d.size() && !(d[i] >= 0xD0 && d[i] <= 0xF0)) ++i;
    Bytes out;
    for (; i + 1 < d.size(); i += 2) out.push_back(uint8_t((d[i] & 0x0F) << 4 | (d[i + 1] & 0x0F)));
    return out;
}

class KbdsimService : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = folder.dir().string();
        sock = dir + "/portgate";
        pidfile = dir + "/pid";
        memory = dir + "/kbd.mem";
        // A daemon's own pid file and default memory stay in the folder.
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        ::setenv("XDG_STATE_HOME", dir.c_str(), 1);
    }
    void TearDown() override { stop(); }

    // Runs kbdsim with args (the socket path and pid file come first) and
    // returns its exit status.
    int run(const std::string& args, const std::string& output = "/dev/null")
    {
        std::string cmd = std::string(KBDSIM_PATH) + " --socket " + sock + " " + args + " >" + output + " 2>&1";
        int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    int start(const std::string& args = "") { return run("--daemon --pidfile " + pidfile + " " + args); }

    void stop()
    {
        std::ifstream in(pidfile);
        long pid = 0;
        if (!(in >> pid) || pid <= 0) return;
        ::kill(pid_t(pid), SIGTERM);
        // The service removes its pid file last, on the way out.
        for (int i = 0; i < 500 && fs::exists(pidfile); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(fs::exists(pidfile));
    }

    ptu::test::TempDir folder{"kbdsim-test-"};
    std::string dir, sock, pidfile, memory;
};

TEST_F(KbdsimService, AnswersOnAPrivateSocketAndKeepsTheMemory)
{
    ASSERT_EQ(start("--r2a 0x17 --memory " + memory), 0);
    struct stat st;
    ASSERT_EQ(::lstat(sock.c_str(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(fs::file_size(memory), 4096u);

    {
        // One handle, several requests.
        Conn c(sock);
        ASSERT_TRUE(c.connected());
        EXPECT_TRUE(c.ask(kCtl8042, {0}, 1).ok);
        Reply info = c.ask(kInfo, Bytes(16, 0), 16);
        ASSERT_TRUE(info.ok);
        EXPECT_EQ(info.data.back(), 0xC0);
        EXPECT_EQ(c.ask(kCkmr, {0}, 1).data, Bytes{0xFA});
        Bytes req(18, 0);
        req[0] = 0x30;
        req[1] = 0x0F;  // address 0xF30
        for (int i = 0; i < 16; ++i) req[size_t(2 + i)] = uint8_t(0xA0 + i);
        Reply w = c.ask(kBlockWrite, req, 64);
        ASSERT_TRUE(w.ok);
        EXPECT_EQ(w.data.back(), 0xC0);
    }
    {
        // Garbage: a frame announcing more than any frame may carry.
        Conn g(sock);
        uint8_t head[12] = {0x08, 0x00, 0xFF, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0, 0, 0};
        ASSERT_TRUE(frame::writeAll(g.fd(), head, sizeof head));
        uint8_t b;
        EXPECT_FALSE(frame::readAll(g.fd(), &b, 1));  // closed on us
    }
    stop();
    EXPECT_FALSE(fs::exists(sock));

    ASSERT_EQ(start("--r2a 0x17 --memory " + memory), 0);
    Conn c(sock);
    Reply r = c.ask(kRead, Bytes(2 * 4096 + 4, 0), 2 * 4096 + 16);
    ASSERT_TRUE(r.ok);
    Bytes mem = unpack(r.data);
    ASSERT_EQ(mem.size(), 4096u);  // the end mark has no partner
    EXPECT_EQ(mem[0xF30], 0xA0);
    EXPECT_EQ(mem[0xF3F], 0xAF);
}

TEST_F(KbdsimService, IdleClientsKeepNoOneWaitingAndAreClosed)
{
    ASSERT_EQ(start(), 0);
    Conn idle(sock), half(sock);
    ASSERT_TRUE(idle.connected() && half.connected());
    const uint8_t part[6] = {0x38, 0x00, 0xFF, 0x80, 1, 0};  // half a request header
    ASSERT_EQ(::write(half.fd(), part, sizeof part), 6);

    const auto start = std::chrono::steady_clock::now();
    Conn c(sock);
    EXPECT_TRUE(c.ask(kCtl8042, {0}, 1).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // After the deadline both are closed: a read ends at once, without a byte.
    std::this_thread::sleep_for(std::chrono::milliseconds(5600));
    for (int fd : {idle.fd(), half.fd()}) {
        uint8_t b;
        EXPECT_EQ(::read(fd, &b, 1), 0);
    }
}

TEST_F(KbdsimService, ReplacesAStaleSocketButNotALiveOneOrAFile)
{
    {
        // A socket file left behind by a service that died.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un sa{};
        sa.sun_family = AF_UNIX;
        sock.copy(sa.sun_path, sizeof sa.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
        ::close(fd);
    }
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(run("--probe"), 0);
    EXPECT_EQ(run("--pidfile " + dir + "/other"), 1);  // already served
    EXPECT_EQ(run("--probe"), 0);
    stop();
    EXPECT_EQ(run("--probe"), 1);

    { std::ofstream(sock) << "not a socket"; }
    EXPECT_EQ(run(""), 1);
    std::ifstream in(sock);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "not a socket");
}

TEST_F(KbdsimService, InjectedFaultsReachTheCaller)
{
    ASSERT_EQ(start("--drop-after 1 --fail-next 1@info --short-reply 1@read:4095"), 0);
    {
        Conn c(sock);
        EXPECT_TRUE(c.ask(kCtl8042, {0}, 1).ok);
        EXPECT_FALSE(c.ask(kInfo, Bytes(16, 0), 16).answered);  // dropped
    }
    Conn c(sock);
    Reply failed = c.ask(kInfo, Bytes(16, 0), 16);
    EXPECT_TRUE(failed.answered);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, EIO);
    EXPECT_TRUE(c.ask(kInfo, Bytes(16, 0), 16).ok);
    EXPECT_EQ(c.ask(kRead, {}, 2 * 8192 + 16).data.size(), 4095u);
}

TEST_F(KbdsimService, HelpListsEveryOptionAndBadOptionsAreRefused)
{
    std::string out = dir + "/help.txt";
    ASSERT_EQ(run("--help", out), 0);
    std::stringstream text;
    text << std::ifstream(out).rdbuf();
    for (const char* opt : {"--socket", "--memory", "--daemon", "--pidfile", "--log", "--verbose", "--probe",
                            "--r2a", "--r2e", "--r27", "--r28", "--r29", "--low-nibble-base", "--fail-next",
                            "--fail-code", "--short-reply", "--bad-endmark", "--no-frame", "--ckmr-nak",
                            "--block-fail", "--drop-after", "--no-reply", "--delay-ms"})
        EXPECT_NE(text.str().find(opt), std::string::npos) << opt;

    EXPECT_EQ(run("--no-such-option"), 2);
    EXPECT_EQ(run("--r2a 256"), 2);
    EXPECT_EQ(run("--block-fail 7"), 2);
    EXPECT_EQ(run("--memory"), 2);
    EXPECT_FALSE(fs::exists(sock));
}

}  // namespace
}  // namespace kbdsim
