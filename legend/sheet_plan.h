// Which sheets a legend print has and what part of the key grid each one
// shows: one legend sheet per page in use, and with the programming sheet the
// same grids again and the table of key texts. A grid that does not fit the
// paper at the chosen pitch is split into parts, each on a sheet of its own,
// so the keys always keep their size.
#pragma once

#include "keydata/state.h"

#include <string>
#include <vector>

namespace ptu::legend {

// The key pitch a print offers: 19.05 mm (three quarters of an inch) unless
// chosen, between the smallest and the largest keys of POS keyboards.
constexpr double kDefaultPitch = 19.05;
constexpr double kMinPitch = 10.0;
constexpr double kMaxPitch = 40.0;

struct LegendOptions {
    double pitch = kDefaultPitch;  // mm from one key's edge to the next one's
    bool programming = false;      // the programming sheets and the table of key texts too
};

// The pages a print shows, in order: 0..3 and 5 as far as the model has them.
std::vector<int> pagesInUse(const ModelValues& mv);

// "Page 1" .. "Page 4", "Page P".
std::string pageName(int page);

// A part of the grid: columns c0 .. c1 - 1, rows r0 .. r1 - 1.
struct Tile {
    int c0 = 0, c1 = 0, r0 = 0, r1 = 0;
};

// The parts of page `page`'s grid that hold keys in use, for a drawing area
// of width x height mm at the pitch. One part when the grid fits.
std::vector<Tile> gridTiles(const State& st, int page, double pitch, double width, double height);

// Whether the cell shows a key on the legend: a key the window shows on that page.
bool legendKey(const State& st, int page, int col, int row);

// The macro text a programming sheet shows for a key: its text, except in
// the cell whose stored string holds the ldt register instead of a macro.
const std::string& programmedText(const State& st, int page, int col, int row);

}  // namespace ptu::legend
