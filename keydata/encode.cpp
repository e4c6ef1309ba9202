#include "keydata/encode.h"

#include "keydata/codec_index.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "keydata/syntax.h"

#include <bitset>
#include <cstring>

namespace ptu {

namespace {

void put16(uint8_t* img, int off, int v)
{
    img[off] = uint8_t(v & 0xFF);
    img[off + 1] = uint8_t((v >> 8) & 0xFF);
}

void appendCode(std::string& out, const Code8& code, int len)
{
    out.append(reinterpret_cast<const char*>(code.data()), std::size_t(len));
}

// ttos into `out` (appending).
void encodeText(State& s, const CodecIndex& ix, std::string_view t, std::string& out)
{
    const TableSet& set = *ix.set;
    const int rows = int(set.nok2.size());
    const bool log = s.log.isOpen();
    std::size_t i = 0;
    const std::size_t n = t.size();
    while (i < n) {
        const char c = t[i];
        if (c == '{') {
            const std::size_t close = t.find('}', i + 1);
            if (close == std::string_view::npos || close - (i + 1) > kMaxTokenText) {
                ++i;  // not a token: drop the brace
                continue;
            }
            const std::string_view tok = t.substr(i + 1, close - (i + 1));
            if (const int r = ix.findName(tok); r >= 0) {
                appendCode(out, set.nok1[std::size_t(r)].code, ix.nameLen[std::size_t(r)]);
                i = close + 1;
            } else if (!tok.empty() && tok[0] >= '0' && tok[0] <= '9') {
                unsigned v = 0;
                for (std::size_t d = 0; d < tok.size() && tok[d] >= '0' && tok[d] <= '9'; ++d)
                    v = (v * 10 + unsigned(tok[d] - '0')) % 256;
                out += char(v);
                i = close + 1;
            } else if (tok.empty()) {
                i = close + 1;
            } else {
                ++i;  // unknown name: the brace is dropped, the name is typed
            }
            continue;
        }
        const auto uc = static_cast<unsigned char>(c);
        int j = rows;
        if (!s.fl.raw_f) j = ix.charRow[uc] < 0 ? rows : ix.charRow[uc];
        if (j < rows) appendCode(out, set.nok2[std::size_t(j)].code, ix.charLen[std::size_t(j)]);
        else out += c;
        if (log)
            s.log.printf(" ttos(%p): j=%d, nok2=%d, pp[%d]=%xh \n",
                         static_cast<const void*>(t.data()), j, rows, int(i), unsigned(uc));
        ++i;
    }
}

}  // namespace

std::string ttos(State& s, std::string_view text)
{
    std::string out;
    encodeText(s, codecIndex(s.loc.tset), text, out);
    return out;
}

std::vector<KeyRef> htor(State& s)
{
    std::vector<KeyRef> dropped;
    s.kd.used_len = 0;
    if (!layoutUsable(s.mv)) return dropped;

    const CodecIndex& ix = codecIndex(s.loc.tset);
    const ModelValues& mv = s.mv;
    uint8_t* img = s.buf.ibuf.data();
    const int limit = mv.kbb_f - kTailReserve;  // no string starts here or later
    const int end = keyDataEnd(mv);             // every string ends below this
    const int last = lastSlot(mv);
    const KeySlot* slots = keypos[mv.kbt_f];
    const bool fixedAsIs = s.fl.hide_f && !s.fl.pad_f && !s.fl.m84_f && !s.fl.m70_f;
    const int pages = std::clamp(pn[mv.kbt_f], 0, kPages);

    std::array<std::bitset<kRows * kCols>, kPages> noted;
    auto note = [&](int p, const KeySlot& ks) {
        const std::size_t cell = std::size_t(ks.row) * kCols + ks.col;
        if (!noted[std::size_t(p)].test(cell)) {
            noted[std::size_t(p)].set(cell);
            dropped.push_back({p, ks.col, ks.row});
        }
    };

    std::string work;
    work.reserve(kMaxText + 1);
    int pos = 0;
    for (int p = 0; p < pages; ++p) {
        bool full = false;
        for (int k = 0; k <= last; ++k) {
            const KeySlot& ks = slots[k];
            const bool inGrid = ks.col < kCols && ks.row < kRows;
            const std::string* text = inGrid ? &s.kd.hbuf[std::size_t(p)][ks.row][ks.col] : nullptr;
            const bool hasText = text && !text->empty();
            if (full) {
                if (hasText) note(p, ks);
                continue;
            }
            if (pos >= limit) {
                // Memory full: this page ends here, with one 0.
                if (pos < end) img[pos++] = 0;
                full = true;
                if (hasText) note(p, ks);
                continue;
            }
            if (p == 0 && k == 0 && mv.kbt_f > 1) {
                img[pos++] = s.rg.ldt;
                if (s.rg.ldt != 0) img[pos++] = 0;
                continue;
            }
            if (!hasText) {
                img[pos++] = 0;
                continue;
            }
            work.clear();
            if (!(ks.kind & 0x10)) work += char(0xFF);
            if ((ks.kind & 0x01) && fixedAsIs) work += *text;  // the text holds the codes
            else encodeText(s, ix, *text, work);
            const std::size_t zero = work.find('\0');
            const std::size_t len = zero == std::string::npos ? work.size() : zero;
            if (pos + int(len) + 1 > end) {
                // It would run into the tail: store the key empty, never cut.
                img[pos++] = 0;
                note(p, ks);
                continue;
            }
            std::memcpy(img + pos, work.data(), len);
            pos += int(len);
            img[pos++] = 0;
        }
    }
    s.kd.used_len = pos;
    return dropped;
}

void mkidx(State& s)
{
    const ModelValues& mv = s.mv;
    if (!layoutUsable(mv)) return;
    uint8_t* img = s.buf.ibuf.data();
    const int kbb = mv.kbb_f;
    std::memset(img + mv.lmt, 0, std::size_t(kbb - mv.lmt));

    const int last = lastSlot(mv);
    int cur = mv.kbp_f == 1 ? kbb - 18 : kbb - 28;  // the index being filled
    int g = 2;  // number of the next index
    int n = 1;  // next word of the current index
    int z = 0;  // slot ends since the last word
    int slotsEnded = 0;
    for (int i = 0; i < mv.lmt; ++i) {
        if (img[i] != 0) continue;
        ++z;
        ++slotsEnded;
        if (z == 32) {
            if (n <= 5) put16(img, cur + 2 * n, i + 1);
            ++n;
            z = 0;
        }
        if (slotsEnded > last) {
            cur = kbb - 16 - 12 * g;
            put16(img, cur, i + 1);
            n = 1;
            z = 0;
            slotsEnded = 0;
            ++g;
            if (g == 8) break;
        }
    }
    if (mv.kbp_f == 6) put16(img, kbb - 100, s.kd.used_len);
}

}  // namespace ptu
