// The HID translation: every table row both ways, the worked examples, and
// what happens at the edges of the image.
#include "device/hid.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace ptu;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes hex(const std::string& text)
{
    Bytes out;
    std::istringstream in(text);
    std::string b;
    while (in >> b) out.push_back(uint8_t(std::stoul(b, nullptr, 16)));
    return out;
}

// The rows as the keyboard's documentation lists them, in order.
struct Row {
    uint32_t page;
    Bytes usage;
    Bytes scan;
};

std::vector<Row> documentedRows()
{
    std::vector<Row> rows;
    auto add = [&](uint32_t page, Bytes usage, Bytes scan) { rows.push_back({page, usage, scan}); };
    add(1, {0x81}, hex("E0 5E"));
    add(1, {0x82}, hex("E0 5F"));
    add(1, {0x83}, hex("E0 63"));
    add(7, {0x01}, {0xFF});
    add(7, {0x02}, {0xFC});
    // One scan code per usage from a starting usage on.
    auto run = [&](uint8_t first, const std::string& scans) {
        Bytes s = hex(scans);
        for (size_t k = 0; k < s.size(); ++k) add(7, {uint8_t(first + k)}, {s[k]});
    };
    run(0x04, "1E 30 2E 20 12 21 22 23 17 24 25 26 32 31 18 19 10 13 1F 14 16 2F 11 2D 15 2C");
    run(0x1E, "02 03 04 05 06 07 08 09 0A 0B");
    run(0x28, "1C 01 0E 0F 39 0C 0D 1A 1B 2B 2B 27 28 29 33 34 35");
    run(0x39, "3A 3B 3C 3D 3E 3F 40 41 42 43 44");
    add(7, {0x44}, {0x57});
    add(7, {0x45}, {0x58});
    add(7, {0x46}, hex("E0 37"));
    add(7, {0x47}, {0x46});
    for (const char* pause : {"E1 1D 45", "E0 46", "E0 C6", "E1 9D C5"}) add(7, {0x48}, hex(pause));
    const char* nav[] = {"E0 52", "E0 47", "E0 49", "E0 53", "E0 4F", "E0 51", "E0 4D", "E0 4B", "E0 50", "E0 48"};
    for (int k = 0; k < 10; ++k) add(7, {uint8_t(0x49 + k)}, hex(nav[k]));
    add(7, {0x53}, {0x45});
    add(7, {0x54}, hex("E0 35"));
    run(0x55, "37 4A 4E");
    add(7, {0x58}, hex("E0 1C"));
    run(0x59, "4F 50 51 4B 4C 4D 47 48 49 52 53");
    add(7, {0x64}, {0x56});
    add(7, {0x65}, hex("E0 5D"));
    add(7, {0x66}, hex("E0 5E"));
    add(7, {0x67}, {0x59});
    run(0x68, "64 65 66 67 68 69 6A 6B 6C 6D 6E");
    add(7, {0x73}, {0x76});
    const std::pair<uint8_t, uint8_t> intl[] = {{0x85, 0x7E}, {0x87, 0x73}, {0x88, 0x70}, {0x89, 0x7D},
                                                {0x8A, 0x79}, {0x8B, 0x7B}, {0x8C, 0x5C}, {0x90, 0xF2},
                                                {0x91, 0xF1}, {0x92, 0x78}, {0x93, 0x77}, {0x94, 0x76}};
    for (auto [u, s] : intl) add(7, {u}, {s});
    const char* pressed[] = {"1D", "2A", "38", "E0 5B", "E0 1D", "36", "E0 38", "E0 5C"};
    for (int k = 0; k < 8; ++k) add(7, {uint8_t(0xE0 + k)}, hex(pressed[k]));
    const char* released[] = {"F0 1D", "F0 2A", "F0 38", "E0 F0 5B", "E0 F0 1D", "F0 36", "E0 F0 38", "E0 F0 5C"};
    for (int k = 0; k < 8; ++k) add(7, {uint8_t(0xF0 + k)}, hex(released[k]));
    const std::pair<const char*, const char*> consumer[] = {
        {"B5", "E0 19"},    {"B6", "E0 10"},    {"B7", "E0 24"},    {"CD", "E0 22"},    {"E2", "E0 20"},
        {"E9", "E0 30"},    {"EA", "E0 2E"},    {"01 83", "E0 6D"}, {"01 8A", "E0 6C"}, {"01 92", "E0 21"},
        {"01 94", "E0 6B"}, {"02 21", "E0 65"}, {"02 23", "E0 32"}, {"02 24", "E0 6A"}, {"02 25", "E0 69"},
        {"02 26", "E0 68"}, {"02 27", "E0 67"}, {"02 2A", "E0 66"}};
    for (auto [u, s] : consumer) add(12, hex(u), hex(s));
    return rows;
}

