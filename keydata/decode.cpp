#include "keydata/decode.h"

#include "keydata/codec_index.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "platform/driver_protocol.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>

namespace ptu {

namespace {

// The text of a macro's bytes (after the marker), appended to `out`.
void decodeMacro(Log* trace, const CodecIndex& ix, std::string_view b, std::string& out)
{
    const TableSet& set = *ix.set;
    const bool log = trace && trace->isOpen();
    const int nChars = int(set.nok2.size());
    const int nNames = int(set.nok1.size());
    std::size_t pos = 1;  // after the marker
    while (pos < b.size()) {
        const auto first = static_cast<unsigned char>(b[pos]);
        if (!log) {
            if (const int c = ix.quickChar[first]; c >= 0) {
                out += char(c);
                ++pos;
                continue;
            }
            if (const int q = ix.quickName[first]; q >= 0) {
                out += ix.nameToken[std::size_t(q)];
                ++pos;
                continue;
            }
        }
        const CodecIndex::Match m = ix.match(b.substr(pos));
        if (log)
            trace->printf(" match key2: j=%d, nok2=%d, ascii=%xh \n", m.charRow < 0 ? nChars : m.charRow,
                         nChars, m.charRow < 0 ? 0u : unsigned(set.nok2[std::size_t(m.charRow)].ch));
        if (m.charRow >= 0) {
            out += char(set.nok2[std::size_t(m.charRow)].ch);
            pos += ix.charLen[std::size_t(m.charRow)];
            continue;
        }
        if (log) trace->printf(" match key1: j=%d, nok1=%d \n", m.nameRow < 0 ? nNames : m.nameRow, nNames);
        if (m.nameRow >= 0) {
            out += ix.nameToken[std::size_t(m.nameRow)];
            pos += ix.nameLen[std::size_t(m.nameRow)];
        } else {
            char dec[8];
            const int len = std::snprintf(dec, sizeof dec, "{%u}", unsigned(first));
            out.append(dec, std::size_t(len));
            ++pos;
        }
    }
}

// stot into `out`, which is replaced.
void decodeInto(State& s, const CodecIndex& ix, std::string_view bytes, std::string& out)
{
    if (s.log.isOpen())
        s.log.printf(" in stot( %p ): pp[0] = %xh \n", static_cast<const void*>(bytes.data()),
                     bytes.empty() ? 0u : unsigned(static_cast<unsigned char>(bytes[0])));
    out.clear();
    if (bytes.empty()) return;
    const auto m = static_cast<unsigned char>(bytes[0]);
    if (m != 0xFF && m != 0xFB) {
        out.assign(bytes);
        return;
    }
    if (s.log.isOpen()) {
        s.log.printf(" n1=%d : ", int(bytes.size()));
        for (unsigned char b : bytes) s.log.printf(" %xh", b);
        s.log.printf("\n");
    }
    decodeMacro(&s.log, ix, bytes, out);
}

}  // namespace

int unpackNibbles(std::span<const uint8_t> raw, int kbb, std::span<uint8_t> out)
{
    const int n = int(raw.size());
    int i = 0;
    while (i < n && !driver::startsMemory(raw[size_t(i)])) ++i;
    int k = 0;
    for (; i < 2 * kbb + 2 && i + 1 < n && k < int(out.size()); i += 2)
        out[size_t(k++)] = uint8_t(((raw[size_t(i)] << 4) & 0xFF) + (raw[size_t(i + 1)] & 0x0F));
    return k;
}

int r2wr(State& s, Platform& pf)
{
    s.log.printf(" in r2wr at %ld \n", pf.now());
    const int kbb = std::clamp(s.mv.kbb_f, 0, 8192);
    uint8_t* raw = s.buf.rbuf.data();
    uint8_t* img = s.buf.ibuf.data();
    if (s.fl.usb_f) {
        std::memcpy(img, raw, std::size_t(kbb));
        return kbb;
    }
    const int k = unpackNibbles(s.buf.rbuf, kbb, s.buf.ibuf);
    std::memcpy(raw, img, std::size_t(k));
    s.rg.ldt = raw[0];
    s.log.printf(" ldt=%u, k=%d, tm=%ld \n", unsigned(s.rg.ldt), k, pf.now());
    return k;
}

std::string decodeText(TableSetId set, std::string_view bytes)
{
    std::string out;
    if (bytes.empty()) return out;
    const auto m = static_cast<unsigned char>(bytes[0]);
    if (m != 0xFF && m != 0xFB) return std::string(bytes);
    decodeMacro(nullptr, codecIndex(set), bytes, out);
    return out;
}

std::string stot(State& s, std::string_view bytes)
{
    std::string out;
    decodeInto(s, codecIndex(s.loc.tset), bytes, out);
    return out;
}

void rtoh(State& s, int n)
{
    const ModelValues& mv = s.mv;
    const bool modelOk = layoutUsable(mv);
    const uint8_t* raw = s.buf.rbuf.data();
    s.log.printf("\n ---> In rtoh( %d ), pn=%d \n", n, modelOk ? pn[mv.kbt_f] : 0);
    if (s.log.isOpen()) {
        const int dump = std::clamp(mv.kbb_f, 0, kRawBufSize);
        for (int i = 0; i < dump; ++i) {
            if (i % 8 == 0) s.log.printf("\n");
            if (raw[i] >= 0x20 && raw[i] <= 0x7E) s.log.printf(" %c ", raw[i]);
            else s.log.printf(" .%x. ", unsigned(raw[i]));
        }
        s.log.printf("\n");
    }
    if (!modelOk) return;
    n = std::clamp(n, 0, kRawBufSize);

    s.rg.ldt = keepsLdt(s.fl, mv.kbt_f) ? raw[0] : 0;

    const KeySlot* slots = keypos[mv.kbt_f];
    const int pages = std::clamp(pn[mv.kbt_f], 0, kPages);
    const int last = lastSlot(mv);
    // Every string that ends below lmt is read, also where the encoder
    // would not put one (the index words of a one-page image).
    const int keyEnd = mv.lmt;
    const int end = std::min(n, keyEnd);
    const bool log = s.log.isOpen();

    const CodecIndex& ix = codecIndex(s.loc.tset);
    int p = 0;
    int k = 0;
    int start = 0;  // where the current slot's string began
    while (start < end && p < pages) {
        const void* zero = std::memchr(raw + start, 0, std::size_t(end - start));
        if (!zero) break;  // the last string does not end inside the key data area
        const int i = int(static_cast<const uint8_t*>(zero) - raw);
        const KeySlot& ks = slots[k];
        const int len = i - start;
        if (log)
            s.log.printf(" i=%d, j=%d, p=%d, x=%d, y=%d, z=%d, k=%d \n", i, len, p, ks.col, ks.row,
                         ks.kind, k);
        if (ks.col < kCols && ks.row < kRows) {
            std::string& text = keyCell(s.kd.hbuf, p, ks.col, ks.row);
            decodeInto(s, ix, std::string_view(reinterpret_cast<const char*>(raw + start), std::size_t(len)), text);
            if (log) s.log.printf(" hbuf[%d,%d,%d,%d]=.%s. \n", p, ks.row, ks.col, k, text.c_str());
        }
        start = i + 1;
        if (++k > last) {
            ++p;
            k = 0;
        }
    }
    // The whole key data area was there: what it does not hold is not stored.
    if (n >= keyEnd) {
        for (; p < pages; ++p, k = 0) {
            for (; k <= last; ++k) {
                const KeySlot& ks = slots[k];
                if (ks.col < kCols && ks.row < kRows) keyCell(s.kd.hbuf, p, ks.col, ks.row).clear();
            }
        }
    }
    if (n >= mv.kbb_f) std::memcpy(s.kd.magcfg.data(), raw + mv.kbb_f - 16, s.kd.magcfg.size());
}

}  // namespace ptu
