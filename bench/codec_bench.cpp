// The codec on a full image: model 4, 8K, six pages, every slot with a key
// holding a 20-character text with tokens (the memory fills up before the
// last pages). Encoding is htor, mkidx and the tail writes; decoding is rtoh;
// the check is the round trip every stored key text passes.
#include "device/hid.h"
#include "keydata/decode.h"
#include "keydata/encode.h"
#include "keydata/image_tail.h"
#include "keydata/keypos.h"
#include "keydata/round_trip.h"
#include "keydata/state.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<ptu::State> fullModel4()
{
    auto s = std::make_unique<ptu::State>();
    s->mv.kbt_f = 4;
    s->mv.kbb_f = 8192;
    s->mv.kbp_f = 6;
    s->mv.lmt = 8192 - 102;
    s->fl.hide_f = 0;  // every key a typed macro
    s->rg.ldt = 16;
    const char* text = "Ab{ENTER}x{F1}1{ESC}";  // 20 characters
    for (int p = 0; p < 6; ++p)
        for (int k = 0; k < ptu::kSlots; ++k) {
            const ptu::KeySlot& ks = ptu::keypos[4][k];
            if (ks.col < ptu::kCols && ks.row < ptu::kRows) ptu::keyCell(s->kd.hbuf, p, ks.col, ks.row) = text;
        }
    return s;
}

void encode(ptu::State& s)
{
    benchmark::DoNotOptimize(ptu::htor(s));
    ptu::mkidx(s);
    ptu::writeTail(s);
}

void decode(ptu::State& s)
{
    std::memcpy(s.buf.rbuf.data(), s.buf.ibuf.data(), std::size_t(s.mv.kbb_f));
    ptu::rtoh(s, s.mv.kbb_f);
}

void BM_Encode(benchmark::State& state)
{
    auto s = fullModel4();
    for (auto _ : state) encode(*s);
    state.counters["used"] = s->kd.used_len;
}
BENCHMARK(BM_Encode)->Unit(benchmark::kMicrosecond);

void BM_Decode(benchmark::State& state)
{
    auto s = fullModel4();
    encode(*s);
    for (auto _ : state) decode(*s);
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMicrosecond);

void BM_RoundTrip(benchmark::State& state)
{
    auto s = fullModel4();
    auto back = fullModel4();  // decodes into its own key data, so the texts stay
    for (auto _ : state) {
        encode(*s);
        std::memcpy(back->buf.rbuf.data(), s->buf.ibuf.data(), std::size_t(s->mv.kbb_f));
        ptu::rtoh(*back, s->mv.kbb_f);
    }
    state.counters["used"] = s->kd.used_len;
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

// The check every key text passes when it is stored: all keys of the six
// pages, on a port keyboard and on a USB one (per key: divide by "keys").
void BM_CheckAllKeys(benchmark::State& state)
{
    auto s = fullModel4();
    s->fl.usb_f = int(state.range(0));
    ptu::keyCell(s->kd.hbuf, 0, 15, 0) = "Void{ENTR}";  // one that does not come back
    std::size_t problems = 0;
    for (auto _ : state) problems = ptu::checkKeys(*s, &ptu::usbForm()).size();
    state.counters["keys"] = double(6 * 160);
    state.counters["problems"] = double(problems);
}
BENCHMARK(BM_CheckAllKeys)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
