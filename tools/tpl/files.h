// ptu-tpl's inputs and outputs: files and standard input read with a limit,
// data files written, and the output stream's last write checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace ptu::tpl {

// The largest data file decode reads (the largest memory), and the largest
// listing encode reads (every key of six pages with long texts stays far
// below it).
constexpr std::size_t kLargestImage = 8192;
constexpr std::size_t kLargestListing = std::size_t(16) << 20;

// Reads at most `limit` bytes of the file `name` ("-": `in`) into `data`, in
// pieces, so that an endless input costs no more than the limit. On failure
// `why` holds the system's reason.
bool readInput(const std::string& name, std::istream& in, std::size_t limit, std::string& data, std::string& why);

// Reads a listing (at most kLargestListing) into `text`. Returns EXIT_OK, or
// the exit code having said why on `err`.
int readListing(const std::string& name, std::istream& in, std::string& text, std::ostream& err);

// Writes the image to the file `name`; false with the system's reason.
bool writeFile(const std::string& name, const uint8_t* data, std::size_t n, std::string& why);

// Flushes `out`, whose writes began with errno cleared: false, having said
// "cannot write <what>" and the reason on `err`, when a write failed.
bool flushed(std::ostream& out, std::ostream& err, const char* what);

}  // namespace ptu::tpl
