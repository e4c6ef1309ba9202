// A file written under a temporary name beside its destination and renamed
// over it only when the whole content is there, so that a transfer that
// fails half-way never destroys the file it was meant to replace. A
// destination that is not a regular file (a device, a pipe) is written in
// place instead, and so is an existing file in a folder that takes no new
// file: its content is kept in memory and written over the old one only by
// commit(), synced, and the file then cut to its new length.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace ptu {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file in the destination's folder. False (with
    // error() set) when the destination cannot be written: a folder, a file
    // the user may not write, a new file in a folder that takes none.
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
    // Why open, write or commit failed, naming the file.
    const std::string& error() const { return error_; }
    // The bytes the file took so far (for a file written in place, once
    // commit() has run).
    size_t written() const { return written_; }

private:
    bool writeInPlace();

    std::FILE* fp_ = nullptr;
    std::string dest_;
    std::string temp_;
    std::string error_;
    bool deferred_ = false;      // written in place by commit()
    std::vector<char> pending_;  // what commit() writes then
    size_t written_ = 0;
};

}  // namespace ptu
