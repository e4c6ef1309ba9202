// The batch roads on the virtual clock: detection attempts, the transfer
// the switches choose, the closing tone and operations, the exit code.
#include "app/batch_road.h"
#include "app/command_line.h"
#include "tests/support/fake_keyboard.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

using namespace ptu;
using ptu::test::FakePlatform;
namespace fs = std::filesystem;

namespace {

struct Road : test::Rig {
    test::TempDir folder{"pturoad"};  // no "-": its path stands in a scanned command line

    Road() { kb.mem = test::pattern(8192); }
    std::string path(const std::string& name) const { return folder.path(name); }
    int run(const std::string& cp)
    {
        scanSwitches(cp, *st);
        return batchRoad(*st, pf, cp);
    }
    std::vector<uint8_t> file(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

std::vector<std::string> tail(const std::vector<std::string>& v, size_t n)
{
    return std::vector<std::string>(v.end() - long(std::min(n, v.size())), v.end());
}

// What a road does after its transfer: the closing tone, INFO twice (the
// two "8042" never reach the driver without -T), one pump, the box away.
std::vector<std::string> closing(int freq)
{
    std::vector<std::string> v{"beep " + std::to_string(freq) + " 500"};
    for (int i = 0; i < 2; ++i) v.insert(v.end(), {"sleep 500", "open portgate", "pump", "request 80ff0008 16 16", "close", "pump"});
    v.insert(v.end(), {"pump", "progress hide"});
    return v;
}

}  // namespace

TEST(BatchRoad, BlockReadFromStartToEnd)
{
    Road r;
    EXPECT_EQ(r.run("-R " + r.path("out")), 0);
    EXPECT_EQ(r.file("out"), r.kb.mem);

    const std::vector<std::string> opening{"progress text Detecting Keyboad ... -", "progress show",
                                           "progress repaint", "beep 2000 500", "pump", "sleep 500"};
    EXPECT_EQ(std::vector<std::string>(r.pf.events.begin(), r.pf.events.begin() + 6), opening);
    EXPECT_EQ(tail(r.pf.events, closing(3000).size()), closing(3000));
    // One attempt: DSAB and INFO ("8042" needs -T).
    EXPECT_EQ(r.pf.only("request 80ff0028").size(), 1u);
    EXPECT_EQ(r.pf.only("request 80ff0044").size(), 512u);
    // The waits and tones the sequence itself asks for, and nothing else.
    EXPECT_EQ(r.pf.clock_ms, 500 + 500 + 500 + 500 + 2 * 500);
}

TEST(BatchRoad, WritesCloseWithTheLowerTone)
{
    Road r;
    std::vector<uint8_t> image = test::pattern(8192, 21);
    std::ofstream(r.path("in"), std::ios::binary).write(reinterpret_cast<const char*>(image.data()), 8192);
    EXPECT_EQ(r.run("-w " + r.path("in")), 0);
    EXPECT_EQ(r.kb.mem, image);
    EXPECT_EQ(tail(r.pf.events, closing(2000).size()), closing(2000));
}

TEST(BatchRoad, AttemptsStopWhenTheKeyboardAnswers)
{
    Road r;
    r.kb.infoFailures = 2;
    r.st->fl.kbc_f = 1;  // -T: the controller operation reaches the driver
    EXPECT_EQ(r.run("-R " + r.path("out")), 0);
    // Three attempts, each "8042", DSAB, INFO; then the closing INFO twice and "8042" twice.
    EXPECT_EQ(r.pf.only("request 80ff0038").size(), 3u + 2u);
    EXPECT_EQ(r.pf.only("request 80ff0008").size(), 3u + 2u);
    EXPECT_EQ(r.pf.count("beep 500 500"), 2) << "each frameless INFO sounds its tone";
    EXPECT_EQ(r.file("out"), r.kb.mem);
}

TEST(BatchRoad, NoKeyboardExitsOneAndSaysSo)
{
    Road r;
    r.pf.portgate_present = false;
    EXPECT_EQ(r.run("-R " + r.path("out")), kNoKeyboardExit);
    EXPECT_EQ(r.pf.count("sleep 500"), 1 + 5 + 2) << "five INFO attempts, two closing ones";
    EXPECT_TRUE(r.pf.only("request").empty());
    EXPECT_EQ(r.pf.only("progress text").back(), std::string("progress text ") + kNoKeyboard + " -");
    ASSERT_EQ(r.pf.only("warning").size(), 1u);
    EXPECT_NE(r.pf.only("warning")[0].find("did not identify"), std::string::npos);
    EXPECT_EQ(r.pf.only("beep 3000").size(), 1u) << "the closing steps still run";
    EXPECT_EQ(r.pf.events.back(), "progress hide");
    EXPECT_FALSE(fs::exists(r.path("out")));
}

TEST(BatchRoad, TheTransferStatusIsTheExitCode)
{
    // A file that cannot be used ends the run before the keyboard is asked.
    Road a;
    EXPECT_EQ(a.run("-W " + a.path("missing")), 3);
    EXPECT_EQ(a.pf.events.size(), 1u) << "the warning alone";

    Road b;
    EXPECT_EQ(b.run("-x -R " + b.path("out")), 1);
    EXPECT_FALSE(fs::exists(b.path("out")));
    EXPECT_TRUE(b.pf.only("request").empty());

    Road c;
    c.kb.failBlock[0x1000] = 5;
    std::ofstream(c.path("out")) << "previous";
    EXPECT_EQ(c.run("-R " + c.path("out")), 4);
    EXPECT_EQ(c.file("out"), (std::vector<uint8_t>{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's'}));
    EXPECT_EQ(c.pf.only("box").size(), 1u);
}
