// The emulated keyboard's answers, checked the way the program reads them:
// the INFO frame is searched for as the program searches for it, nibble
// bytes are unpacked as the program unpacks them.
#include "sim/model/firmware.h"
#include "sim/model/memfile.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>

namespace kbdsim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// INFO as the program reads it: at most 16 bytes considered, the last of
// them the end mark, the first 0xD6 followed by 0xD0..0xDF starts the frame.
struct InfoRead {
    bool endMark = false;
    std::optional<Registers> regs;
};

InfoRead readInfo(const Bytes& d)
{
    InfoRead r;
    size_t n = std::min<size_t>(d.size(), 16);
    if (n == 0) return r;
    r.endMark = d[n - 1] == 0xC0;
    for (size_t i = 0; i < n; ++i) {
        if (d[i] != 0xD6 || i + 1 >= d.size() || (d[i + 1] & 0xF0) != 0xD0) continue;
        if (i + 11 > d.size()) break;
        auto v = [&](size_t k) { return uint8_t((d[i + 1 + 2 * k] & 0x0F) << 4 | (d[i + 2 + 2 * k] & 0x0F)); };
        r.regs = Registers{v(0), v(1), v(2), v(3), v(4)};
        break;
    }
    return r;
}

// Nibble bytes to data bytes: skip to the first byte in 0xD0..0xF0, then pairs.
Bytes unpack(const Bytes& d, size_t count)
{
    size_t i = 0;
    while (i < d.size() && !(d[i] >= 0xD0 && d[i] <= 0xF0)) ++i;
    Bytes out;
    for (; out.size() < count && i + 1 < d.size(); i += 2) {
        EXPECT_EQ(d[i] & 0xF0, 0xD0) << "pair " << out.size();
        out.push_back(uint8_t((d[i] & 0x0F) << 4 | (d[i + 1] & 0x0F)));
    }
    return out;
}

Bytes blockRequest(size_t addr, const uint8_t* data = nullptr)
{
    Bytes in(18, 0);
    in[0] = uint8_t(addr);
    in[1] = uint8_t(addr >> 8);
    if (data) std::copy(data, data + 16, in.begin() + 2);
    return in;
}

// An image as the program's Write leaves it: registers and signature at the end.
Bytes signedImage(size_t size, uint8_t r29, uint8_t r28, uint8_t r27)
{
    Bytes img(size);
    for (size_t i = 0; i < size; ++i) img[i] = uint8_t(i * 7 + 3);
    img[size - 6] = r27;
    img[size - 5] = r28;
    img[size - 4] = r29;
    img[size - 3] = 0x55;
    img[size - 2] = 0xAA;
    img[size - 1] = 0xD6;
    return img;
}

struct Kbd {
    explicit Kbd(Registers regs = {}, FaultPlan faults = {}) : fw(config(regs, faults)) {}
    static Config config(Registers regs, FaultPlan faults)
    {
        Config c;
        c.regs = regs;
        c.faults = std::move(faults);
        return c;
    }
    Answer ask(uint32_t fn, const Bytes& in, uint32_t out) { return fw.answer(codeOf(fn), in, out); }
    Answer info() { return ask(kInfo, Bytes(16, 0), 16); }
    Answer read() { return ask(kRead, Bytes(2 * size() + 4, 0), uint32_t(2 * size() + 16)); }
    Answer write(const Bytes& img) { return ask(kWrite, img, uint32_t(4 * size() + 16)); }
    Answer bread(size_t a) { return ask(kBlockRead, blockRequest(a), 64); }
    Answer bwrite(size_t a, const uint8_t* d) { return ask(kBlockWrite, blockRequest(a, d), 64); }
    size_t size() const { return fw.memory().size(); }
    Firmware fw;
};

FaultPlan plan(std::initializer_list<std::pair<const char*, const char*>> opts)
{
    FaultPlan p;
    for (auto [name, value] : opts) {
        std::string err;
        EXPECT_TRUE(addFaultOption(name, value, p, err)) << name << " " << value << ": " << err;
    }
    return p;
}

