#include "keydata/image_tail.h"

#include "keydata/layout.h"

#include <cstring>

namespace ptu {

void writeTail(State& s)
{
    const ModelValues& mv = s.mv;
    if (!layoutUsable(mv)) return;
    uint8_t* end = s.buf.ibuf.data() + mv.kbb_f;  // end[-k] is position k
    end[-1] = 0xD6;
    end[-2] = 0xAA;
    end[-3] = 0x55;
    end[-4] = s.rg.r29;
    end[-5] = s.rg.r28;
    end[-6] = s.rg.r27;
    if (s.fl.usb_f) {
        end[-4] = s.rg.r2a;
        end[-7] = s.rg.r29;
    }
    if (singlePageSwitch(s.fl, mv.kbt_f)) {
        end[-28] = 0;
        end[-27] = 0;
        std::memcpy(end - 26, end - 16, 10);
    }
    if (mv.kbt_f > 1 && s.fl.pad_f != 2) {
        std::memcpy(end - 16, s.kd.magcfg.data(), s.kd.magcfg.size());
        end[-9] = 0;
        end[-8] = 0;
        if (!s.fl.usb_f) end[-7] = 0;
    }
}

}  // namespace ptu
