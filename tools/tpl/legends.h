// ptu-tpl legends: the legend and programming sheets of a data file as a
// PDF, drawn by the window's own renderer on Qt's offscreen platform, so no
// display is needed.
#pragma once

#include "keydata/state.h"
#include "legend/sheet_plan.h"

#include <iosfwd>
#include <string>

namespace ptu::tpl {

// Writes the sheets of the key data in `s` (read from `dataFile`) to the PDF
// `output`. Returns EXIT_OK, or EXIT_IO having said why on `err`.
int writeLegends(State& s, const std::string& dataFile, const legend::LegendOptions& o, const std::string& output,
                 std::ostream& err);

}  // namespace ptu::tpl
