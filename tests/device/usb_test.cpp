// The USB transport against a fake library whose entry points are the
// test's own functions: binding and release, the read and write with the
// model check, the configuration read and the manual model choice.
#include "device/rwkb.h"
#include "device/transfer.h"
#include "device/usb.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

using namespace ptu;
using ptu::test::FakePlatform;

namespace {

// What the fake library's entry points were asked and what they answer.
struct FakeKeyboard {
    std::vector<std::string> calls;
    int openStatus = 0, readStatus = 0, writeStatus = 0, configStatus = 0;
    std::vector<uint8_t> memory = std::vector<uint8_t>(8192, 0);
    uint8_t config[8] = {0, 0x15, 0x63, 0x20, 7, 1, 5, 0};
    std::vector<uint8_t> written;
};
FakeKeyboard* kb = nullptr;

int fakeOpen() { kb->calls.push_back("OpenHidPad"); return kb->openStatus; }
int fakeClose() { kb->calls.push_back("CloseHidPad"); return 0; }
int fakeRead(unsigned char* b, int n)
{
    kb->calls.push_back("ReadData " + std::to_string(n));
    std::memcpy(b, kb->memory.data(), size_t(n));
    return kb->readStatus;
}
int fakeWrite(unsigned char* b, int n)
{
    kb->calls.push_back("WriteData " + std::to_string(n));
    kb->written.assign(b, b + n);
    return kb->writeStatus;
}
int fakeCommand(unsigned char*, int) { kb->calls.push_back("WriteCMD"); return 0; }
int fakeConfig(unsigned char* b, int n)
{
    kb->calls.push_back("ReadConfig " + std::to_string(n));
    std::memcpy(b, kb->config, 8);
    return kb->configStatus;
}

const char* const kNames[] = {"OpenHidPad", "ReadData", "WriteData", "WriteCMD", "ReadConfig", "CloseHidPad"};

struct Fixture {
    std::unique_ptr<State> st = std::make_unique<State>();
    FakePlatform pf;
    FakeKeyboard keyboard;
    test::MemoryLog memoryLog{st->log};

    Fixture()
    {
        kb = &keyboard;
        pf.lib.symbols = {{"OpenHidPad", reinterpret_cast<void*>(&fakeOpen)},
                          {"ReadData", reinterpret_cast<void*>(&fakeRead)},
                          {"WriteData", reinterpret_cast<void*>(&fakeWrite)},
                          {"WriteCMD", reinterpret_cast<void*>(&fakeCommand)},
                          {"ReadConfig", reinterpret_cast<void*>(&fakeConfig)},
                          {"CloseHidPad", reinterpret_cast<void*>(&fakeClose)}};
        st->fl.usb_f = 1;
        st->mv.kbb_f = 8192;
    }
    ~Fixture()
    {
        // Whatever a test did, the library's command entry was never used.
        for (const auto& c : keyboard.calls) EXPECT_NE(c, "WriteCMD");
        kb = nullptr;
    }
    std::string log() { return memoryLog.text(); }
    bool logHas(const std::string& line) { return memoryLog.has(line); }
    void opened() { ASSERT_EQ(openUSB(*st, pf), OPENUSB_OK); keyboard.calls.clear(); }
    std::vector<std::string> boxes() const { return pf.only("box "); }
};

}  // namespace

TEST(OpenUsb, BindsTheSixEntriesAndOpensTheKeyboard)
{
    Fixture f;
    EXPECT_EQ(openUSB(*f.st, f.pf), OPENUSB_OK);
    EXPECT_EQ(f.pf.lib.calls.front(), "load libhidpad.so");
    EXPECT_EQ(f.pf.lib.loaded, 1);
    EXPECT_NE(f.st->usb.hm, nullptr);
    EXPECT_EQ(f.keyboard.calls, std::vector<std::string>{"OpenHidPad"});
    for (const char* line : {" in openUSB, tm=1800000000 \n", " ousb=", " rdta=", " wtdt=", " wcmd=", " rcfg=",
                             " cusb=", " ousb, err=0 \n"})
        EXPECT_TRUE(f.logHas(line)) << line;
}