uint8_t markerOf(uint32_t page) { return page == 1 ? 0xFE : page == 12 ? 0xFD : 0xFF; }

struct Fixture {
    std::unique_ptr<State> st = std::make_unique<State>();
    Fixture()
    {
        st->fl.usb_f = 1;
        st->mv.kbb_f = 8192;
    }
    // An image holding `seq` from position `at`, zeros elsewhere.
    static Bytes image(const Bytes& seq, size_t at = 1)
    {
        Bytes img(8192, 0);
        std::copy(seq.begin(), seq.end(), img.begin() + long(at));
        return img;
    }
    Bytes toScan(const Bytes& seq)
    {
        Bytes img = image(seq);
        EXPECT_EQ(hid2sc(*st, img), 0);
        return img;
    }
    Bytes toUsage(const Bytes& seq)
    {
        Bytes img = image(seq);
        EXPECT_EQ(sc2hid(*st, img), 0);
        return img;
    }
};

// The image that holds `seq` from position 1, with 0 after it.
::testing::AssertionResult holds(const Bytes& img, const Bytes& seq)
{
    Bytes want = Fixture::image(seq);
    if (img == want) return ::testing::AssertionSuccess();
    std::ostringstream m;
    m << "image starts";
    for (size_t i = 0; i < seq.size() + 2; ++i) m << ' ' << std::hex << int(img[i]);
    return ::testing::AssertionFailure() << m.str();
}

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

// The table as documented, checked through its use. Usage to scan code takes the first row of the usage's page; scan code to
// usage takes the first row with those scan codes, whatever its page.
TEST(HidTable, EveryRowTranslatesBothWaysFirstRowWinning)
{
    const auto rows = documentedRows();
    for (size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const Row* byUsage = nullptr;
        const Row* byScan = nullptr;
        for (const Row& o : rows) {
            if (!byUsage && o.page == row.page && o.usage == row.usage) byUsage = &o;
            if (!byScan && o.scan == row.scan) byScan = &o;
        }
        Fixture f;
        EXPECT_TRUE(holds(f.toScan(cat({{markerOf(row.page)}, row.usage, {0}})), cat({{0xFF}, byUsage->scan, {0}})))
            << "usage row " << r;
        EXPECT_TRUE(holds(f.toUsage(cat({{0xFF}, row.scan, {0}})),
                          cat({{markerOf(byScan->page)}, byScan->usage, {0}})))
            << "scan row " << r;
    }
}

TEST(HidTranslation, WorkedExamples)
{
    Fixture f;
    EXPECT_TRUE(holds(f.toScan(hex("FF 04 05 00")), hex("FF 1E 30 00")));
    EXPECT_TRUE(holds(f.toScan(hex("FD 01 83 00")), hex("FF E0 6D 00")));
    EXPECT_TRUE(holds(f.toScan(hex("FF 48 00")), hex("FF E1 1D 45 00")));
    EXPECT_TRUE(holds(f.toUsage(hex("FF E0 6D 00")), hex("FD 01 83 00")));
    EXPECT_TRUE(holds(f.toUsage(hex("FF E0 5E 00")), hex("FE 81 00")));
    EXPECT_TRUE(holds(f.toUsage(hex("FB 1E 00")), hex("FF 04 00")));
    // Duplicates go back to the earlier row.
    EXPECT_TRUE(holds(f.toUsage(hex("FF 2B 00")), hex("FF 31 00")));
    for (const char* pause : {"E1 1D 45", "E0 46", "E0 C6", "E1 9D C5"})
        EXPECT_TRUE(holds(f.toUsage(hex(std::string("FF ") + pause + " 00")), hex("FF 48 00"))) << pause;

    // Driver keyboards: nothing happens.
    f.st->fl.usb_f = 0;
    Bytes img = Fixture::image(hex("FF 04 00"));
    EXPECT_EQ(hid2sc(*f.st, img), 1);
    EXPECT_EQ(sc2hid(*f.st, img), 1);
    EXPECT_TRUE(holds(img, hex("FF 04 00")));
}

