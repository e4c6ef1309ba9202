// The tail of a memory image: registers, MSR settings and signature.
#pragma once

#include "keydata/state.h"

namespace ptu {

// Stamps the registers, magcfg and the signature 55 AA D6 into the tail of the
// image in s.buf.ibuf. Save and Write both build an image the same way:
//   (Save: clear the image buffer;) fcode() when hide_f is set; htor();
//   sc2hid (USB only); mkidx(); writeTail().
// The steps, in this order:
//  1. end-1 D6, end-2 AA, end-3 55, end-4 r29, end-5 r28, end-6 r27;
//  2. USB: end-4 r2a, end-7 r29;
//  3. one-page relocation, when (pad_f and model not 11) or m60_f: end-28 and
//     end-27 cleared, end-16 .. end-7 copied to end-26 .. end-17;
//  4. above model 1 and with pad_f not 2: end-16 .. end-10 magcfg, end-9 and
//     end-8 cleared, and on driver keyboards end-7 too.
void writeTail(State& s);

}  // namespace ptu