// Each entry missing in turn: its code, the lookups stop there, the library
// is unloaded and nothing of it is called.
TEST(OpenUsb, AMissingEntryNamesItselfAndUnloadsTheLibrary)
{
    const int codes[] = {2, 4, 5, 6, 7, 3};
    for (int k = 0; k < 6; ++k) {
        Fixture f;
        f.pf.lib.symbols.erase(kNames[k]);
        EXPECT_EQ(openUSB(*f.st, f.pf), codes[k]) << kNames[k];
        EXPECT_EQ(f.pf.lib.loaded, 0) << kNames[k];
        EXPECT_EQ(f.pf.lib.calls.back(), "unload");
        EXPECT_EQ(f.pf.lib.calls.size(), size_t(k + 3)) << "lookups after the missing one";
        EXPECT_EQ(f.st->usb.hm, nullptr);
        EXPECT_EQ(f.st->usb.OpenHidPad, nullptr);
        EXPECT_TRUE(f.keyboard.calls.empty());
        EXPECT_TRUE(f.logHas(" lerr=2 \n")) << f.log();
        // Nothing is left to close.
        EXPECT_EQ(closeUSB(*f.st, f.pf), 1);
    }
}

TEST(OpenUsb, NoLibraryAndAnOpenErrorUnloadEverything)
{
    Fixture f;
    f.pf.lib.present = false;
    EXPECT_EQ(openUSB(*f.st, f.pf), OPENUSB_NO_LIBRARY);
    EXPECT_EQ(f.pf.lib.calls, std::vector<std::string>{"load libhidpad.so"});
    EXPECT_TRUE(f.logHas(" hm=(nil), lerr=2 \n")) << f.log();

    Fixture g;
    g.keyboard.openStatus = 0x1F;
    EXPECT_EQ(openUSB(*g.st, g.pf), OPENUSB_OPEN_FAILED);
    EXPECT_EQ(g.keyboard.calls, (std::vector<std::string>{"OpenHidPad", "CloseHidPad"}));
    EXPECT_EQ(g.pf.lib.loaded, 0);
    EXPECT_EQ(g.st->usb.hm, nullptr);
    EXPECT_TRUE(g.logHas(" ousb, err=1f \n"));
}

TEST(OpenUsb, DemoAndTestModeLoadNothing)
{
    for (int demo : {0, 1}) {
        Fixture f;
        (demo ? f.st->fl.d_f : f.st->fl.td_f) = 1;
        EXPECT_EQ(openUSB(*f.st, f.pf), OPENUSB_OK);
        EXPECT_TRUE(f.pf.lib.calls.empty());
        EXPECT_EQ(f.st->usb.hm, nullptr);
    }
}

TEST(CloseUsb, ClosesTheKeyboardAndUnloadsOnce)
{
    Fixture f;
    f.opened();
    EXPECT_EQ(closeUSB(*f.st, f.pf), 0);
    EXPECT_EQ(f.keyboard.calls, std::vector<std::string>{"CloseHidPad"});
    EXPECT_EQ(f.pf.lib.loaded, 0);
    EXPECT_EQ(closeUSB(*f.st, f.pf), 1);

    Fixture g;
    g.opened();
    g.st->fl.usb_f = 0;
    EXPECT_EQ(closeUSB(*g.st, g.pf), 1);
    EXPECT_TRUE(g.keyboard.calls.empty());
    EXPECT_EQ(g.pf.lib.loaded, 1);
    g.st->fl.usb_f = 1;
    closeUSB(*g.st, g.pf);
}

TEST(Rwkbu, OperationsOtherThanReadAndWriteSucceedWithoutTheLibrary)
{
    Fixture f;
    f.opened();
    const size_t before = f.log().size();
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_INFO, f.st->buf.obuf), 0);
    const std::string after = f.log().substr(before);
    EXPECT_EQ(after.rfind(" in rwkbu( 1, ", 0), 0u) << after;
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), 1);
    // Through rwkb: its own entry line, then the hand-over; no device.
    EXPECT_EQ(rwkb(*f.st, f.pf, MODE_8042, f.st->buf.obuf), 0);
    EXPECT_EQ(rwkb(*f.st, f.pf, MODE_DSAB, f.st->buf.obuf), 0);
    EXPECT_TRUE(f.keyboard.calls.empty());
    EXPECT_TRUE(f.pf.events.empty());
    EXPECT_TRUE(f.logHas("\n in rwkb( 7, "));
    closeUSB(*f.st, f.pf);
}

