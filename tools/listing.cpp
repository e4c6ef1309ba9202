#include "tools/listing.h"

#include <charconv>
#include <cstdio>

namespace ptu::tpl {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view nextWord(std::string_view& rest)
{
    std::size_t i = 0;
    while (i < rest.size() && isBlank(rest[i])) ++i;
    std::size_t j = i;
    while (j < rest.size() && !isBlank(rest[j])) ++j;
    const std::string_view w = rest.substr(i, j - i);
    rest.remove_prefix(j);
    return w;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<long> parseNumber(std::string_view w)
{
    int base = 10;
    if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) {
        base = 16;
        w.remove_prefix(2);
    }
    if (w.empty() || w.size() > 9) return std::nullopt;
    long v = 0;
    const auto [p, ec] = std::from_chars(w.data(), w.data() + w.size(), v, base);
    if (ec != std::errc() || p != w.data() + w.size() || v < 0) return std::nullopt;
    return v;
}

std::string escapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool edgeBlank = c == ' ' && (i == 0 || i + 1 == text.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (c < 0x20 || c > 0x7E || edgeBlank) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(c));
            out += hex;
        } else {
            out += char(c);
        }
    }
    return out;
}

bool unescapeText(std::string_view t, std::string& out, std::string& err)
{
    out.clear();
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '\\') {
            out += t[i];
            continue;
        }
        if (++i >= t.size()) {
            err = "a backslash ends the text (write \\\\ for a backslash)";
            return false;
        }
        const char e = t[i];
        switch (e) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\'': out += '\''; break;
        case 'x': {
            const int hi = i + 1 < t.size() ? hexDigit(t[i + 1]) : -1;
            const int lo = i + 2 < t.size() ? hexDigit(t[i + 2]) : -1;
            if (hi < 0 || lo < 0) {
                err = "\\x needs two hexadecimal digits";
                return false;
            }
            out += char(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int v = 0, n = 0;
                while (n < 3 && i < t.size() && t[i] >= '0' && t[i] <= '7') {
                    v = v * 8 + (t[i] - '0');
                    ++i;
                    ++n;
                }
                --i;
                if (v > 255) {
                    err = "octal escape above \\377";
                    return false;
                }
                out += char(v);
                break;
            }
            err = std::string("unknown escape \\") + e + " (write \\\\ for a backslash)";
            return false;
        }
    }
    return true;
}

bool parseListing(std::string_view text, Listing& out, ParseError& err)
{
    out = Listing{};
    Header& h = out.header;
    int lineNo = 0;
    std::vector<uint8_t> seenKey(6 * 16 * 22, 0);
    auto fail = [&](std::string msg) {
        err.line = lineNo;
        err.message = std::move(msg);
        return false;
    };
    while (!text.empty()) {
        ++lineNo;
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view rest = line;
        const std::string_view kw = nextWord(rest);
        if (kw.empty() || kw[0] == '#') continue;

        if (kw == "key") {
            KeyLine k;
            k.line = lineNo;
            int* fields[3] = {&k.page, &k.col, &k.row};
            const char* names[3] = {"page index", "column", "row"};
            const int limits[3] = {5, 21, 15};
            for (int f = 0; f < 3; ++f) {
                const std::string_view w = nextWord(rest);
                const auto v = parseNumber(w);
                if (w.empty()) return fail(std::string("key: missing ") + names[f]);
                if (!v || *v > limits[f])
                    return fail(std::string("key: ") + names[f] + " must be 0.." +
                                std::to_string(limits[f]) + ", not \"" + std::string(w) + "\"");
                *fields[f] = int(*v);
            }
            if (!rest.empty()) {
                if (!isBlank(rest[0])) return fail("key: a blank must follow the row");
                rest.remove_prefix(1);  // the one blank before the text
            }
            std::string why;
            if (!unescapeText(rest, k.text, why)) return fail("key text: " + why);
            uint8_t& seen = seenKey[std::size_t((k.page * 16 + k.row) * 22 + k.col)];
            if (seen) return fail("key: page " + std::to_string(k.page) + " column " +
                                  std::to_string(k.col) + " row " + std::to_string(k.row) +
                                  " is listed twice");
            seen = 1;
            out.keys.push_back(std::move(k));
            continue;
        }

        if (kw == "locale") {
            const std::string_view w = nextWord(rest);
            if (!nextWord(rest).empty()) return fail("locale: one word expected");
            if (h.locale) return fail("locale is given twice");
            h.locale = tableSetByTag(w);
            if (!h.locale) return fail("locale must be us, uk, es, pt, no, it, de or fr, not \"" + std::string(w) + "\"");
            continue;
        }

        if (kw == "magcfg") {
            if (h.magcfg) return fail("magcfg is given twice");
            std::array<uint8_t, 7> m{};
            for (int i = 0; i < 7; ++i) {
                std::string_view w = nextWord(rest);
                if (w.size() > 2 && w[0] == '0' && (w[1] == 'x' || w[1] == 'X')) w.remove_prefix(2);
                long v = 0;
                const auto [p, ec] = std::from_chars(w.data(), w.data() + w.size(), v, 16);
                if (w.empty() || w.size() > 2 || ec != std::errc() || p != w.data() + w.size())
                    return fail("magcfg needs 7 bytes in hexadecimal");
                m[std::size_t(i)] = uint8_t(v);
            }
            if (!nextWord(rest).empty()) return fail("magcfg needs 7 bytes in hexadecimal");
            h.magcfg = m;
            continue;
        }

        struct Field { const char* name; std::optional<int>* slot; long lo, hi; };
        const Field fields[] = {
            {"model", &h.model, 0, 17}, {"memory", &h.memory, 0, 8192}, {"usb", &h.usb, 0, 1},
            {"ldt", &h.ldt, 0, 255},    {"r27", &h.r27, 0, 255},        {"r28", &h.r28, 0, 255},
            {"r29", &h.r29, 0, 255},    {"r2a", &h.r2a, 0, 255},
        };
        const Field* f = nullptr;
        for (const Field& c : fields)
            if (kw == c.name) f = &c;
        if (!f) return fail("unknown item \"" + std::string(kw) + "\"");
        const std::string_view w = nextWord(rest);
        if (!nextWord(rest).empty()) return fail(std::string(f->name) + ": one number expected");
        if (*f->slot) return fail(std::string(f->name) + " is given twice");
        const auto v = parseNumber(w);
        if (!v || *v < f->lo || *v > f->hi)
            return fail(std::string(f->name) + " must be a number " + std::to_string(f->lo) + ".." +
                        std::to_string(f->hi) + ", not \"" + std::string(w) + "\"");
        if (kw == "memory" && *v != 2048 && *v != 4096 && *v != 8192)
            return fail("memory must be 2048, 4096 or 8192");
        *f->slot = int(*v);
    }
    return true;
}

}  // namespace ptu::tpl
