// Driver start and the log header.
#include "app/startup.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace ptu;

TEST(Startup, DriverStartRunsTwiceWithPumpedWaits)
{
    test::FakePlatform pf;
    startDriver(pf, "start it");
    std::vector<std::string> round = {"shell start it"};
    for (int i = 0; i < 5; ++i) {
        round.push_back("pump");
        round.push_back("sleep 100");
    }
    std::vector<std::string> expected = round;
    expected.insert(expected.end(), round.begin(), round.end());
    EXPECT_EQ(pf.events, expected);
}

TEST(Startup, DriverStartCommand)
{
    // kbdsim beside the program, quoted for the shell; else the one on PATH.
    const test::TempDir folder("ptu-it's-");
    const std::string dir = folder.dir().string();
    const std::string kbdsim = std::string(dir) + "/kbdsim";
    unsetenv("PORTGATE_START");
    EXPECT_EQ(driverStartCommand(dir), "kbdsim --daemon");
    std::ofstream(kbdsim) << "#!/bin/sh\n";
    std::string quoted = dir;
    quoted.replace(quoted.find('\''), 1, "'\\''");
    EXPECT_EQ(driverStartCommand(dir), "'" + quoted + "/kbdsim' --daemon");
    setenv("PORTGATE_START", "systemctl start portgate", 1);
    EXPECT_EQ(driverStartCommand(dir), "systemctl start portgate");
    unsetenv("PORTGATE_START");
}

TEST(Startup, DriverStartIsAdvisedOnlyWhereItWorks)
{
    // The window's cases; tests/e2e/printed_advice.sh runs the batch ones.
    EXPECT_EQ(driverStartAdvice("/opt/my ptu/ptu", {"-x"}), "'/opt/my ptu/ptu' -x -K");
    using Args = std::vector<std::string>;
    for (const Args& args : {Args{}, Args{"-x", "-K"}, Args{"-R", "k.bin"}, Args{"-W", "k.bin"}})
        EXPECT_EQ(driverStartAdvice("/usr/bin/ptu", args), "") << args.size();
}

TEST(Startup, LogIsWrittenOnlyWhenItsFileExists)
{
    const test::TempDir folder("ptu-log-");
    std::string path = folder.path("ptu.log");

    State absent;
    openLog(absent, path, 0, "-s");
    EXPECT_FALSE(absent.log.isOpen());
    EXPECT_FALSE(std::ifstream(path).good()) << "no file is created";

    std::ofstream(path) << "old run\n";
    State present;
    openLog(present, path, 1796676298, "-s -T");
    ASSERT_TRUE(present.log.isOpen());
    present.log.close();
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    std::string log = text.str();
    EXPECT_EQ(log.find("old run"), std::string::npos) << "the old trace is replaced";
    ASSERT_GE(log.size(), 26u);
    EXPECT_EQ(log.substr(0, 2), "\n ");
    std::string date = log.substr(2, log.find('\n', 2) - 2);
    EXPECT_EQ(date.size(), 24u) << date;
    EXPECT_EQ(date, logDate(1796676298));
    EXPECT_NE(log.find("\n\n cp=-s -T \n"), std::string::npos);
}

TEST(Startup, LogDateLayout)
{
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(logDate(1796676298), "Mon Dec  7 20:44:58 2026");
    EXPECT_EQ(logDate(0), "Thu Jan  1 00:00:00 1970");
}
