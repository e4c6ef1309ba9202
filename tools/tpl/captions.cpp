#include "tools/tpl/captions.h"

#include "device/captions_file.h"
#include "keydata/key_captions.h"
#include "tools/tpl/tpl.h"

#include <ostream>

namespace ptu::tpl {

int readCaptionsInto(State& s, const std::string& path, bool required, std::ostream& err)
{
    std::vector<std::string> warnings;
    CaptionsFile f = readCaptionsFile(path);
    if (!f.present && required) {
        err << "ptu-tpl: cannot read " << path << ": no such file\n";
        return EXIT_IO;
    }
    if (!f.error.empty()) {
        err << "ptu-tpl: " << f.error << "\n";
        return EXIT_IO;
    }
    applyCaptions(s, f.lines, f.warnings);
    for (const std::string& w : f.warnings) err << path << ": " << w << "; skipped\n";
    return EXIT_OK;
}

void printCaptions(const State& s, std::ostream& out)
{
    for (const CaptionLine& c : changedCaptions(s)) out << captionLine(c) << "\n";
}

}  // namespace ptu::tpl
