// Where the codec may put key data in a memory image of the current model.
#pragma once

#include "keydata/keypos.h"
#include "keydata/state.h"

#include <algorithm>

namespace ptu {

// The last 200 bytes of every image are kept for the tail; no slot's string
// starts there.
constexpr int kTailReserve = 200;

// Whether the model values describe an image the codec can lay out: a known
// model, a memory of 2048, 4096 or 8192 bytes, one or six pages, and lmt
// inside the reserved tail.
inline bool layoutUsable(const ModelValues& mv)
{
    return mv.kbt_f >= 0 && mv.kbt_f < kModels &&
           (mv.kbb_f == 2048 || mv.kbb_f == 4096 || mv.kbb_f == 8192) &&
           (mv.kbp_f == 1 || mv.kbp_f == 6) && mv.lmt >= mv.kbb_f - kTailReserve &&
           mv.lmt <= mv.kbb_f - 16;
}

// The highest slot the codec handles: kmax, kept to the 176 slots a model has
// (a "-k" beyond them must not read past the key-position table).
inline int lastSlot(const ModelValues& mv) { return std::clamp(mv.kmax, 0, kSlots - 1); }

// The first offset that the index writer and the tail writes may touch; every
// key string must end below it. With six pages that is lmt. With one page the
// index writer also fills the reserved bytes from end - 100 on (index words at
// end - 100 .. end - 40, the moved page index at end - 28 .. end - 17).
inline int keyDataEnd(const ModelValues& mv)
{
    return mv.kbp_f == 1 ? std::min(mv.lmt, mv.kbb_f - 100) : mv.lmt;
}

}  // namespace ptu
