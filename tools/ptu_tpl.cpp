// ptu-tpl: data file <-> text listing.
#include "tools/tpl.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int rc = ptu::tpl::run(args, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
