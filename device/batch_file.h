// The file of a batch transfer, made ready before the keyboard is asked
// anything: the option and its name checked, the destination of a read
// prepared (nothing in it changes until the whole image is there), the
// source of a write read whole and checked against the sizes a keyboard
// image can have.
#pragma once

#include "device/batch_options.h"
#include "device/replacing_file.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ptu {

struct BatchFile {
    std::string text;  // the command line the option came from
    FileOption opt;
    ReplacingFile out;            // a read's destination
    std::vector<uint8_t> source;  // a write's image
    std::vector<uint8_t> read;    // a read's image, once the whole memory is in
};

// Takes the option of `text` as rwkf16 (`block`) or rwkf reads it and makes
// its file ready. Returns XFER_OK, or the transfer's result when the file
// cannot be used (XFER_NO_OPTION, XFER_CANNOT_CREATE for a read,
// XFER_CANNOT_OPEN for a write), having said why through pf.warning.
int prepareBatchFile(Platform& pf, const std::string& text, bool block, BatchFile& file);

// Whether a write's source has exactly the keyboard's memory size `kbb`:
// XFER_OK, or XFER_CANNOT_OPEN with the two sizes said.
int checkSourceSize(Platform& pf, const BatchFile& file, int kbb);

}  // namespace ptu
