// A data file through ptu-tpl's decode. The first two bytes choose the model,
// memory, locale and switches; the rest is the file.
#include "tools/tpl/tpl.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const uint8_t a = data[0], b = data[1];
    static const char* const kLocales[] = {"us", "uk", "es", "pt", "no", "it", "de", "fr"};
    std::vector<std::string> args{"decode", "-", "--model", std::to_string(a % 18), "--locale", kLocales[b & 7]};
    if (a & 0x80) args.insert(args.end(), {"--memory", (a & 0x40) ? "8192" : (b & 0x80) ? "4096" : "2048"});
    if (b & 0x08) args.push_back("--usb");
    if (b & 0x10) args.push_back("-x");
    if (b & 0x20) args.push_back("-4");
    if (b & 0x40) args.push_back("-6");
    std::istringstream in(std::string(reinterpret_cast<const char*>(data + 2), size - 2));
    std::ostringstream out, err;
    ptu::tpl::run(args, in, out, err);
    return 0;
}
