#include "tools/tpl.h"

#include "device/captions_file.h"
#include "device/data_file.h"
#include "keydata/compare.h"
#include "keydata/decode.h"
#include "keydata/encode.h"
#include "keydata/fcode.h"
#include "keydata/image_tail.h"
#include "keydata/key_captions.h"
#include "keydata/keypos.h"
#include "keydata/layout.h"
#include "keydata/models.h"
#include "keydata/state.h"
#include "device/hid.h"
#include "keydata/charset.h"
#include "keydata/default_labels.h"
#include "keydata/round_trip.h"
#include "platform/locale.h"
#include "tools/listing.h"
#include "tools/tpl_captions.h"
#include "tools/tpl_legends.h"
#include "tools/usb_form.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

namespace ptu::tpl {

namespace {

struct Options {
    std::string command;
    std::string input;
    std::string input2;  // diff: the second file or listing
    std::string output;
    std::optional<int> model, memory, kmax;
    std::optional<TableSetId> locale;
    bool usb = false;
    bool strict = false;  // a key text the keyboard would not give back is an error, not a warning
    std::string captions;  // decode, legends: the captions file instead of FILE.captions
    std::optional<double> pitch;  // legends: the key pitch in mm
    bool texts = false;           // legends: the programming sheets too
    // The program's model switches.
    bool m84 = false, m70 = false, m17 = false, m60 = false, noHide = false, raw = false;
    int pad = 0;
};

struct Failure {
    int code;
    std::string message;
};

Failure bad(std::string m) { return {EXIT_BAD_INPUT, std::move(m)}; }

std::optional<Failure> parseArgs(const std::vector<std::string>& args, Options& o)
{
    if (args.empty()) return bad("a command is needed");
    o.command = args[0];
    if (o.command != "decode" && o.command != "encode" && o.command != "diff" && o.command != "legends" &&
        o.command != "check")
        return bad("unknown command \"" + o.command + "\"");
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto number = [&](std::optional<int>& slot, long lo, long hi) -> std::optional<Failure> {
            const auto n = hasValue ? parseNumber(args[++i]) : std::nullopt;
            if (!n || *n < lo || *n > hi)
                return bad(a + " needs a number " + std::to_string(lo) + ".." + std::to_string(hi));
            slot = int(*n);
            return std::nullopt;
        };
        if (a == "-o") {
            if (!hasValue) return bad("-o needs a file name");
            o.output = args[++i];
        } else if (a == "--model") {
            if (auto f = number(o.model, 0, kModels - 1)) return f;
        } else if (a == "--memory") {
            if (auto f = number(o.memory, 0, 8192)) return f;
            if (*o.memory != 2048 && *o.memory != 4096 && *o.memory != 8192)
                return bad("--memory must be 2048, 4096 or 8192");
        } else if (a == "--kmax") {
            if (auto f = number(o.kmax, 0, 175)) return f;
        } else if (a == "--locale") {
            o.locale = hasValue ? tableSetByTag(args[++i]) : std::nullopt;
            if (!o.locale) return bad("--locale must be us, uk, es, pt, no, it, de or fr");
        } else if (a == "--captions") {
            if (!hasValue) return bad("--captions needs a file name");
            o.captions = args[++i];
        } else if (a == "--pitch") {
            const std::string v = hasValue ? args[++i] : std::string();
            double mm = 0;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), mm);
            if (v.empty() || ec != std::errc() || end != v.data() + v.size() || !(mm >= legend::kMinPitch) ||
                !(mm <= legend::kMaxPitch))
                return bad("--pitch needs the key pitch in millimetres, 10 to 40 (19.05 unless given)");
            o.pitch = mm;
        } else if (a == "--texts") {
            o.texts = true;
        } else if (a == "--usb") {
            o.usb = true;
        } else if (a == "--strict") {
            o.strict = true;
        } else if (a == "-8") {
            o.m84 = true;
        } else if (a == "-7") {
            o.m70 = true;
        } else if (a == "-b") {
            o.m17 = true;
        } else if (a == "-2") {
            o.pad = 2;
        } else if (a == "-4") {
            o.pad = 1;
        } else if (a == "-6") {
            o.m60 = true;
        } else if (a == "-x") {
            o.noHide = true;
        } else if (a == "-n") {
            o.raw = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return bad("unknown option \"" + a + "\"");
        } else if (o.input.empty()) {
            o.input = a;
        } else if (o.command == "diff" && o.input2.empty()) {
            o.input2 = a;
        } else {
            return bad(std::string(o.command == "diff" ? "two inputs" : "one input") + " only (\"" + a +
                       "\" is one too many)");
        }
    }
    if (o.command == "diff" && o.input2.empty()) return bad("diff needs two data files or listings");
    if (!o.captions.empty() && o.command != "decode" && o.command != "legends")
        return bad("--captions is for decode and legends");
    if ((o.pitch || o.texts) && o.command != "legends") return bad("--pitch and --texts are for legends");
    if (o.command == "legends") {
        if (o.input.empty()) return bad("legends needs a data file");
        if (o.output.empty() || o.output == "-") return bad("legends needs -o OUT.pdf");
        return std::nullopt;
    }
    if (o.command == "diff" && !o.output.empty()) return bad("diff prints its differences; -o is for encode");
    if (o.input.empty())
        return bad(o.command == "decode"  ? "decode needs a data file"
                   : o.command == "check" ? "check needs a data file or listing"
                                          : "encode needs a listing");
    if (o.command == "check" && !o.output.empty()) return bad("check lists the keys; -o is for encode");
    if (o.command == "encode" && o.output.empty()) return bad("encode needs -o FILE");
    if (o.command == "decode" && !o.output.empty()) return bad("decode prints its listing; -o is for encode");
    return std::nullopt;
}

