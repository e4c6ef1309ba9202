#include "keydata/round_trip.h"

#include "keydata/charset.h"
#include "keydata/codec_index.h"
#include "keydata/decode.h"
#include "keydata/edit_distance.h"
#include "keydata/encode.h"
#include "keydata/fcode.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "keydata/syntax.h"

#include <algorithm>
#include <bitset>
#include <cstdio>

namespace ptu {

namespace {

// One piece of a key text as the encoder reads it, with the bytes it
// stores for it.
struct Unit {
    enum Kind : uint8_t {
        name,       // "{ESC}": a key name of the tables
        number,     // "{13}": one byte
        empty,      // "{}": nothing
        stray,      // a "{" that no "}" closes within reach: dropped
        unknown,    // "{ENTR}": its "{" is dropped, the rest is typed as characters
        character,  // a character with a key in the tables (or any, with raw)
        noKey,      // a character without a key: stored as its own byte
    };
    Kind kind;
    std::string_view text;
    std::string codes;
    bool inUnknown = false;  // a character of an unknown token's name or its "}"
};

std::string codeOf(const KeyNameRow& row, int len) { return std::string(reinterpret_cast<const char*>(row.code.data()), std::size_t(len)); }
std::string codeOf(const CharRow& row, int len) { return std::string(reinterpret_cast<const char*>(row.code.data()), std::size_t(len)); }

// The encoder's reading of `t` (see ttos), unit by unit.
std::vector<Unit> readUnits(const CodecIndex& ix, bool raw, std::string_view t)
{
    std::vector<Unit> out;
    const std::size_t n = t.size();
    std::size_t unknownEnd = 0;  // the characters before it belong to an unknown token
    for (std::size_t i = 0; i < n;) {
        if (t[i] == '{') {
            const std::size_t stop = std::min(n, i + 2 + kMaxTokenText);
            std::size_t close = i + 1;
            while (close < stop && t[close] != '}') ++close;
            if (close == stop) {
                out.push_back({Unit::stray, t.substr(i, 1), {}});
                ++i;
                continue;
            }
            const std::string_view tok = t.substr(i + 1, close - i - 1);
            const std::string_view whole = t.substr(i, close - i + 1);
            const int r = tok.empty() ? -1 : ix.findName(tok);
            if (r >= 0) {
                out.push_back({Unit::name, whole, codeOf(ix.set->nok1[std::size_t(r)], ix.nameLen[std::size_t(r)])});
            } else if (!tok.empty() && tok[0] >= '0' && tok[0] <= '9') {
                unsigned v = 0;
                for (std::size_t d = 0; d < tok.size() && tok[d] >= '0' && tok[d] <= '9'; ++d)
                    v = (v * 10 + unsigned(tok[d] - '0')) % 256;
                out.push_back({Unit::number, whole, std::string(1, char(v))});
            } else if (tok.empty()) {
                out.push_back({Unit::empty, whole, {}});
            } else {
                out.push_back({Unit::unknown, whole, {}});
                unknownEnd = std::max(unknownEnd, close + 1);
                ++i;  // the "{" is dropped, the name and "}" are typed
                continue;
            }
            i = close + 1;
            continue;
        }
        const auto uc = static_cast<unsigned char>(t[i]);
        const int row = ix.charRow[uc];
        Unit u{Unit::character, t.substr(i, 1), {}};
        if (raw) {
            u.codes = std::string(1, char(uc));
        } else if (row >= 0) {
            u.codes = codeOf(ix.set->nok2[std::size_t(row)], ix.charLen[std::size_t(row)]);
        } else {
            u.kind = Unit::noKey;
            u.codes = std::string(1, char(uc));
        }
        u.inUnknown = i < unknownEnd;
        out.push_back(std::move(u));
        ++i;
    }
    return out;
}

std::string upper(std::string_view s)
{
    std::string u(s);
    for (char& c : u) c = upperAscii(c);
    return u;
}

std::string keyboardOf(TableSetId set) { return std::string("the ") + keyboardName(set) + " keyboard"; }

// A character of a key text as a person reads it in a message.
std::string characterName(TableSetId set, unsigned char c)
{
    const char32_t ch = screenChar(set, c);
    char hex[40];
    if (ch < 0x20 || ch == 0x7F || (ch >= 0x80 && ch < 0xA0)) {
        const char* what = c == 0x0A || c == 0x0D ? " (a line break)" : c == 0x09 ? " (a tab)" : "";
        std::snprintf(hex, sizeof hex, "byte 0x%02X%s", unsigned(c), what);
        return hex;
    }
    return "\"" + utf8(std::u32string(1, ch)) + "\"";
}

std::string unknownReason(TableSetId set, std::string_view token)
{
    const std::string name = upper(token.substr(1, token.size() - 2));
    const std::string shownToken = screenText(set, token);
    if (name.rfind("DELAY", 0) == 0 && name.size() > 5 &&
        std::all_of(name.begin() + 5, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return shownToken + " is no key name: the delays are {DELAY1}, {DELAY3}, {DELAY5} and {DELAY10}";
    const std::string near = nearestKeyName(set, name);
    if (!near.empty()) return shownToken + " is no key name: did you mean {" + near + "}?";
    return shownToken + " is no key name of " + keyboardOf(set) + "'s tables";
}

// What the encoder falls back on in the text, each once, in text order.
void fallbackReasons(TableSetId set, const std::vector<Unit>& units, std::vector<std::string>& reasons)
{
    auto add = [&](std::string r) {
        if (std::find(reasons.begin(), reasons.end(), r) == reasons.end()) reasons.push_back(std::move(r));
    };
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Unit& u = units[i];
        switch (u.kind) {
        case Unit::unknown: add(unknownReason(set, u.text)); break;
        case Unit::stray: {
            std::string after;
            for (std::size_t j = i + 1; j < units.size() && after.size() < 8; ++j) after += units[j].text;
            add("the \"{\"" + (after.empty() ? std::string() : " before \"" + screenText(set, after) + "\"") +
                " opens no key name and is dropped");
            break;
        }
        case Unit::noKey:
            if (!u.inUnknown) add(characterName(set, uint8_t(u.text[0])) + " has no key on " + keyboardOf(set));
            break;
        default: break;
        }
    }
}

// The bytes a slot holds for a text: the marker, then the encoded text (or
// the text itself on a fixed key stored as it stands), up to the first 0.
// `cut` tells whether a 0 ended it before its end.
std::string slotBytes(const CodecIndex& ix, bool raw, bool marked, bool asIs, std::string_view text, bool* cut = nullptr)
{
    std::string all = asIs ? std::string(text) : [&] {
        std::string out;
        for (const Unit& u : readUnits(ix, raw, text)) out += u.codes;
        return out;
    }();
    const std::size_t zero = all.find('\0');
    if (cut) *cut = zero != std::string::npos && zero + 1 < all.size();
    if (zero != std::string::npos) all.resize(zero);
    if (all.empty()) return {};  // an empty macro is an empty slot
    return marked ? "\xFF" + all : all;
}

std::string pageName(int page)
{
    return page == 1 ? "a system key" : page == 12 ? "a media key" : "a key";
}

// Why a USB keyboard gives another text back: keys of two usage pages in one
// macro, or codes without a usage.
void usbReasons(TableSetId set, const std::vector<Unit>& units, const UsbForm& usb, std::vector<std::string>& reasons)
{
    std::vector<std::pair<const Unit*, int>> paged;
    bool keyboardPage = false;
    for (const Unit& u : units) {
        if (u.codes.empty()) continue;
        const int page = usb.pageOf(u.codes);
        paged.emplace_back(&u, page);
        keyboardPage = keyboardPage || page == 7;
    }
    std::vector<std::string> found;
    auto add = [&](std::string r) {
        if (std::find(found.begin(), found.end(), r) == found.end()) found.push_back(std::move(r));
    };
    int otherPages = 0;
    for (auto [u, page] : paged) otherPages |= page == 1 ? 1 : page == 12 ? 2 : 0;
    const bool mixed = (otherPages != 0 && keyboardPage) || otherPages == 3;
    for (auto [u, page] : paged) {
        const std::string shownUnit = screenText(set, u->text);
        if (mixed && (page == 1 || page == 12))
            add(shownUnit + " is " + pageName(page) + ": over USB a macro that holds it can hold no other keys");
        if (page == 0) {
            const std::string alone = "\xFF" + u->codes;
            if (usb.roundTrip(set, alone) != alone) add(shownUnit + " has no USB key code");
        }
    }
    if (found.empty()) found.push_back("over USB the keyboard gives other codes back");
    reasons.insert(reasons.end(), found.begin(), found.end());
}

struct SlotContext {
    const State& s;
    const CodecIndex& ix;
    const UsbForm* usb;
    bool fixedAsIs;
    const std::vector<FixedText>* fixed;  // with fixedAsIs: the texts fcode gives
};

KeyCheck checkStored(const SlotContext& cx, bool marked, bool asIs, std::string_view text);

KeyCheck checkSlot(const SlotContext& cx, int page, int slot, std::string_view text)
{
    KeyCheck out;
    if (text.empty()) return out;
    const State& s = cx.s;
    const KeySlot& ks = keypos[s.mv.kbt_f][slot];
    const bool marked = !(ks.kind & 0x10);
    const bool asIs = (ks.kind & 0x01) && cx.fixedAsIs;
    if (asIs && marked) {
        // A hidden key holds only what fcode gives it, and fcode gives it again after every read.
        const bool given = cx.fixed && std::any_of(cx.fixed->begin(), cx.fixed->end(), [&](const FixedText& f) {
            return f.page == page && f.slot == slot && f.text == text;
        });
        if (!given) {
            out.verdict = KeyVerdict::notStored;
            out.reasons.push_back(std::string("it cannot be stored: ") + leftOutReason(LeftOut::hiddenKey));
        }
        return out;
    }
    return checkStored(cx, marked, asIs, text);
}

// The check of a text stored with or without the marker, converted or as it stands.
KeyCheck checkStored(const SlotContext& cx, bool marked, bool asIs, std::string_view text)
{
    KeyCheck out;
    const State& s = cx.s;
    const TableSetId set = s.loc.tset;
    const bool raw = s.fl.raw_f != 0;
    bool cut = false;
    const std::string stored = slotBytes(cx.ix, raw, marked, asIs, text, &cut);
    if (!marked && !stored.empty() && (uint8_t(stored[0]) == 0xFF || uint8_t(stored[0]) == 0xFB)) {
        out.verdict = KeyVerdict::notStored;
        out.reasons.push_back(std::string("it cannot be stored: ") + leftOutReason(LeftOut::markerByte));
        return out;
    }
    const bool usb = s.fl.usb_f && cx.usb && cx.usb->roundTrip;
    const std::string held = usb ? cx.usb->roundTrip(set, stored) : stored;
    const std::string back = decodeText(set, held);
    const bool same = slotBytes(cx.ix, raw, marked, asIs, back) == stored;

    const std::vector<Unit> units = asIs ? std::vector<Unit>{} : readUnits(cx.ix, raw, text);
    fallbackReasons(set, units, out.reasons);
    if (cut) {
        for (const Unit& u : units)
            if (u.kind == Unit::number && u.codes == std::string(1, '\0')) {
                out.reasons.push_back(screenText(set, u.text) + " is byte 0, which ends the macro: what follows it is lost");
                break;
            }
    }
    if (out.reasons.empty() && same) return out;
    out.verdict = KeyVerdict::changed;
    out.back = back;
    if (!same && !marked) {
        out.reasons.push_back("this key is kept without the macro marker: the keyboard gives its codes back byte for "
                              "byte, not as the text typed");
    } else if (!same && usb && held != stored && cx.usb->pageOf) {
        usbReasons(set, units, *cx.usb, out.reasons);
    } else if (out.reasons.empty()) {
        out.reasons.push_back("the keyboard reads its codes back as another text");
    }
    return out;
}

bool fixedAsIsOn(const State& s) { return s.fl.hide_f && !s.fl.pad_f && !s.fl.m84_f && !s.fl.m70_f; }

}  // namespace

KeyCheck checkKey(const State& s, int page, int col, int row, std::string_view text, const UsbForm* usb)
{
    if (!layoutUsable(s.mv) || page < 0 || page >= std::min(pn[s.mv.kbt_f], kPages)) return {};
    const bool asIsOn = fixedAsIsOn(s);
    std::vector<FixedText> fixed;
    if (asIsOn) fixed = fixedTexts(s);
    const SlotContext cx{s, codecIndex(s.loc.tset), usb, asIsOn, &fixed};
    const int last = lastSlot(s.mv);
    for (int k = 0; k <= last; ++k) {
        const KeySlot& ks = keypos[s.mv.kbt_f][k];
        if (ks.col != col || ks.row != row) continue;
        if (page == 0 && k == 0 && s.mv.kbt_f > 1) continue;  // holds ldt, not this text
        KeyCheck c = checkSlot(cx, page, k, text);
        if (!c.faithful()) return c;
    }
    return {};
}

KeyCheck checkText(const State& s, std::string_view text, const UsbForm* usb)
{
    if (text.empty()) return {};
    const SlotContext cx{s, codecIndex(s.loc.tset), usb, false, nullptr};
    return checkStored(cx, true, false, text);
}

KeyCheck checkKey(const State& s, int page, int col, int row, const UsbForm* usb)
{
    if (page < 0 || page >= kPages || col < 0 || col >= kCols || row < 0 || row >= kRows) return {};
    return checkKey(s, page, col, row, keyCell(s.kd.hbuf, page, col, row), usb);
}

std::vector<KeyProblem> checkKeys(const State& s, const UsbForm* usb)
{
    std::vector<KeyProblem> out;
    if (!layoutUsable(s.mv)) return out;
    const bool asIsOn = fixedAsIsOn(s);
    std::vector<FixedText> fixed;
    if (asIsOn) fixed = fixedTexts(s);
    const SlotContext cx{s, codecIndex(s.loc.tset), usb, asIsOn, &fixed};
    const int last = lastSlot(s.mv);
    const int pages = std::min(pn[s.mv.kbt_f], kPages);
    for (int p = 0; p < pages; ++p) {
        std::bitset<kRows * kCols> seen;
        for (int k = 0; k <= last; ++k) {
            const KeySlot& ks = keypos[s.mv.kbt_f][k];
            if (ks.col >= kCols || ks.row >= kRows || (p == 0 && k == 0 && s.mv.kbt_f > 1)) continue;
            const std::size_t cell = std::size_t(ks.row) * kCols + ks.col;
            if (seen.test(cell)) continue;
            const std::string& text = keyCell(s.kd.hbuf, p, ks.col, ks.row);
            KeyCheck c = checkSlot(cx, p, k, text);
            if (c.faithful()) continue;
            seen.set(cell);
            out.push_back({p, ks.col, ks.row, std::move(c)});
        }
    }
    return out;
}

std::string nearestKeyName(TableSetId set, std::string_view name)
{
    const std::string want = upper(name);
    if (want.empty()) return {};
    const TableSet& ts = tableSet(set);
    std::string best;
    int bestDistance = 3;  // farther than two edits is no likely typing slip
    for (const KeyNameRow& row : ts.nok1) {
        const std::string candidate = upper(row.name);
        const int d = editDistance(want, candidate);
        // A one-letter name is near almost everything: ask for a closer match.
        if (d < bestDistance && d < int(std::max(want.size(), candidate.size())) - 1) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

std::string describe(TableSetId set, const KeyCheck& check)
{
    std::string text;
    for (const std::string& r : check.reasons) {
        if (!text.empty()) text += "; ";
        text += r;
    }
    const bool ended = !text.empty() && (text.back() == '?' || text.back() == '.');
    if (check.verdict == KeyVerdict::changed)
        text += (text.empty() ? "" : ended ? " " : ". ") + std::string("The keyboard gives back: ") +
                (check.back.empty() ? std::string("nothing") : screenText(set, check.back));
    return text;
}

}  // namespace ptu
