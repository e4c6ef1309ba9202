// The USB translation both ways over an image (the input, padded with zeros
// or cut): 8192 bytes as a USB keyboard has, or 2048 for a short input, which
// runs the same code four times faster. The program form is translated back.
#include "device/hid.h"
#include "keydata/state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto st = std::make_unique<ptu::State>();
    st->fl.usb_f = 1;
    st->mv.kbb_f = size > 2048 ? 8192 : 2048;
    std::vector<uint8_t> image(std::size_t(st->mv.kbb_f), 0);
    std::memcpy(image.data(), data, std::min<size_t>(size, image.size()));
    std::vector<uint8_t> toProgram = image, toUsb = image;
    ptu::hid2sc(*st, toProgram);
    ptu::sc2hid(*st, toUsb);
    ptu::sc2hid(*st, toProgram);
    return 0;
}
