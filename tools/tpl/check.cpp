#include "tools/tpl/commands.h"

#include "device/hid.h"
#include "keydata/fcode.h"
#include "keydata/round_trip.h"
#include "tools/tpl/build.h"
#include "tools/tpl/files.h"
#include "tools/tpl/inputs.h"
#include "tools/tpl/tpl.h"

#include <cerrno>
#include <memory>
#include <ostream>

namespace ptu::tpl {

// The keys of a data file or listing that the keyboard would not give back
// as they stand, one line each on the output; 0 when there are none.
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
        for (const KeyProblem& k : checkKeys(*s, &usbForm())) lines.push_back(problemText(*s, k));
    } else {
        BuildReport report;
        if (int code = buildFromListing(o, o.input, data, *s, err, report)) return code;
        const std::string where = o.input == "-" ? "<stdin>" : o.input;
        for (const Doubt& d : report.doubts) lines.push_back(where + ":" + std::to_string(d.line) + ": " + d.text);
        for (const std::string& l : report.leftOut) lines.push_back("not stored: " + l);
        for (const std::string& l : report.replaced) lines.push_back("holds the model's fixed text instead: " + l);
    }
    errno = 0;
    for (const std::string& l : lines) out << l << "\n";
    if (!flushed(out, err, "the list")) return EXIT_IO;
    if (lines.empty()) return EXIT_OK;
    err << "ptu-tpl: " << lines.size() << (lines.size() == 1 ? " key" : " keys")
        << " would not come back from the keyboard as " << (data.find('\0') != std::string::npos ? "read" : "written")
        << "\n";
    return EXIT_LEFT_OUT;
}

}  // namespace ptu::tpl