// Registers: the listing's, else the program's defaults for the road.
void settleRegisters(const Header& h, State& s)
{
    const bool usb = s.fl.usb_f;
    const auto type = usbTypeOf(s.mv.kbt_f);
    s.rg.ldt = uint8_t(h.ldt.value_or(16));
    s.rg.r27 = uint8_t(h.r27.value_or(4));
    s.rg.r28 = uint8_t(h.r28.value_or(usb ? 0x05 : 0xE8));
    s.rg.r29 = uint8_t(h.r29.value_or(usb ? 0x02 : 0x9E));
    s.rg.r2a = uint8_t(h.r2a.value_or(usb && type ? 0x60 + *type : 0));
    if (h.magcfg) s.kd.magcfg = *h.magcfg;
}

// Settles the model values, flags, locale and registers from the options
// (which win), the listing's header and, when decoding, the file.
constexpr int kDefaultModel = 4;

std::optional<Failure> settle(const Options& o, const Header& h, State& s, bool decoding,
                              std::size_t fileSize, const uint8_t* data, std::string& notice)
{
    Flags& fl = s.fl;
    ModelValues& mv = s.mv;
    fl.usb_f = o.usb || h.usb.value_or(0) == 1;
    fl.m84_f = o.m84;
    fl.m70_f = o.m70;
    fl.m17_f = o.m17;
    fl.pad_f = o.pad;
    fl.m60_f = o.m60;

    // A model switch names its model "without asking".
    const std::optional<int> switchModel = ptu::switchModel(fl);
    if (switchModelCount(fl) > 1) return bad("-8, -7, -b and -2 each choose a model: give one of them");
    if (switchModel && o.model && *o.model != *switchModel)
        return bad("--model " + std::to_string(*o.model) + " contradicts the model switch (model " +
                   std::to_string(*switchModel) + ")");
    std::optional<int> model = switchModel ? switchModel : o.model ? o.model : h.model;
    if (!model && decoding && fl.usb_f && fileSize >= 8192) {
        if (const UsbTypeRow* t = usbTypeRow(data[8192 - 4] & 0x1F)) model = t->kbt;
    }
    if (!model && decoding) {
        // A data file does not name its model: take the one the program's
        // memory-type chooser offers first, and say so.
        model = kDefaultModel;
        notice = "no model given; decoding as model " + std::to_string(kDefaultModel) +
                 " (give --model N or a model switch for another)";
    }
    if (!model) return bad("the model is not known: give --model N, a model switch or a \"model\" line");
    mv.kbt_f = *model;

    fl.hide_f = o.noHide ? 0 : 1;
    fl.raw_f = o.raw;
    int kmax = switchModel ? modelRow(*switchModel).kmax : kFullKmax;
    if (!switchModel && !o.pad && !o.m60) {
        // The switches with which the program reaches the model.
        const Reach reach = reachOf(mv.kbt_f, fl.usb_f);
        applySwitches(fl, reach.sw);
        kmax = reach.kmax;
    }
    mv.kmax = o.kmax.value_or(kmax);

    const bool eightK = fl.usb_f || fl.m84_f || fl.m70_f || fl.m17_f;
    std::optional<int> memory = o.memory ? o.memory : h.memory;
    if (!memory && decoding) {
        if (fileSize != 2048 && fileSize != 4096 && fileSize != 8192)
            return bad("the memory size is not known: the file has " +
                       (fileSize > 8192 ? std::string("more than 8192") : std::to_string(fileSize)) +
                       " bytes; give --memory");
        memory = int(fileSize);
    }
    mv.kbb_f = memory.value_or(eightK ? 8192 : defaultMemory(mv.kbt_f));
    mv.kbp_f = pagesKept(fl, mv.kbt_f);
    mv.lmt = dataLimit(mv.kbb_f, mv.kbp_f);
    update_globals(s);  // the grid extent that names the keys ("1A1")

    if (o.locale || h.locale) {
        s.loc.tset = o.locale ? *o.locale : *h.locale;
    } else {
        // The tables the window takes from the system's language.
        const LanguageIds ids = systemLanguageIds();
        s.loc.tset = chooseTableSet(ids.lcid, ids.lgid, ids.ulgid);
        notice += std::string(notice.empty() ? "" : "; ") + "no locale given: using the " +
                  keyboardName(s.loc.tset) + " tables of the system's language (give --locale " +
                  tableSet(s.loc.tset).tag + " or another)";
    }

    settleRegisters(h, s);
    return std::nullopt;
}

