#include "device/identify.h"

namespace ptu {

int memorySize(uint8_t r2a)
{
    switch (r2a & 0x38) {
    case 0x20: return 8192;
    case 0x10: return 4096;
    default: return 2048;
    }
}

static int layoutVariant(uint8_t r2a)
{
    switch (r2a & 0x07) {
    case 7: return 0;
    case 6: return 1;
    case 5: return 3;
    case 4: return 4;
    default: return 2;
    }
}

void typematicRule(State& st)
{
    bool mayKeep = st.rg.r2e == 0x64 && (st.fl.m84_f || st.fl.m70_f);
    if (!mayKeep) st.rg.r28 |= 0x20;
}

// Hot key off on the small and the large single-page models; typematic off on
// the small ones.
void modelFeatureBits(State& st)
{
    if (st.fl.pad_f || st.fl.m60_f || st.fl.capj_f) st.rg.r28 &= 0x7F;
    if (st.fl.pad_f) st.rg.r28 |= 0x20;
}

void infoIdentify(State& st)
{
    Registers& r = st.rg;
    ModelValues& m = st.mv;
    const Flags& f = st.fl;

    r.r28 &= f.m17_f ? 0xFB : 0xEB;
    typematicRule(st);
    r.r29 = uint8_t((r.r29 & 0x9E) | 0x16);
    if (r.r27 == 0) r.r27 = 4;
    modelFeatureBits(st);

    m.kbb_f = memorySize(r.r2a);
    if (singlePageSwitch(f, m.kbt_f)) m.kbp_f = 1;
    else if (f.m84_f || f.m70_f || (r.r2a & 0x80)) m.kbp_f = 6;
    else m.kbp_f = 1;
    if (!f.pad_f && !f.m60_f && !f.m84_f && !f.m70_f) m.kbt_f = layoutVariant(r.r2a);

    if (f.m17_f) {
        m.kbt_f = 10;
        m.kbp_f = 6;
        m.kbb_f = 8192;
        r.r28 &= 0x7D;
    }
    if (r.r2a == 0xBC || r.r2a == 0xFC) {
        m.kbb_f = 2048;
        m.kbt_f = 1;
        m.kbp_f = 1;
    } else if (r.r2a == 0xFD) {
        m.kbb_f = 2048;
        m.kbt_f = 0;
        m.kbp_f = 1;
    }
    m.lmt = dataLimit(m.kbb_f, m.kbp_f);
    st.log.printf(" r2a=%x, r2e=%x, r29=%x, r28=%x, kbb_f=%d, kbp_f=%d, kbt_f=%d, lmt=%d \n", r.r2a, r.r2e,
                  r.r29, r.r28, m.kbb_f, m.kbp_f, m.kbt_f, m.lmt);
}

void loadDemoValues(State& st)
{
    st.mv.kbb_f = 8192;
    st.mv.kbp_f = 6;
    st.mv.kbt_f = 2;
    st.mv.lmt = 8090;
    st.rg.r2a = 8;
    st.rg.r2e = 0;
    st.rg.r27 = 4;
    st.rg.r28 = 1;
    st.rg.r29 = 2;
    st.rg.ldt = 16;
}

void readNormalise(State& st)
{
    if (st.rg.r27 == 0) st.rg.r27 = 4;
    if (st.mv.kbt_f == 7) {
        st.rg.r29 &= 0x7F;
        st.rg.r28 &= 0xFD;
    }
    modelFeatureBits(st);
    typematicRule(st);
}

}  // namespace ptu