TEST(KbdsimFirmware, InfoCarriesTheRegistersInAFrameTheProgramFinds)
{
    // Register values whose nibbles look like marks must not confuse the search.
    for (Registers r : {Registers{}, Registers{0x6D, 0xD6, 0xC0, 0xD6, 0x00}, Registers{0xFC, 0x64, 0x16, 0x20, 140}}) {
        Kbd k(r);
        Answer a = k.info();
        ASSERT_TRUE(a.success);
        EXPECT_GT(a.data.size(), 10u);
        EXPECT_LE(a.data.size(), 16u);
        InfoRead got = readInfo(a.data);
        EXPECT_TRUE(got.endMark);
        ASSERT_TRUE(got.regs);
        EXPECT_EQ(got.regs->r2a, r.r2a);
        EXPECT_EQ(got.regs->r2e, r.r2e);
        EXPECT_EQ(got.regs->r29, r.r29);
        EXPECT_EQ(got.regs->r28, r.r28);
        EXPECT_EQ(got.regs->r27, r.r27);
    }
}

TEST(KbdsimFirmware, MemorySizeFollowsTheIdentificationByte)
{
    const std::pair<uint8_t, size_t> cases[] = {{0xA4, 8192}, {0x60, 8192}, {0x17, 4096}, {0x90, 4096},
                                                {0x07, 2048}, {0x38, 2048}, {0xBC, 2048}, {0xFC, 2048},
                                                {0xFD, 2048}, {0x00, 2048}};
    for (auto [r2a, size] : cases) {
        Kbd k(Registers{r2a, 1, 0x9E, 0xE8, 4});
        EXPECT_EQ(k.size(), size) << std::hex << int(r2a);
        Answer a = k.read();
        ASSERT_TRUE(a.success);
        EXPECT_GE(a.data.size(), 4096u);  // the program rejects shorter READ replies
        EXPECT_EQ(unpack(a.data, size).size(), size);
    }
}

TEST(KbdsimFirmware, WriteIsReflectedByReadAndInfo)
{
    Kbd k;  // 8192 bytes
    Bytes img = signedImage(8192, 0x96, 0x21, 9);
    Answer w = k.write(img);
    ASSERT_TRUE(w.success);
    EXPECT_GT(w.data.size(), 10u);
    EXPECT_EQ(k.fw.memory(), img);

    EXPECT_EQ(unpack(k.read().data, 8192), img);
    auto regs = readInfo(k.info().data).regs;
    ASSERT_TRUE(regs);
    EXPECT_EQ(regs->r2a, 0xA4);  // identification is not part of the image
    EXPECT_EQ(regs->r29, 0x96);
    EXPECT_EQ(regs->r28, 0x21);
    EXPECT_EQ(regs->r27, 9);

    // An image without the signature leaves the registers alone.
    Bytes plain(8192, 0x11);
    ASSERT_TRUE(k.write(plain).success);
    EXPECT_EQ(readInfo(k.info().data).regs->r27, 9);

    // A short image is refused and stores nothing.
    Answer shortWrite = k.ask(kWrite, Bytes(2048, 0), 4 * 8192 + 16);
    EXPECT_FALSE(shortWrite.success);
    EXPECT_EQ(k.fw.memory(), plain);
}

TEST(KbdsimFirmware, BlocksRoundTripAndMatchTheWholeMemory)
{
    Kbd k(Registers{0x17, 1, 0x9E, 0xE8, 4});  // 4096 bytes, 256 blocks
    Bytes img = signedImage(4096, 0x80, 0x01, 30);
    for (size_t a = 0; a < 4096; a += 16) {
        Answer w = k.bwrite(a, &img[a]);
        ASSERT_TRUE(w.success) << a;
        EXPECT_GT(w.data.size(), 28u);
        EXPECT_EQ(w.data.back(), 0xC0);
    }
    Bytes back;
    for (size_t a = 0; a < 4096; a += 16) {
        Answer r = k.bread(a);
        ASSERT_TRUE(r.success) << a;
        ASSERT_EQ(r.data.size(), 33u);  // 32 nibble bytes and the end mark
        Bytes nibbles(r.data.begin(), r.data.end() - 1);
        Bytes block = unpack(nibbles, 16);
        back.insert(back.end(), block.begin(), block.end());
    }
    EXPECT_EQ(back, img);
    EXPECT_EQ(unpack(k.read().data, 4096), img);
    EXPECT_EQ(readInfo(k.info().data).regs->r27, 30);  // the last block brought the registers
}

