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
    return knownModel(mv.kbt_f) &&
           (mv.kbb_f == 2048 || mv.kbb_f == 4096 || mv.kbb_f == 8192) &&
           (mv.kbp_f == 1 || mv.kbp_f == 6) && mv.lmt >= mv.kbb_f - kTailReserve &&
           mv.lmt <= mv.kbb_f - 16;
}

// The highest slot the codec handles: kmax, kept to the 176 slots a model has
// (a "-k" beyond them must not read past the key-position table).
inline int lastSlot(const ModelValues& mv) { return std::clamp(mv.kmax, 0, kSlots - 1); }

// The first offset that the index writer and the tail writes may touch; every
// key string must end below it. With six pages that is lmt. With one page the
// index writer goes on counting zeros after the page as if further pages
// followed: the words of the next index land at end - 40 .. end - 30 as soon
// as the page has ended (the moved page index then lies at end - 28 ..
// end - 17). Each later index (end - 52, ..., end - 100) needs kmax + 1 more
// zeros below lmt first; with 36 slots or more a page's worth of zeros no
// longer fits between such an index and the key data, so only end - 40 bounds
// the data. With fewer slots the indexes reach down to end - 100.
inline int keyDataEnd(const ModelValues& mv)
{
    if (mv.kbp_f != 1) return mv.lmt;
    return std::min(mv.lmt, lastSlot(mv) >= 35 ? mv.kbb_f - 40 : mv.kbb_f - 100);
}

}  // namespace ptu
