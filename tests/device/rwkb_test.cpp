// The driver operation against a scripted, byte-exact fake transport.
#include "device/rwkb.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

using namespace ptu;
using ptu::test::FakePlatform;
using ptu::test::ScriptedReply;

namespace {

// A state whose log goes to memory so the trace lines can be checked.
struct Fixture {
    std::unique_ptr<State> st = std::make_unique<State>();
    FakePlatform pf;
    test::MemoryLog memoryLog{st->log};

    std::string log() { return memoryLog.text(); }
    int run(int mode) { return rwkb(*st, pf, mode, st->buf.obuf); }
    void identified(uint8_t r2a = 0xA4, int kbb = 8192)
    {
        st->rg.r2a = r2a;
        st->mv.kbb_f = kbb;
    }
};

// A good INFO reply of `n` bytes: a leading byte, the frame, zeros, the end mark.
std::vector<uint8_t> infoReply(uint8_t r2a, uint8_t r2e, uint8_t r29, uint8_t r28, uint8_t r27, size_t n = 16)
{
    std::vector<uint8_t> v(n, 0);
    v[0] = 0xFA;
    v[1] = 0xD6;
    const uint8_t regs[5] = {r2a, r2e, r29, r28, r27};
    for (int i = 0; i < 5; ++i) {
        v[2 + 2 * i] = uint8_t(0xD0 | (regs[i] >> 4));
        v[3 + 2 * i] = regs[i] & 0x0F;
    }
    v[n - 1] = 0xC0;
    return v;
}

ScriptedReply bytes(std::vector<uint8_t> v) { return ScriptedReply{true, 0, std::move(v)}; }

}  // namespace

TEST(Rwkb, BadModesOpenNoDevice)
{
    for (int mode : {0, -1, 11}) {
        Fixture f;
        EXPECT_EQ(f.run(mode), RWKB_BAD_MODE) << mode;
        EXPECT_TRUE(f.pf.events.empty());
        std::string log = f.log();
        EXPECT_NE(log.find(" InitSD()=0 \n SetSDDacl()=0 \n Bad IoCtrl Code " + std::to_string(mode) + " \n"),
                  std::string::npos)
            << log;
    }
}

TEST(Rwkb, ControllerOperationNeedsTheSwitch)
{
    Fixture f;
    EXPECT_EQ(f.run(MODE_8042), RWKB_OK);
    EXPECT_TRUE(f.pf.events.empty());
    EXPECT_EQ(f.log().find("InitSD"), std::string::npos);

    Fixture g;
    g.st->fl.kbc_f = 1;
    g.pf.replies.push_back(bytes({0xFA}));
    EXPECT_EQ(g.run(MODE_8042), RWKB_OK);
    EXPECT_EQ(g.pf.only("request"), std::vector<std::string>{"request 80ff0038 1 1"});
    EXPECT_NE(g.log().find(" -> 8042 <- \n"), std::string::npos);
}

TEST(Rwkb, MemoryOperationsRefusedBeforeIdentification)
{
    for (int mode : {MODE_READ, MODE_WRITE, MODE_KEYP}) {
        Fixture f;
        f.st->mv.kbb_f = 2048;
        EXPECT_EQ(rwkb(*f.st, f.pf, mode, f.st->buf.ibuf), RWKB_NOT_IDENTIFIED);
        EXPECT_TRUE(f.pf.events.empty()) << "no device, no tone";
    }
}

TEST(Rwkb, NoDeviceGivesTwoHighTones)
{
    Fixture f;
    f.pf.portgate_present = false;
    EXPECT_EQ(f.run(MODE_DSAB), RWKB_NO_DEVICE);
    EXPECT_EQ(f.pf.events, (std::vector<std::string>{"open portgate", "open vptu", "beep 2000 100", "beep 2000 100"}));
    std::string log = f.log();
    EXPECT_NE(log.find(" CreateFile( portgate)= 2 \n CreateFile( vptu.vxd)= 2 \n rwkb failed \n"), std::string::npos)
        << log;
}

TEST(Rwkb, SecondDeviceIsTriedAndUsed)
{
    Fixture f;
    f.pf.portgate_present = false;
    f.pf.vptu_present = true;
    EXPECT_EQ(f.run(MODE_ENAB), RWKB_OK);
    EXPECT_EQ(f.pf.events, (std::vector<std::string>{"open portgate", "open vptu", "pump", "request 80ff002c 1 1",
                                                     "close", "pump"}));
}

