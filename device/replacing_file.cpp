#include "device/replacing_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ptu {

namespace {

std::string reason(int e) { return e ? std::strerror(e) : "write error"; }

// The file a link leads to, also when that file does not exist yet.
fs::path followLinks(fs::path p)
{
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(p, ec); ++hops) {
        fs::path target = fs::read_symlink(p, ec);
        if (ec) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return p;
}

}  // namespace

bool ReplacingFile::open(const std::string& destination)
{
    discard();
    error_.clear();
    if (destination.empty()) {
        error_ = "no file name";
        return false;
    }
    std::error_code ec;
    const fs::file_status what = fs::status(destination, ec);
    if (fs::is_directory(what)) {
        error_ = "cannot create " + destination + ": it is a folder";
        return false;
    }
    // A device, a pipe or a socket (/dev/stdout, a FIFO) holds nothing a
    // failed read could destroy and must not be renamed over: it is written
    // in place, and only after a whole transfer.
    if (fs::exists(what) && !fs::is_regular_file(what)) {
        errno = 0;
        fp_ = std::fopen(destination.c_str(), "wb");
        if (!fp_) {
            error_ = "cannot create " + destination + ": " + reason(errno);
            return false;
        }
        dest_ = destination;
        return true;
    }
    // A link is followed, as opening the destination itself would do.
    const fs::path dest = followLinks(destination);
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
    const int e = errno;
    // A folder that takes no new file (the user may write the file but not
    // the folder): the existing file is written in place, and only once the
    // whole content is there.
    if (fs::is_regular_file(dest, ec)) {
        deferred_ = true;
        return true;
    }
    error_ = "cannot create " + destination + ": " + reason(e);
    return false;
}

bool ReplacingFile::write(const void* data, size_t n)
{
    if (deferred_) {
        const auto* p = static_cast<const char*>(data);
        pending_.insert(pending_.end(), p, p + n);
        return true;
    }
    return fp_ && std::fwrite(data, 1, n, fp_) == n;
}

bool ReplacingFile::commit()
{
    if (deferred_) {
        deferred_ = false;
        errno = 0;
        fp_ = std::fopen(dest_.c_str(), "wb");
        if (!fp_) {
            error_ = "cannot write " + dest_ + ": " + reason(errno);
            pending_.clear();
            return false;
        }
        const bool written = std::fwrite(pending_.data(), 1, pending_.size(), fp_) == pending_.size();
        pending_.clear();
        if (!written) error_ = "cannot write " + dest_ + ": " + reason(errno);
    }
    if (!fp_) {
        if (error_.empty()) error_ = "no file open";
        return false;
    }
    errno = 0;
    bool ok = std::fflush(fp_) == 0 && !std::ferror(fp_);
    int e = errno;
    // The new content reaches the disk before it takes the old file's name:
    // a power cut then leaves the old file or the new one, never an empty
    // one. A file system that cannot sync (EINVAL) is not an error.
    if (ok && !temp_.empty() && fsync(fileno(fp_)) != 0 && errno != EINVAL) {
        ok = false;
        e = errno;
    }
    if (std::fclose(fp_) != 0 && ok) {
        ok = false;
        e = errno;
    }
    fp_ = nullptr;
    std::error_code ec;
    if (!ok) {
        error_ = "cannot write " + dest_ + ": " + reason(e);
    } else if (!temp_.empty()) {
        const fs::file_status old = fs::status(dest_, ec);
        if (!ec && fs::exists(old)) fs::permissions(temp_, old.permissions(), ec);
        fs::rename(temp_, dest_, ec);
        if (ec) {
            ok = false;
            error_ = "cannot replace " + dest_ + ": " + ec.message();
        }
    }
    if (!ok && !temp_.empty()) fs::remove(temp_, ec);
    temp_.clear();
    return ok;
}

void ReplacingFile::discard()
{
    deferred_ = false;
    pending_.clear();
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
    if (!temp_.empty()) {
        std::error_code ec;
        fs::remove(temp_, ec);
        temp_.clear();
    }
}

}  // namespace ptu