// The largest data file decode reads (the largest memory), and the largest
// listing encode reads (every key of six pages with long texts stays far
// below it).
constexpr std::size_t kLargestImage = 8192;
constexpr std::size_t kLargestListing = std::size_t(16) << 20;

// Reads at most `limit` bytes of the file `name` ("-": `in`) into `data`, in
// pieces, so that an endless input costs no more than the limit. On failure
// `why` holds the system's reason.
bool readInput(const std::string& name, std::istream& in, std::size_t limit, std::string& data,
               std::string& why)
{
    data.clear();
    char piece[65536];
    if (name == "-") {
        try {
            while (data.size() < limit && in) {
                in.read(piece, std::streamsize(std::min(sizeof piece, limit - data.size())));
                data.append(piece, std::size_t(in.gcount()));
            }
        } catch (const std::exception& e) {  // a stream that throws on a read error
            why = e.what();
            return false;
        }
        if (in.bad()) why = "read error";
        return !in.bad();
    }
    errno = 0;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    while (data.size() < limit) {
        const std::size_t got = std::fread(piece, 1, std::min(sizeof piece, limit - data.size()), f);
        data.append(piece, got);
        if (got == 0) break;
    }
    const bool failed = std::ferror(f) != 0;
    if (failed) why = std::strerror(errno ? errno : EIO);
    std::fclose(f);
    return !failed;
}

// Writes the image to the file `name`; false with the system's reason.
bool writeFile(const std::string& name, const uint8_t* data, std::size_t n, std::string& why)
{
    errno = 0;
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data, 1, n, f) == n && std::fflush(f) == 0;
    const int e = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) why = std::strerror(!written && e ? e : errno ? errno : EIO);
    return written && closed;
}

std::string cellName(int page, int col, int row)
{
    return "page " + std::to_string(page) + " column " + std::to_string(col) + " row " + std::to_string(row);
}

