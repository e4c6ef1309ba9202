// Key legends and programming sheets, drawn to scale: for every page in use
// the grid of keys at the chosen pitch, each key a box with its caption large
// and centred and cut marks at the boxes' corners; with the programming
// sheet the same grids with each key's macro text in small print and a table
// of every key with a text. The window's print preview and ptu-tpl's PDF
// both draw through this one renderer. Texts are shown as the characters the
// locale set's bytes stand for.
#pragma once

#include "keydata/state.h"
#include "legend/sheet_plan.h"

#include <string>

class QPainter;
class QPagedPaintDevice;

namespace ptu::legend {

// What the sheets' headers name besides the page: the data file ("" when the
// key data was never saved or opened), and whether the key data differs
// from what that file holds.
struct LegendSource {
    const State& st;
    std::string dataFile;
    bool differs = false;
};

// Draws every sheet on `device` through `painter`, which is active on it,
// starting a new page before each sheet after the first. The drawing area is
// the device's (the printable part of the page). Returns the sheets drawn.
int paintLegends(QPainter& painter, QPagedPaintDevice& device, const LegendSource& src, const LegendOptions& o);

// Writes the sheets as a PDF file on A4 paper (turned to landscape for a
// grid wider than high). False with `error` set when the file cannot be
// written; an old file of that name is then left as it was.
bool writeLegendPdf(const std::string& path, const LegendSource& src, const LegendOptions& o, std::string& error);

}  // namespace ptu::legend
