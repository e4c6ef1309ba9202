// The emulated USB keyboard library, loaded the way the program loads it.
#include "platform/library.h"
#include "sim/hidpad/emulator.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

// The library's entries, resolved by name from the built libhidpad.so.
struct Hidpad {
    ptu::DlLibrary lib;
    ptu::LibHandle h = nullptr;
    int (*open)() = nullptr;
    int (*read)(unsigned char*, int) = nullptr;
    int (*write)(unsigned char*, int) = nullptr;
    int (*command)(unsigned char*, int) = nullptr;
    int (*config)(unsigned char*, int) = nullptr;
    int (*close)() = nullptr;
    ptu::test::TempDir folder{"hidpad-test-"};
    std::string dir = folder.dir().string();

    Hidpad()
    {
        setenv("HIDPAD_LIBRARY", HIDPAD_PATH, 1);
        unsetenv("HIDPAD_EMU_FAIL");
        unsetenv("HIDPAD_EMU_TYPE");
        setenv("HIDPAD_EMU_MEMORY", (dir + "/memory").c_str(), 1);
        h = lib.load(ptu::kHidpadLibrary);
        if (!h) {
            ADD_FAILURE() << lib.errorText();
            return;
        }
        open = reinterpret_cast<int (*)()>(lib.symbol(h, "OpenHidPad"));
        read = reinterpret_cast<int (*)(unsigned char*, int)>(lib.symbol(h, "ReadData"));
        write = reinterpret_cast<int (*)(unsigned char*, int)>(lib.symbol(h, "WriteData"));
        command = reinterpret_cast<int (*)(unsigned char*, int)>(lib.symbol(h, "WriteCMD"));
        config = reinterpret_cast<int (*)(unsigned char*, int)>(lib.symbol(h, "ReadConfig"));
        close = reinterpret_cast<int (*)()>(lib.symbol(h, "CloseHidPad"));
    }
    ~Hidpad()
    {
        if (close) close();
        lib.unload(h);
        unsetenv("HIDPAD_EMU_FAIL");
        unsetenv("HIDPAD_EMU_TYPE");
        unsetenv("HIDPAD_EMU_MEMORY");
    }
    std::string memoryFile() const { return dir + "/memory"; }
    Bytes readAll()
    {
        Bytes b(8192, 0xEE);
        EXPECT_EQ(read(b.data(), 8192), HIDPAD_OK);
        return b;
    }
    Bytes configBlock(int expect = HIDPAD_OK)
    {
        Bytes c(8, 0xEE);
        EXPECT_EQ(config(c.data(), 8), expect);
        return c;
    }
};

Bytes fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Hidpad, AFreshKeyboardHoldsAnEmptyImageOfItsType)
{
    Hidpad k;
    for (void* e : {(void*)k.open, (void*)k.read, (void*)k.write, (void*)k.command, (void*)k.config, (void*)k.close})
        ASSERT_NE(e, nullptr);
    setenv("HIDPAD_EMU_TYPE", "4", 1);
    ASSERT_EQ(k.open(), HIDPAD_OK);
    Bytes m = k.readAll();
    Bytes want(8192, 0);
    want[0] = 16;
    want[8185] = 2;
    want[8186] = 4;
    want[8187] = 1;
    want[8188] = 0x64;
    want[8189] = 0x55;
    want[8190] = 0xAA;
    want[8191] = 0xD6;
    EXPECT_EQ(m, want);
    EXPECT_EQ(k.configBlock(), (Bytes{0, 0x15, 0x64, 16, 4, 2, 1, 0}));
    EXPECT_NE(access(k.memoryFile().c_str(), F_OK), 0) << "reading creates no file";
}

TEST(Hidpad, WritesPersistInTheMemoryFile)
{
    Hidpad k;
    ASSERT_EQ(k.open(), HIDPAD_OK);  // type 9 without HIDPAD_EMU_TYPE
    Bytes img(8192);
    for (size_t i = 0; i < img.size(); ++i) img[i] = uint8_t(i * 7);
    img[0] = 0x21;
    img[8185] = 0x82, img[8186] = 0x0A, img[8187] = 0x05, img[8188] = 0x6C;
    img[8189] = 0x55, img[8190] = 0xAA, img[8191] = 0xD6;
    ASSERT_EQ(k.write(img.data(), 8192), HIDPAD_OK);
    EXPECT_EQ(fileBytes(k.memoryFile()), img);
    EXPECT_EQ(k.readAll(), img);
    // The registers come from the image; the type from the keyboard.
    EXPECT_EQ(k.configBlock(), (Bytes{0, 0x15, 0x69, 0x21, 0x0A, 0x82, 0x05, 0}));

    // Another run: close, open again.
    ASSERT_EQ(k.close(), HIDPAD_OK);
    ASSERT_EQ(k.open(), HIDPAD_OK);
    EXPECT_EQ(k.readAll(), img);

    // A shorter write replaces only its own bytes.
    Bytes head(100, 0x42);
    ASSERT_EQ(k.write(head.data(), 100), HIDPAD_OK);
    std::copy(head.begin(), head.end(), img.begin());
    EXPECT_EQ(k.readAll(), img);

    // Without the signature the configuration falls back to the defaults.
    img[8191] = 0;
    ASSERT_EQ(k.write(img.data(), 8192), HIDPAD_OK);
    EXPECT_EQ(k.configBlock(), (Bytes{0, 0x15, 0x69, 16, 4, 2, 1, 0}));
}