std::string hex2(unsigned v)
{
    char b[8];
    std::snprintf(b, sizeof b, "0x%02X", v & 0xFF);
    return b;
}

// A data file's bytes decoded as Load decodes them, into a fresh state:
// the model settled, the registers as the file holds them, the key texts.
// Returns EXIT_OK or the exit code, having said why on `err`.
int decodeData(const Options& o, const std::string& name, const std::string& data, State& st, std::ostream& err)
{
    State* s = &st;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    std::string notice;
    if (auto f = settle(o, Header{}, *s, true, data.size(), bytes, notice)) {
        err << "ptu-tpl: " << f->message << "\n";
        return f->code;
    }
    if (!notice.empty()) err << "ptu-tpl: " << notice << "\n";
    const ModelValues& mv = s->mv;
    if (data.size() > std::size_t(mv.kbb_f))
        err << "ptu-tpl: " << name << " is longer than the memory size " << mv.kbb_f
            << "; the rest is not read\n";
    // Load's order: the file into the raw buffer, the USB form translated
    // back, the decoding, the fixed key texts.
    const int n = int(std::min<std::size_t>(data.size(), std::size_t(mv.kbb_f)));
    std::memcpy(s->buf.rbuf.data(), data.data(), std::size_t(n));
    const uint8_t* raw = s->buf.rbuf.data();
    const bool whole = n >= mv.kbb_f;
    if (whole) {
        // The registers as the file holds them, before the translation.
        s->rg.r27 = raw[mv.kbb_f - 6];
        s->rg.r28 = raw[mv.kbb_f - 5];
        s->rg.r29 = s->fl.usb_f ? raw[mv.kbb_f - 7] : raw[mv.kbb_f - 4];
        s->rg.r2a = s->fl.usb_f ? raw[mv.kbb_f - 4] : 0;
    } else {
        err << "ptu-tpl: " << name << " holds " << n << " bytes, less than the memory size "
            << mv.kbb_f << "; decoding what is there\n";
    }
    if (s->fl.usb_f) toInternalForm(*s, s->buf.rbuf.data());
    rtoh(*s, n);
    return EXIT_OK;
}

// The captions of a data file: those of --captions F (which must be
// there), else those of FILE.captions when it is there.
int captionsOf(const Options& o, const std::string& name, State& s, std::ostream& err)
{
    if (!o.captions.empty()) return readCaptionsInto(s, o.captions, true, err);
    return readCaptionsInto(s, name == "-" ? std::string() : captionsPath(name), false, err);
}

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
    const ModelValues& mv = s->mv;
    const int n = int(std::min<std::size_t>(data.size(), std::size_t(mv.kbb_f)));
    // The keys whose texts fcode fixes are not listed: encode fixes them again.
    std::vector<uint8_t> fixed(std::size_t(kPages * kRows * kCols), 0);
    for (const FixedText& f : fixedTexts(*s)) {
        const KeySlot& ks = keypos[mv.kbt_f][f.slot];
        fixed[std::size_t((f.page * kRows + ks.row) * kCols + ks.col)] = 1;
    }
    // ldt as the decoder reads it: slot 0 of page 0 above model 1, and 0 on
    // the models whose keyboards do not keep it there.
    const int ldt = mv.kbt_f > 1 && n > 0 ? s->rg.ldt : 0;

    errno = 0;
    out << "# ptu-tpl listing of " << o.input << "\n";
    // The switches are no listing lines: name them for the encode to come.
    std::string switches;
    for (auto [on, name] : {std::pair{o.m84, "-8"}, std::pair{o.m70, "-7"}, std::pair{o.m17, "-b"},
                            std::pair{o.pad == 2, "-2"}, std::pair{o.pad == 1, "-4"}, std::pair{o.m60, "-6"},
                            std::pair{o.noHide, "-x"}, std::pair{o.raw, "-n"}})
        if (on) switches += std::string(" ") + name;
    if (o.kmax) switches += " --kmax " + std::to_string(*o.kmax);
    if (!switches.empty()) out << "# decoded with" << switches << ": give encode the same\n";
    out << "model " << mv.kbt_f << "\n";
    out << "memory " << mv.kbb_f << "\n";
    out << "locale " << tableSet(s->loc.tset).tag << "\n";
    out << "usb " << s->fl.usb_f << "\n";
    out << "ldt " << ldt << "\n";
    out << "r27 " << unsigned(s->rg.r27) << "\n";
    out << "r28 " << hex2(s->rg.r28) << "\n";
    out << "r29 " << hex2(s->rg.r29) << "\n";
    out << "r2a " << hex2(s->rg.r2a) << "\n";
    out << "magcfg";
    for (uint8_t b : s->kd.magcfg) {
        char x[4];
        std::snprintf(x, sizeof x, " %02X", unsigned(b));
        out << x;
    }
    out << "\n";
    const KeySlot& ldtSlot = keypos[mv.kbt_f][0];
    for (int p = 0; p < kPages; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const std::string& t = keyCell(s->kd.hbuf, p, c, r);
                if (t.empty() || fixed[std::size_t((p * kRows + r) * kCols + c)]) continue;
                if (p == 0 && mv.kbt_f > 1 && c == ldtSlot.col && r == ldtSlot.row) continue;  // the ldt line
                out << "key " << p << " " << c << " " << r << " " << escapeText(t) << "\n";
            }
    printCaptions(*s, out);
    // A short listing may sit in a buffer still: its write error shows only now.
    out.flush();
    if (!out) {
        err << "ptu-tpl: cannot write the listing: " << (errno ? std::strerror(errno) : "write error") << "\n";
        return EXIT_IO;
    }
    return EXIT_OK;
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