TEST(Rwkbu, DemoModeAndNoLibrary)
{
    Fixture f;
    f.opened();
    f.st->fl.d_f = 1;
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), 0);
    EXPECT_TRUE(f.keyboard.calls.empty());
    f.st->fl.d_f = 0;
    closeUSB(*f.st, f.pf);
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), RWKBU_NO_LIBRARY);
    EXPECT_TRUE(f.boxes().empty());
}

TEST(Rwkbu, ReadTakesTheRegistersFromTheImageWhateverTheResult)
{
    for (int status : {0, 9}) {
        Fixture f;
        f.opened();
        f.keyboard.readStatus = status;
        f.keyboard.memory[0] = 0x21;
        f.keyboard.memory[8185] = 0x82;
        f.keyboard.memory[8186] = 0x0A;
        f.keyboard.memory[8187] = 0x05;
        f.keyboard.memory[8188] = 0x6C;
        f.st->rg.r2e = 0x15;
        // Through the driver operation's entry, as the batch read does.
        EXPECT_EQ(rwkb(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), status);
        EXPECT_EQ(f.keyboard.calls, std::vector<std::string>{"ReadData 8192"});
        EXPECT_EQ(0, std::memcmp(f.st->buf.rbuf.data(), f.keyboard.memory.data(), 8192));
        const Registers& rg = f.st->rg;
        EXPECT_EQ(rg.r2a, 0x6C);
        EXPECT_EQ(rg.r28, 0x05);
        EXPECT_EQ(rg.r27, 0x0A);
        EXPECT_EQ(rg.r29, 0x82);
        EXPECT_EQ(rg.ldt, 0x21);
        EXPECT_TRUE(f.logHas(" r2a=6c, r2e=15, r27=a, r28=5, r29=82, ldt=21 \n"));
        // 16 bytes a line.
        EXPECT_TRUE(f.logHas("\n 21 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n 0 0")) << status;
        if (status) {
            EXPECT_EQ(f.boxes(), std::vector<std::string>{
                                     "box Tessaral USB POS Keyboard Manager | Keyboard read/write failed! | 0"});
        } else {
            EXPECT_TRUE(f.boxes().empty());
        }
        closeUSB(*f.st, f.pf);
    }
}

// The model byte of the data must match the keyboard's r2a unless the
// check is switched off; a refused write sends nothing.
TEST(Rwkbu, WriteChecksTheModelByte)
{
    Fixture f;
    f.opened();
    f.st->rg.r2a = 0x69;
    auto& img = f.st->buf.ibuf;
    img[0] = 0x10;
    img[8188] = 0x6A;
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_WRITE, img), RWKBU_WRONG_KEYBOARD);
    EXPECT_TRUE(f.keyboard.calls.empty());
    EXPECT_EQ(f.boxes(), std::vector<std::string>{
                             "box Tessaral USB POS Keyboard Manager | The data file is not for this keyboard. (69,6a) | 0"});
    // 8 bytes a line.
    EXPECT_TRUE(f.logHas("\n 10 0 0 0 0 0 0 0\n 0 0"));

    f.st->fl.nochk_f = 1;
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_WRITE, img), 0);
    EXPECT_EQ(f.keyboard.calls, std::vector<std::string>{"WriteData 8192"});
    EXPECT_EQ(f.keyboard.written, std::vector<uint8_t>(img.begin(), img.begin() + 8192));

    f.st->fl.nochk_f = 0;
    img[8188] = 0x69;
    f.keyboard.writeStatus = 4;
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_WRITE, img), 4);
    EXPECT_EQ(f.boxes().back(), "box Tessaral USB POS Keyboard Manager | Keyboard read/write failed! | 0");
    EXPECT_EQ(f.keyboard.calls.size(), 2u);
    closeUSB(*f.st, f.pf);
}

// The block transfer of the Read and Write commands goes to the library in
// USB mode, model check included: no device is opened, no block is sent.
TEST(Rwkbu, BlockTransferHandsOverInUsbMode)
{
    Fixture f;
    f.opened();
    f.st->rg.r2a = 0x69;
    auto& img = f.st->buf.ibuf;
    img[8188] = 0x63;
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_WRITE, img), RWKBU_WRONG_KEYBOARD);
    EXPECT_TRUE(f.keyboard.calls.empty());
    EXPECT_EQ(f.boxes(), std::vector<std::string>{
                             "box Tessaral USB POS Keyboard Manager | The data file is not for this keyboard. (69,63) | 0"});
    img[8188] = 0x69;
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_WRITE, img), 0);
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_READ, f.st->buf.rbuf), 0);
    EXPECT_EQ(f.keyboard.calls, (std::vector<std::string>{"WriteData 8192", "ReadData 8192"}));
    EXPECT_TRUE(f.pf.only("open").empty());
    EXPECT_TRUE(f.logHas(" in rwkb16( 3,"));
    closeUSB(*f.st, f.pf);
}

