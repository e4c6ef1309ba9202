// The USB road of start-up: which failures end a run, when the user is asked
// for the model, and that the end of a run closes the library. The road as
// the program runs it is driven through its real chooser.
#include "app/usb_road.h"
#include "platform/qt/qt_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_log.h"
#include "ui/usb_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

using namespace ptu;
using ptu::test::FakePlatform;

namespace {

// The library's side, answered by the test.
struct Keyboard {
    int configStatus = 0;
    uint8_t type = 8;  // QX-43
    std::vector<std::string> calls;
};
Keyboard* kb = nullptr;

int kbOpen() { kb->calls.push_back("OpenHidPad"); return 0; }
int kbClose() { kb->calls.push_back("CloseHidPad"); return 0; }
int kbTransfer(unsigned char*, int) { kb->calls.push_back("transfer"); return 0; }
int kbConfig(unsigned char* b, int)
{
    kb->calls.push_back("ReadConfig");
    const uint8_t block[8] = {0, 0x15, uint8_t(0x60 + kb->type), 16, 4, 2, 1, 0};
    std::memcpy(b, block, 8);
    return kb->configStatus;
}

struct Road {
    std::unique_ptr<State> st = std::make_unique<State>();
    FakePlatform pf;
    Keyboard keyboard;
    int asked = 0;
    int chosen = -1;  // the model the user picks; -1 gives up
    Keyboard* outer = kb;  // a road made while another one is alive

    Road()
    {
        kb = &keyboard;
        void* transfer = reinterpret_cast<void*>(&kbTransfer);
        pf.lib.symbols = {{"OpenHidPad", reinterpret_cast<void*>(&kbOpen)},
                          {"ReadData", transfer},
                          {"WriteData", transfer},
                          {"WriteCMD", transfer},
                          {"ReadConfig", reinterpret_cast<void*>(&kbConfig)},
                          {"CloseHidPad", reinterpret_cast<void*>(&kbClose)}};
    }
    ~Road()
    {
        closeUSB(*st, pf);
        kb = outer;
    }
    bool run()
    {
        return usbRoad(*st, pf, [this](State& s) {
            ++asked;
            s.fl.cancel_f = chosen < 0;
            if (chosen >= 0) s.rg.r2a = uint8_t(0x60 + chosen);
        });
    }
};

}  // namespace

TEST(UsbRoad, AKeyboardThatReportsItselfNeedsNoChooser)
{
    Road r;
    EXPECT_TRUE(r.run());
    EXPECT_EQ(r.asked, 0);
    EXPECT_EQ(r.st->fl.usb_f, 1);
    EXPECT_EQ(r.st->fl.ask_f, 0);
    EXPECT_EQ(r.keyboard.calls, (std::vector<std::string>{"OpenHidPad", "ReadConfig"}));
    EXPECT_EQ(r.st->rg.r2a, 0x68);
    EXPECT_EQ(r.st->mv.kbt_f, 9);
    EXPECT_EQ(r.st->fl.m84_f, 1);

    // The end of the run closes the keyboard and the library, after the log.
    test::MemoryLog log(r.st->log);
    EXPECT_EQ(endRun(*r.st, r.pf, 7), 7);
    EXPECT_FALSE(r.st->log.isOpen());
    EXPECT_EQ(r.keyboard.calls.back(), "CloseHidPad");
    EXPECT_EQ(r.pf.lib.loaded, 0);
}

// A batch run cannot ask: it ends, with the start values still in place.
TEST(UsbRoad, ABatchRunEndsWhenTheKeyboardCannotBeReached)
{
    for (int way = 0; way < 2; ++way) {
        Road r;
        r.st->fl.bat_f = BAT_READ;
        if (way == 0) r.pf.lib.present = false;
        else r.keyboard.configStatus = 1;
        EXPECT_FALSE(r.run());
        EXPECT_EQ(r.asked, 0);
        EXPECT_EQ(r.st->fl.cancel_f, 1);
        const Registers& rg = r.st->rg;
        EXPECT_EQ(rg.r2a, 0);
        EXPECT_EQ(rg.r28, 5);
        EXPECT_EQ(rg.r27, 4);
        EXPECT_EQ(rg.r29, 2);
        EXPECT_EQ(rg.ldt, 16);
    }
}

TEST(UsbRoad, AnInteractiveRunAsksForTheModel)
{
    for (int way = 0; way < 2; ++way) {
        Road r;
        if (way == 0) r.pf.lib.present = false;
        else r.keyboard.configStatus = 1;
        r.chosen = 11;  // QX-33
        EXPECT_TRUE(r.run());
        EXPECT_EQ(r.asked, 1);
        EXPECT_EQ(r.st->fl.ask_f, 1);
        EXPECT_EQ(r.st->rg.r2a, 0x6B);
        EXPECT_EQ(r.st->fl.pad_f, 1);
        EXPECT_EQ(r.st->mv.kbt_f, 15);
        EXPECT_EQ(r.st->mv.kbp_f, 1);
        EXPECT_EQ(r.st->mv.lmt, 8176);

        Road g;
        if (way == 0) g.pf.lib.present = false;
        else g.keyboard.configStatus = 1;
        EXPECT_FALSE(g.run());
        EXPECT_EQ(g.asked, 1);
        EXPECT_EQ(g.st->rg.r2a, 0x69);
    }
}

namespace {

// The program's own road with the real chooser and platform; the library
// is nowhere, so the chooser is shown, and `user` answers it.
struct RealRoad {
    std::unique_ptr<State> st = std::make_unique<State>();
    QtPlatform pf{false};
    std::unique_ptr<TDialog2> chooser;
    int seen = 0;
    std::function<void()> answer;

    bool run(std::function<void(TDialog2&)> user)
    {
        setenv("HIDPAD_LIBRARY", "/nonexistent/libhidpad.so", 1);
        answer = [this, user] {
            auto* d = qobject_cast<TDialog2*>(QApplication::activeModalWidget());
            if (!d) {
                QTimer::singleShot(10, answer);  // not shown yet
                return;
            }
            ++seen;
            user(*d);
        };
        QTimer::singleShot(0, answer);
        const bool on = runUsbRoad(*st, pf, chooser);
        unsetenv("HIDPAD_LIBRARY");
        return on;
    }
};

}  // namespace

TEST(UsbRoad, TheChooserEndsTheRunUnlessAModelIsChosen)
{
    const std::function<void(TDialog2&)> endings[] = {
        [](TDialog2& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); },
        [](TDialog2& d) {
            QTest::mouseClick(d.RadioButton[0], Qt::LeftButton);
            QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
        },
    };
    for (const auto& ending : endings) {
        RealRoad r;
        EXPECT_FALSE(r.run(ending));
        EXPECT_EQ(r.seen, 1);
        EXPECT_EQ(r.st->fl.cancel_f, 1);
        EXPECT_EQ(r.chooser, nullptr) << "the chooser is destroyed";
    }

    RealRoad r;
    EXPECT_TRUE(r.run([](TDialog2& d) {
        QTest::mouseClick(d.RadioButton[6], Qt::LeftButton);  // QX-41
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    }));
    EXPECT_EQ(r.st->rg.r2a, 0x66);
    EXPECT_EQ(r.st->fl.m84_f, 1);
    EXPECT_EQ(r.st->mv.kbt_f, 7);
    EXPECT_EQ(r.st->mv.kbp_f, 1);
    EXPECT_EQ(r.st->mv.lmt, 8176);
    EXPECT_NE(r.chooser, nullptr) << "the chooser stays for the window";
}
