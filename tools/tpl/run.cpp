#include "tools/tpl/tpl.h"

#include "keydata/keypos.h"
#include "keydata/models.h"
#include "tools/tpl/commands.h"
#include "tools/tpl/options.h"

#include <cstdio>
#include <ostream>

namespace ptu::tpl {

namespace {

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
