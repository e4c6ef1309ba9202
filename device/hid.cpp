#include "device/hid.h"

#include "keydata/codec_index.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ptu {

namespace {

// Usage page, usage code bytes, scan code bytes. The order is the search
// order: where a scan code sequence appears twice (2B, E0 5E, the Pause
// sequences) the earlier row is the one it translates back to.
constexpr HidRow kTable[] = {
    // page 1: system control
    {1, {0x81}, {0xE0, 0x5E}},
    {1, {0x82}, {0xE0, 0x5F}},
    {1, {0x83}, {0xE0, 0x63}},
    // page 7: keyboard; Pause has four rows, the first is the one a usage gives
    {7, {0x01}, {0xFF}},
    {7, {0x02}, {0xFC}},
    {7, {0x04}, {0x1E}},
    {7, {0x05}, {0x30}},
    {7, {0x06}, {0x2E}},
    {7, {0x07}, {0x20}},
    {7, {0x08}, {0x12}},
    {7, {0x09}, {0x21}},
    {7, {0x0A}, {0x22}},
    {7, {0x0B}, {0x23}},
    {7, {0x0C}, {0x17}},
    {7, {0x0D}, {0x24}},
    {7, {0x0E}, {0x25}},
    {7, {0x0F}, {0x26}},
    {7, {0x10}, {0x32}},
    {7, {0x11}, {0x31}},
    {7, {0x12}, {0x18}},
    {7, {0x13}, {0x19}},
    {7, {0x14}, {0x10}},
    {7, {0x15}, {0x13}},
    {7, {0x16}, {0x1F}},
    {7, {0x17}, {0x14}},
    {7, {0x18}, {0x16}},
    {7, {0x19}, {0x2F}},
    {7, {0x1A}, {0x11}},
    {7, {0x1B}, {0x2D}},
    {7, {0x1C}, {0x15}},
    {7, {0x1D}, {0x2C}},
    {7, {0x1E}, {0x02}},
    {7, {0x1F}, {0x03}},
    {7, {0x20}, {0x04}},
    {7, {0x21}, {0x05}},
    {7, {0x22}, {0x06}},
    {7, {0x23}, {0x07}},
    {7, {0x24}, {0x08}},
    {7, {0x25}, {0x09}},
    {7, {0x26}, {0x0A}},
    {7, {0x27}, {0x0B}},
    {7, {0x28}, {0x1C}},
    {7, {0x29}, {0x01}},
    {7, {0x2A}, {0x0E}},
    {7, {0x2B}, {0x0F}},
    {7, {0x2C}, {0x39}},
    {7, {0x2D}, {0x0C}},
    {7, {0x2E}, {0x0D}},
    {7, {0x2F}, {0x1A}},
    {7, {0x30}, {0x1B}},
    {7, {0x31}, {0x2B}},
    {7, {0x32}, {0x2B}},
    {7, {0x33}, {0x27}},
    {7, {0x34}, {0x28}},
    {7, {0x35}, {0x29}},
    {7, {0x36}, {0x33}},
    {7, {0x37}, {0x34}},
    {7, {0x38}, {0x35}},
    {7, {0x39}, {0x3A}},
    {7, {0x3A}, {0x3B}},
    {7, {0x3B}, {0x3C}},
    {7, {0x3C}, {0x3D}},
    {7, {0x3D}, {0x3E}},
    {7, {0x3E}, {0x3F}},
    {7, {0x3F}, {0x40}},
    {7, {0x40}, {0x41}},
    {7, {0x41}, {0x42}},
    {7, {0x42}, {0x43}},
    {7, {0x43}, {0x44}},
    {7, {0x44}, {0x57}},
    {7, {0x45}, {0x58}},
    {7, {0x46}, {0xE0, 0x37}},
    {7, {0x47}, {0x46}},
    {7, {0x48}, {0xE1, 0x1D, 0x45}},
    {7, {0x48}, {0xE0, 0x46}},
    {7, {0x48}, {0xE0, 0xC6}},
    {7, {0x48}, {0xE1, 0x9D, 0xC5}},
    {7, {0x49}, {0xE0, 0x52}},
    {7, {0x4A}, {0xE0, 0x47}},
    {7, {0x4B}, {0xE0, 0x49}},
    {7, {0x4C}, {0xE0, 0x53}},
    {7, {0x4D}, {0xE0, 0x4F}},
    {7, {0x4E}, {0xE0, 0x51}},
    {7, {0x4F}, {0xE0, 0x4D}},
    {7, {0x50}, {0xE0, 0x4B}},
    {7, {0x51}, {0xE0, 0x50}},
    {7, {0x52}, {0xE0, 0x48}},
    {7, {0x53}, {0x45}},
    {7, {0x54}, {0xE0, 0x35}},
    {7, {0x55}, {0x37}},
    {7, {0x56}, {0x4A}},
    {7, {0x57}, {0x4E}},
    {7, {0x58}, {0xE0, 0x1C}},
    {7, {0x59}, {0x4F}},
    {7, {0x5A}, {0x50}},
    {7, {0x5B}, {0x51}},
    {7, {0x5C}, {0x4B}},
    {7, {0x5D}, {0x4C}},
    {7, {0x5E}, {0x4D}},
    {7, {0x5F}, {0x47}},
    {7, {0x60}, {0x48}},
    {7, {0x61}, {0x49}},
    {7, {0x62}, {0x52}},
    {7, {0x63}, {0x53}},
    {7, {0x64}, {0x56}},
    {7, {0x65}, {0xE0, 0x5D}},
    {7, {0x66}, {0xE0, 0x5E}},
    {7, {0x67}, {0x59}},
    {7, {0x68}, {0x64}},
    {7, {0x69}, {0x65}},
    {7, {0x6A}, {0x66}},
    {7, {0x6B}, {0x67}},
    {7, {0x6C}, {0x68}},
    {7, {0x6D}, {0x69}},
    {7, {0x6E}, {0x6A}},
    {7, {0x6F}, {0x6B}},
    {7, {0x70}, {0x6C}},
    {7, {0x71}, {0x6D}},
    {7, {0x72}, {0x6E}},
    {7, {0x73}, {0x76}},
    {7, {0x85}, {0x7E}},
    {7, {0x87}, {0x73}},
    {7, {0x88}, {0x70}},
    {7, {0x89}, {0x7D}},
    {7, {0x8A}, {0x79}},
    {7, {0x8B}, {0x7B}},
    {7, {0x8C}, {0x5C}},
    {7, {0x90}, {0xF2}},
    {7, {0x91}, {0xF1}},
    {7, {0x92}, {0x78}},
    {7, {0x93}, {0x77}},
    {7, {0x94}, {0x76}},
    // page 7: modifiers pressed
    {7, {0xE0}, {0x1D}},
    {7, {0xE1}, {0x2A}},
    {7, {0xE2}, {0x38}},
    {7, {0xE3}, {0xE0, 0x5B}},
    {7, {0xE4}, {0xE0, 0x1D}},
    {7, {0xE5}, {0x36}},
    {7, {0xE6}, {0xE0, 0x38}},
    {7, {0xE7}, {0xE0, 0x5C}},
    // page 7: modifiers released (the program's own usage codes)
    {7, {0xF0}, {0xF0, 0x1D}},
    {7, {0xF1}, {0xF0, 0x2A}},
    {7, {0xF2}, {0xF0, 0x38}},
    {7, {0xF3}, {0xE0, 0xF0, 0x5B}},
    {7, {0xF4}, {0xE0, 0xF0, 0x1D}},
    {7, {0xF5}, {0xF0, 0x36}},
    {7, {0xF6}, {0xE0, 0xF0, 0x38}},
    {7, {0xF7}, {0xE0, 0xF0, 0x5C}},
    // page 12: consumer controls
    {12, {0xB5}, {0xE0, 0x19}},
    {12, {0xB6}, {0xE0, 0x10}},
    {12, {0xB7}, {0xE0, 0x24}},
    {12, {0xCD}, {0xE0, 0x22}},
    {12, {0xE2}, {0xE0, 0x20}},
    {12, {0xE9}, {0xE0, 0x30}},
    {12, {0xEA}, {0xE0, 0x2E}},
    {12, {0x01, 0x83}, {0xE0, 0x6D}},
    {12, {0x01, 0x8A}, {0xE0, 0x6C}},
    {12, {0x01, 0x92}, {0xE0, 0x21}},
    {12, {0x01, 0x94}, {0xE0, 0x6B}},
    {12, {0x02, 0x21}, {0xE0, 0x65}},
    {12, {0x02, 0x23}, {0xE0, 0x32}},
    {12, {0x02, 0x24}, {0xE0, 0x6A}},
    {12, {0x02, 0x25}, {0xE0, 0x69}},
    {12, {0x02, 0x26}, {0xE0, 0x68}},
    {12, {0x02, 0x27}, {0xE0, 0x67}},
    {12, {0x02, 0x2A}, {0xE0, 0x66}},
};

static_assert(std::size(kTable) == kHidRows);

// The reserved tail of the image: no key sequence starts in its last 200
// bytes, so what lies there (page indexes, MSR settings, registers) is never
// taken for a sequence even when one of its bytes equals a marker.
constexpr long kReservedTail = 200;

long imageSize(const State& st, std::span<const uint8_t> buffer)
{
    return std::clamp<long>(st.mv.kbb_f, 0, long(buffer.size()));
}

int codeLength(const std::array<uint8_t, 4>& codes)
{
    return int(std::find(codes.begin(), codes.end(), 0) - codes.begin());
}

// Whether `codes` (ended by 0) stand in the image from position j on.
bool matches(const std::array<uint8_t, 4>& codes, std::span<const uint8_t> image, long j)
{
    int len = codeLength(codes);
    if (j + len > long(image.size())) return false;
    return std::equal(codes.begin(), codes.begin() + len, image.begin() + j);
}

// The first row of `page` whose usage code bytes stand at position j, or -1.
int findUsage(uint32_t page, std::span<const uint8_t> image, long j)
{
    for (int r = 0; r < kHidRows; ++r)
        if (kTable[r].page == page && matches(kTable[r].usage, image, j)) return r;
    return -1;
}

// The first row whose scan code bytes stand at position j, or -1.
int findScan(std::span<const uint8_t> image, long j)
{
    for (int r = 0; r < kHidRows; ++r)
        if (matches(kTable[r].scan, image, j)) return r;
    return -1;
}

void append(std::vector<uint8_t>& out, const std::array<uint8_t, 4>& codes)
{
    out.insert(out.end(), codes.begin(), codes.begin() + codeLength(codes));
}

// The translated stream back into the image: its first kbb bytes (zeros
// where it is shorter), then its last 16 bytes over the last 16 of the image,
// so that the registers and the signature stay at the end.
void copyBack(const std::vector<uint8_t>& out, std::span<uint8_t> image)
{
    const size_t kbb = image.size();
    const size_t n = std::min(out.size(), kbb);
    std::copy_n(out.begin(), n, image.begin());
    std::fill(image.begin() + long(n), image.end(), 0);
    if (kbb >= 16 && out.size() >= 16) std::copy(out.end() - 16, out.end(), image.end() - 16);
}

uint32_t markerPage(uint8_t c)
{
    switch (c) {
    case HID_KEYBOARD: return 7;
    case HID_DESKTOP: return 1;
    case HID_CONSUMER: return 12;
    default: return 0;
    }
}

// Print Screen as the tables without an E0 37 key name write it (UK, Spanish,
// Portuguese, Norwegian, Italian, French): with the extended left Shift press
// that a PC keyboard sends before E0 37. It travels as the Print Screen usage.
constexpr std::array<uint8_t, 4> kPrintScreenLong = {0xE0, 0x2A, 0xE0, 0x37};
constexpr uint8_t kPrintScreenUsage = 0x46;

bool printScreenLongAt(std::span<const uint8_t> image, long j) { return matches(kPrintScreenLong, image, j); }

// Whether the set's key names read E0 37 as a key (else Print Screen is
// written E0 2A E0 37).
bool namesShortPrintScreen(TableSetId set)
{
    static const std::string shortForm = "\xE0\x37";
    return codecIndex(set).match(shortForm).nameRow >= 0;
}

// USB form to program form: the translated stream of `image` into `out`; key
// sequences start only below keyEnd.
void toProgramForm(TableSetId set, std::span<const uint8_t> image, long keyEnd, Log& log, std::vector<uint8_t>& out)
{
    const long kbb = long(image.size());
    const bool longPrintScreen = !namesShortPrintScreen(set);
    long i = 0, j = 0;
    for (; i < kbb; ++i) {
        const uint8_t c = image[size_t(i)];
        const uint32_t page = i < keyEnd ? markerPage(c) : 0;
        if (page == 0) {
            log.printf(" n=%ld, i=%ld, v=%xh \n", long(out.size()), i, unsigned(c));
            out.push_back(c);
            continue;
        }
        out.push_back(HID_KEYBOARD);
        long nn = -1;
        for (j = i + 1; j < kbb && image[size_t(j)] != 0; ++j) {
            if (page == 7 && longPrintScreen && image[size_t(j)] == kPrintScreenUsage) {
                out.insert(out.end(), kPrintScreenLong.begin(), kPrintScreenLong.end());
                continue;
            }
            const int r = findUsage(page, image, j);
            if (r < 0) {
                out.push_back(image[size_t(j)]);
                continue;
            }
            append(out, kTable[r].scan);
            j += codeLength(kTable[r].usage) - 1;
            nn = r;
        }
        out.push_back(0);
        i = j;
        log.printf(" nn=%ld, n=%ld \n", nn, long(out.size()));
    }
    log.printf(" n=%ld, i=%ld, j=%ld \n", long(out.size()), i, j);
}

// Program form to USB form, as toProgramForm the other way.
void toUsbForm(std::span<const uint8_t> image, long keyEnd, Log& log, std::vector<uint8_t>& out)
{
    const long kbb = long(image.size());
    long i = 0, j = 0;
    for (; i < kbb; ++i) {
        const uint8_t c = image[size_t(i)];
        if (i >= keyEnd || (c != 0xFF && c != 0xFB)) {
            out.push_back(c);
            continue;
        }
        const size_t t = out.size();
        out.push_back(HID_KEYBOARD);
        uint32_t m = 0;
        long nn = -1;
        for (j = i + 1; j < kbb && image[size_t(j)] != 0; ++j) {
            if (printScreenLongAt(image, j)) {
                m = 7;
                out.push_back(kPrintScreenUsage);
                j += long(kPrintScreenLong.size()) - 1;
                continue;
            }
            const int r = findScan(image, j);
            if (r < 0) {
                out.push_back(image[size_t(j)]);
                continue;
            }
            m = kTable[r].page;
            append(out, kTable[r].usage);
            j += codeLength(kTable[r].scan) - 1;
            nn = r;
        }
        out.push_back(0);
        i = j;
        // The page of the last code found names the sequence.
        if (m == 1) out[t] = HID_DESKTOP;
        else if (m == 12) out[t] = HID_CONSUMER;
        log.printf(" m=%ld, tn=%ld, nn=%ld, n=%ld \n", long(m), long(t), nn, long(out.size()));
    }
    log.printf(" n=%ld, i=%ld, j=%ld \n", long(out.size()), i, j);
}

std::string slotRoundTrip(TableSetId set, std::string_view stored)
{
    std::vector<uint8_t> slot(stored.begin(), stored.end());
    slot.push_back(0);
    Log quiet;
    std::vector<uint8_t> usb, back;
    toUsbForm(slot, long(slot.size()), quiet, usb);
    toProgramForm(set, usb, long(usb.size()), quiet, back);
    const auto end = std::find(back.begin(), back.end(), 0);
    return std::string(back.begin(), end);
}

int slotPage(std::string_view codes)
{
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(codes.data()), codes.size());
    int page = 0;
    for (long j = 0; j < long(bytes.size()); ++j) {
        if (printScreenLongAt(bytes, j)) {
            page = 7;
            j += long(kPrintScreenLong.size()) - 1;
            continue;
        }
        const int r = findScan(bytes, j);
        if (r < 0) return 0;
        page = int(kTable[r].page);
        j += codeLength(kTable[r].scan) - 1;
    }
    return page;
}

}  // namespace

