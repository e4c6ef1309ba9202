// The window's Read and Write on the keyboard side, and the data file: a
// round trip through the keyboard and through a file, what a failed read
// leaves, the registers after a write, and what Load takes from a file.
#include "device/data_file.h"
#include "device/keyboard_commands.h"
#include "keydata/keypos.h"
#include "tests/support/fake_keyboard.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

using namespace ptu;
using ptu::test::FakeKeyboard;
using ptu::test::FakePlatform;
namespace fs = std::filesystem;

namespace {

// A window's state for model 4 (8K, six pages) on the fake keyboard.
std::unique_ptr<State> model4()
{
    auto st = test::makeState(4);
    st->rg = {0xA4, 0x01, 4, 0xE8, 0x9E, 16};
    return st;
}

// Texts in their normalised form on cells that models 4, 9 and 13 all have.
void program(State& st)
{
    keyCell(st.kd.hbuf, 0, 7, 0) = "abc{ENTER}";
    keyCell(st.kd.hbuf, 1, 5, 2) = "{F1}{F2}";
    keyCell(st.kd.hbuf, 3, 3, 1) = "page four";
    keyCell(st.kd.hbuf, 5, 3, 0) = "{F3}x{ESC}";
}

}  // namespace

TEST(KeyboardCommands, WriteThenReadGivesTheSameKeysAndKeepsTheRegisters)
{
    FakePlatform pf;
    FakeKeyboard kb(8192, 0xA4);
    kb.attach(pf);
    auto a = model4();
    program(*a);
    a->rg.r27 = 9;  // the user's values: the keyboard's INFO replies report others
    a->rg.r28 = 0x41;
    a->rg.r29 = 0x16;
    EXPECT_TRUE(buildWriteImage(*a, pf).empty());
    EXPECT_EQ(sendWriteImage(*a, pf), 0);
    EXPECT_EQ(a->rg.r27, 9);
    EXPECT_EQ(a->rg.r28, 0x41);
    EXPECT_EQ(a->rg.r29, 0x16);
    EXPECT_EQ(kb.mem[8192 - 6], 9);  // the tail carries them

    auto b = model4();
    EXPECT_EQ(readKeyboard(*b, pf), 0);
    // Slot 0 of page 1 (the hidden cell 21,6) carries ldt, not a key text.
    EXPECT_EQ(keyCell(b->kd.hbuf, 0, 21, 6), std::string(1, char(a->rg.ldt)));
    keyCell(b->kd.hbuf, 0, 21, 6).clear();
    EXPECT_TRUE(b->kd.hbuf == a->kd.hbuf);
    EXPECT_EQ(keyCell(b->kd.hbuf, 5, 3, 0), "{F3}x{ESC}");
    EXPECT_EQ(b->kd.magcfg, a->kd.magcfg);
    // The series around the transfer, and the closing label colour.
    EXPECT_EQ(pf.only("beep").front(), "beep 2000 500");
    EXPECT_EQ(pf.only("progress text").back(), "progress text Reading 8K Data from the Keyboard... 0000FF");
}

TEST(KeyboardCommands, AFailedReadKeepsTheUsersWork)
{
    FakePlatform pf;
    FakeKeyboard kb(8192, 0xA4);
    kb.attach(pf);
    kb.failBlock[0x100] = 5;  // every attempt at one block fails
    auto st = model4();
    program(*st);
    st->rg.r27 = 33;
    st->kd.magcfg[6] = 7;
    const PageTexts before = st->kd.hbuf;
    EXPECT_NE(readKeyboard(*st, pf), 0);
    EXPECT_TRUE(st->kd.hbuf == before);
    EXPECT_EQ(st->rg.r27, 33);
    EXPECT_EQ(st->kd.magcfg[6], 7);
    EXPECT_EQ(pf.only("progress hide").size(), 1u);
}

TEST(KeyboardCommands, TheWindowsModelStaysWhateverTheKeyboardSays)
{
    // A keyboard that names no model was settled as model 4 (8K) by the
    // memory-type chooser; its bare identification says 2K.
    FakePlatform pf;
    FakeKeyboard kb(8192, 0x00);
    kb.attach(pf);
    auto st = model4();
    st->rg.r2a = 0;
    kb.mem[8000] = 0x5A;
    EXPECT_EQ(readKeyboard(*st, pf), 0);
    EXPECT_EQ(st->mv.kbb_f, 8192);
    EXPECT_EQ(st->mv.kbt_f, 4);
    EXPECT_EQ(st->buf.ibuf[8000], 0x5A);  // all 8K were read
}