// A listing's keys and registers built into a data-file image in
// s.buf.ibuf, as the window's Save builds it. The keys left out and the
// texts replaced by fixed ones are collected for the caller to report, and
// so are the doubts: the listing's characters its keyboard lacks and the key
// texts the keyboard would not give back, each with its line.
// Returns EXIT_OK or the exit code, having said why on `err`.
struct Doubt {
    int line;
    std::string text;
};
int buildFromListing(const Options& o, const std::string& name, const std::string& text, State& st,
                     std::ostream& err, std::vector<std::string>& leftOut, std::vector<std::string>& replaced,
                     std::vector<Doubt>& doubts)
{
    State* s = &st;
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
        keyCell(s->kd.hbuf, k.page, k.col, k.row) =
            listingBytes(s->loc.tset, k.text, k.written, refused);
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
        if (!given.empty() && given != f.text) replaced.push_back(named(f.page, ks.col, ks.row));
    }

    // Every key text as the keyboard would give it back. (A text it cannot
    // store at all is named among the keys left out.)
    for (const KeyProblem& k : checkKeys(*s, &usbForm())) {
        if (k.check.verdict == KeyVerdict::notStored) continue;
        doubts.push_back({lineOf[std::size_t((k.page * kRows + k.row) * kCols + k.col)],
                          "key " + std::to_string(k.page) + " " + std::to_string(k.col) + " " + std::to_string(k.row) +
                              " (" + positionName(s->mv, k.page, k.col, k.row) +
                              "): " + describe(s->loc.tset, k.check)});
    }
    std::stable_sort(doubts.begin(), doubts.end(), [](const Doubt& a, const Doubt& b) { return a.line < b.line; });

    // The window's Save builds the same image.
    const auto dropped = buildDataFile(*s);
    for (const KeyRef& k : dropped) leftOut.push_back(named(k.page, k.col, k.row) + ": " + leftOutReason(k.why));
    return EXIT_OK;
}

// Reads a listing (at most kLargestListing) into `text`.
int readListing(const std::string& name, std::istream& in, std::string& text, std::ostream& err)
{
    std::string why;
    if (!readInput(name, in, kLargestListing + 1, text, why)) {
        err << "ptu-tpl: cannot read " << name << ": " << why << "\n";
        return EXIT_IO;
    }
    if (text.size() > kLargestListing) {
        err << "ptu-tpl: " << name << " is longer than " << (kLargestListing >> 20) << " MiB: not a listing\n";
        return EXIT_BAD_INPUT;
    }
    return EXIT_OK;
}

