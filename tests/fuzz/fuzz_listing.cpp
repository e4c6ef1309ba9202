// A listing through ptu-tpl's parser and encoder, the data file written to a
// string; a listing of odd length is encoded with hiding off as well.
#include "tools/tpl/tpl.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string listing(reinterpret_cast<const char*>(data), size);
    for (bool hideOff : {false, true}) {
        if (hideOff && size % 2 == 0) break;
        std::vector<std::string> args{"encode", "-", "-o", "-"};
        if (hideOff) args.push_back("-x");
        std::istringstream in(listing);
        std::ostringstream out, err;
        ptu::tpl::run(args, in, out, err);
    }
    return 0;
}
