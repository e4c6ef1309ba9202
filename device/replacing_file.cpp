#include "device/replacing_file.h"

#include "platform/file_sync.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

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
    dest_ = destination;
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
    if (!fp_) return false;
    const size_t put = std::fwrite(data, 1, n, fp_);
    written_ += put;
    if (put != n && error_.empty()) error_ = "cannot write " + dest_ + ": " + reason(errno);
    return put == n;
}

// The existing file of a folder that takes no new file: the whole content
// goes over the old one from its start (a failure half-way leaves the file
// no shorter than it was), reaches the disk, and only then is the file cut
// to the new length.
bool ReplacingFile::writeInPlace()
{
    deferred_ = false;
    errno = 0;
    fp_ = std::fopen(dest_.c_str(), "r+b");
    if (!fp_) {
        error_ = "cannot write " + dest_ + ": " + reason(errno);
        pending_.clear();
        return false;
    }
    errno = 0;
    written_ = std::fwrite(pending_.data(), 1, pending_.size(), fp_);
    int e = written_ == pending_.size() ? 0 : (errno ? errno : EIO);
    if (!e) e = syncFile(fp_);
    if (!e) e = truncateFile(fp_, (long long)pending_.size());
    if (!e) e = syncFile(fp_);
    pending_.clear();
    if (e) error_ = "cannot write " + dest_ + ": " + reason(e);
    return e == 0;
}

bool ReplacingFile::commit()
{
    bool ok = deferred_ ? writeInPlace() : fp_ && error_.empty();
    if (!fp_) {
        if (error_.empty()) error_ = "cannot write " + (dest_.empty() ? std::string("the file") : dest_) + ": not open";
        return false;
    }
    // The new content reaches the disk before it takes the old file's name:
    // a power cut then leaves the old file or the new one, never an empty
    // one.
    int e = 0;
    if (ok && (e = syncFile(fp_)) != 0) ok = false;
    errno = 0;
    if (std::fclose(fp_) != 0 && ok) {
        ok = false;
        e = errno;
    }
    fp_ = nullptr;
    std::error_code ec;
    if (!ok) {
        if (error_.empty()) error_ = "cannot write " + dest_ + ": " + reason(e);
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
    written_ = 0;
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