int encode(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string text;
    if (int code = readListing(o.input, in, text, err)) return code;
    auto s = std::make_unique<State>();
    std::vector<std::string> leftOut, replaced;
    std::vector<Doubt> doubts;
    if (int code = buildFromListing(o, o.input, text, *s, err, leftOut, replaced, doubts)) return code;
    // A text the keyboard would not give back is said with its line; with
    // --strict nothing is written then.
    const std::string where = o.input == "-" ? "<stdin>" : o.input;
    for (const Doubt& d : doubts)
        err << where << ":" << d.line << ": " << (o.strict ? "error" : "warning") << ": " << d.text << "\n";
    if (o.strict && !doubts.empty()) {
        err << "ptu-tpl: " << doubts.size() << (doubts.size() == 1 ? " key text" : " key texts")
            << " would not come back from the keyboard as written: nothing written (--strict)\n";
        return EXIT_BAD_INPUT;
    }

    const auto* img = s->buf.ibuf.data();
    if (o.output == "-") {
        errno = 0;
        out.write(reinterpret_cast<const char*>(img), s->mv.kbb_f);
        out.flush();
        if (!out) {
            err << "ptu-tpl: cannot write the data file: " << (errno ? std::strerror(errno) : "write error")
                << "\n";
            return EXIT_IO;
        }
    } else if (std::string why; !writeFile(o.output, img, std::size_t(s->mv.kbb_f), why)) {
        err << "ptu-tpl: cannot write " << o.output << ": " << why << "\n";
        return EXIT_IO;
    }
    // The captions file beside the data file, or none when every caption
    // is its key's default label.
    // (A device or a pipe gets no file beside it.)
    const std::string captions = captionsText(*s);
    std::error_code ec;
    const bool beside = o.output != "-" && std::filesystem::is_regular_file(o.output, ec);
    if (!beside && !captions.empty()) {
        err << "ptu-tpl: the caption lines are written only beside a data file (-o FILE gives FILE.captions)\n";
    } else if (std::string why; beside && !saveCaptionsFile(captionsPath(o.output), captions, why)) {
        err << "ptu-tpl: " << why << "\n";
        return EXIT_IO;
    }
    if (!replaced.empty()) {
        err << "ptu-tpl: " << replaced.size() << (replaced.size() == 1 ? " key holds" : " keys hold")
            << " the model's fixed text instead of the listing's (-x keeps the listing's):\n";
        for (const std::string& l : replaced) err << "  " << l << "\n";
    }
    if (leftOut.empty()) return EXIT_OK;
    err << "ptu-tpl: " << leftOut.size() << (leftOut.size() == 1 ? " key is" : " keys are")
        << " not in " << o.output << ":\n";
    for (const std::string& l : leftOut) err << "  " << l << "\n";
    return EXIT_LEFT_OUT;
}

