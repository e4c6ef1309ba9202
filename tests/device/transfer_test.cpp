// Whole-memory transfers on the virtual clock: block reads and writes with
// their retries and progress, and the raw batch files.
#include "device/transfer.h"
#include "tests/support/fake_keyboard.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <thread>

#include <sys/stat.h>

using namespace ptu;
using ptu::test::FakeKeyboard;
using ptu::test::FakePlatform;
using ptu::test::pattern;
namespace fs = std::filesystem;

namespace {

struct Fixture : test::Rig {
    std::optional<test::MemoryLog> memoryLog;
    test::TempDir folder{"ptutransfer"};  // no "-": its path stands in a scanned command line

    explicit Fixture(int size = 8192, bool withLog = false) : Rig(size, size == 8192 ? 0xA4 : size == 4096 ? 0x94 : 0x84)
    {
        kb.mem = pattern(size_t(size));
        st->rg.r2a = kb.r2a;
        st->mv.kbb_f = size;
        if (withLog) memoryLog.emplace(st->log);
    }
    std::string log() { return memoryLog->text(); }
    std::string path(const std::string& name) const { return folder.path(name); }
    std::vector<std::string> texts() const { return pf.only("progress text"); }
    std::vector<std::string> files() const { return folder.files(); }
};

std::vector<uint8_t> nibbles(const std::vector<uint8_t>& mem)
{
    std::vector<uint8_t> out;
    for (uint8_t b : mem) FakeKeyboard::pair(out, b);
    return out;
}

std::vector<uint8_t> readFile(const std::string& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& p, const std::vector<uint8_t>& data)
{
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

std::vector<std::string> percentTexts(const std::string& phrase, std::initializer_list<int> marks)
{
    std::vector<std::string> out;
    for (int m : marks) out.push_back("progress text  " + std::to_string(m) + "% " + phrase + " -");
    return out;
}

// The pause after a failed block attempt.
std::vector<std::string> failurePause()
{
    std::vector<std::string> v{"pump"};
    for (int i = 0; i < 5; ++i) v.insert(v.end(), {"beep 500 100", "pump", "sleep 400"});
    return v;
}

bool contains(const std::vector<std::string>& events, const std::vector<std::string>& run)
{
    return std::search(events.begin(), events.end(), run.begin(), run.end()) != events.end();
}

const std::string kReadPhrase = "Keyboard Reading has Completed ";
const std::string kWritePhrase = "Keyboard Writing has Completed ";

}  // namespace

TEST(Rwkb16, ReadFillsTheBufferWithNibbleBytesAndShowsEveryMarkWhileLogging)
{
    Fixture f(8192, true);
    std::vector<uint8_t> buffer(kRawBufSize, 0xEE);
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_READ, buffer), XFER_OK);

    std::vector<uint8_t> expected = nibbles(f.kb.mem);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_EQ(buffer[expected.size()], 0xEE) << "nothing beyond 2 x kbb_f";

    auto requests = f.pf.only("request");
    EXPECT_EQ(requests.size(), 512u);
    EXPECT_EQ(requests.front(), "request 80ff0044 18 64");
    EXPECT_EQ(f.pf.sent[1], (std::vector<uint8_t>{0x10, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    std::vector<std::string> texts{"progress text Reading 8K Keyboard Data ... 0000BF"};
    auto marks = percentTexts(kReadPhrase, {0, 6, 12, 18, 25, 31, 37, 43, 50, 56, 62, 68, 75, 81, 87, 93});
    texts.insert(texts.end(), marks.begin(), marks.end());
    texts.push_back("progress text  100% " + kReadPhrase + " -");
    EXPECT_EQ(f.texts(), texts);
    EXPECT_EQ(f.pf.count("progress step"), 16);
    EXPECT_EQ(f.pf.only("progress bar"), (std::vector<std::string>{"progress bar shown 0 6", "progress bar hidden 96 6"}));

    // The only wait of a clean transfer is its opening tone.
    EXPECT_EQ(f.pf.only("beep"), std::vector<std::string>{"beep 2000 100"});
    EXPECT_EQ(f.pf.clock_ms, 100);
    EXPECT_TRUE(f.pf.only("box").empty());

    std::string log = f.log();
    EXPECT_NE(log.find(" -> Rkb16 <- \n"), std::string::npos);
    EXPECT_NE(log.find(" i=   0, ret=33, gle=0h, err_f=0, k=0 \n"), std::string::npos) << log.substr(0, 600);
    EXPECT_NE(log.find(" 512 -->  6% Keyboard Reading has Completed  \n"), std::string::npos);
    EXPECT_NE(log.find(" bad=0, err_f=0, i=8192, kbb_f=8192, kk=16384 \n"), std::string::npos);
}

TEST(Rwkb16, WithoutTheLogOnlyTheStartAndTheEndAreShown)
{
    Fixture f(8192, false);
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_READ, f.st->buf.rbuf), XFER_OK);
    EXPECT_EQ(f.texts(), (std::vector<std::string>{"progress text Reading 8K Keyboard Data ... 0000BF",
                                                   "progress text  100% " + kReadPhrase + " -"}));
    EXPECT_EQ(f.pf.only("progress bar").front(), "progress bar hidden 0 6");
    EXPECT_EQ(f.pf.count("progress step"), 16) << "the hidden bar still moves";
}

