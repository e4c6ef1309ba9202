#include "tools/tpl/listing.h"

#include "keydata/models.h"

#include <charconv>
#include <cstdio>

namespace ptu::tpl {

bool parseListing(std::string_view text, Listing& out, ParseError& err)
{
    out = Listing{};
    Header& h = out.header;
    int lineNo = 0;
    std::vector<uint8_t> seenKey(6 * 16 * 22, 0), seenCaption(6 * 16 * 22, 0);
    auto fail = [&](std::string msg) {
        err.line = lineNo;
        err.message = std::move(msg);
        return false;
    };
    std::string_view rest;
    for (std::string_view kw; !(kw = nextItem(text, lineNo, rest)).empty();) {
        // A cell is listed once as a key and once as a caption at most.
        auto listedTwice = [&](std::vector<uint8_t>& seen, int page, int col, int row) {
            uint8_t& twice = seen[std::size_t((page * 16 + row) * 22 + col)];
            const bool again = twice != 0;
            twice = 1;
            return again;
        };
        auto twiceMessage = [&](int page, int col, int row) {
            return std::string(kw) + ": page " + std::to_string(page) + " column " + std::to_string(col) + " row " +
                   std::to_string(row) + " is listed twice";
        };
        if (kw == "key") {
            CellText cell;
            if (auto why = parseCellText(kw, rest, cell)) return fail(*why);
            if (listedTwice(seenKey, cell.page, cell.col, cell.row))
                return fail(twiceMessage(cell.page, cell.col, cell.row));
            out.keys.push_back({cell.page, cell.col, cell.row, std::move(cell.text), lineNo, std::move(cell.written)});
            continue;
        }
        if (kw == "caption") {
            CaptionLine c;
            if (auto why = parseCaption(rest, c)) return fail(*why);
            if (listedTwice(seenCaption, c.page, c.col, c.row)) return fail(twiceMessage(c.page, c.col, c.row));
            c.line = lineNo;
            out.captions.push_back(std::move(c));
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
            {"model", &h.model, 0, kModels - 1}, {"memory", &h.memory, 0, 8192}, {"usb", &h.usb, 0, 1},
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
