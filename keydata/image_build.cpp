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

namespace {

// The key data laid out on a copy of the state, as the image build does.
struct Scratch {
    std::unique_ptr<State> st = std::make_unique<State>();
    std::vector<KeyRef> dropped;
    explicit Scratch(const State& s)
    {
        st->fl = s.fl;
        st->mv = s.mv;
        st->rg = s.rg;
        st->loc = s.loc;
        st->kd.hbuf = s.kd.hbuf;
        if (st->fl.hide_f) fcode(*st);
        dropped = htor(*st);
    }
};

}  // namespace

MemoryUse memoryUse(const State& s)
{
    const Scratch scratch(s);
    return {scratch.st->kd.used_len, s.mv.lmt, !scratch.dropped.empty()};
}

std::vector<KeyRef> leftOutKeys(const State& s) { return Scratch(s).dropped; }

}  // namespace ptu