TEST(KbdsimFirmware, MalformedBlockRequestsFail)
{
    Kbd k(Registers{0x07, 1, 0, 0, 0});  // 2048 bytes
    uint8_t data[16] = {};
    for (size_t addr : {size_t(8), size_t(2048), size_t(0xFFF0)}) {
        EXPECT_FALSE(k.bread(addr).success) << addr;
        EXPECT_FALSE(k.bwrite(addr, data).success) << addr;
    }
    EXPECT_FALSE(k.ask(kBlockWrite, Bytes{0, 0, 1, 2}, 64).success);
    EXPECT_FALSE(k.ask(kBlockRead, Bytes{}, 64).success);
    EXPECT_TRUE(k.bread(2032).success);
}

TEST(KbdsimFirmware, OneByteOperationsAndUnknownCodes)
{
    Kbd k;
    for (uint32_t fn : {kDsab, kEnab, kDsab1, kEnab1, kCtl8042, kCkmr}) {
        Answer a = k.ask(fn, Bytes{0}, 1);
        ASSERT_TRUE(a.success) << functionName(fn);
        EXPECT_EQ(a.data.size(), 1u);
    }
    EXPECT_EQ(k.ask(kCkmr, Bytes{0}, 1).data[0], 0xFA);
    EXPECT_TRUE(k.ask(kKeyP, Bytes(16, 0), 16).success);

    for (uint32_t code : {0x80FF0014u /* function 5 */, 0x80FE0008u, 0x80FF0009u, 0x80FF4008u, 0u})
        EXPECT_EQ(k.fw.answer(code, Bytes(16, 0), 16).error, uint32_t(EINVAL)) << std::hex << code;
}

TEST(KbdsimFirmware, RepliesNeverExceedTheOutputLength)
{
    Kbd k;
    EXPECT_EQ(k.ask(kInfo, Bytes(16, 0), 12).error, uint32_t(ENOBUFS));
    EXPECT_EQ(k.ask(kRead, Bytes{}, 2 * 8192).error, uint32_t(ENOBUFS));
    EXPECT_EQ(k.ask(kBlockRead, blockRequest(0), 32).error, uint32_t(ENOBUFS));
    EXPECT_EQ(k.ask(kCtl8042, Bytes{0}, 0).error, uint32_t(ENOBUFS));
    Answer a = k.ask(kRead, Bytes{}, 2 * 8192 + 2);
    EXPECT_TRUE(a.success);
    EXPECT_LE(a.data.size(), 2u * 8192 + 2);

    // A write whose echo does not fit fails and leaves the memory alone.
    const uint8_t ones[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(k.ask(kWrite, Bytes(8192, 0x42), 2 * 8192 + 1).error, uint32_t(ENOBUFS));
    EXPECT_EQ(k.ask(kBlockWrite, blockRequest(0, ones), 32).error, uint32_t(ENOBUFS));
    EXPECT_EQ(k.fw.memory(), Bytes(8192, 0));
}

TEST(KbdsimFirmware, GarbageRequestsGetAnAnswerThatFits)
{
    // Every function and some that do not exist, with inputs of any length
    // and output lengths from none to plenty.
    Kbd k(Registers{0x07, 1, 0, 0, 0});
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int i = 0; i < 4000; ++i) {
        uint32_t code = i % 3 ? codeOf(next() % 24) : next();
        Bytes in(next() % (i % 50 ? 40 : 5000));
        for (auto& b : in) b = uint8_t(next());
        uint32_t out = next() % (i % 7 ? 80 : 5000);
        Answer a = k.fw.answer(code, in, out);
        EXPECT_LE(a.data.size(), out);
        if (!a.success) {
            EXPECT_TRUE(a.data.empty());
            EXPECT_NE(a.error, 0u);
        }
    }
}

TEST(KbdsimFaults, FailedRequestsCountDownAndCanBeLimitedToAFunction)
{
    Kbd k({}, plan({{"fail-next", "2"}, {"fail-next", "1@info"}, {"fail-code", "bread"}}));
    EXPECT_EQ(k.ask(kDsab, Bytes{0}, 1).error, uint32_t(EIO));
    EXPECT_FALSE(k.ask(kCtl8042, Bytes{0}, 1).success);
    EXPECT_TRUE(k.ask(kDsab, Bytes{0}, 1).success);
    EXPECT_FALSE(k.info().success);
    EXPECT_TRUE(k.info().success);
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(k.bread(0).success);
    EXPECT_TRUE(k.bwrite(0, Bytes(16, 1).data()).success);
}