TEST(Rwkb16, MarksFollowTheMemorySize)
{
    Fixture two(2048, true);
    EXPECT_EQ(rwkb16(*two.st, two.pf, XFER_READ, two.st->buf.rbuf), XFER_OK);
    auto texts = two.texts();
    std::vector<std::string> marks(texts.begin() + 1, texts.end() - 1);
    EXPECT_EQ(marks, percentTexts(kReadPhrase, {0, 25, 50, 75}));
    EXPECT_EQ(two.pf.only("progress bar").front(), "progress bar shown 0 25");
    EXPECT_EQ(two.pf.only("request").size(), 128u);

    Fixture four(4096, true);
    EXPECT_EQ(rwkb16(*four.st, four.pf, XFER_WRITE, four.st->buf.ibuf), XFER_OK);
    EXPECT_EQ(four.pf.only("progress bar").front(), "progress bar shown 0 12");
    EXPECT_EQ(four.pf.count("progress step"), 8);
    EXPECT_EQ(four.texts().front(), "progress text Writing 8K Keyboard Data ... 0000FF");
}

TEST(Rwkb16, WriteStoresTheImage)
{
    Fixture f(2048, true);
    std::vector<uint8_t> image = pattern(2048, 3);
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_WRITE, image), XFER_OK);
    EXPECT_EQ(f.kb.mem, image);
    EXPECT_EQ(f.pf.only("request").front(), "request 80ff0048 18 64");
    EXPECT_EQ(f.texts().back(), "progress text  100% " + kWritePhrase + " -");
    std::string first = " -> Wkb16 <- \n 0 0 -";
    char b[8];
    for (int i = 0; i < 16; ++i) first += (std::snprintf(b, sizeof b, " %x", image[size_t(i)]), b);
    EXPECT_NE(f.log().find(first + "\n"), std::string::npos);
}

TEST(Rwkb16, AFailedAttemptIsRepeatedUnchangedAfterThePause)
{
    for (int type : {XFER_READ, XFER_WRITE}) {
        Fixture f(2048, true);
        f.kb.failBlock[0x100] = 1;
        std::vector<uint8_t> image = pattern(2048, 5);
        std::span<uint8_t> buffer = type == XFER_READ ? std::span<uint8_t>(f.st->buf.rbuf) : std::span<uint8_t>(image);
        EXPECT_EQ(rwkb16(*f.st, f.pf, type, buffer), XFER_OK);

        EXPECT_EQ(f.pf.sent.size(), 129u);
        EXPECT_EQ(f.pf.sent[16], f.pf.sent[17]) << "the retry sends the same request";
        EXPECT_TRUE(contains(f.pf.events, failurePause()));
        EXPECT_EQ(f.pf.clock_ms, 100 + 2500);
        if (type == XFER_READ) {
            std::vector<uint8_t> expected = nibbles(f.kb.mem);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), f.st->buf.rbuf.begin()));
        } else {
            EXPECT_EQ(f.kb.mem, image);
        }
        EXPECT_NE(f.log().find(" rwkb16 error occurred \n"), std::string::npos);
        // The box says which attempt runs under what it showed, and shows
        // that alone again once the block went through.
        const std::string phrase = type == XFER_READ ? kReadPhrase : kWritePhrase;
        const std::vector<std::string> texts = f.texts();
        const auto retry = std::find(texts.begin(), texts.end(),
                                     "progress text  0% " + phrase + "\nblock 17 of 128, attempt 2 of 5 -");
        ASSERT_NE(retry, texts.end());
        EXPECT_EQ(*(retry + 1), "progress text  0% " + phrase + " -");
    }
}

