// Pressing a key of the emulated keyboard: its stored macro as key strokes.
#include "sim/model/strokes.h"

#include <gtest/gtest.h>

using namespace kbdsim;

namespace {

Stroke down(uint16_t k) { return {k, true, 0}; }
Stroke up(uint16_t k) { return {k, false, 0}; }
Stroke pause(uint32_t ms) { return {0, false, ms}; }

std::vector<uint8_t> bytes(std::initializer_list<int> l) { return {l.begin(), l.end()}; }

}  // namespace

TEST(Strokes, AMacroTypesItsKeysModifiersHeldDelaysPaused)
{
    const struct {
        std::vector<uint8_t> macro;
        std::vector<Stroke> strokes;
        std::vector<std::string> skipped;
    } cases[] = {
        {bytes({0xFF, 0x2A, 0x1E, 0xF0, 0x2A}), {down(42), down(30), up(30), up(42)}, {}},  // Shift+a
        {bytes({0xFF, 0x1E, 0xFD, 0x0A, 0x30, 0xFE, 0xFF}), {down(30), up(30), pause(1000), down(48), up(48)}, {}},
        {bytes({0xFF, 0xE0, 0x1D, 0x2E, 0xE0, 0xF0, 0x1D}), {down(97), down(46), up(46), up(97)}, {}},  // right Ctrl+c
        {bytes({0xFF, 0xE0, 0x2A, 0xE0, 0x37, 0xE1, 0x1D, 0x45}), {down(99), up(99), down(119), up(119)}, {}},
        {bytes({0xFF, 0x57, 0x64, 0xE0, 0x5E}), {down(87), up(87), down(183), up(183), down(116), up(116)}, {}},
        {bytes({0xFF, 0x83, 0xF0, 0x83, 0x1C}), {down(28), up(28)}, {"83", "F0 83"}},  // {F71}: no PC key
        {bytes({0x10, 0x1E}), {down(16), up(16), down(30), up(30)}, {}},                 // no marker: codes as they stand
        {bytes({0xFF, 0xE0}), {}, {"E0"}},
    };
    for (const auto& c : cases) {
        const Typing t = strokesOf(c.macro);
        EXPECT_EQ(t.strokes, c.strokes);
        EXPECT_EQ(t.skipped, c.skipped);
    }
}

TEST(Strokes, SlotsAreCountedByTheirZeros)
{
    const std::vector<uint8_t> mem = bytes({0x10, 0, 0, 0xFF, 0x1E, 0, 0, 0xFF, 0x30, 0});
    EXPECT_EQ(slotString(mem, 0, 2, 3), bytes({0xFF, 0x1E}));
    EXPECT_EQ(slotString(mem, 1, 1, 3), bytes({0xFF, 0x30}));
    EXPECT_EQ(slotString(mem, 1, 2, 3), std::nullopt);  // the memory ends first
    EXPECT_EQ(slotString(mem, 0, 3, 3), std::nullopt);  // no such slot on a page
}