TEST(Rwkb, OperationCodesLengthsAndWaits)
{
    struct Case {
        int mode;
        const char* request;
        bool wait;
    };
    const Case cases[] = {
        {MODE_INFO, "request 80ff0008 16 16", true},     {MODE_READ, "request 80ff000c 4100 4112", false},
        {MODE_WRITE, "request 80ff0010 2048 8208", false}, {MODE_KEYP, "request 80ff0018 16 16", false},
        {MODE_DSAB, "request 80ff0028 1 1", false},      {MODE_ENAB, "request 80ff002c 1 1", false},
        {MODE_CKMR, "request 80ff004c 1 1", false},      {MODE_DSAB1, "request 80ff0030 1 1", true},
        {MODE_ENAB1, "request 80ff0034 1 1", false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.identified(0x0C, 2048);
        f.pf.handler = [](uint32_t, const std::vector<uint8_t>&, uint32_t) { return bytes({0xFA}); };
        rwkb(*f.st, f.pf, c.mode, f.st->buf.ibuf);
        ASSERT_GE(f.pf.events.size(), 3u);
        EXPECT_EQ(f.pf.only("request").at(0), c.request);
        EXPECT_EQ(f.pf.events.front() == "sleep 500", c.wait) << c.request;
    }
}

TEST(Rwkb, InputBytesAreClearedAsEachOperationNeeds)
{
    Fixture f;
    f.identified(0x0C, 2048);
    f.st->buf.obuf.fill(0x77);
    f.pf.replies.push_back(bytes(infoReply(0x0C, 0, 0, 0, 4)));
    f.run(MODE_INFO);
    EXPECT_EQ(f.pf.sent[0], std::vector<uint8_t>(16, 0));

    f.st->buf.obuf.fill(0x77);
    f.pf.replies.push_back(bytes({0}));
    f.run(MODE_KEYP);
    std::vector<uint8_t> keyp(16, 0x77);
    keyp[0] = 0;
    EXPECT_EQ(f.pf.sent[1], keyp) << "KeyP clears byte 0 only";

    f.st->buf.ibuf.fill(0x5A);
    f.pf.replies.push_back(bytes(std::vector<uint8_t>(11, 0)));
    EXPECT_EQ(rwkb(*f.st, f.pf, MODE_WRITE, f.st->buf.ibuf), RWKB_OK) << "11 bytes are enough for WRITE";
    EXPECT_EQ(f.pf.sent[2], std::vector<uint8_t>(2048, 0x5A)) << "WRITE sends the image unchanged";

    f.st->buf.rbuf.fill(0x5A);
    f.pf.replies.push_back(bytes(std::vector<uint8_t>(4096, 0xD1)));
    EXPECT_EQ(rwkb(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), RWKB_OK);
    EXPECT_EQ(f.pf.sent[3], std::vector<uint8_t>(4100, 0));
}

TEST(Rwkb, ReplyChecksAndTheirSounds)
{
    struct Case {
        int mode;
        ScriptedReply reply;
        int result;
        const char* sound;  // nullptr: none
        const char* logLine;
    };
    const std::vector<Case> cases = {
        {MODE_DSAB, {false, 5, {}}, RWKB_REQUEST_FAILED, "msgbeep", " rwkb error 1\n"},
        {MODE_INFO, bytes(std::vector<uint8_t>(10, 0xC0)), RWKB_SHORT_REPLY, "msgbeep", " rwkb error 2\n"},
        {MODE_WRITE, bytes(std::vector<uint8_t>(10, 0)), RWKB_SHORT_REPLY, "msgbeep", " rwkb error 2\n"},
        {MODE_READ, bytes(std::vector<uint8_t>(4095, 0xD0)), RWKB_NOT_IDENTIFIED, "beep 500 500", " rwkb error 3\n"},
        {MODE_CKMR, bytes({}), RWKB_NO_ACK, nullptr, " rwkb error 4\n"},
        {MODE_CKMR, bytes({0xFE}), RWKB_NO_ACK, nullptr, " rwkb error 4\n"},
        {MODE_CKMR, bytes({0xFA}), RWKB_OK, nullptr, nullptr},
        {MODE_INFO, bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0xC0}), RWKB_NO_FRAME, "beep 500 500",
         " rwkb error 6\n"},
        {MODE_INFO, bytes(std::vector<uint8_t>(16, 0xD6)), RWKB_BAD_ENDMARK, "beep 500 500", " rwkb error 5\n"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.identified(0x0C, 2048);
        f.pf.replies.push_back(c.reply);
        std::span<uint8_t> buf = c.mode == MODE_READ    ? std::span<uint8_t>(f.st->buf.rbuf)
                                 : c.mode == MODE_WRITE ? std::span<uint8_t>(f.st->buf.ibuf)
                                                        : std::span<uint8_t>(f.st->buf.obuf);
        EXPECT_EQ(rwkb(*f.st, f.pf, c.mode, buf), c.result) << c.mode;
        const std::string& last = f.pf.events.back();
        EXPECT_EQ(last, c.sound ? c.sound : "pump") << c.mode;
        if (c.logLine) {
            EXPECT_NE(f.log().find(c.logLine), std::string::npos) << c.logLine;
        }
        EXPECT_EQ(f.st->rg.r2a, 0x0C) << "a failed INFO changes no register";
    }
}

