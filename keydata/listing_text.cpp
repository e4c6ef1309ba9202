#include "keydata/listing_text.h"

#include "keydata/charset.h"

#include <charconv>
#include <cstdio>

namespace ptu {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string_view takeLine(std::string_view& text)
{
    const std::size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

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

std::string_view nextItem(std::string_view& text, int& lineNo, std::string_view& rest)
{
    while (!text.empty()) {
        ++lineNo;
        rest = takeLine(text);
        const std::string_view kw = nextWord(rest);
        if (!kw.empty() && kw[0] != '#') return kw;
    }
    rest = {};
    return {};
}

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

bool unescapeText(std::string_view t, std::string& out, std::string& err, std::string* written)
{
    out.clear();
    if (written) written->clear();
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (written) written->resize(out.size(), '\0');
        if (t[i] != '\\') {
            out += t[i];
            if (written) written->push_back('\1');
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
    if (written) written->resize(out.size(), '\0');
    return true;
}

namespace {

// The length of the UTF-8 sequence at the start of `s` (2 to 4 bytes, no
// overlong form, no surrogate), or 0.
std::size_t utf8Sequence(std::string_view s)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(0);
    const std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((b(i) & 0xC0) != 0x80) return 0;
    if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F) || (c == 0xF0 && b(1) < 0x90) ||
        (c == 0xF4 && b(1) > 0x8F))
        return 0;
    return n;
}

}  // namespace

std::string listingBytes(TableSetId set, std::string_view bytes, std::string_view written, std::u32string& refused)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        const bool literal = i < written.size() && written[i] != 0;
        const std::size_t n = literal ? utf8Sequence(bytes.substr(i)) : 0;
        bool wholeLiteral = n > 0;
        for (std::size_t k = 1; k < n; ++k) wholeLiteral = wholeLiteral && i + k < written.size() && written[i + k] != 0;
        if (!wholeLiteral) {
            out += bytes[i++];
            continue;
        }
        const KeyText k = keyText(set, bytes.substr(i, n));
        out += k.bytes;
        for (char32_t c : k.refused)
            if (refused.find(c) == std::u32string::npos) refused += c;
        i += n;
    }
    return out;
}

std::optional<std::string> parseCellText(std::string_view keyword, std::string_view rest, CellText& out)
{
    const std::string kw(keyword);
    int* fields[3] = {&out.page, &out.col, &out.row};
    const char* names[3] = {"page index", "column", "row"};
    const int limits[3] = {5, 21, 15};
    for (int f = 0; f < 3; ++f) {
        const std::string_view w = nextWord(rest);
        const auto v = parseNumber(w);
        if (w.empty()) return kw + ": missing " + names[f];
        if (!v || *v > limits[f])
            return kw + ": " + names[f] + " must be 0.." + std::to_string(limits[f]) + ", not \"" + std::string(w) +
                   "\"";
        *fields[f] = int(*v);
    }
    if (!rest.empty()) {
        if (!isBlank(rest[0])) return kw + ": a blank must follow the row";
        rest.remove_prefix(1);  // the one blank before the text
    }
    std::string why;
    if (!unescapeText(rest, out.text, why, &out.written)) return kw + " text: " + why;
    return std::nullopt;
}

}  // namespace ptu
