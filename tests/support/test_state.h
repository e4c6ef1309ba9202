// A fresh state for a model, as the tests below the window build it.
#pragma once

#include "keydata/models.h"
#include "keydata/state.h"

#include <memory>

namespace ptu::test {

// A state for model kbt with the given memory and page layout (lmt follows).
inline std::unique_ptr<State> makeState(int kbt, int kbb = 8192, int kbp = 6, TableSetId ts = TableSetId::us)
{
    auto s = std::make_unique<State>();
    s->mv.kbt_f = kbt;
    s->mv.kbb_f = kbb;
    s->mv.kbp_f = kbp;
    s->mv.lmt = dataLimit(kbb, kbp);
    s->loc.tset = ts;
    return s;
}

}  // namespace ptu::test
