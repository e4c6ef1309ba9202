// A file written under a temporary name beside its destination and renamed
// over it only when the whole content is there, so that a transfer that
// fails half-way never destroys the file it was meant to replace. A
// destination that is not a regular file (a device, a pipe) is written in
// place instead.
#pragma once

#include <cstdio>
#include <string>

namespace ptu {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file in the destination's folder. False (with
    // error() set) when the folder cannot take it or the destination is a
    // folder itself.
    bool open(const std::string& destination);
    std::FILE* fp() const { return fp_; }
    bool write(const void* data, size_t n);

    // Closes the temporary and renames it over the destination (taking the
    // destination's permissions when it exists). On any failure the
    // temporary is removed, the destination is left as it was and error()
    // says why. A destination written in place is closed.
    bool commit();
    // Closes and removes the temporary; the destination is not touched
    // (one written in place has had nothing written to it yet).
    void discard();

    const std::string& temporary() const { return temp_; }
    const std::string& error() const { return error_; }

private:
    std::FILE* fp_ = nullptr;
    std::string dest_;
    std::string temp_;
    std::string error_;
};

}  // namespace ptu