TEST(Hidpad, FaultsOnRequestChangeNothing)
{
    Hidpad k;
    setenv("HIDPAD_EMU_FAIL", "open", 1);
    EXPECT_EQ(k.open(), HIDPAD_NO_KEYBOARD);
    setenv("HIDPAD_EMU_FAIL", "read, config,command", 1);
    ASSERT_EQ(k.open(), HIDPAD_OK);
    Bytes b(8192, 0xEE);
    EXPECT_EQ(k.read(b.data(), 8192), HIDPAD_TRANSFER_FAILED);
    EXPECT_EQ(b, Bytes(8192, 0xEE));
    EXPECT_EQ(k.configBlock(HIDPAD_TRANSFER_FAILED), Bytes(8, 0xEE));
    EXPECT_EQ(k.command(b.data(), 4), HIDPAD_TRANSFER_FAILED);
    Bytes img(8192, 0x11);
    EXPECT_EQ(k.write(img.data(), 8192), HIDPAD_OK);
    setenv("HIDPAD_EMU_FAIL", "write", 1);
    Bytes other(8192, 0x22);
    EXPECT_EQ(k.write(other.data(), 8192), HIDPAD_TRANSFER_FAILED);
    EXPECT_EQ(k.readAll(), img);
    EXPECT_EQ(k.command(b.data(), 4), HIDPAD_OK);
    setenv("HIDPAD_EMU_FAIL", "close", 1);
    EXPECT_EQ(k.close(), HIDPAD_TRANSFER_FAILED);
    unsetenv("HIDPAD_EMU_FAIL");
}

TEST(Hidpad, CallsOutOfTurnOrOutOfRangeAreRefused)
{
    Hidpad k;
    Bytes b(8193, 0);
    EXPECT_EQ(k.read(b.data(), 8192), HIDPAD_NOT_OPEN);
    EXPECT_EQ(k.write(b.data(), 8192), HIDPAD_NOT_OPEN);
    EXPECT_EQ(k.config(b.data(), 8), HIDPAD_NOT_OPEN);
    EXPECT_EQ(k.command(b.data(), 1), HIDPAD_NOT_OPEN);
    EXPECT_EQ(k.close(), HIDPAD_NOT_OPEN);
    ASSERT_EQ(k.open(), HIDPAD_OK);
    EXPECT_EQ(k.read(nullptr, 8192), HIDPAD_BAD_ARGUMENT);
    EXPECT_EQ(k.read(b.data(), 0), HIDPAD_BAD_ARGUMENT);
    EXPECT_EQ(k.read(b.data(), 8193), HIDPAD_BAD_ARGUMENT);
    EXPECT_EQ(k.write(b.data(), 8193), HIDPAD_BAD_ARGUMENT);
    EXPECT_EQ(k.config(b.data(), 7), HIDPAD_BAD_ARGUMENT);
    EXPECT_EQ(k.command(b.data(), 65), HIDPAD_BAD_ARGUMENT);
}

TEST(Hidpad, TypesAndMemoryFiles)
{
    Hidpad k;
    setenv("HIDPAD_EMU_TYPE", "14", 1);  // a type no program knows
    ASSERT_EQ(k.open(), HIDPAD_OK);
    EXPECT_EQ(k.configBlock()[2], 0x6E);
    k.close();
    for (const char* bad : {"32", "-1", "x", "9x"}) {
        setenv("HIDPAD_EMU_TYPE", bad, 1);
        EXPECT_EQ(k.open(), HIDPAD_NO_KEYBOARD) << bad;
    }
    setenv("HIDPAD_EMU_TYPE", "0x0B", 1);
    ASSERT_EQ(k.open(), HIDPAD_OK);
    EXPECT_EQ(k.configBlock()[2], 0x6B);

    // A memory file of another size is no keyboard memory.
    std::ofstream(k.memoryFile(), std::ios::binary) << std::string(100, 'x');
    Bytes b(8192);
    EXPECT_EQ(k.read(b.data(), 8192), HIDPAD_MEMORY_ERROR);
    EXPECT_EQ(k.config(b.data(), 8), HIDPAD_MEMORY_ERROR);
    // A whole write replaces it.
    Bytes img(8192, 0x33);
    EXPECT_EQ(k.write(img.data(), 8192), HIDPAD_OK);
    EXPECT_EQ(k.readAll(), img);
}
