#include "tools/tpl/build.h"

#include "device/data_file.h"
#include "device/hid.h"
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "keydata/encode.h"
#include "keydata/fcode.h"
#include "keydata/key_captions.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "tools/tpl/listing.h"
#include "tools/tpl/settle.h"
#include "tools/tpl/tpl.h"

#include <algorithm>
#include <ostream>

namespace ptu::tpl {

namespace {

std::string cellName(int page, int col, int row)
{
    return "page " + std::to_string(page) + " column " + std::to_string(col) + " row " + std::to_string(row);
}

// Why a listed key cannot be in the file of this model, or nullptr.
const char* notStorable(const State& s, int page, int col, int row)
{
    const ModelValues& mv = s.mv;
    if (page >= pn[mv.kbt_f]) return "the model stores no such page";
    const int last = lastSlot(mv);
    for (int k = 0; k <= last; ++k) {
        const KeySlot& ks = keypos[mv.kbt_f][k];
        if (ks.col != col || ks.row != row) continue;
        if (page == 0 && k == 0 && mv.kbt_f > 1) return "that cell holds ldt on page 0";
        return nullptr;
    }
    return "no key of the model is there";
}

}  // namespace

std::string problemText(const State& s, const KeyProblem& k)
{
    return "key " + std::to_string(k.page) + " " + std::to_string(k.col) + " " + std::to_string(k.row) + " (" +
           positionName(s.mv, k.page, k.col, k.row) + "): " + describe(s.loc.tset, k.check);
}

int buildFromListing(const Options& o, const std::string& name, const std::string& text, State& st,
                     std::ostream& err, BuildReport& report)
{
    State* s = &st;
    std::vector<std::string>& leftOut = report.leftOut;
    std::vector<Doubt>& doubts = report.doubts;
    const std::string where = name == "-" ? "<stdin>" : name;
    Listing listing;
    ParseError pe;
    if (!parseListing(text, listing, pe)) {
        err << where << ":" << pe.line << ": " << pe.message << "\n";
        return EXIT_BAD_INPUT;
    }
    std::string notice;
    if (auto f = settle(o, listing.header, *s, false, 0, nullptr, notice)) {
        err << "ptu-tpl: " << f->message << "\n";
        return f->code;
    }
    if (!notice.empty()) err << "ptu-tpl: " << notice << "\n";

    std::vector<int> lineOf(std::size_t(kPages * kRows * kCols), 0);  // the listing line of each cell
    auto named = [&](int page, int col, int row) {
        const int line = lineOf[std::size_t((page * kRows + row) * kCols + col)];
        return cellName(page, col, row) + (line ? " (line " + std::to_string(line) + ")" : "");
    };
    for (const KeyLine& k : listing.keys) {
        if (k.text.empty()) continue;
        if (const char* why = notStorable(*s, k.page, k.col, k.row)) {
            leftOut.push_back(cellName(k.page, k.col, k.row) + " (line " + std::to_string(k.line) + "): " + why);
            continue;
        }
        // Characters written as UTF-8 become the bytes of the locale's set.
        std::u32string refused;
        keyCell(s->kd.hbuf, k.page, k.col, k.row) = listingBytes(s->loc.tset, k.text, k.written, refused);
        if (!refused.empty()) doubts.push_back({k.line, refusedMessage(s->loc.tset, refused)});
        lineOf[std::size_t((k.page * kRows + k.row) * kCols + k.col)] = k.line;
    }
    // The captions; those of cells the model has no key in are left out.
    std::vector<CaptionLine> captions;
    for (const CaptionLine& c : listing.captions) {
        if (captionCell(*s, c.page, c.col, c.row)) captions.push_back(c);
        else
            leftOut.push_back("caption " + cellName(c.page, c.col, c.row) + " (line " + std::to_string(c.line) +
                              "): the model has no key there");
    }
    std::vector<std::string> none;
    applyCaptions(*s, captions, none);
    // The image takes the model's fixed texts where fcode gives them: name
    // the listing's texts that they replace.
    for (const FixedText& f : fixedTexts(*s)) {
        const KeySlot& ks = keypos[s->mv.kbt_f][f.slot];
        const std::string& given = keyCell(s->kd.hbuf, f.page, ks.col, ks.row);
        if (!given.empty() && given != f.text) report.replaced.push_back(named(f.page, ks.col, ks.row));
    }

    // Every key text as the keyboard would give it back. (A text it cannot
    // store at all is named among the keys left out.)
    for (const KeyProblem& k : checkKeys(*s, &usbForm())) {
        if (k.check.verdict == KeyVerdict::notStored) continue;
        doubts.push_back({lineOf[std::size_t((k.page * kRows + k.row) * kCols + k.col)], problemText(*s, k)});
    }
    std::stable_sort(doubts.begin(), doubts.end(), [](const Doubt& a, const Doubt& b) { return a.line < b.line; });

    // The window's Save builds the same image.
    const auto dropped = buildDataFile(*s);
    for (const KeyRef& k : dropped) leftOut.push_back(named(k.page, k.col, k.row) + ": " + leftOutReason(k.why));
    return EXIT_OK;
}

}  // namespace ptu::tpl
