// The captions file beside a data file: NAME.tpl.captions holds the key
// captions that differ from their default labels. It is written the way the
// data file is (a temporary file, synced, renamed over the old one) and
// removed when no caption differs, so it always matches its data file.
#pragma once

#include "keydata/key_captions.h"
#include "keydata/state.h"

#include <string>
#include <vector>

namespace ptu {

// "NAME.tpl" -> "NAME.tpl.captions".
std::string captionsPath(const std::string& dataFile);

// Writes `text` (captionsText) to `path`, or removes `path` when `text` is
// empty. On failure `error` says why and an old file is left as it was.
bool saveCaptionsFile(const std::string& path, const std::string& text, std::string& error);

// The captions file at `path`, read and parsed. A missing file is no error
// (present false); a file that cannot be read sets `error`.
struct CaptionsFile {
    bool present = false;
    std::vector<CaptionLine> lines;
    std::vector<std::string> warnings;  // malformed lines, "line N: ..."
    std::string error;
};
CaptionsFile readCaptionsFile(const std::string& path);

// Saves the captions of `s` beside the data file `dataFile`.
bool saveCaptions(const State& s, const std::string& dataFile, std::string& error);

// Reads the captions file beside `dataFile` and gives the keys of `s` its
// captions (applyCaptions); without the file every key gets its default
// label. Lines for cells the model has no key in join the warnings. Returns
// what was read.
CaptionsFile loadCaptions(State& s, const std::string& dataFile);

}  // namespace ptu