std::span<const HidRow> hidTable() { return kTable; }

const UsbForm& usbForm()
{
    static const UsbForm form{&slotRoundTrip, &slotPage};
    return form;
}

namespace {

// One direction of the translation over the image in `buffer`: the stream
// it makes (at most `growth` bytes per image byte, and a terminating 0 for
// a sequence cut off by the end) put back into the image.
template <typename Direction>
int translateImage(State& st, std::span<uint8_t> buffer, const char* trace, long growth, Direction direction)
{
    st.log.printf("%s", trace);
    if (!st.fl.usb_f) return 1;
    const long kbb = imageSize(st, buffer);
    const std::span<uint8_t> image = buffer.first(size_t(kbb));
    std::vector<uint8_t> out;
    out.reserve(size_t(growth * kbb + 1));
    direction(image, kbb - kReservedTail, out);
    copyBack(out, image);
    return 0;
}

}  // namespace

int hid2sc(State& st, std::span<uint8_t> buffer)
{
    // A one-byte usage becomes at most four scan code bytes.
    return translateImage(st, buffer, " in hid2sc \n", 4, [&](std::span<uint8_t> image, long keyEnd, std::vector<uint8_t>& out) {
        toProgramForm(st.loc.tset, image, keyEnd, st.log, out);
    });
}

int sc2hid(State& st, std::span<uint8_t> buffer)
{
    // No scan code sequence is shorter than its usage codes.
    return translateImage(st, buffer, " in sc2hid \n", 1, [&](std::span<uint8_t> image, long keyEnd, std::vector<uint8_t>& out) {
        toUsbForm(image, keyEnd, st.log, out);
    });
}

}  // namespace ptu