TEST(ReadConfig, TakesTheBlockAndTheModelOfItsType)
{
    Fixture f;
    f.opened();
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 0);
    EXPECT_EQ(f.keyboard.calls, std::vector<std::string>{"ReadConfig 8"});
    const Registers& rg = f.st->rg;
    EXPECT_EQ(rg.r2a, 0x63);
    EXPECT_EQ(rg.r2e, 0x15);
    EXPECT_EQ(rg.ldt, 0x20);
    EXPECT_EQ(rg.r27, 7);
    EXPECT_EQ(rg.r29, 2);  // 1 is raised to 2
    EXPECT_EQ(rg.r28, 5);
    EXPECT_EQ(f.st->mv.kbt_f, 2);  // type 3, QX-61
    EXPECT_EQ(f.st->mv.kbp_f, 6);
    EXPECT_EQ(f.st->mv.kbb_f, 8192);
    EXPECT_EQ(f.st->mv.lmt, 8090);
    EXPECT_EQ(f.st->fl.pad_f + f.st->fl.m84_f + f.st->fl.m70_f, 0);
    for (const char* line : {" in ReadConfig at 1800000000, td_f=0 \n", " rcfg=0 \n", " r2a & 0x1f = 3 \n",
                             " kbt_f=2, kbp_f=6, kbb_f=8192, lmt=8090 \n",
                             " r2a=63, r2e=15, r27=7, r28=5, r29=2, ldt=20 \n"})
        EXPECT_TRUE(f.logHas(line)) << line;
    closeUSB(*f.st, f.pf);
}

TEST(ReadConfig, TestModeTakesTheFixedBlock)
{
    Fixture f;
    f.st->fl.td_f = 1;
    ASSERT_EQ(openUSB(*f.st, f.pf), 0);
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 0);
    EXPECT_TRUE(f.pf.lib.calls.empty());
    const Registers& rg = f.st->rg;
    EXPECT_EQ(rg.r2a, 0x69);
    EXPECT_EQ(rg.r2e, 0x15);
    EXPECT_EQ(rg.ldt, 0x10);
    EXPECT_EQ(rg.r27, 4);
    EXPECT_EQ(rg.r29, 2);
    EXPECT_EQ(rg.r28, 3);
    EXPECT_EQ(f.st->mv.kbt_f, 13);  // QX-63
    EXPECT_EQ(f.st->mv.kmax, 127);
    EXPECT_EQ(f.st->fl.m84_f, 1);
}

TEST(ReadConfig, FailuresKeepTheUsbDefaults)
{
    Fixture f;
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 1);  // not loaded
    EXPECT_EQ(f.st->mv.kbb_f, 8192);  // the fixture's
    EXPECT_TRUE(f.pf.lib.calls.empty());
    f.opened();
    f.st->fl.d_f = 1;
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 1);
    f.st->fl.d_f = 0;
    f.keyboard.configStatus = 2;
    f.st->mv = ModelValues{};
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 1);
    EXPECT_TRUE(f.logHas(" rcfg=2 \n"));
    EXPECT_EQ(f.st->mv.kbb_f, 8192);
    EXPECT_EQ(f.st->mv.kbp_f, 6);
    EXPECT_EQ(f.st->mv.kbt_f, 13);
    EXPECT_EQ(f.st->mv.lmt, 8090);
    EXPECT_EQ(f.st->rg.r2a, 0);
    f.st->fl.usb_f = 0;
    EXPECT_EQ(ReadConfig(*f.st, f.pf), 1);
    f.st->fl.usb_f = 1;
    closeUSB(*f.st, f.pf);
}

