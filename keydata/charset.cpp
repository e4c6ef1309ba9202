#include "keydata/charset.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace ptu {

namespace {

using Upper = std::array<char32_t, 128>;  // the characters of bytes 0x80..0xFF

// Windows-1252. The five bytes it leaves undefined (81, 8D, 8F, 90, 9D)
// stand for the C1 control characters of the same value.
constexpr Upper kWindows1252 = {
    /* 80 */ 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    /* 88 */ 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    /* 90 */ 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    /* 98 */ 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    /* A0 */ 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    /* A8 */ 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    /* B0 */ 0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    /* B8 */ 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    /* C0 */ 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    /* C8 */ 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    /* D0 */ 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    /* D8 */ 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    /* E0 */ 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    /* E8 */ 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    /* F0 */ 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    /* F8 */ 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// Code page 850 (DOS Latin 1).
constexpr Upper kCodePage850 = {
    /* 80 */ 0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // Ç ü é â ä à å ç
    /* 88 */ 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // ê ë è ï î ì Ä Å
    /* 90 */ 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // É æ Æ ô ö ò û ù
    /* 98 */ 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // ÿ Ö Ü ø £ Ø × ƒ
    /* A0 */ 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // á í ó ú ñ Ñ ª º
    /* A8 */ 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // ¿ ® ¬ ½ ¼ ¡ « »
    /* B0 */ 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // ░ ▒ ▓ │ ┤ Á Â À
    /* B8 */ 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // © ╣ ║ ╗ ╝ ¢ ¥ ┐
    /* C0 */ 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // └ ┴ ┬ ├ ─ ┼ ã Ã
    /* C8 */ 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // ╚ ╔ ╩ ╦ ╠ ═ ╬ ¤
    /* D0 */ 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // ð Ð Ê Ë È ı Í Î
    /* D8 */ 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // Ï ┘ ┌ █ ▄ ¦ Ì ▀
    /* E0 */ 0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // Ó ß Ô Ò õ Õ µ þ
    /* E8 */ 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // Þ Ú Û Ù ý Ý ¯ ´
    /* F0 */ 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // soft hyphen ± ‗ ¾ ¶ § ÷ ¸
    /* F8 */ 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // ° ¨ · ¹ ³ ² ■ no-break space
};

// Two bytes that trade characters: `byte` types `ch` on the national
// keyboard (its table row says so) although its code page gives `ch` to
// `other`; `other` then stands for the code page's character of `byte`.
struct Trade {
    uint8_t byte;
    uint8_t other;
};

struct SetChars {
    TableSetId id;
    const char* keyboard;
    const Upper* upper;
    std::array<Trade, 1> trades;  // {0, 0}: none
};

// Every character-table row of the seven national sets was checked against
// the character its code sequence types on that keyboard: all agree with the
// code page but these.
//   Spanish E7=2B: the key right of Ñ types ç (code page 850 has ç at 87, þ at E7).
//   Italian 15=2B (Shift+ù) and French 15=35 (Shift+!): §, the DOS glyph of
//   byte 15 (code page 850 has § at F5).
constexpr SetChars kSets[] = {
    {TableSetId::us, "US", &kWindows1252, {{{0, 0}}}},
    {TableSetId::uk, "UK", &kCodePage850, {{{0, 0}}}},
    {TableSetId::es, "Spanish", &kCodePage850, {{{0xE7, 0x87}}}},
    {TableSetId::pt, "Portuguese", &kCodePage850, {{{0, 0}}}},
    {TableSetId::no, "Norwegian", &kCodePage850, {{{0, 0}}}},
    {TableSetId::it, "Italian", &kCodePage850, {{{0x15, 0xF5}}}},
    {TableSetId::de, "German", &kWindows1252, {{{0, 0}}}},
    {TableSetId::fr, "French", &kCodePage850, {{{0x15, 0xF5}}}},
};

const SetChars& setChars(TableSetId id)
{
    for (const SetChars& s : kSets)
        if (s.id == id) return s;
    return kSets[0];
}

// The code page's character of a byte, before any trade.
char32_t pageChar(const SetChars& s, uint8_t b) { return b < 0x80 ? char32_t(b) : (*s.upper)[b - 0x80]; }

// The 256 characters of a set, trades applied.
struct Chars {
    std::array<char32_t, 256> of{};
};

Chars makeChars(const SetChars& s)
{
    Chars c;
    for (int b = 0; b < 256; ++b) c.of[size_t(b)] = pageChar(s, uint8_t(b));
    for (const Trade& t : s.trades) {
        if (t.byte == t.other) continue;
        c.of[t.byte] = pageChar(s, t.other);
        c.of[t.other] = pageChar(s, t.byte);
    }
    return c;
}

const Chars& chars(TableSetId id)
{
    static const std::array<Chars, std::size(kSets)> all = [] {
        std::array<Chars, std::size(kSets)> a{};
        for (size_t i = 0; i < std::size(kSets); ++i) a[i] = makeChars(kSets[i]);
        return a;
    }();
    for (size_t i = 0; i < std::size(kSets); ++i)
        if (kSets[i].id == id) return all[i];
    return all[0];
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t screenChar(TableSetId set, uint8_t byte) { return chars(set).of[byte]; }

std::optional<uint8_t> keyByte(TableSetId set, char32_t ch)
{
    if (ch == 0) return std::nullopt;
    const Chars& c = chars(set);
    for (int b = 1; b < 256; ++b)
        if (c.of[size_t(b)] == ch) return uint8_t(b);
    return std::nullopt;
}

std::string screenText(TableSetId set, std::string_view bytes)
{
    const Chars& c = chars(set);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (unsigned char b : bytes) appendUtf8(out, c.of[b]);
    return out;
}

KeyText keyText(TableSetId set, std::u32string_view text)
{
    KeyText k;
    k.bytes.reserve(text.size());
    for (char32_t ch : text) {
        if (const std::optional<uint8_t> b = keyByte(set, ch)) {
            k.bytes += char(*b);
        } else if (k.refused.find(ch) == std::u32string::npos) {
            k.refused += ch;
        }
    }
    return k;
}

KeyText keyText(TableSetId set, std::string_view text) { return keyText(set, codePoints(text)); }

const char* keyboardName(TableSetId set) { return setChars(set).keyboard; }

std::string refusedMessage(TableSetId set, std::u32string_view refused)
{
    std::string list;
    for (size_t i = 0; i < refused.size(); ++i) {
        if (i) list += i + 1 == refused.size() ? " and " : ", ";
        // A control character or a blank of its own is named by its number.
        if (refused[i] < 0x20 || refused[i] == 0xFFFD) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "U+%04X", unsigned(refused[i]));
            list += buf;
        } else {
            appendUtf8(list, refused[i]);
        }
    }
    return list + (refused.size() == 1 ? " is" : " are") + " not on the " + keyboardName(set) +
           " keyboard: not stored";
}

std::string utf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(out, c);
    return out;
}

std::u32string codePoints(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = (unsigned char)s[i];
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool good = extra >= 0 && i + size_t(std::max(extra, 0)) < s.size();
        for (int k = 1; good && k <= extra; ++k) {
            const unsigned char n = (unsigned char)s[i + size_t(k)];
            if ((n & 0xC0) != 0x80) good = false;
            else c = (c << 6) | (n & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed too.
        static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
        if (good && (c < kLeast[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) good = false;
        if (!good) {
            out += char32_t(0xFFFD);
            ++i;
            continue;
        }
        out += c;
        i += size_t(extra) + 1;
    }
    return out;
}

}  // namespace ptu