// One input of diff or legends decoded: a data file (it holds 0 bytes, a
// listing never does) as decode reads it, with the captions beside it; a
// listing built into its image and read back the same way, with its caption
// lines; so that both are in the codec's normalised form. Returns EXIT_OK, or
// the exit code having said why.
int loadInput(const Options& o, const std::string& name, std::istream& in, State& s, std::ostream& err)
{
    std::string data;
    if (int code = readListing(name, in, data, err)) return code;
    if (data.find('\0') != std::string::npos) {
        if (data.size() > kLargestImage) data.resize(kLargestImage + 1);
        if (decodeData(o, name, data, s, err)) return EXIT_BAD_INPUT;
        return captionsOf(o, name, s, err);
    }
    std::vector<std::string> leftOut, replaced;
    std::vector<Doubt> doubts;
    auto built = std::make_unique<State>();
    if (buildFromListing(o, name, data, *built, err, leftOut, replaced, doubts)) return EXIT_BAD_INPUT;
    for (const Doubt& d : doubts) err << name << ":" << d.line << ": warning: " << d.text << "\n";
    for (const std::string& l : leftOut) err << "ptu-tpl: " << name << ": not in the image: " << l << "\n";
    // The listing names its model: decode its image with it.
    Options again = o;
    again.model = built->mv.kbt_f;
    again.memory = built->mv.kbb_f;
    again.locale = built->loc.tset;
    again.usb = built->fl.usb_f;
    const std::string image(reinterpret_cast<const char*>(built->buf.ibuf.data()), std::size_t(built->mv.kbb_f));
    if (decodeData(again, name, image, s, err)) return EXIT_BAD_INPUT;
    s.kd.kcap = built->kd.kcap;
    return o.captions.empty() ? EXIT_OK : readCaptionsInto(s, o.captions, true, err);
}

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
    // The captions, each side's default labels where its captions file has no line.
    int captions = 0;
    for (int p = 0; p < kPages; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const std::string& ca = keyCell(a->kd.kcap, p, c, r);
                const std::string& cb = keyCell(b->kd.kcap, p, c, r);
                if (ca == cb || !captionCell(*a, p, c, r)) continue;
                ++captions;
                out << "caption " << p << " " << c << " " << r << ": " << escapeText(ca) << " | " << escapeText(cb)
                    << "\n";
            }
    const auto settings = compareSettings(a->rg, a->kd.magcfg, b->rg, b->kd.magcfg);
    for (const std::string& l : settings) out << l << "\n";
    out.flush();
    if (!out) {
        err << "ptu-tpl: cannot write the differences: " << (errno ? std::strerror(errno) : "write error") << "\n";
        return EXIT_BAD_INPUT;
    }
    return keys.empty() && captions == 0 && settings.empty() ? EXIT_OK : EXIT_DIFFERENT;
}

// check: the keys of a data file or listing that the keyboard would not give
// back as they stand, one line each on the output; 0 when there are none.
int check(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string data;
    if (int code = readListing(o.input, in, data, err)) return code;
    auto s = std::make_unique<State>();
    std::vector<std::string> lines;
    if (data.find('\0') != std::string::npos) {
        if (data.size() > kLargestImage) data.resize(kLargestImage + 1);
        if (int code = decodeData(o, o.input, data, *s, err)) return code;
        if (s->fl.hide_f) fcode(*s);  // as Load puts the fixed texts back
        for (const KeyProblem& k : checkKeys(*s, &usbForm()))
            lines.push_back("key " + std::to_string(k.page) + " " + std::to_string(k.col) + " " +
                            std::to_string(k.row) + " (" + positionName(s->mv, k.page, k.col, k.row) +
                            "): " + describe(s->loc.tset, k.check));
    } else {
        std::vector<std::string> leftOut, replaced;
        std::vector<Doubt> doubts;
        if (int code = buildFromListing(o, o.input, data, *s, err, leftOut, replaced, doubts)) return code;
        const std::string where = o.input == "-" ? "<stdin>" : o.input;
        for (const Doubt& d : doubts) lines.push_back(where + ":" + std::to_string(d.line) + ": " + d.text);
        for (const std::string& l : leftOut) lines.push_back("not stored: " + l);
        for (const std::string& l : replaced) lines.push_back("holds the model's fixed text instead: " + l);
    }
    errno = 0;
    for (const std::string& l : lines) out << l << "\n";
    out.flush();
    if (!out) {
        err << "ptu-tpl: cannot write the list: " << (errno ? std::strerror(errno) : "write error") << "\n";
        return EXIT_IO;
    }
    if (lines.empty()) return EXIT_OK;
    err << "ptu-tpl: " << lines.size() << (lines.size() == 1 ? " key" : " keys")
        << " would not come back from the keyboard as " << (data.find('\0') != std::string::npos ? "read" : "written")
        << "\n";
    return EXIT_LEFT_OUT;
}

int legends(const Options& o, std::istream& in, std::ostream& err)
{
    auto s = std::make_unique<State>();
    if (int code = loadInput(o, o.input, in, *s, err)) return code;
    legend::LegendOptions lo;
    lo.pitch = o.pitch.value_or(legend::kDefaultPitch);
    lo.programming = o.texts;
    return writeLegends(*s, o.input == "-" ? std::string() : o.input, lo, o.output, err);
}

