// Identification from the INFO registers: model values and register rules.
#include "device/identify.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ptu;

namespace {

std::unique_ptr<State> info(uint8_t r2a, uint8_t r2e = 0, uint8_t r28 = 0, uint8_t r27 = 4,
                            void (*flags)(Flags&) = nullptr)
{
    auto st = std::make_unique<State>();
    if (flags) flags(st->fl);
    st->rg.r2a = r2a;
    st->rg.r2e = r2e;
    st->rg.r28 = r28;
    st->rg.r27 = r27;
    infoIdentify(*st);
    return st;
}

void expectModel(const State& st, int kbb, int kbp, int kbt, int lmt)
{
    EXPECT_EQ(st.mv.kbb_f, kbb);
    EXPECT_EQ(st.mv.kbp_f, kbp);
    EXPECT_EQ(st.mv.kbt_f, kbt);
    EXPECT_EQ(st.mv.lmt, lmt);
}

}  // namespace

TEST(Identify, ModelValuesFromTheIdentificationByte)
{
    expectModel(*info(0xA4), 8192, 6, 4, 8090);
    expectModel(*info(0x17), 4096, 1, 0, 4080);
    expectModel(*info(0x0E), 2048, 1, 1, 2032);
    expectModel(*info(0xA5), 8192, 6, 3, 8090);
    expectModel(*info(0x83), 2048, 6, 2, 1946);
    expectModel(*info(0xFC), 2048, 1, 1, 2032);
    expectModel(*info(0xBC), 2048, 1, 1, 2032);
    expectModel(*info(0xFD), 2048, 1, 0, 2032);
}

TEST(Identify, FixedCodesWinOverEveryModelFlag)
{
    auto st = info(0xFC, 0, 0xFF, 4, [](Flags& f) { f.m17_f = 1; });
    expectModel(*st, 2048, 1, 1, 2032);
    EXPECT_EQ(st->rg.r28 & 0x82, 0) << "the -b rule still cleared the hot-key and MSR bits";

    auto b = info(0x0C, 0, 0xFF, 4, [](Flags& f) { f.m17_f = 1; });
    expectModel(*b, 8192, 6, 10, 8090);
    EXPECT_EQ(b->rg.r28 & 0x10, 0x10) << "only -b keeps the buzzer bit";
    EXPECT_EQ(b->rg.r28 & 0x04, 0);
}

TEST(Identify, PresetModelsKeepTheirIndex)
{
    auto pad = std::make_unique<State>();
    pad->fl.pad_f = 1;
    pad->mv.kbt_f = 11;
    pad->rg.r2a = 0x84;
    infoIdentify(*pad);
    EXPECT_EQ(pad->mv.kbt_f, 11);
    EXPECT_EQ(pad->mv.kbp_f, 6) << "kbt_f 11 takes the bit-7 rule";

    pad->mv.kbt_f = 5;
    pad->rg.r2a = 0x84;
    infoIdentify(*pad);
    EXPECT_EQ(pad->mv.kbt_f, 5);
    EXPECT_EQ(pad->mv.kbp_f, 1);

    auto big = info(0x04, 0, 0, 4, [](Flags& f) { f.m84_f = 1; });
    EXPECT_EQ(big->mv.kbp_f, 6);
    EXPECT_EQ(big->mv.kbt_f, 0) << "a preset model is not derived from r2a";
}

TEST(Identify, TypematicRule)
{
    auto keeps = info(0xA4, 0x64, 0x00, 4, [](Flags& f) { f.m84_f = 1; });
    EXPECT_EQ(keeps->rg.r28 & 0x20, 0);
    auto other = info(0xA4, 0x63, 0x00, 4, [](Flags& f) { f.m84_f = 1; });
    EXPECT_EQ(other->rg.r28 & 0x20, 0x20);
    auto noFlag = info(0xA4, 0x64, 0x00);
    EXPECT_EQ(noFlag->rg.r28 & 0x20, 0x20);
    auto pad = info(0xA4, 0x64, 0x80, 4, [](Flags& f) {
        f.m70_f = 1;
        f.pad_f = 1;
    });
    EXPECT_EQ(pad->rg.r28 & 0xA0, 0x20) << "pads: typematic off, no hot key";
}

TEST(Identify, RegisterAdjustments)
{
    auto st = info(0xA4, 0, 0xFF, 0);
    EXPECT_EQ(st->rg.r27, 4) << "a zero delay becomes 4";
    EXPECT_EQ(st->rg.r28, 0xEB | 0x20);

    auto r29 = std::make_unique<State>();
    r29->rg.r2a = 0xA4;
    r29->rg.r29 = 0xFF;
    infoIdentify(*r29);
    EXPECT_EQ(r29->rg.r29, 0x9E);
    r29->rg.r29 = 0x00;
    infoIdentify(*r29);
    EXPECT_EQ(r29->rg.r29, 0x16);

    auto hot = info(0xA4, 0, 0x80, 4, [](Flags& f) { f.capj_f = 1; });
    EXPECT_EQ(hot->rg.r28 & 0x80, 0);
}

TEST(Identify, ReadNormalisation)
{
    State st;
    st.mv.kbt_f = 7;
    st.rg.r27 = 0;
    st.rg.r28 = 0xFF;
    st.rg.r29 = 0xFF;
    readNormalise(st);
    EXPECT_EQ(st.rg.r27, 4);
    EXPECT_EQ(st.rg.r29, 0x7F);
    EXPECT_EQ(st.rg.r28, 0xFD);
}
