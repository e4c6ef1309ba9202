// Where the USB keyboard library is looked for: $HIDPAD_LIBRARY, beside the
// program, in ../lib/ptu of an installed program, else the loader's search.
#include "platform/library.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace ptu {
namespace {

namespace fs = std::filesystem;

TEST(LibraryPath, BesideTheProgramThenLibPtuThenTheLoader)
{
    const test::TempDir folder("librarypath");
    const fs::path& root = folder.dir();
    const fs::path bin = root / "bin", lib = root / "lib" / "ptu";
    fs::create_directories(bin);
    fs::create_directories(lib);
    auto touch = [](const fs::path& p) { std::ofstream{p}; };
    auto gone = [](const fs::path& p) { fs::remove(p); };

    struct Case {
        const char* what;
        std::vector<fs::path> files;
        const char* env;  // $HIDPAD_LIBRARY, or null
        std::string name, expected;
    };
    const Case cases[] = {
        {"beside wins", {bin / "libhidpad.so", lib / "libhidpad.so"}, nullptr, kHidpadLibrary,
         (bin / "libhidpad.so").string()},
        {"installed layout", {lib / "libhidpad.so"}, nullptr, kHidpadLibrary, (lib / "libhidpad.so").string()},
        {"nowhere: the loader searches", {}, nullptr, kHidpadLibrary, kHidpadLibrary},
        {"a path in the variable is taken as it is", {bin / "libhidpad.so"}, "/opt/x/usb.so", kHidpadLibrary,
         "/opt/x/usb.so"},
        {"a bare name in the variable is looked up too", {lib / "usb.so"}, "usb.so", kHidpadLibrary,
         (lib / "usb.so").string()},
        {"the variable names only the USB library", {lib / "other.so"}, "usb.so", "other.so",
         (lib / "other.so").string()},
    };
    for (const Case& c : cases) {
        for (const auto& f : c.files) touch(f);
        if (c.env) setenv("HIDPAD_LIBRARY", c.env, 1);
        else unsetenv("HIDPAD_LIBRARY");
        EXPECT_EQ(DlLibrary(bin.string()).path(c.name), c.expected) << c.what;
        for (const auto& f : c.files) gone(f);
    }
    unsetenv("HIDPAD_LIBRARY");
    EXPECT_EQ(DlLibrary().path(kHidpadLibrary), kHidpadLibrary) << "no program folder known";
}

}  // namespace
}  // namespace ptu
