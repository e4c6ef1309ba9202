// "--version" and "--help": answered before anything else, as the whole
// first argument, so that neither needs a display nor a keyboard.
#pragma once

#include <optional>
#include <string>

namespace ptu {

// The full usage text of "ptu --help": every switch with one line.
std::string usageText();

// When the first argument is exactly "--version" or "--help", prints the
// version or the usage text on standard output and returns the exit code 0.
std::optional<int> answerInformationRequest(int argc, const char* const* argv);

}  // namespace ptu
