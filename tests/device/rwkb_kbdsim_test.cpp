// The driver operation against the real emulated keyboard, with faults
// injected in it: every result code the device side can produce.
#include "device/rwkb.h"
#include "platform/posix_platform.h"
#include "tests/support/kbdsim_process.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ptu;

namespace {

struct Live {
    test::KbdsimProcess sim;
    PosixPlatform pf;
    std::unique_ptr<State> st = std::make_unique<State>();

    int info() { return rwkb(*st, pf, MODE_INFO, st->buf.obuf); }
    int read() { return rwkb(*st, pf, MODE_READ, st->buf.rbuf); }
};

}  // namespace

TEST(RwkbKbdsim, IdentifiesReadsAndWrites)
{
    Live k;
    ASSERT_EQ(k.sim.start("--r2a 0x93 --r2e 0x01"), 0);
    EXPECT_EQ(k.info(), RWKB_OK);
    EXPECT_EQ(k.st->rg.r2a, 0x93);
    EXPECT_EQ(k.st->mv.kbb_f, 4096);
    EXPECT_EQ(k.st->mv.kbp_f, 6);
    EXPECT_EQ(k.st->mv.kbt_f, 2);

    for (int i = 0; i < 4096; ++i) k.st->buf.ibuf[size_t(i)] = uint8_t(i * 7);
    EXPECT_EQ(rwkb(*k.st, k.pf, MODE_WRITE, k.st->buf.ibuf), RWKB_OK);
    ASSERT_EQ(k.read(), RWKB_OK);
    // The reply is the memory as nibble pairs after any leading bytes.
    const auto& raw = k.st->buf.rbuf;
    size_t at = 0;
    while (!(raw[at] >= 0xD0 && raw[at] <= 0xF0)) ++at;
    for (int i = 0; i < 4096; ++i) {
        uint8_t v = uint8_t((raw[at + 2 * size_t(i)] & 0x0F) << 4 | (raw[at + 2 * size_t(i) + 1] & 0x0F));
        ASSERT_EQ(v, uint8_t(i * 7)) << i;
    }
    k.st->fl.kbc_f = 1;
    EXPECT_EQ(rwkb(*k.st, k.pf, MODE_8042, k.st->buf.obuf), RWKB_OK);
    EXPECT_EQ(rwkb(*k.st, k.pf, MODE_CKMR, k.st->buf.obuf), RWKB_OK);
    EXPECT_EQ(rwkb(*k.st, k.pf, 11, k.st->buf.obuf), RWKB_BAD_MODE);
}

TEST(RwkbKbdsim, NoServiceMeansNoDevice)
{
    Live k;  // never started
    EXPECT_EQ(k.info(), RWKB_NO_DEVICE);
}

TEST(RwkbKbdsim, InjectedFaultsGiveTheirResultCodes)
{
    struct Case {
        const char* args;
        int first;   // result of the first INFO
        int second;  // result of a READ after a good INFO, or -1 to skip
    };
    const Case cases[] = {
        {"--fail-next 1@info", RWKB_REQUEST_FAILED, -1},
        {"--short-reply 1@info", RWKB_SHORT_REPLY, -1},
        {"--no-frame=1", RWKB_NO_FRAME, -1},
        {"--bad-endmark 1@info", RWKB_BAD_ENDMARK, -1},
        {"--short-reply 1@read:4095", RWKB_OK, RWKB_NOT_IDENTIFIED},
        {"--short-reply 1@read", RWKB_OK, RWKB_SHORT_REPLY},
        {"--r2a 0", RWKB_OK, RWKB_NOT_IDENTIFIED},
    };
    for (const Case& c : cases) {
        Live k;
        ASSERT_EQ(k.sim.start(std::string("--r2a 0xA4 ") + c.args), 0) << c.args;
        int first = k.info();
        EXPECT_EQ(first, c.first) << c.args;
        if (c.first != RWKB_OK) {
            EXPECT_EQ(k.info(), RWKB_OK) << "the fault was for one request: " << c.args;
        }
        if (c.second >= 0) {
            EXPECT_EQ(k.read(), c.second) << c.args;
        }
    }

    Live nak;
    ASSERT_EQ(nak.sim.start("--ckmr-nak 1"), 0);
    EXPECT_EQ(rwkb(*nak.st, nak.pf, MODE_CKMR, nak.st->buf.obuf), RWKB_NO_ACK);
    EXPECT_EQ(rwkb(*nak.st, nak.pf, MODE_CKMR, nak.st->buf.obuf), RWKB_OK);
}