TEST(HidTranslation, CodesWithoutARowAndBytesOutsideSequencesStay)
{
    Fixture f;
    // Usages 03, 74, 95 have no row; 01 alone is no consumer usage.
    EXPECT_TRUE(holds(f.toScan(hex("FF 03 74 95 00")), hex("FF 03 74 95 00")));
    EXPECT_TRUE(holds(f.toScan(hex("FD 01 00")), hex("FF 01 00")));
    // Scan codes without a row: copied, the marker stays FF.
    EXPECT_TRUE(holds(f.toUsage(hex("FF 5A E0 12 00")), hex("FF 5A E0 08 00")));
    EXPECT_TRUE(holds(f.toUsage(hex("FF 80 81 00")), hex("FF 80 81 00")));
    // The page of the last code found names the sequence.
    EXPECT_TRUE(holds(f.toUsage(hex("FF E0 5E 1E 00")), hex("FF 81 04 00")));
    EXPECT_TRUE(holds(f.toUsage(hex("FF 1E E0 6D 00")), hex("FD 04 01 83 00")));

    // ldt at position 0, a plain-byte macro and the gaps between sequences.
    Bytes img = Fixture::image(hex("10 00 41 42 00 FF 04 00 43 00"), 0);
    Bytes want = Fixture::image(hex("10 00 41 42 00 FF 1E 00 43 00"), 0);
    EXPECT_EQ(hid2sc(*f.st, img), 0);
    EXPECT_EQ(img, want);
    EXPECT_EQ(sc2hid(*f.st, img), 0);
    EXPECT_EQ(img, Fixture::image(hex("10 00 41 42 00 FF 04 00 43 00"), 0));
}

// A stream that grows past the image keeps its first kbb_f - 16 bytes in
// place and its last 16 bytes at the end; what lies between is dropped.
TEST(HidTranslation, GrownStreamKeepsItsStartAndItsLast16Bytes)
{
    Fixture f;
    Bytes img(8192, 0);
    Bytes stream;
    size_t at = 0;
    while (at + 3 <= 7900) {
        for (uint8_t b : hex("FF 48 00")) img[at++] = b;
        for (uint8_t b : hex("FF E1 1D 45 00")) stream.push_back(b);
    }
    stream.resize(stream.size() + (8176 - at), 0);
    for (int k = 0; k < 16; ++k) {
        img[8176 + k] = uint8_t(0x20 + k);
        stream.push_back(uint8_t(0x20 + k));
    }
    ASSERT_GT(stream.size(), 8192u);
    EXPECT_EQ(hid2sc(*f.st, img), 0);
    Bytes want(stream.begin(), stream.begin() + 8176);
    want.insert(want.end(), stream.end() - 16, stream.end());
    EXPECT_EQ(img, want);
}

// A sequence still open at the end of the image ends there: nothing past
// the image is read, and the translated stream gets its terminating 0.
TEST(HidTranslation, UnterminatedSequenceEndsAtTheImageEnd)
{
    Fixture f;
    auto buf = std::make_unique<uint8_t[]>(8192);  // exactly the image: reading past it is caught
    std::fill_n(buf.get(), 8192, 0x04);
    buf[0] = 0x10;
    buf[1] = 0xFF;
    EXPECT_EQ(hid2sc(*f.st, {buf.get(), 8192}), 0);
    EXPECT_EQ(buf[0], 0x10);
    EXPECT_EQ(buf[1], 0xFF);
    EXPECT_EQ(buf[8175], 0x1E);
    for (int k = 8176; k < 8191; ++k) EXPECT_EQ(buf[k], 0x1E) << k;
    EXPECT_EQ(buf[8191], 0x00);

    std::fill_n(buf.get(), 8192, 0x1E);
    buf[1] = 0xFB;
    EXPECT_EQ(sc2hid(*f.st, {buf.get(), 8192}), 0);
    EXPECT_EQ(buf[1], 0xFF);
    EXPECT_EQ(buf[2], 0x04);
    EXPECT_EQ(buf[8190], 0x04);
    EXPECT_EQ(buf[8191], 0x00);
}

// The last 200 bytes hold page indexes, the MSR settings and the registers,
// never a key sequence: a byte there that equals a marker starts nothing.
TEST(HidTranslation, TheReservedTailIsNeverTranslated)
{
    Fixture f;
    Bytes img = Fixture::image(hex("FF 04 00"));
    // Page 0 index word 5 = 0x0CFF right before the MSR settings C6 08 25 ...
    const Bytes tail = hex("FF 0C C6 08 25 3B 3B 3F 01 00 00 02 04 01 69 55 AA D6");
    std::copy(tail.begin(), tail.end(), img.end() - long(tail.size()));
    img[8192 - 150] = 0xFD;
    img[8192 - 149] = 0x04;
    Bytes want = img;
    want[2] = 0x1E;
    EXPECT_EQ(hid2sc(*f.st, img), 0);
    EXPECT_EQ(img, want);
    want[2] = 0x04;
    img[8192 - 150] = 0xFB;
    want[8192 - 150] = 0xFB;
    EXPECT_EQ(sc2hid(*f.st, img), 0);
    EXPECT_EQ(img, want);
}