TEST(Rwkb, ReadReplyMustCarryTheWholeMemory)
{
    std::vector<uint8_t> whole(2 * 8192 + 2, 0xD0);
    whole.front() = 0xFA;  // skipped before the pairs
    std::vector<uint8_t> noPairs(2 * 8192 + 2, 0x41);
    const struct {
        int kbb;
        std::vector<uint8_t> reply;
        int result;
    } cases[] = {
        {2048, std::vector<uint8_t>(4096, 0xD0), RWKB_OK},
        {8192, std::vector<uint8_t>(4096, 0xD0), RWKB_NOT_IDENTIFIED},  // half of an 8K keyboard
        {8192, noPairs, RWKB_NOT_IDENTIFIED},
        {8192, whole, RWKB_OK},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.identified(c.kbb == 2048 ? 0x0C : 0xA4, c.kbb);
        f.pf.replies.push_back(bytes(c.reply));
        EXPECT_EQ(rwkb(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), c.result) << c.kbb << " " << c.reply.size();
    }
}

TEST(Rwkb, InfoConsidersSixteenBytesAndFindsTheRealFrame)
{
    // 20 bytes come back: only 16 count, so byte 15 must be the end mark.
    Fixture f;
    auto reply = infoReply(0xA4, 0, 0, 0, 0, 20);
    reply[15] = 0xC0;
    reply[19] = 0x00;
    f.pf.replies.push_back(bytes(reply));
    EXPECT_EQ(f.run(MODE_INFO), RWKB_OK);
    EXPECT_EQ(f.st->rg.r2a, 0xA4);

    // A 0xD6 followed by 0x3x is not the frame; the later one is.
    Fixture g;
    std::vector<uint8_t> v = {0xD6, 0x31, 0xD6, 0xD1, 0x07, 0xD0, 0x00, 0xD9, 0x0E,
                              0xDE, 0x08, 0xD0, 0x04, 0x00, 0x00, 0xC0};
    g.pf.replies.push_back(bytes(v));
    EXPECT_EQ(g.run(MODE_INFO), RWKB_OK);
    EXPECT_EQ(g.st->rg.r2a, 0x17);
    EXPECT_EQ(g.st->rg.r27, 4);

    // A frame that starts near the end runs on into the cleared part of the area.
    Fixture h;
    std::vector<uint8_t> late(16, 0x11);
    late[13] = 0xD6;
    late[14] = 0xD2;
    late[15] = 0xC0;
    h.pf.replies.push_back(bytes(late));
    EXPECT_EQ(h.run(MODE_INFO), RWKB_OK);
    EXPECT_EQ(h.st->rg.r2a, 0x20) << "0xD2, 0xC0 -> 0x20 | 0x0";
    EXPECT_EQ(h.st->rg.r2e, 0x00);
}

TEST(Rwkb, InfoScanStaysInsideASmallBuffer)
{
    Fixture f;
    std::array<uint8_t, 16> small{};
    auto reply = infoReply(0xA4, 0, 0, 0, 4);
    reply[1] = 0;
    reply[12] = 0xD6;
    reply[13] = 0xD1;
    f.pf.replies.push_back(bytes(reply));
    EXPECT_EQ(rwkb(*f.st, f.pf, MODE_INFO, small), RWKB_NO_FRAME) << "no frame that would run past the buffer";
}

TEST(Rwkb, ReplyDumpBreaksEveryTwentyBytes)
{
    Fixture f;
    f.pf.replies.push_back(bytes(infoReply(0xA4, 0, 0x9E, 0xE8, 4)));
    f.run(MODE_INFO);
    std::string log = f.log();
    EXPECT_NE(log.find(" -> INFO <- \n CreateFile( portgate)= 0 \n DeviceIoControl(1)= 0 \n"
                       " ok=1, mode=1, in=16, ret=16: \n fa d6 da 4 d0 0 d9 e de 8 d0 4 0 0 0 c0 \n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(" r2a=a4, r2e=0, r29=9e, r28=e8, kbb_f=8192, kbp_f=6, kbt_f=4, lmt=8090 \n"), std::string::npos)
        << log;

    Fixture g;
    g.identified(0x0C, 2048);
    g.pf.replies.push_back(bytes(std::vector<uint8_t>(41, 1)));
    rwkb(*g.st, g.pf, MODE_WRITE, g.st->buf.ibuf);
    std::string dump = g.log();
    size_t start = dump.find("ret=41:");
    ASSERT_NE(start, std::string::npos);
    std::string body = dump.substr(start + 7);
    EXPECT_EQ(body.rfind(" \n 1", 0), 0u);
    int breaks = 0;
    for (size_t p = 0; (p = body.find(" \n", p)) != std::string::npos; ++p) ++breaks;
    EXPECT_EQ(breaks, 4) << "before bytes 1, 21 and 41, and the closing one";
}

TEST(Rwkb, DemoModeNeverCallsTheDriver)
{
    for (int mode = MODE_INFO; mode <= MODE_ENAB1; ++mode) {
        Fixture f;
        f.st->fl.d_f = 1;
        f.st->fl.kbc_f = 1;
        f.pf.portgate_present = false;
        EXPECT_EQ(rwkb(*f.st, f.pf, mode, f.st->buf.ibuf), RWKB_OK) << mode;
        EXPECT_TRUE(f.pf.only("request").empty());
        EXPECT_EQ(f.st->rg.r2a, 8);
        EXPECT_EQ(f.st->mv.kbt_f, 2);
        EXPECT_EQ(f.st->mv.lmt, 8090);
    }
}
