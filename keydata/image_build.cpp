#include "keydata/image_build.h"

#include "keydata/fcode.h"
#include "keydata/image_tail.h"

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

}  // namespace ptu
