// The reply frame of a driver request read from a real socket: a reply
// longer than the caller's output area gives its first bytes and leaves the
// stream in step for the next reply.
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
    frame::Reply info;
    info.success = 1;
    for (int i = 0; i < 20; ++i) info.data.push_back(uint8_t(0xA0 + i));
    info.data[15] = 0xC0;
    frame::Reply next;
    next.success = 0;
    next.error = 5;
    next.data = {1, 2, 3};
    ASSERT_TRUE(frame::sendReply(sv[1], info));
    ASSERT_TRUE(frame::sendReply(sv[1], next));

    // Exactly 16 bytes on the heap: a byte copied past them is caught.
    auto buf = std::make_unique<uint8_t[]>(16);
    bool ok = false;
    int error = 0;
    uint32_t returned = 0;
    ASSERT_TRUE(frame::readReply(sv[0], buf.get(), 16, ok, error, returned));
    EXPECT_TRUE(ok);
    EXPECT_EQ(returned, 16u);
    EXPECT_EQ(buf[0], 0xA0);
    EXPECT_EQ(buf[15], 0xC0) << "the last considered byte is the end mark";

    ASSERT_TRUE(frame::readReply(sv[0], buf.get(), 16, ok, error, returned));
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, 5);
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(buf[2], 3);

    // A stream that ends inside the reply is a broken stream.
    frame::Reply cut;
    cut.data.assign(40, 0);
    ASSERT_TRUE(frame::sendReply(sv[1], cut));
    ::shutdown(sv[1], SHUT_WR);
    uint8_t small[4];
    ASSERT_TRUE(frame::readReply(sv[0], small, 4, ok, error, returned)) << "the whole reply is there";
    EXPECT_FALSE(frame::readReply(sv[0], small, 4, ok, error, returned));
    ::close(sv[0]);
    ::close(sv[1]);
}
