// Starting another program without a shell: exactly the argument vector it is
// given, its exit status, and a program that is not there.
#include "platform/posix_platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace ptu {
namespace {

namespace fs = std::filesystem;

TEST(RunProgram, PassesTheVectorAsItIsAndWaits)
{
    const test::TempDir folder("runprogram");
    const fs::path& dir = folder.dir();
    const fs::path tool = dir / "stripe";
    const fs::path out = dir / "args";
    // The tool records the name it was given and its arguments, one a line.
    std::ofstream(tool) << "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > '" << out.string() << "'\nexit 7\n";
    fs::permissions(tool, fs::perms::owner_all);
    PosixPlatform pf;
    EXPECT_EQ(pf.runProgram(tool.string(), {"-u", "-u"}), 7);
    std::stringstream got;
    got << std::ifstream(out).rdbuf();
    // A shell script sees its own path as $0; the second element is its first argument.
    EXPECT_EQ(got.str(), tool.string() + "\n-u\n");

    EXPECT_EQ(pf.runProgram((dir / "none").string(), {"--", "--"}), -1);
    EXPECT_EQ(pf.lastError(), ENOENT);
}

}  // namespace
}  // namespace ptu