TEST(DataFile, SavedFileIsTheImageWriteSends)
{
    struct Case {
        int model;
        bool usb;
    };
    for (const Case c : {Case{9, false}, Case{13, true}}) {
        FakePlatform pf;
        auto st = model4();
        st->mv.kbt_f = c.model;
        st->mv.kmax = 127;
        st->fl.m84_f = 1;
        st->fl.usb_f = c.usb;
        st->rg.r2a = c.usb ? 0x69 : 0xA4;
        program(*st);
        buildDataFile(*st);
        const std::vector<uint8_t> saved(st->buf.ibuf.begin(), st->buf.ibuf.begin() + 8192);
        st->buf.ibuf.fill(0);
        buildWriteImage(*st, pf);
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), st->buf.ibuf.begin())) << c.model;
        EXPECT_EQ(saved[8191], 0xD6);
        EXPECT_EQ(saved[8192 - 4], c.usb ? 0x69 : st->rg.r29);
    }
}

TEST(DataFile, SaveAndLoadThroughAFile)
{
    const test::TempDir folder("datafile");
    const fs::path& dir = folder.dir();
    auto st = model4();
    program(*st);
    keyCell(st->kd.hbuf, 2, 0, 0) = "{Return}";  // an alias: loads as its first name
    st->rg.r27 = 0;                      // a driver keyboard loads r27 0 as 4
    buildDataFile(*st);
    std::string why;
    ASSERT_TRUE(saveDataFile(*st, (dir / "keys.tpl").string(), why)) << why;
    EXPECT_EQ(fs::file_size(dir / "keys.tpl"), 8192u);

    auto back = model4();
    const int n = readDataFile(*back, (dir / "keys.tpl").string(), why);
    ASSERT_EQ(n, 8192);
    EXPECT_TRUE(loadDataFile(*back, n).whole);
    EXPECT_EQ(keyCell(back->kd.hbuf, 2, 0, 0), "{ENTER}");
    EXPECT_EQ(keyCell(back->kd.hbuf, 5, 3, 0), "{F3}x{ESC}");
    EXPECT_EQ(back->rg.r27, 4);

    // A short file changes nothing at all; a longer one loads.
    std::ofstream(dir / "short.tpl", std::ios::binary).write("\xff\x1e", 2);
    auto kept = model4();
    program(*kept);
    const PageTexts texts = kept->kd.hbuf;
    EXPECT_FALSE(loadDataFile(*kept, readDataFile(*kept, (dir / "short.tpl").string(), why)).whole);
    EXPECT_TRUE(kept->kd.hbuf == texts);
    EXPECT_EQ(kept->rg.r27, 4);
    fs::copy_file(dir / "keys.tpl", dir / "long.tpl");
    std::ofstream(dir / "long.tpl", std::ios::binary | std::ios::app) << std::string(100, 'x');
    auto longer = model4();
    EXPECT_TRUE(loadDataFile(*longer, readDataFile(*longer, (dir / "long.tpl").string(), why)).whole);
    EXPECT_EQ(keyCell(longer->kd.hbuf, 0, 7, 0), "abc{ENTER}");

    // Files that are no data file: a folder, a device, a missing one.
    for (const std::string& p : {dir.string(), std::string("/dev/zero"), (dir / "none.tpl").string()}) {
        EXPECT_EQ(readDataFile(*longer, p, why), -1) << p;
        EXPECT_NE(why.find(p), std::string::npos) << why;
    }
    // A folder nobody may write into (even root cannot write /proc): an
    // error, and no file.
    EXPECT_FALSE(saveDataFile(*st, "/proc/keys.tpl", why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(saveDataFile(*st, dir.string(), why));  // a folder's name
}

TEST(DataFile, UsbFileOfAnotherModelIsNamedButLoaded)
{
    auto st = model4();
    st->fl.usb_f = 1;
    st->mv.kbt_f = 13;
    st->rg.r2a = 0x69;
    program(*st);
    buildDataFile(*st);
    auto other = model4();
    other->fl.usb_f = 1;
    other->mv.kbt_f = 13;
    other->rg.r2a = 0x64;  // a QX-62 attached
    std::copy_n(st->buf.ibuf.begin(), 8192, other->buf.rbuf.begin());
    const LoadOutcome o = loadDataFile(*other, 8192);
    EXPECT_TRUE(o.otherModel);
    EXPECT_EQ(keyCell(other->kd.hbuf, 0, 7, 0), "abc{ENTER}");
    EXPECT_EQ(other->rg.r29, st->rg.r29);  // from its USB place
}
