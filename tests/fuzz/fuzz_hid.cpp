// The USB translation both ways over an 8192-byte image (the input, padded
// with zeros or cut), and the program form translated back.
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
    st->mv.kbb_f = 8192;
    std::vector<uint8_t> image(8192, 0);
    std::memcpy(image.data(), data, std::min<size_t>(size, image.size()));
    std::vector<uint8_t> toProgram = image, toUsb = image;
    ptu::hid2sc(*st, toProgram);
    ptu::sc2hid(*st, toUsb);
    ptu::sc2hid(*st, toProgram);
    return 0;
}
