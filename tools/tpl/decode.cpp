#include "tools/tpl/commands.h"

#include "keydata/fcode.h"
#include "keydata/keypos.h"
#include "keydata/listing_text.h"
#include "tools/tpl/captions.h"
#include "tools/tpl/files.h"
#include "tools/tpl/inputs.h"
#include "tools/tpl/tpl.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <ostream>

namespace ptu::tpl {

namespace {

std::string hex2(unsigned v)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%02X", v & 0xFF);
    return b;
}

// The switches are no listing lines: a comment names them for the encode to come.
std::string switchesOf(const Options& o)
{
    std::string switches;
    for (auto [on, name] : {std::pair{o.m84, "-8"}, std::pair{o.m70, "-7"}, std::pair{o.m17, "-b"},
                            std::pair{o.pad == 2, "-2"}, std::pair{o.pad == 1, "-4"}, std::pair{o.m60, "-6"},
                            std::pair{o.noHide, "-x"}, std::pair{o.raw, "-n"}})
        if (on) switches += std::string(" ") + name;
    if (o.kmax) switches += " --kmax " + std::to_string(*o.kmax);
    return switches;
}

// The header lines: the model, memory, locale and registers.
void printHeader(const State& s, int ldt, std::ostream& out)
{
    out << "model " << s.mv.kbt_f << "\n";
    out << "memory " << s.mv.kbb_f << "\n";
    out << "locale " << tableSet(s.loc.tset).tag << "\n";
    out << "usb " << s.fl.usb_f << "\n";
    out << "ldt " << ldt << "\n";
    out << "r27 " << unsigned(s.rg.r27) << "\n";
    out << "r28 " << hex2(s.rg.r28) << "\n";
    out << "r29 " << hex2(s.rg.r29) << "\n";
    out << "r2a " << hex2(s.rg.r2a) << "\n";
    out << "magcfg";
    for (uint8_t b : s.kd.magcfg) {
        char x[4];
        std::snprintf(x, sizeof x, " %02X", unsigned(b));
        out << x;
    }
    out << "\n";
}

// The key lines: every key with a text but those whose texts fcode fixes
// (encode fixes them again) and the ldt cell.
void printKeys(const State& s, std::ostream& out)
{
    const ModelValues& mv = s.mv;
    std::vector<uint8_t> fixed(std::size_t(kPages * kRows * kCols), 0);
    for (const FixedText& f : fixedTexts(s)) {
        const KeySlot& ks = keypos[mv.kbt_f][f.slot];
        fixed[std::size_t((f.page * kRows + ks.row) * kCols + ks.col)] = 1;
    }
    const KeySlot& ldtSlot = keypos[mv.kbt_f][0];
    for (int p = 0; p < kPages; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const std::string& t = keyCell(s.kd.hbuf, p, c, r);
                if (t.empty() || fixed[std::size_t((p * kRows + r) * kCols + c)]) continue;
                if (p == 0 && mv.kbt_f > 1 && c == ldtSlot.col && r == ldtSlot.row) continue;  // the ldt line
                out << "key " << p << " " << c << " " << r << " " << escapeText(t) << "\n";
            }
}

}  // namespace

int decode(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
{
    // One byte more than the largest memory tells a longer file.
    std::string data, why;
    if (!readInput(o.input, in, kLargestImage + 1, data, why)) {
        err << "ptu-tpl: cannot read " << o.input << ": " << why << "\n";
        return EXIT_IO;
    }
    auto s = std::make_unique<State>();
    if (int code = decodeData(o, o.input, data, *s, err)) return code;
    if (int code = captionsOf(o, o.input, *s, err)) return code;
    const int n = int(std::min<std::size_t>(data.size(), std::size_t(s->mv.kbb_f)));
    // ldt as the decoder reads it: slot 0 of page 0 above model 1, and 0 on
    // the models whose keyboards do not keep it there.
    const int ldt = s->mv.kbt_f > 1 && n > 0 ? s->rg.ldt : 0;

    errno = 0;
    out << "# ptu-tpl listing of " << o.input << "\n";
    const std::string switches = switchesOf(o);
    if (!switches.empty()) out << "# decoded with" << switches << ": give encode the same\n";
    printHeader(*s, ldt, out);
    printKeys(*s, out);
    printCaptions(*s, out);
    return flushed(out, err, "the listing") ? EXIT_OK : EXIT_IO;
}

}  // namespace ptu::tpl