TEST(Rwkb16, FiveFailuresEndTheTransfer)
{
    Fixture f(2048, true);
    // Long enough, but the end mark is wrong every time.
    f.pf.handler = [&](uint32_t code, const std::vector<uint8_t>& in, uint32_t) {
        test::ScriptedReply r = f.kb.answer(code, in);
        if ((in[0] | in[1] << 8) == 0x200) r.data = std::vector<uint8_t>(39, 0xD1), r.data.push_back(0xC1);
        return r;
    };
    std::vector<uint8_t> image = pattern(2048, 9);
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_WRITE, image), XFER_FAILED);

    EXPECT_EQ(f.pf.sent.size(), 32u + 5u) << "the blocks after it are not sent";
    EXPECT_EQ(f.pf.count("beep 500 100"), 25);
    EXPECT_EQ(f.pf.only("box"), std::vector<std::string>{"box Tessaral Programmable Keyboard | rwkb16 error | 0"});
    EXPECT_EQ(f.pf.only("beep").back(), "beep 500 500");
    for (const auto& t : f.texts()) EXPECT_EQ(t.find("100%"), std::string::npos) << "not shown as completed";
    std::string log = f.log();
    EXPECT_NE(log.find(" i= 512, ret=40, gle=0h, err_f=0, k=4 \n"), std::string::npos);
    EXPECT_NE(log.find(" bad=0, err_f=1, i=512, kbb_f=2048, kk=0 \n win7 rwkb16 error \n"), std::string::npos);
}

TEST(Rwkb16, LongRepliesNeverRunPastTheBuffer)
{
    // 63 data bytes a block would need 32256 bytes for 8K; the buffer holds 16448.
    Fixture f(8192, false);
    f.kb.blockReplyExtra = 31;
    std::vector<uint8_t> buffer(kRawBufSize);  // on the heap: an overrun would be caught
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_READ, buffer), XFER_FAILED);
    EXPECT_EQ(f.pf.sent.size(), 262u) << "261 blocks fit, the next one does not";
    EXPECT_EQ(f.pf.count("beep 500 100"), 0) << "not retried: it can never fit";
    EXPECT_EQ(f.pf.only("box").size(), 1u);

    // A buffer too small for the image of a write is refused, not read past.
    Fixture g(2048, false);
    std::vector<uint8_t> small(100);
    EXPECT_EQ(rwkb16(*g.st, g.pf, XFER_WRITE, small), XFER_FAILED);
    EXPECT_EQ(g.pf.sent.size(), 6u);
}

TEST(Rwkb16, NoDeviceSoundsTwoTonesAndTransfersNothing)
{
    Fixture f(8192, true);
    f.pf.portgate_present = false;
    EXPECT_EQ(rwkb16(*f.st, f.pf, XFER_READ, f.st->buf.rbuf), XFER_NO_DEVICE);
    EXPECT_EQ(f.pf.events, (std::vector<std::string>{"open portgate", "open vptu", "beep 1000 100", "beep 1000 100"}));
    EXPECT_NE(f.log().find(" CreateFile( vptu.vxd)= 2 \n rwkb16 failed \n"), std::string::npos);
}

