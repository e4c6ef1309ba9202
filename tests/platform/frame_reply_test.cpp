// A driver reply longer than the caller's output area keeps its first bytes
// and leaves the socket stream in step for the next reply.
#include "platform/devframe.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/socket.h>
#include <unistd.h>

using namespace ptu;

TEST(FrameReply, ALongerReplyKeepsTheOutputLengthAndTheStreamInStep)
{
    int sv[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
    frame::Reply info{1, 0, std::vector<uint8_t>(20, 0xA0)};
    info.data[15] = 0xC0;
    ASSERT_TRUE(frame::sendReply(sv[1], info));
    ASSERT_TRUE(frame::sendReply(sv[1], frame::Reply{0, 5, {1, 2, 3}}));

    auto buf = std::make_unique<uint8_t[]>(16);  // on the heap: a byte past it is caught
    bool ok = false;
    int error = 0;
    uint32_t returned = 0;
    ASSERT_TRUE(frame::readReply(sv[0], buf.get(), 16, ok, error, returned));
    EXPECT_TRUE(ok);
    EXPECT_EQ(returned, 16u);
    EXPECT_EQ(buf[15], 0xC0);
    ASSERT_TRUE(frame::readReply(sv[0], buf.get(), 16, ok, error, returned));
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, 5);
    EXPECT_EQ(returned, 3u);
    ::close(sv[0]);
    ::close(sv[1]);
}
