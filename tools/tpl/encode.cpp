#include "tools/tpl/commands.h"

#include "device/captions_file.h"
#include "keydata/key_captions.h"
#include "tools/tpl/build.h"
#include "tools/tpl/files.h"
#include "tools/tpl/tpl.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <ostream>

namespace ptu::tpl {

namespace {

// The data file to -o: a file, or "-" standard output.
int writeImage(const Options& o, const State& s, std::ostream& out, std::ostream& err)
{
    const auto* img = s.buf.ibuf.data();
    if (o.output == "-") {
        errno = 0;
        out.write(reinterpret_cast<const char*>(img), s.mv.kbb_f);
        return flushed(out, err, "the data file") ? EXIT_OK : EXIT_IO;
    }
    if (std::string why; !writeFile(o.output, img, std::size_t(s.mv.kbb_f), why)) {
        err << "ptu-tpl: cannot write " << o.output << ": " << why << "\n";
        return EXIT_IO;
    }
    return EXIT_OK;
}

// The captions file beside the data file, or none when every caption is
// its key's default label. (A device or a pipe gets no file beside it.)
int writeCaptions(const Options& o, const State& s, std::ostream& err)
{
    const std::string captions = captionsText(s);
    std::error_code ec;
    const bool beside = o.output != "-" && std::filesystem::is_regular_file(o.output, ec);
    if (!beside && !captions.empty()) {
        err << "ptu-tpl: the caption lines are written only beside a data file (-o FILE gives FILE.captions)\n";
    } else if (std::string why; beside && !saveCaptionsFile(captionsPath(o.output), captions, why)) {
        err << "ptu-tpl: " << why << "\n";
        return EXIT_IO;
    }
    return EXIT_OK;
}

}  // namespace

int encode(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
{
    std::string text;
    if (int code = readListing(o.input, in, text, err)) return code;
    auto s = std::make_unique<State>();
    BuildReport report;
    if (int code = buildFromListing(o, o.input, text, *s, err, report)) return code;
    // A text the keyboard would not give back is said with its line; with
    // --strict nothing is written then.
    const std::string where = o.input == "-" ? "<stdin>" : o.input;
    const std::vector<Doubt>& doubts = report.doubts;
    for (const Doubt& d : doubts)
        err << where << ":" << d.line << ": " << (o.strict ? "error" : "warning") << ": " << d.text << "\n";
    if (o.strict && !doubts.empty()) {
        err << "ptu-tpl: " << doubts.size() << (doubts.size() == 1 ? " key text" : " key texts")
            << " would not come back from the keyboard as written: nothing written (--strict)\n";
        return EXIT_BAD_INPUT;
    }
    if (int code = writeImage(o, *s, out, err)) return code;
    if (int code = writeCaptions(o, *s, err)) return code;
    const std::vector<std::string>& replaced = report.replaced;
    if (!replaced.empty()) {
        err << "ptu-tpl: " << replaced.size() << (replaced.size() == 1 ? " key holds" : " keys hold")
            << " the model's fixed text instead of the listing's (-x keeps the listing's):\n";
        for (const std::string& l : replaced) err << "  " << l << "\n";
    }
    const std::vector<std::string>& leftOut = report.leftOut;
    if (leftOut.empty()) return EXIT_OK;
    err << "ptu-tpl: " << leftOut.size() << (leftOut.size() == 1 ? " key is" : " keys are") << " not in "
        << o.output << ":\n";
    for (const std::string& l : leftOut) err << "  " << l << "\n";
    return EXIT_LEFT_OUT;
}

}  // namespace ptu::tpl