TEST(FileOptions, BlockAndSingleRequestNames)
{
    EXPECT_EQ(blockOption("-R  out.bin")->name, "out.bin");
    EXPECT_EQ(blockOption("-W \"my image.bin\"")->name, "my image.bin");
    EXPECT_EQ(blockOption("-W")->name, "");
    EXPECT_FALSE(blockOption("-x -R out"));
    EXPECT_FALSE(blockOption("-r out"));

    auto o = singleOption("-r \"a b.bin\" -x");
    EXPECT_EQ(o->option, 'r');
    EXPECT_EQ(o->name, "a b.bin");
    o = singleOption("-w in.bin -r out.bin");
    EXPECT_EQ(o->option, 'r');
    EXPECT_EQ(o->name, "out.bin");
    // "-r" inside a name or in quotes is not the option.
    o = singleOption("-w my-read.bin");
    EXPECT_EQ(o->option, 'w');
    EXPECT_EQ(o->name, "my-read.bin");
    EXPECT_EQ(singleOption("-w \"x -r y\"")->name, "x -r y");
    EXPECT_FALSE(singleOption("x-r y"));

    // A name holding a double quote: the line cannot tell where it ends.
    EXPECT_TRUE(singleOption("-r \"x\"y z.bin\"")->hasQuote);
    EXPECT_TRUE(singleOption("-w x\"y.bin")->hasQuote);
    EXPECT_TRUE(blockOption("-R \"x\"y z.bin\"")->hasQuote);
    EXPECT_FALSE(blockOption("-R \"a b.bin\"")->hasQuote);
    // A switch after the option is no name.
    EXPECT_EQ(singleOption("-w -r x.bin")->name, "x.bin");
    EXPECT_EQ(singleOption("-r -d")->name, "");
}

TEST(BatchInterruption, TheBlockInFlightEndsAndTheStateIsSaid)
{
    Fixture f(2048, false);
    const std::vector<uint8_t> image = pattern(2048, 9);
    writeFile(f.path("in"), image);
    f.pf.interrupt_after = 10;
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-W " + f.path("in")), 130);
    EXPECT_EQ(f.pf.sent.size(), 10u);
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 160, f.kb.mem.begin()));
    EXPECT_NE(f.pf.only("warning").at(0).find("partial image (160 of 2048 bytes written)"), std::string::npos);

    // The single read is whole, yet the old file stays.
    writeFile(f.path("keep"), {'o', 'l', 'd'});
    f.pf.interrupt_signal = 15;
    EXPECT_EQ(rwkf(*f.st, f.pf, "-r " + f.path("keep")), 143);
    EXPECT_EQ(readFile(f.path("keep")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(f.files(), (std::vector<std::string>{"in", "keep"}));
}

TEST(Rwkf16, ReadWritesTheMemoryToTheFileWithEveryMark)
{
    Fixture f(8192, false);
    const std::string out = f.path("out.bin");
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R  " + out), XFER_OK);
    EXPECT_EQ(readFile(out), f.kb.mem);
    EXPECT_EQ(f.files(), std::vector<std::string>{"out.bin"});

    auto texts = f.texts();
    ASSERT_EQ(texts.size(), 18u) << "shown without the log";
    EXPECT_EQ(texts.front(), "progress text Reading 8K Keyboard Data ... -") << "colour left as it was";
    EXPECT_EQ(texts[16], "progress text  93% " + kReadPhrase + " -");
    EXPECT_EQ(f.pf.only("progress bar").front(), "progress bar shown 0 6");
    EXPECT_EQ(f.pf.only("request").front(), "request 80ff0044 18 64");
    EXPECT_EQ(f.pf.clock_ms, 0) << "no tone of its own";
}

TEST(Rwkf16, WriteSendsTheFile)
{
    Fixture f(2048, true);
    std::vector<uint8_t> image = pattern(2048, 11);
    writeFile(f.path("in"), image);
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-W " + f.path("in")), XFER_OK);
    EXPECT_EQ(f.kb.mem, image);
    EXPECT_TRUE(f.pf.only("warning").empty());
    EXPECT_NE(f.log().find(" -> W16 <- \n"), std::string::npos);
}

TEST(BatchWrite, OnlyAnImageOfTheKeyboardsSizeIsWritten)
{
    // A short file, an 8K image for a 2K keyboard, /dev/zero: refused with no
    // write request, the memory as it was.
    struct Case {
        std::string file;  // "" for the content below
        size_t size;
        int keyboard;
        const char* said;
    };
    for (const Case& c : {Case{"", 100, 2048, "is no keyboard image: it holds 100 bytes, a keyboard's memory 2048, 4096 or 8192"},
                          Case{"", 8192, 2048, "holds 8192 bytes, the keyboard's memory 2048 bytes"},
                          Case{"/dev/zero", 0, 8192, "holds more than 8192 bytes"}}) {
        for (bool block : {true, false}) {
            Fixture f(c.keyboard, false);
            const std::vector<uint8_t> before = f.kb.mem;
            const std::string name = c.file.empty() ? f.path("in") : c.file;
            if (c.file.empty()) writeFile(name, pattern(c.size, 5));
            const int rc = block ? rwkf16(*f.st, f.pf, "-W " + name) : rwkf(*f.st, f.pf, "-w " + name);
            EXPECT_EQ(rc, XFER_CANNOT_OPEN) << name << " " << c.size;
            EXPECT_TRUE(f.pf.sent.empty()) << name << " " << c.size;
            EXPECT_EQ(f.kb.mem, before);
            ASSERT_EQ(f.pf.only("warning").size(), 1u);
            EXPECT_NE(f.pf.only("warning")[0].find(c.said), std::string::npos) << f.pf.only("warning")[0];
        }
    }
}

TEST(Rwkf16, OptionAndFileProblemsSendNothing)
{
    struct Case {
        std::string text;
        int result;
    };
    for (const Case& c : {Case{"-x -R out", XFER_NO_OPTION}, Case{"-r out", XFER_NO_OPTION},
                          Case{"-R /nonexistent-folder/out", XFER_CANNOT_CREATE}, Case{"-R ", XFER_CANNOT_CREATE},
                          Case{"-W /nonexistent-file", XFER_CANNOT_OPEN}}) {
        Fixture f(8192, false);
        EXPECT_EQ(rwkf16(*f.st, f.pf, c.text), c.result) << c.text;
        EXPECT_TRUE(f.pf.events.size() == 1) << "nothing but the warning: " << c.text;
        EXPECT_EQ(f.pf.only("warning").size(), 1u) << c.text;
        EXPECT_TRUE(f.pf.only("box").empty()) << c.text;
    }
    Fixture f(8192, false);
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + f.folder.dir().string()), XFER_CANNOT_CREATE) << "a folder is not replaced";
    EXPECT_TRUE(fs::is_directory(f.folder.dir()));
}

