// The driver socket's deadline: a service that stops halfway through a reply
// (or never answers at all) does not hold the program up.
#include "platform/driver_protocol.h"
#include "platform/posix_platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <sys/socket.h>
#include <unistd.h>

namespace ptu {
namespace {

using namespace std::chrono;

TEST(RequestDeadline, AReplyThatStopsHalfwayFailsTheRequestAndTheHandle)
{
    EXPECT_EQ(driver::deadlineMs(0x80FF000C), 90000);  // READ and WRITE of the whole memory
    EXPECT_EQ(driver::deadlineMs(0x80FF0010), 90000);
    EXPECT_EQ(driver::deadlineMs(0x80FF0044), 5000);  // a block, like every other request

    int fds[2];  // [0] the program's end, [1] the service's
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
    const uint8_t head[16] = {1, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0xFA};  // 16 bytes announced, 4 sent
    ASSERT_EQ(::write(fds[1], head, sizeof head), 16);
    PosixPlatform pf;
    uint8_t buf[64] = {};
    uint32_t returned = 99;
    const auto start = steady_clock::now();
    EXPECT_FALSE(pf.request(fds[0], 0x80FF0038, buf, 1, 16, returned));  // "8042"
    const auto took = steady_clock::now() - start;
    EXPECT_TRUE(took >= milliseconds(4900) && took < seconds(8));
    EXPECT_EQ(pf.lastError(), ETIMEDOUT);
    EXPECT_EQ(returned, 0u);
    // The stream is mid-frame: the next request on it fails at once.
    const auto again = steady_clock::now();
    EXPECT_FALSE(pf.request(fds[0], 0x80FF0038, buf, 1, 16, returned));
    EXPECT_LT(steady_clock::now() - again, seconds(1));
    ::close(fds[0]);
    ::close(fds[1]);
}

}  // namespace
}  // namespace ptu
