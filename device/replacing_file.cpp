#include "device/replacing_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace ptu {

namespace {

std::string reason(int e) { return e ? std::strerror(e) : "write error"; }

}  // namespace

bool ReplacingFile::open(const std::string& destination)
{
    discard();
    error_.clear();
    if (destination.empty()) {
        error_ = "no file name";
        return false;
    }
    fs::path dest(destination);
    std::error_code ec;
    // A link is followed, as opening the destination itself would do.
    if (fs::is_symlink(dest, ec)) {
        fs::path target = fs::canonical(dest, ec);
        if (!ec) dest = target;
    }
    if (fs::is_directory(dest, ec)) {
        error_ = "cannot create " + destination + ": it is a folder";
        return false;
    }
    // A destination that may not be written stays as it is.
    if (fs::exists(dest, ec)) {
        errno = 0;
        std::FILE* probe = std::fopen(dest.c_str(), "ab");
        if (!probe) {
            error_ = "cannot create " + destination + ": " + reason(errno);
            return false;
        }
        std::fclose(probe);
    }
    dest_ = dest.string();
    fs::path folder = dest.parent_path();
    std::random_device rd;
    for (int tries = 0; tries < 20; ++tries) {
        char tag[16];
        std::snprintf(tag, sizeof tag, ".%08x", unsigned(rd()));
        fs::path temp = folder / ("." + dest.filename().string() + tag + ".part");
        errno = 0;
        // "x": never take over a file that is already there.
        fp_ = std::fopen(temp.c_str(), "wbx");
        if (fp_) {
            temp_ = temp.string();
            return true;
        }
        if (errno != EEXIST) break;
    }
    error_ = "cannot create " + destination + ": " + reason(errno);
    return false;
}

bool ReplacingFile::write(const void* data, size_t n)
{
    return fp_ && std::fwrite(data, 1, n, fp_) == n;
}

bool ReplacingFile::commit()
{
    if (!fp_) {
        if (error_.empty()) error_ = "no file open";
        return false;
    }
    errno = 0;
    bool ok = std::fflush(fp_) == 0 && !std::ferror(fp_);
    int e = errno;
    if (std::fclose(fp_) != 0 && ok) {
        ok = false;
        e = errno;
    }
    fp_ = nullptr;
    std::error_code ec;
    if (!ok) {
        error_ = "cannot write " + dest_ + ": " + reason(e);
    } else {
        const fs::file_status old = fs::status(dest_, ec);
        if (!ec && fs::exists(old)) fs::permissions(temp_, old.permissions(), ec);
        fs::rename(temp_, dest_, ec);
        if (ec) {
            ok = false;
            error_ = "cannot replace " + dest_ + ": " + ec.message();
        }
    }
    if (!ok) fs::remove(temp_, ec);
    temp_.clear();
    return ok;
}

void ReplacingFile::discard()
{
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(temp_, ec);
        temp_.clear();
    }
}

}  // namespace ptu
