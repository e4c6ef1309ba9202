// Caption files as a user's folder may hold them, hostile ones included: the
// caption is read without blocking, without reading a device for ever, and
// falls back to the built-in texts.
#include "keydata/captions.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace ptu {
namespace {

namespace fs = std::filesystem;

struct Folder : test::TempDir {
    Folder() : TempDir("captions") {}
    void write(const std::string& name, const std::string& text) { std::ofstream(dir() / name) << text; }
};

TEST(Captions, FirstLineRulesAndHostileFiles)
{
    Folder f;
    f.write("long.ini", std::string(300, 'a') + "\nsecond\n");
    f.write("tab.ini", "\tShop\n");
    f.write("empty.ini", "");
    f.write("ctl.ini", "Shop\x01 one\n");
    fs::create_directory(f.dir() / "folder.ini");
    ASSERT_EQ(::mkfifo((f.dir() / "fifo.ini").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", f.dir() / "zero.ini");

    struct Case {
        const char* file;
        std::string expected;
    };
    const Case cases[] = {
        {"long.ini", std::string(120, 'a')},
        {"tab.ini", ""},
        {"empty.ini", kBuiltInCaption},   // opens but yields no line
        {"ctl.ini", "Shop"},
        {"missing.ini", kMissingCaption},
        {"folder.ini", kMissingCaption},
        {"fifo.ini", kMissingCaption},    // never opened: it would block
        {"zero.ini", kMissingCaption},    // a device is not a caption file
    };
    Log log;
    for (const Case& c : cases) {
        std::string cap = kBuiltInCaption;
        getCaps((f.dir() / c.file).string(), cap, log);
        EXPECT_EQ(cap, c.expected) << c.file;
    }
}

TEST(Captions, LookupPrefersTheStartFolderThenTheDataFolder)
{
    Folder start, data;
    data.write("ptu.ini", "Shipped\n");
    data.write("uptu.ini", "Shipped USB\n");
    start.write("ptu.ini", "Local\n");
    Log log;
    const CaptionBuffers caps = readCaptions({start.dir().string(), data.dir().string()}, log);
    EXPECT_EQ(caps[CAP_DEFAULT], "Local");
    EXPECT_EQ(caps[CAP_J], "Local");
    EXPECT_EQ(caps[CAP_USB], "Shipped USB");
    EXPECT_EQ(caps[CAP_QX43], kMissingCaption);
}

}  // namespace
}  // namespace ptu