TEST(Rwkf16, AFailedReadLeavesTheOldFileAlone)
{
    Fixture f(2048, true);
    const std::string out = f.path("keep.bin");
    writeFile(out, {'o', 'l', 'd'});
    f.kb.failBlock[0x300] = 5;
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + out), XFER_FAILED);
    EXPECT_EQ(readFile(out), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(f.files(), std::vector<std::string>{"keep.bin"}) << "the temporary is gone";
    EXPECT_EQ(f.pf.only("box"), std::vector<std::string>{"box Tessaral Programmable Keyboard Manager | rwkf16 error | 0"});
    EXPECT_EQ(f.pf.count("beep 500 100"), 25);
    EXPECT_NE(f.log().find(" rwkf16 error occurred \n"), std::string::npos);
    EXPECT_NE(f.log().find(" bad=0, err_f=1, i=768, kbb_f=2048 \n rwkf16 error \n"), std::string::npos);

    EXPECT_EQ(f.pf.only("warning"), std::vector<std::string>{"warning " + out + " was left as it was: the block at "
                                                             "0x0300 could not be read in 5 attempts (the driver "
                                                             "reported failure: Input/output error)"});

    // A later good read replaces it.
    f.kb.failBlock.clear();
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + out), XFER_OK);
    EXPECT_EQ(readFile(out), f.kb.mem);
}

TEST(Rwkf16, ADestinationThatIsNoPlainFileIsWrittenThroughNotReplaced)
{
    // A pipe (as /dev/stdout often is) receives the image and stays a pipe.
    Fixture f(2048, false);
    const std::string pipe = f.path("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::vector<uint8_t> got;
    std::thread reader([&] { got = readFile(pipe); });
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + pipe), XFER_OK);
    reader.join();
    EXPECT_EQ(got, f.kb.mem);
    EXPECT_TRUE(fs::is_fifo(pipe));

    // A link to a file not there yet: the file is made, the link stays.
    fs::create_symlink("target", f.path("link"));
    EXPECT_EQ(rwkf(*f.st, f.pf, "-r " + f.path("link")), XFER_OK);
    EXPECT_TRUE(fs::is_symlink(f.path("link")));
    EXPECT_EQ(readFile(f.path("target")), f.kb.mem);
}

