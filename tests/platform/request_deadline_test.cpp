// The driver socket's deadlines: a service that accepts and never answers,
// or stops halfway through a reply, does not hold the program up.
#include "platform/devframe.h"
#include "platform/posix_platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/socket.h>
#include <unistd.h>

namespace ptu {
namespace {

using namespace std::chrono;

// A connected pair of sockets: [0] the program's end, [1] the service's.
struct Pair {
    int fds[2] = {-1, -1};
    Pair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0); }
    ~Pair() { ::close(fds[0]), ::close(fds[1]); }
};

TEST(RequestDeadline, AReplyThatStopsHalfwayEndsAtTheDeadline)
{
    Pair p;
    const uint8_t head[12] = {1, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 0};  // success, 16 bytes to come
    ASSERT_EQ(::write(p.fds[1], head, sizeof head), 12);
    ASSERT_EQ(::write(p.fds[1], head, 4), 4);  // ... of which only 4 come
    uint8_t buf[16];
    bool ok = true;
    int error = 0;
    uint32_t returned = 0;
    const auto start = steady_clock::now();
    EXPECT_FALSE(frame::readReply(p.fds[0], buf, sizeof buf, ok, error, returned,
                                  frame::Clock::now() + milliseconds(200)));
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_LT(steady_clock::now() - start, seconds(2));
}

TEST(RequestDeadline, AServiceThatNeverAnswersFailsTheRequestAndTheHandle)
{
    EXPECT_EQ(frame::requestDeadlineMs(0x80FF000C), 90000);  // READ and WRITE of the whole memory
    EXPECT_EQ(frame::requestDeadlineMs(0x80FF0010), 90000);
    EXPECT_EQ(frame::requestDeadlineMs(0x80FF0044), 5000);  // a block, like every other request

    Pair p;
    PosixPlatform pf;
    uint8_t buf[64] = {};
    uint32_t returned = 99;
    const auto start = steady_clock::now();
    EXPECT_FALSE(pf.request(p.fds[0], 0x80FF0038, buf, 1, 1, returned));  // "8042"
    const auto took = steady_clock::now() - start;
    EXPECT_TRUE(took >= milliseconds(4900) && took < seconds(8));
    EXPECT_EQ(pf.lastError(), ETIMEDOUT);
    EXPECT_EQ(returned, 0u);
    // The stream is mid-frame: the next request on it fails at once.
    const auto again = steady_clock::now();
    EXPECT_FALSE(pf.request(p.fds[0], 0x80FF0038, buf, 1, 1, returned));
    EXPECT_LT(steady_clock::now() - again, seconds(1));
}

}  // namespace
}  // namespace ptu
