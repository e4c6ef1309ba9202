#include "tools/tpl/files.h"

#include "tools/tpl/tpl.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <istream>
#include <ostream>

namespace ptu::tpl {

bool readInput(const std::string& name, std::istream& in, std::size_t limit, std::string& data, std::string& why)
{
    data.clear();
    char piece[65536];
    if (name == "-") {
        try {
            while (data.size() < limit && in) {
                in.read(piece, std::streamsize(std::min(sizeof piece, limit - data.size())));
                data.append(piece, std::size_t(in.gcount()));
            }
        } catch (const std::exception& e) {  // a stream that throws on a read error
            why = e.what();
            return false;
        }
        if (in.bad()) why = "read error";
        return !in.bad();
    }
    errno = 0;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    while (data.size() < limit) {
        const std::size_t got = std::fread(piece, 1, std::min(sizeof piece, limit - data.size()), f);
        data.append(piece, got);
        if (got == 0) break;
    }
    const bool failed = std::ferror(f) != 0;
    if (failed) why = std::strerror(errno ? errno : EIO);
    std::fclose(f);
    return !failed;
}

int readListing(const std::string& name, std::istream& in, std::string& text, std::ostream& err)
{
    std::string why;
    if (!readInput(name, in, kLargestListing + 1, text, why)) {
        err << "ptu-tpl: cannot read " << name << ": " << why << "\n";
        return EXIT_IO;
    }
    if (text.size() > kLargestListing) {
        err << "ptu-tpl: " << name << " is longer than " << (kLargestListing >> 20) << " MiB: not a listing\n";
        return EXIT_BAD_INPUT;
    }
    return EXIT_OK;
}

bool writeFile(const std::string& name, const uint8_t* data, std::size_t n, std::string& why)
{
    errno = 0;
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) {
        why = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data, 1, n, f) == n && std::fflush(f) == 0;
    const int e = errno;
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) why = std::strerror(!written && e ? e : errno ? errno : EIO);
    return written && closed;
}

bool flushed(std::ostream& out, std::ostream& err, const char* what)
{
    // A short output may sit in a buffer still: its write error shows only now.
    out.flush();
    if (out) return true;
    err << "ptu-tpl: cannot write " << what << ": " << (errno ? std::strerror(errno) : "write error") << "\n";
    return false;
}

}  // namespace ptu::tpl