// The models --model takes, with the memory size a file of the model has
// unless told and the pages it shows.
std::string modelList()
{
    std::string text = "models (--model N):\n";
    for (int m = 0; m < kModels; ++m) {
        char line[96];
        std::snprintf(line, sizeof line, "  %2d  %-32s %4d bytes, %d page%s\n", m, modelName(m).c_str(), defaultMemory(m),
                      pn[m], pn[m] == 1 ? "" : "s");
        text += line;
    }
    return text;
}

}  // namespace

std::string usage()
{
    return "usage: ptu-tpl decode FILE [options]\n"
           "       ptu-tpl encode LISTING -o FILE [options]\n"
           "       ptu-tpl diff A B [options]   (A, B: data files or listings)\n"
           "       ptu-tpl legends FILE [--captions F] [--pitch MM] [--texts] -o OUT.pdf\n"
           "       ptu-tpl check FILE|LISTING [options]\n"
           "FILE or LISTING \"-\" reads standard input; \"-o -\" writes to standard output.\n"
           "options: --model N  --memory 2048|4096|8192  --locale us|uk|es|pt|no|it|de|fr\n"
           "         --usb  --kmax N  -8 -7 -b -2 -4 -6 -x -n (the program's switches)\n"
           "         --strict  (encode) a key text the keyboard would not give back as\n"
           "                   written is an error: nothing is written\n"
           "An option wins over the listing's own line. Without a model switch the model\n"
           "brings the switches with which the program reaches it. A data file names\n"
           "neither model nor locale: decode takes model 4 unless told, and without\n"
           "--locale or a locale line the tables of the system's language, as ptu does.\n"
           "A listing may hold the locale's characters as UTF-8 (Gr\xC3\xB6\xC3\x9F" "e).\n"
           "encode warns, with its line, of every key text the keyboard would not give\n"
           "back as written: a name that is no key name ({ENTR}), a character without a\n"
           "key, keys of two USB usage pages in one macro. check lists those keys of a\n"
           "data file or listing (exit 0 none, 3 some).\n"
           "Without --usb, -4, -2 and -6 (models 5, 6, 7, 8, 12 and 15 bring them) keep\n"
           "no ldt: decode lists ldt 0, so byte 0 of such a file is not kept by decode |\n"
           "encode.\n"
           "diff prints one line for each key whose text differs (\"key PAGE COLUMN ROW:\n"
           "A's text | B's text\"), one for each caption (\"caption ...\") and one for each\n"
           "register or the magcfg block.\n"
           "Key captions other than the default labels are kept beside a data file in\n"
           "FILE.captions: decode lists them as \"caption PAGE COLUMN ROW TEXT\" lines after\n"
           "the keys (--captions F reads another file), encode -o FILE writes FILE.captions\n"
           "from them (and removes it when there are none); a caption holds 9 characters.\n"
           "legends writes the legend sheets of a data file or listing as a PDF: one per\n"
           "page, every key a box of the key pitch (--pitch, 19.05 mm unless given) with\n"
           "its caption; --texts adds the sheets with the macro texts and a table of them.\n"
           "exit: 0 done, 1 file error, 2 bad arguments or listing (or --strict doubts),\n"
           "3 keys left out (check: keys that would not come back);\n"
           "diff: 0 the same, 1 they differ, 2 bad arguments or an input it cannot read\n" +
           modelList();
}

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    if (!args.empty() && args[0] == "--version") {
        out << "ptu-tpl " << PTU_VERSION << "\n";
        return EXIT_OK;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << usage();
        return EXIT_OK;
    }
    Options o;
    if (auto f = parseArgs(args, o)) {
        err << "ptu-tpl: " << f->message << "\n" << usage();
        return f->code;
    }
    if (o.command == "diff") return diff(o, in, out, err);
    if (o.command == "legends") return legends(o, in, err);
    if (o.command == "check") return check(o, in, out, err);
    return o.command == "decode" ? decode(o, in, out, err) : encode(o, in, out, err);
}

}  // namespace ptu::tpl