TEST(KbdsimFaults, ShortRepliesStopJustBelowWhatTheProgramAccepts)
{
    Kbd k({}, plan({{"short-reply", "all@info"}, {"short-reply", "1@read:4095"}, {"short-reply", "1@read"},
                    {"short-reply", "1@bread"}, {"short-reply", "1@bwrite"}, {"short-reply", "1@ckmr"},
                    {"short-reply", "1@write"}}));
    EXPECT_EQ(k.info().data.size(), 10u);
    EXPECT_EQ(k.read().data.size(), 4095u);
    EXPECT_EQ(k.read().data.size(), 10u);
    EXPECT_GT(k.read().data.size(), 4096u);
    EXPECT_EQ(k.bread(0).data.size(), 32u);
    EXPECT_EQ(k.bread(0).data.size(), 33u);
    EXPECT_EQ(k.bwrite(16, Bytes(16, 2).data()).data.size(), 28u);
    EXPECT_TRUE(k.ask(kCkmr, Bytes{0}, 1).data.empty());
    EXPECT_EQ(k.write(Bytes(8192, 0)).data.size(), 10u);
}

TEST(KbdsimFaults, EndMarkFrameAndCkmrFaultsBreakTheChecksTheProgramMakes)
{
    Kbd k({}, plan({{"bad-endmark", "1@info"}, {"bad-endmark", "2@bwrite"}, {"ckmr-nak", "1"}}));
    InfoRead bad = readInfo(k.info().data);
    EXPECT_FALSE(bad.endMark);
    EXPECT_TRUE(bad.regs);
    EXPECT_TRUE(readInfo(k.info().data).endMark);

    Bytes data(16, 0x5A);
    EXPECT_EQ(k.bwrite(0, data.data()).data.back(), 0xC1);
    EXPECT_EQ(k.bwrite(0, data.data()).data.back(), 0xC1);
    EXPECT_EQ(k.bwrite(0, data.data()).data.back(), 0xC0);

    EXPECT_EQ(k.ask(kCkmr, Bytes{0}, 1).data, Bytes{0xFE});
    EXPECT_EQ(k.ask(kCkmr, Bytes{0}, 1).data, Bytes{0xFA});

    // Register values full of 0xD6 nibbles still give no frame.
    Kbd nf(Registers{0xD6, 0x6D, 0xD6, 0xDD, 0x66}, plan({{"no-frame", "1"}}));
    InfoRead noFrame = readInfo(nf.info().data);
    EXPECT_TRUE(noFrame.endMark);
    EXPECT_FALSE(noFrame.regs);
    EXPECT_TRUE(readInfo(nf.info().data).regs);
}

TEST(KbdsimFaults, BlockFailuresHitOneAddressAndStoreNothing)
{
    Kbd k({}, plan({{"block-fail", "0x20:2"}, {"block-fail", "0x1FF0"}}));
    Bytes data(16, 0x77);
    EXPECT_TRUE(k.bwrite(0x10, data.data()).success);
    EXPECT_EQ(k.bwrite(0x20, data.data()).error, uint32_t(EIO));
    EXPECT_FALSE(k.bread(0x20).success);
    EXPECT_EQ(k.fw.memory()[0x20], 0);
    EXPECT_TRUE(k.bwrite(0x20, data.data()).success);  // the retry gets through
    EXPECT_EQ(k.fw.memory()[0x20], 0x77);
    EXPECT_FALSE(k.bread(0x1FF0).success);
    EXPECT_TRUE(k.bread(0x1FF0).success);
}

TEST(KbdsimFaults, DropComesAfterTheGivenNumberOfRequestsOnce)
{
    Kbd k({}, plan({{"drop-after", "3"}}));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(k.info().drop);
    EXPECT_TRUE(k.info().drop);
    EXPECT_TRUE(k.info().success);
}

TEST(KbdsimFaults, NoReplyHoldsOnlyTheRequestsItNames)
{
    Kbd k({}, plan({{"no-reply", "2@read"}}));
    EXPECT_FALSE(k.info().hold);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(k.read().hold);
    const Answer after = k.read();
    EXPECT_FALSE(after.hold);
    EXPECT_TRUE(after.success);
}

