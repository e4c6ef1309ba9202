// ptu-drivercheck: a keyboard driver against the program's interface.
#include "tools/drivercheck/drivercheck.h"

#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return ptu::drivercheck::run(args, std::cout, std::cerr);
    } catch (const std::exception& e) {  // out of memory, or a stream that threw
        std::cerr << "ptu-drivercheck: " << e.what() << "\n";
        return ptu::drivercheck::EXIT_FAULT;
    }
}
