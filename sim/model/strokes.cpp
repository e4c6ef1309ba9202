#include "sim/model/strokes.h"

#include <algorithm>
#include <cstdio>

namespace kbdsim {

namespace {

// Scan code set 1 make codes and the PC keys that send them, as Linux input
// event codes. Single bytes 01..53 are the event codes themselves.
struct Key {
    uint8_t code;
    uint16_t event;
};
constexpr Key kSingle[] = {
    {0x56, 86},  {0x57, 87},  {0x58, 88},  // 102nd key, F11, F12
    {0x64, 183}, {0x65, 184}, {0x66, 185}, {0x67, 186}, {0x68, 187}, {0x69, 188}, {0x6A, 189},  // F13..F19
    {0x70, 93},  {0x73, 89},  {0x79, 92},  {0x7B, 94},  // Hiragana, Ro, Henkan, Muhenkan
};
// After E0.
constexpr Key kExtended[] = {
    {0x1C, 96},  {0x1D, 97},  {0x35, 98},  {0x37, 99},  {0x38, 100},  // pad Enter, right Ctrl, pad /, PrtSc, AltGr
    {0x47, 102}, {0x48, 103}, {0x49, 104}, {0x4B, 105}, {0x4D, 106},  // Home, Up, PgUp, Left, Right
    {0x4F, 107}, {0x50, 108}, {0x51, 109}, {0x52, 110}, {0x53, 111},  // End, Down, PgDn, Insert, Delete
    {0x5B, 125}, {0x5C, 126}, {0x5D, 127},                            // left and right Windows, Menu
    {0x5E, 116}, {0x5F, 142}, {0x63, 143},                            // Power, Sleep, Wake Up
};
constexpr uint16_t kPause = 119;
// Held down until released: left Ctrl, left Shift, right Shift, left Alt,
// right Ctrl, AltGr, the Windows keys.
constexpr uint16_t kModifiers[] = {29, 42, 54, 56, 97, 100, 125, 126};

uint16_t eventOf(uint8_t code, bool extended)
{
    if (!extended && code >= 0x01 && code <= 0x53) return code;
    for (const Key& k : extended ? std::span<const Key>(kExtended) : std::span<const Key>(kSingle))
        if (k.code == code) return k.event;
    return 0;
}

bool isModifier(uint16_t event) { return std::find(std::begin(kModifiers), std::end(kModifiers), event) != std::end(kModifiers); }

std::string hex(std::span<const uint8_t> bytes)
{
    std::string s;
    for (uint8_t b : bytes) {
        char h[4];
        std::snprintf(h, sizeof h, "%s%02X", s.empty() ? "" : " ", b);
        s += h;
    }
    return s;
}

}  // namespace

Typing strokesOf(std::span<const uint8_t> m)
{
    Typing t;
    std::size_t i = !m.empty() && (m[0] == 0xFF || m[0] == 0xFB) ? 1 : 0;
    while (i < m.size()) {
        const uint8_t c = m[i];
        if (c == 0xFF || c == 0xFE) {  // mark, separator: commands
            ++i;
            continue;
        }
        if (c == 0xFD) {  // delay
            if (i + 1 < m.size()) t.strokes.push_back({0, false, m[i + 1] * kDelayUnitMs});
            i += 2;
            continue;
        }
        if (c == 0xE1 && i + 2 < m.size() && m[i + 1] == 0x1D && m[i + 2] == 0x45) {
            t.strokes.push_back({kPause, true, 0});
            t.strokes.push_back({kPause, false, 0});
            i += 3;
            continue;
        }
        if (c == 0xE0 && i + 1 < m.size() && m[i + 1] == 0x2A) {  // the Shift prefix of Print Screen
            i += 2;
            continue;
        }
        const bool extended = c == 0xE0;
        std::size_t j = i + (extended ? 1 : 0);
        const bool release = j < m.size() && m[j] == 0xF0;
        if (release) ++j;
        if (j >= m.size()) {
            t.skipped.push_back(hex(m.subspan(i)));
            break;
        }
        const uint16_t key = eventOf(m[j], extended);
        if (key == 0) {
            t.skipped.push_back(hex(m.subspan(i, j + 1 - i)));
        } else if (release) {
            t.strokes.push_back({key, false, 0});
        } else {
            t.strokes.push_back({key, true, 0});
            if (!isModifier(key)) t.strokes.push_back({key, false, 0});
        }
        i = j + 1;
    }
    return t;
}

std::optional<std::vector<uint8_t>> slotString(std::span<const uint8_t> memory, int page, int slot, int slotsPerPage)
{
    if (page < 0 || slot < 0 || slotsPerPage <= 0 || slot >= slotsPerPage) return std::nullopt;
    long index = long(page) * slotsPerPage + slot;
    auto it = memory.begin();
    for (; index > 0; --index) {
        it = std::find(it, memory.end(), uint8_t(0));
        if (it == memory.end()) return std::nullopt;
        ++it;
    }
    const auto end = std::find(it, memory.end(), uint8_t(0));
    if (end == memory.end()) return std::nullopt;
    return std::vector<uint8_t>(it, end);
}

}  // namespace kbdsim
