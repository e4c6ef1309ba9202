#include "tools/tpl/inputs.h"

#include "device/captions_file.h"
#include "keydata/decode.h"
#include "tools/tpl/build.h"
#include "tools/tpl/captions.h"
#include "tools/tpl/files.h"
#include "tools/tpl/settle.h"
#include "tools/tpl/tpl.h"
#include "tools/tpl/usb_form.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <ostream>

namespace ptu::tpl {

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
        err << "ptu-tpl: " << name << " is longer than the memory size " << mv.kbb_f << "; the rest is not read\n";
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
        err << "ptu-tpl: " << name << " holds " << n << " bytes, less than the memory size " << mv.kbb_f
            << "; decoding what is there\n";
    }
    if (s->fl.usb_f) toInternalForm(*s, s->buf.rbuf.data());
    rtoh(*s, n);
    return EXIT_OK;
}

int captionsOf(const Options& o, const std::string& name, State& s, std::ostream& err)
{
    if (!o.captions.empty()) return readCaptionsInto(s, o.captions, true, err);
    return readCaptionsInto(s, name == "-" ? std::string() : captionsPath(name), false, err);
}

int loadInput(const Options& o, const std::string& name, std::istream& in, State& s, std::ostream& err)
{
    std::string data;
    if (int code = readListing(name, in, data, err)) return code;
    if (data.find('\0') != std::string::npos) {
        if (data.size() > kLargestImage) data.resize(kLargestImage + 1);
        if (decodeData(o, name, data, s, err)) return EXIT_BAD_INPUT;
        return captionsOf(o, name, s, err);
    }
    BuildReport report;
    auto built = std::make_unique<State>();
    if (buildFromListing(o, name, data, *built, err, report)) return EXIT_BAD_INPUT;
    for (const Doubt& d : report.doubts) err << name << ":" << d.line << ": warning: " << d.text << "\n";
    for (const std::string& l : report.leftOut) err << "ptu-tpl: " << name << ": not in the image: " << l << "\n";
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

}  // namespace ptu::tpl
