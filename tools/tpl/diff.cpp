#include "tools/tpl/commands.h"

#include "keydata/compare.h"
#include "keydata/key_captions.h"
#include "keydata/listing_text.h"
#include "tools/tpl/files.h"
#include "tools/tpl/inputs.h"
#include "tools/tpl/tpl.h"

#include <cerrno>
#include <memory>
#include <ostream>

namespace ptu::tpl {

namespace {

// One line for each caption that differs, each side's default labels where
// its captions file has no line. Returns how many.
int printCaptionDifferences(const State& a, const State& b, std::ostream& out)
{
    int captions = 0;
    for (int p = 0; p < kPages; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const std::string& ca = keyCell(a.kd.kcap, p, c, r);
                const std::string& cb = keyCell(b.kd.kcap, p, c, r);
                if (ca == cb || !captionCell(a, p, c, r)) continue;
                ++captions;
                out << "caption " << p << " " << c << " " << r << ": " << escapeText(ca) << " | " << escapeText(cb)
                    << "\n";
            }
    return captions;
}

}  // namespace

int diff(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
{
    auto a = std::make_unique<State>();
    auto b = std::make_unique<State>();
    if (loadInput(o, o.input, in, *a, err) || loadInput(o, o.input2, in, *b, err)) return EXIT_BAD_INPUT;
    if (a->mv.kbt_f != b->mv.kbt_f || a->mv.kbb_f != b->mv.kbb_f) {
        err << "ptu-tpl: " << o.input << " is model " << a->mv.kbt_f << " (" << a->mv.kbb_f << " bytes), "
            << o.input2 << " model " << b->mv.kbt_f << " (" << b->mv.kbb_f << " bytes): give --model\n";
        return EXIT_BAD_INPUT;
    }
    // ldt as the decoder reads it (the ldt line of a listing).
    a->rg.ldt = a->mv.kbt_f > 1 ? a->rg.ldt : 0;
    b->rg.ldt = b->mv.kbt_f > 1 ? b->rg.ldt : 0;
    errno = 0;
    const auto keys = compareKeys(a->mv, a->kd.hbuf, b->kd.hbuf);
    for (const KeyDifference& d : keys)
        out << "key " << d.page << " " << d.col << " " << d.row << ": " << escapeText(d.a) << " | " << escapeText(d.b)
            << "\n";
    const int captions = printCaptionDifferences(*a, *b, out);
    const auto settings = compareSettings(a->rg, a->kd.magcfg, b->rg, b->kd.magcfg);
    for (const std::string& l : settings) out << l << "\n";
    if (!flushed(out, err, "the differences")) return EXIT_BAD_INPUT;
    return keys.empty() && captions == 0 && settings.empty() ? EXIT_OK : EXIT_DIFFERENT;
}

}  // namespace ptu::tpl
