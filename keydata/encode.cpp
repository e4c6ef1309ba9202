#include "keydata/encode.h"

#include "keydata/codec_index.h"
#include "keydata/fcode.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "keydata/syntax.h"

#include <algorithm>
#include <bitset>
#include <cstring>

namespace ptu {

namespace {

void put16(uint8_t* img, int off, int v)
{
    img[off] = uint8_t(v & 0xFF);
    img[off + 1] = uint8_t((v >> 8) & 0xFF);
}

// Where encodeText puts its bytes: a string (ttos), or the image (htor).
struct StringSink {
    static constexpr bool kImage = false;
    std::string& out;
    void code(const Code8& c, int len) { out.append(reinterpret_cast<const char*>(c.data()), std::size_t(len)); }
    void byte(uint8_t b) { out += char(b); }
    bool more() const { return true; }
};

// Writes into the image from `w` on; a 0 ends the macro (what follows is
// dropped), and a macro whose final 0 would not fit below `limit` overflows.
struct ImageSink {
    static constexpr bool kImage = true;
    uint8_t* img;
    int w;
    int limit;
    bool ended = false;     // a 0 came: the rest of the macro is not stored
    bool overflow = false;  // the macro would reach the tail area
    bool stop = false;      // either of the two
    int hi = 0;             // end of the bytes touched, to clear a macro that is not kept
    void code(const Code8& c, int len)
    {
        if (stop) return;
        if (w + len + 1 > limit) {
            overflow = stop = true;
            return;
        }
        std::memcpy(img + w, c.data(), c.size());  // the image buffer has room beyond kbb_f
        hi = std::max(hi, w + int(c.size()));
        w += len;
    }
    void byte(uint8_t b)
    {
        if (stop) return;
        if (b == 0) {
            ended = stop = true;
            return;
        }
        if (w + 2 > limit) {
            overflow = stop = true;
            return;
        }
        img[w++] = b;
        hi = std::max(hi, w);
    }
    // A character's packed code (never holding a 0 byte).
    void packed(uint64_t code, int len)
    {
        if (w + len + 1 > limit) {
            overflow = stop = true;
            return;
        }
        std::memcpy(img + w, &code, sizeof code);
        hi = std::max(hi, w + int(sizeof code));
        w += len;
    }
    bool more() const { return !stop; }
};

// ttos into `sink`.
// `trace` is the log to trace each character into, or null.
template <typename Sink>
void encodeText(Log* trace, bool raw, const CodecIndex& ix, std::string_view t, Sink& sink)
{
    const TableSet& set = *ix.set;
    const int rows = int(set.nok2.size());
    const bool log = trace && trace->isOpen();
    std::size_t i = 0;
    const std::size_t n = t.size();
    while (i < n && (log || sink.more())) {
        const char c = t[i];
        if (c == '{') {
            // The token text runs to the next "}" and has at most 63
            // characters; the first ones are packed for the name lookup.
            const std::size_t stop = std::min(n, i + 2 + kMaxTokenText);
            std::size_t close = i + 1;
            uint64_t lo = 0, hi = 0;
            for (; close < stop && t[close] != '}'; ++close) {
                const std::size_t k = close - (i + 1);
                const uint64_t up = uint8_t(upperAscii(t[close]));
                if (k < 8) lo |= up << (8 * k);
                else if (k < CodecIndex::kMaxNameChars) hi |= up << (8 * (k - 8));
            }
            if (close == stop) {
                ++i;  // no "}" within reach: not a token, the brace is dropped
                continue;
            }
            const std::string_view tok = t.substr(i + 1, close - (i + 1));
            const int r = tok.empty() || tok.size() > CodecIndex::kMaxNameChars
                              ? -1
                              : ix.findName(CodecIndex::NameKey{lo, hi, tok.size()});
            if (r >= 0) {
                sink.code(set.nok1[std::size_t(r)].code, ix.nameLen[std::size_t(r)]);
                i = close + 1;
            } else if (!tok.empty() && tok[0] >= '0' && tok[0] <= '9') {
                unsigned v = 0;
                for (std::size_t d = 0; d < tok.size() && tok[d] >= '0' && tok[d] <= '9'; ++d)
                    v = (v * 10 + unsigned(tok[d] - '0')) % 256;
                sink.byte(uint8_t(v));
                i = close + 1;
            } else if (tok.empty()) {
                i = close + 1;
            } else {
                ++i;  // unknown name: the brace is dropped, the name is typed
            }
            continue;
        }
        const auto uc = static_cast<unsigned char>(c);
        if constexpr (Sink::kImage) {
            if (!log && !raw && uc != 0) {
                // Without the trace the loop ends as soon as the sink stops.
                sink.packed(ix.charCode[uc], ix.charCodeLen[uc]);
                ++i;
                continue;
            }
        }
        const int j = raw || ix.charRow[uc] < 0 ? rows : ix.charRow[uc];
        if (j < rows) sink.code(set.nok2[std::size_t(j)].code, ix.charLen[std::size_t(j)]);
        else sink.byte(uc);
        if (log)
            trace->printf(" ttos(%p): j=%d, nok2=%d, pp[%d]=%xh \n",
                         static_cast<const void*>(t.data()), j, rows, int(i), unsigned(uc));
        ++i;
    }
}

}  // namespace

const char* leftOutReason(LeftOut why)
{
    switch (why) {
    case LeftOut::memoryFull: return "the memory is full";
    case LeftOut::hiddenKey: return "a hidden key holds only its fixed text while hiding is on (-x turns it off)";
    case LeftOut::markerByte: return "this slot has no marker, and a macro starting with byte 0xFF or 0xFB would read back as one";
    }
    return "";
}

std::string ttos(State& s, std::string_view text)
{
    std::string out;
    StringSink sink{out};
    encodeText(&s.log, s.fl.raw_f != 0, codecIndex(s.loc.tset), text, sink);
    return out;
}

std::string encodeText(TableSetId set, bool raw, std::string_view text)
{
    std::string out;
    StringSink sink{out};
    encodeText(nullptr, raw, codecIndex(set), text, sink);
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
    // With hiding on, hidden keys are stored as they stand: only the texts
    // fcode gives them hold codes.
    std::array<std::bitset<kSlots>, kPages> given;
    if (fixedAsIs)
        for (const FixedText& f : fixedTexts(s)) given[std::size_t(f.page)].set(std::size_t(f.slot));

    std::array<std::bitset<kRows * kCols>, kPages> noted;
    auto note = [&](int p, const KeySlot& ks, LeftOut why = LeftOut::memoryFull) {
        const std::size_t cell = std::size_t(ks.row) * kCols + ks.col;
        if (!noted[std::size_t(p)].test(cell)) {
            noted[std::size_t(p)].set(cell);
            dropped.push_back({p, ks.col, ks.row, why});
        }
    };

    int pos = 0;
    for (int p = 0; p < pages; ++p) {
        bool full = false;
        for (int k = 0; k <= last; ++k) {
            const KeySlot& ks = slots[k];
            const bool inGrid = ks.col < kCols && ks.row < kRows;
            const std::string* text = inGrid ? &keyCell(s.kd.hbuf, p, ks.col, ks.row) : nullptr;
            const bool hasText = text && !text->empty();
            if (full) {
                if (hasText) note(p, ks);
                continue;
            }
            if (pos >= limit) {
                // Memory full: this page ends here, with one 0 (past lmt
                // when the data reached it; mkidx clears that again, and the
                // used length still counts it).
                img[pos++] = 0;
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
            const bool marked = !(ks.kind & 0x10);
            const bool asIs = (ks.kind & 0x01) && fixedAsIs;
            if (asIs && marked && !given[std::size_t(p)].test(std::size_t(k))) {
                // Its text would go out unconverted and read back as codes.
                img[pos++] = 0;
                note(p, ks, LeftOut::hiddenKey);
                continue;
            }
            // Marker and macro go straight into the image; the final 0 must
            // stay below the tail area, else the key is stored empty.
            ImageSink sink{img, pos, end};
            if (marked) sink.byte(0xFF);
            if (asIs) {
                for (char c : *text) sink.byte(uint8_t(c));  // the text holds the codes
            } else {
                encodeText(&s.log, s.fl.raw_f != 0, ix, *text, sink);
            }
            const bool readsAsMarker = !marked && sink.w > pos && (img[pos] == 0xFF || img[pos] == 0xFB);
            if (sink.overflow || readsAsMarker) {
                if (sink.hi > pos) std::memset(img + pos, 0, std::size_t(sink.hi - pos));
                img[pos++] = 0;
                note(p, ks, sink.overflow ? LeftOut::memoryFull : LeftOut::markerByte);
                continue;
            }
            pos = sink.w;
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
        const void* zero = std::memchr(img + i, 0, std::size_t(mv.lmt - i));
        if (!zero) break;
        i = int(static_cast<const uint8_t*>(zero) - img);
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