TEST(UsbTypes, EachTypeGivesItsModel)
{
    struct Want {
        int pad, m84, m70, kbt, kbp, kmax;
    };
    const Want types[14] = {{1, 0, 0, 6, 1, 175},  {1, 0, 0, 11, 6, 175}, {1, 0, 0, 11, 6, 175},
                            {0, 0, 0, 2, 6, 175},  {0, 0, 0, 4, 6, 175},  {1, 0, 0, 5, 1, 175},
                            {0, 1, 0, 7, 1, 175},  {0, 1, 0, 8, 1, 175},  {0, 1, 0, 9, 6, 175},
                            {0, 1, 0, 13, 6, 127}, {0, 0, 1, 14, 6, 175}, {1, 0, 0, 15, 1, 175},
                            {0, 1, 0, 16, 6, 175}, {0, 1, 0, 17, 6, 175}};
    for (int t = 0; t < 14; ++t) {
        Fixture f;
        f.opened();
        f.keyboard.config[2] = uint8_t(0x60 + t);
        ASSERT_EQ(ReadConfig(*f.st, f.pf), 0);
        const Want& w = types[t];
        EXPECT_EQ(f.st->fl.pad_f, w.pad) << t;
        EXPECT_EQ(f.st->fl.m84_f, w.m84) << t;
        EXPECT_EQ(f.st->fl.m70_f, w.m70) << t;
        EXPECT_EQ(f.st->mv.kbt_f, w.kbt) << t;
        EXPECT_EQ(f.st->mv.kbp_f, w.kbp) << t;
        EXPECT_EQ(f.st->mv.kmax, w.kmax) << t;
        EXPECT_EQ(f.st->mv.lmt, w.kbp == 1 ? 8176 : 8090) << t;
        EXPECT_TRUE(f.boxes().empty());
        closeUSB(*f.st, f.pf);
    }
}

TEST(UsbTypes, AnUnknownTypeKeepsTheDefaults)
{
    for (uint8_t r2a : {0x6E, 0x7F}) {
        Fixture f;
        f.opened();
        f.keyboard.config[2] = r2a;
        EXPECT_EQ(ReadConfig(*f.st, f.pf), 0);
        EXPECT_EQ(f.boxes(), std::vector<std::string>{"box AskConfig, util | no such type | 0"});
        EXPECT_EQ(f.st->mv.kbt_f, 13);
        EXPECT_EQ(f.st->mv.kbp_f, 6);
        EXPECT_EQ(f.st->mv.lmt, 8090);
        EXPECT_EQ(f.st->rg.r2a, r2a);
        closeUSB(*f.st, f.pf);
    }
}

TEST(AskConfig, TheChosenModelDecides)
{
    Fixture f;
    int shown = 0;
    EXPECT_EQ(AskConfig(*f.st, f.pf,
                        [&](State& s) {
                            ++shown;
                            EXPECT_EQ(s.rg.r2a, 0x69);  // the defaults are in place while it shows
                            EXPECT_EQ(s.mv.kbt_f, 13);
                            s.fl.cancel_f = 0;
                            s.rg.r2a = 0x6A;  // QX-44
                        }),
              0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(f.st->fl.ask_f, 1);
    EXPECT_EQ(f.st->fl.m70_f, 1);
    EXPECT_EQ(f.st->mv.kbt_f, 14);
    EXPECT_EQ(f.st->mv.lmt, 8090);
    const Registers& rg = f.st->rg;
    EXPECT_EQ(rg.r2e, 0);
    EXPECT_EQ(rg.r27, 4);
    EXPECT_EQ(rg.r28, 1);
    EXPECT_EQ(rg.r29, 2);
    EXPECT_EQ(rg.ldt, 16);
    EXPECT_TRUE(f.logHas(" in AskConfig at 1800000000, d_f=0 \n"));
    EXPECT_TRUE(f.logHas(" kbt_f=14, kbp_f=6, kbb_f=8192, lmt=8090 \n"));
    // From now on reads and writes succeed without a library.
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_READ, f.st->buf.rbuf), 0);
    EXPECT_EQ(rwkbu(*f.st, f.pf, MODE_WRITE, f.st->buf.ibuf), 0);
    EXPECT_TRUE(f.keyboard.calls.empty());
}

TEST(AskConfig, NoModelChosenLeavesQx63AndCancels)
{
    Fixture f;
    AskConfig(*f.st, f.pf, [](State& s) { s.fl.cancel_f = 1; });
    EXPECT_EQ(f.st->fl.cancel_f, 1);
    EXPECT_EQ(f.st->rg.r2a, 0x69);
    EXPECT_EQ(f.st->mv.kbt_f, 13);
    EXPECT_EQ(f.st->mv.kmax, 127);

    Fixture g;
    AskConfig(*g.st, g.pf, nullptr);
    EXPECT_EQ(g.st->fl.cancel_f, 1);
}