TEST(Rwkf16, AReplyWithoutTheWholeBlockIsRetried)
{
    Fixture f(2048, false);
    int garbled = 1;
    f.pf.handler = [&](uint32_t code, const std::vector<uint8_t>& in, uint32_t) {
        test::ScriptedReply r = f.kb.answer(code, in);
        if ((in[0] | in[1] << 8) == 0x40 && garbled-- > 0) std::fill(r.data.begin(), r.data.end() - 1, 0x11);
        return r;
    };
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + f.path("o")), XFER_OK);
    EXPECT_EQ(readFile(f.path("o")), f.kb.mem);
    EXPECT_EQ(f.pf.count("beep 500 100"), 5);
}

TEST(Rwkf16, NoDeviceSaysSo)
{
    Fixture f(8192, false);
    f.pf.portgate_present = false;
    EXPECT_EQ(rwkf16(*f.st, f.pf, "-R " + f.path("o")), XFER_NO_DEVICE);
    EXPECT_EQ(f.pf.events, (std::vector<std::string>{"open portgate", "open vptu",
                                                     "box Tessaral Programmable Keyboard Manager | rwkf16 failed | 0",
                                                     "beep 1000 100", "beep 1000 100"}));
    EXPECT_TRUE(f.files().empty());
}

TEST(Rwkf, ReadUnpacksTheMemoryIntoTheFile)
{
    for (int size : {8192, 2048}) {
        Fixture f(size, true);
        const std::string out = f.path("a b.bin");
        EXPECT_EQ(rwkf(*f.st, f.pf, "-r \"" + out + "\" -x"), XFER_OK);
        EXPECT_EQ(readFile(out), f.kb.mem);
        EXPECT_EQ(f.pf.only("request"),
                  std::vector<std::string>{"request 80ff000c " + std::to_string(2 * size + 4) + " " +
                                           std::to_string(2 * size + 16)});
        EXPECT_EQ(f.texts(), std::vector<std::string>{size == 8192 ? "progress text Reading 8K Data from the Keyboard... -"
                                                                   : "progress text Reading 2K Data from the Keyboard... -"});
        EXPECT_NE(f.log().find(" fn=" + out + " \n -> Rall <- \n"), std::string::npos);
    }
}

TEST(Rwkf, WriteSendsTheImageOfTheKeyboardsSize)
{
    Fixture f(8192, false);
    const std::vector<uint8_t> image = pattern(8192, 3);
    writeFile(f.path("in"), image);
    EXPECT_EQ(rwkf(*f.st, f.pf, "-w " + f.path("in")), XFER_OK);
    EXPECT_EQ(f.pf.sent.at(0), image);
    EXPECT_EQ(f.kb.mem, image);
    EXPECT_EQ(f.texts(), std::vector<std::string>{"progress text Writing 8K Data to the Keyboard... -"});

    Fixture h(8192, false);
    EXPECT_EQ(rwkf(*h.st, h.pf, "-w " + h.path("missing")), XFER_CANNOT_OPEN);
    EXPECT_EQ(rwkf(*h.st, h.pf, "-x"), XFER_NO_OPTION);
    EXPECT_EQ(rwkf(*h.st, h.pf, "-r " + h.path("no/such/folder")), XFER_CANNOT_CREATE);
    EXPECT_TRUE(h.pf.sent.empty());
}

TEST(Rwkf, AFailedReadLeavesTheOldFileAlone)
{
    Fixture f(8192, false);
    const std::string out = f.path("keep");
    writeFile(out, {1, 2, 3});
    f.pf.handler = [](uint32_t, const std::vector<uint8_t>&, uint32_t) { return test::ScriptedReply{false, 5, {}}; };
    EXPECT_EQ(rwkf(*f.st, f.pf, "-r " + out), 2) << "the READ operation's result";
    EXPECT_EQ(readFile(out), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(f.files(), std::vector<std::string>{"keep"});
}
