#include "keydata/image_build.h"

#include "keydata/fcode.h"
#include "keydata/image_tail.h"

#include <memory>

namespace ptu {

std::vector<KeyRef> buildImage(State& s, bool clearFirst, const std::function<void(State&)>& toUsbForm)
{
    if (clearFirst) s.buf.ibuf.fill(0);
    if (s.fl.hide_f) fcode(s);
    std::vector<KeyRef> dropped = htor(s);
    if (toUsbForm) toUsbForm(s);
    mkidx(s);
    writeTail(s);
    return dropped;
}

MemoryUse memoryUse(const State& s)
{
    auto scratch = std::make_unique<State>();
    scratch->fl = s.fl;
    scratch->mv = s.mv;
    scratch->rg = s.rg;
    scratch->loc = s.loc;
    scratch->kd.hbuf = s.kd.hbuf;
    if (scratch->fl.hide_f) fcode(*scratch);
    const bool overflow = !htor(*scratch).empty();
    return {scratch->kd.used_len, s.mv.lmt, overflow};
}

}  // namespace ptu
