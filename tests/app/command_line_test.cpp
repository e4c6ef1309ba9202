// The command line and the switch scan.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ptu;

namespace {

struct Scanned {
    std::unique_ptr<State> st = std::make_unique<State>();
    SwitchScan scan;
    explicit Scanned(const std::string& cp) { scan = scanSwitches(cp, *st); }
};

}  // namespace

TEST(CommandLine, JoinsArgumentsAndQuotesThoseWithBlanks)
{
    const char* argv[] = {"ptu", "-R", "my keys.bin", "-T"};
    EXPECT_EQ(commandLine(4, argv), "-R \"my keys.bin\" -T");
    const char* none[] = {"ptu"};
    EXPECT_EQ(commandLine(1, none), "");
}

TEST(Switches, EachSwitchSetsItsFlag)
{
    Scanned s("-8 -7 -b -6 -c -m -j -f -x -n -d -t -g -T");
    const Flags& f = s.st->fl;
    EXPECT_EQ(f.m84_f + f.m70_f + f.m17_f + f.m60_f + f.ask_f + f.capm_f + f.capj_f + f.dup_f, 8);
    EXPECT_EQ(f.hide_f, 0);
    EXPECT_EQ(f.raw_f + f.d_f + f.td_f + f.nochk_f + f.kbc_f, 5);
    EXPECT_EQ(f.bat_f, 0);
    EXPECT_EQ(f.pad_f, 0);

    EXPECT_EQ(Scanned("-4").st->fl.pad_f, 1);
    EXPECT_EQ(Scanned("-p").st->fl.pad_f, 1);
    EXPECT_EQ(Scanned("-2").st->fl.pad_f, 2);
    EXPECT_EQ(Scanned("-2 -4").st->fl.pad_f, 1) << "the last one wins";
}

TEST(Switches, OnlyTheCharacterAfterTheDashCountsAndCaseMatters)
{
    Scanned rw("-rw");
    EXPECT_EQ(rw.st->fl.bat_f, BAT_READ);
    EXPECT_EQ(rw.st->fl.nochk_f, 0);

    EXPECT_EQ(Scanned("-S -D -X").st->fl.bat_f, 0);
    EXPECT_EQ(Scanned("-S -D -X").st->fl.hide_f, 1);
    EXPECT_EQ(Scanned("file-s.bin").st->fl.bat_f, BAT_CTRL) << "switches stand anywhere, even inside a word";
}

TEST(Switches, BatchWord)
{
    Scanned w("-w keys.bin");
    EXPECT_EQ(w.st->fl.bat_f, BAT_WRITE);
    EXPECT_EQ(w.st->fl.nochk_f, 1) << "-w also skips the model check";
    EXPECT_EQ(Scanned("-R x").st->fl.bat_f, BAT_READ | BAT_BLOCK);
    EXPECT_EQ(Scanned("-W x").st->fl.bat_f, BAT_WRITE | BAT_BLOCK);
    EXPECT_EQ(Scanned("-r -R x").st->fl.bat_f, Scanned("-R x").st->fl.bat_f);
    EXPECT_EQ(Scanned("-s").st->fl.bat_f, BAT_CTRL);
}

TEST(Switches, HelpEndsTheScan)
{
    Scanned h("-r -? -w");
    EXPECT_TRUE(h.scan.help);
    EXPECT_EQ(h.st->fl.bat_f, BAT_READ) << "switches after the help switch are not read";
    EXPECT_TRUE(Scanned("-h").scan.help);
    EXPECT_FALSE(Scanned("-H").scan.help);
}

TEST(Switches, KeyBound)
{
    EXPECT_EQ(Scanned("").st->mv.kmax, 175);
    EXPECT_EQ(Scanned("-k127").st->mv.kmax, 127);
    EXPECT_EQ(Scanned("-k  99x -r").st->mv.kmax, 99);
    EXPECT_EQ(Scanned("-k +64").st->mv.kmax, 64);
    EXPECT_EQ(Scanned("-r -k").st->mv.kmax, 0) << "no digits give 0";
    EXPECT_EQ(Scanned("-kx").st->mv.kmax, 0);
    EXPECT_EQ(Scanned("-k 400").st->mv.kmax, 175) << "never beyond the last key slot";
    EXPECT_EQ(Scanned("-k -5").st->mv.kmax, 0);
    EXPECT_EQ(Scanned("-k 99999999999999999999").st->mv.kmax, 175);
}

TEST(Switches, DriverStartNeedsABlankBefore)
{
    EXPECT_FALSE(Scanned("-K").scan.driverStart);
    EXPECT_TRUE(Scanned("-s -K").scan.driverStart);
    EXPECT_TRUE(Scanned("-? -K").scan.driverStart) << "the driver starts before the scan";
    EXPECT_FALSE(Scanned("-s -K").st->fl.kbc_f);
}

TEST(Switches, UsbIsASubstringAnywhere)
{
    EXPECT_TRUE(Scanned("-u").scan.usb);
    EXPECT_TRUE(Scanned("-x my-usb").scan.usb);
    EXPECT_FALSE(Scanned("-U").scan.usb);
}

TEST(Switches, FileNamesOfTheBatchOptionsAreNotScanned)
{
    struct Case {
        const char* cp;
        int bat, d, help, usb, driverStart;
    };
    const int rb = BAT_READ | BAT_BLOCK, wb = BAT_WRITE | BAT_BLOCK;
    for (const Case& c : {
             Case{"-R 2024-demo.bin", rb, 0, 0, 0, 0},
             Case{"-W shop-data.bin", wb, 0, 0, 0, 0},
             Case{"-R keys-usb.bin", rb, 0, 0, 0, 0},
             Case{"-R \"store 3 -help.bin\"", rb, 0, 0, 0, 0},
             Case{"-R x.bin -K", rb, 0, 0, 0, 0},              // the rest of the line is the name
             Case{"-r 2024-demo.bin -d -K", BAT_READ, 1, 0, 0, 1},  // after the word: scanned
             Case{"-w \"a -s b.bin\" -u", BAT_WRITE, 0, 0, 1, 0},
             Case{"-r -? -w", BAT_READ, 0, 1, 0, 0},            // a switch is no name
             Case{"x-r -d", BAT_READ, 1, 0, 0, 0},
         }) {
        Scanned s(c.cp);
        EXPECT_EQ(s.st->fl.bat_f, c.bat) << c.cp;
        EXPECT_EQ(s.st->fl.d_f, c.d) << c.cp;
        EXPECT_EQ(s.scan.help, bool(c.help)) << c.cp;
        EXPECT_EQ(s.scan.usb, bool(c.usb)) << c.cp;
        EXPECT_EQ(s.scan.driverStart, bool(c.driverStart)) << c.cp;
        EXPECT_EQ(asksDriverStart(c.cp), bool(c.driverStart)) << c.cp;
    }
}
