// What the keyboard types when one of its keys is pressed: the key's stored
// macro as key strokes of a PC keyboard (Linux input event codes going down
// and up) and pauses. This is the emulated keyboard's own reading of its
// memory, apart from the program's codec.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kbdsim {

// One stroke: a key going down or up, or (key 0) a pause.
struct Stroke {
    uint16_t key = 0;  // Linux input event code; 0 for a pause
    bool down = false;
    uint32_t pauseMs = 0;
    bool operator==(const Stroke&) const = default;
};

// The pause of one unit of a delay command (FD n pauses n units).
constexpr uint32_t kDelayUnitMs = 100;

// The strokes of a stored macro (a slot's bytes without their final 0; the
// FF or FB marker, where there is one, first). A make code types its key
// (down and up), a modifier's make code holds it down until its break code
// (F0, after E0 on extended keys) lets it up; FD n pauses, FF and FE are
// commands that type nothing. Codes no PC key sends are left out and listed
// in `skipped` (as hex bytes).
struct Typing {
    std::vector<Stroke> strokes;
    std::vector<std::string> skipped;
};
Typing strokesOf(std::span<const uint8_t> macro);

// The string of slot `slot` on page `page` (0-terminated strings counted from
// the start of `memory`, `slotsPerPage` to a page), without its 0; none when
// the memory ends first.
std::optional<std::vector<uint8_t>> slotString(std::span<const uint8_t> memory, int page, int slot, int slotsPerPage);

}  // namespace kbdsim