TEST(KbdsimFaults, MalformedOptionsAreRefused)
{
    FaultPlan p;
    std::string err;
    const std::pair<const char*, const char*> bad[] = {
        {"fail-next", ""},         {"fail-next", "x"},        {"fail-next", "2@nosuch"}, {"fail-next", "2:5"},
        {"fail-code", "9999"},     {"short-reply", "1@read:"}, {"block-fail", "0x18"},   {"block-fail", "16:-1"},
        {"drop-after", "all"},     {"ckmr-nak", ""},          {"no-frame", "some"},      {"no-reply", "1:4"},
    };
    for (auto [name, value] : bad) {
        EXPECT_FALSE(addFaultOption(name, value, p, err)) << name << " " << value;
        EXPECT_FALSE(err.empty()) << name;
    }
    EXPECT_FALSE(addFaultOption("socket", "x", p, err));
    EXPECT_TRUE(err.empty());
    EXPECT_TRUE(p.empty());

    uint32_t fn = 0;
    EXPECT_TRUE(parseFunction("8042", fn));
    EXPECT_EQ(fn, uint32_t(kCtl8042));
    EXPECT_TRUE(parseFunction("BWrite", fn));
    EXPECT_EQ(fn, uint32_t(kBlockWrite));
    EXPECT_TRUE(parseFunction("0x11", fn));
    EXPECT_EQ(fn, uint32_t(kBlockRead));
}

class KbdsimMemoryFile : public ::testing::Test {
protected:
    void SetUp() override { file = (dir / "kbd.mem").string(); }

    static Bytes contents(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    ptu::test::TempDir folder{"kbdsim-mem-"};
    fs::path dir = folder.dir();
    std::string file;
};

TEST_F(KbdsimMemoryFile, KeepsTheMemoryAndRegistersAcrossInstances)
{
    Bytes img = signedImage(8192, 0x9E, 0x44, 12);
    {
        Kbd k;
        std::vector<std::string> notes;
        std::string err;
        ASSERT_TRUE(k.fw.attachFile(file, notes, err)) << err;
        EXPECT_EQ(contents(file), Bytes(8192, 0));  // created empty
        ASSERT_TRUE(k.write(img).success);
        EXPECT_EQ(contents(file), img);
        Bytes block(16, 0xEE);
        ASSERT_TRUE(k.bwrite(0x100, block.data()).success);
        std::copy(block.begin(), block.end(), img.begin() + 0x100);
        EXPECT_EQ(contents(file), img);
    }
    EXPECT_FALSE(fs::exists(file + ".tmp"));

    Kbd again;
    std::vector<std::string> notes;
    std::string err;
    ASSERT_TRUE(again.fw.attachFile(file, notes, err)) << err;
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(unpack(again.read().data, 8192), img);
    EXPECT_EQ(readInfo(again.info().data).regs->r28, 0x44);

    // Registers given explicitly win over the stored tail.
    Config c;
    c.regs.r28 = 0x01;
    c.pinR28 = true;
    Firmware pinned(c);
    ASSERT_TRUE(pinned.attachFile(file, notes, err));
    EXPECT_EQ(pinned.registers().r28, 0x01);
    EXPECT_EQ(pinned.registers().r27, 12);
}

TEST_F(KbdsimMemoryFile, AFileOfAnotherSizeIsResizedWithANote)
{
    ASSERT_EQ(saveMemoryFile(file, Bytes(100, 0xAB)), 0);
    Kbd small(Registers{0x07, 1, 0x9E, 0xE8, 4});
    std::vector<std::string> notes;
    std::string err;
    ASSERT_TRUE(small.fw.attachFile(file, notes, err)) << err;
    ASSERT_EQ(notes.size(), 1u);
    Bytes expect(2048, 0);
    std::fill(expect.begin(), expect.begin() + 100, 0xAB);
    EXPECT_EQ(contents(file), expect);

    ASSERT_EQ(saveMemoryFile(file, Bytes(9000, 0xCD)), 0);
    notes.clear();
    Kbd big;
    ASSERT_TRUE(big.fw.attachFile(file, notes, err));
    EXPECT_EQ(notes.size(), 1u);
    EXPECT_EQ(contents(file), Bytes(8192, 0xCD));
}

TEST_F(KbdsimMemoryFile, AWriteThatCannotBeSavedIsNotKept)
{
    Kbd k;
    std::vector<std::string> notes;
    std::string err;
    ASSERT_TRUE(k.fw.attachFile(file, notes, err));
    fs::remove_all(dir);  // the file's folder is gone: saving fails
    Answer a = k.bwrite(0, Bytes(16, 0x42).data());
    EXPECT_FALSE(a.success);
    EXPECT_NE(a.error, 0u);
    EXPECT_EQ(k.fw.memory()[0], 0);

    EXPECT_FALSE(Kbd().fw.attachFile((dir / "kbd.mem").string(), notes, err));
    EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace kbdsim
