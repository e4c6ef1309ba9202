// ptu-tpl: data file <-> text listing.
#include "tools/tpl/tpl.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    int rc;
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        rc = ptu::tpl::run(args, std::cin, std::cout, std::cerr);
    } catch (const std::exception& e) {  // out of memory, or a stream that threw
        std::cerr << "ptu-tpl: " << e.what() << "\n";
        return ptu::tpl::EXIT_IO;
    }
    // What is still buffered goes out now; a failed write is never a success.
    errno = 0;
    if (!std::cout.flush() && rc == ptu::tpl::EXIT_OK) {
        std::cerr << "ptu-tpl: cannot write standard output: " << (errno ? std::strerror(errno) : "write error")
                  << "\n";
        rc = ptu::tpl::EXIT_IO;
    }
    return rc;
}
