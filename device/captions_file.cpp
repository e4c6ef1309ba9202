#include "device/captions_file.h"

#include "device/replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace ptu {

namespace {

// A captions file of every key of six pages with long escaped captions stays
// far below this; a larger file is not one.
constexpr std::size_t kLargestCaptions = std::size_t(1) << 20;

}  // namespace

std::string captionsPath(const std::string& dataFile) { return dataFile + ".captions"; }

bool saveCaptionsFile(const std::string& path, const std::string& text, std::string& error)
{
    std::error_code ec;
    if (text.empty()) {
        // Only a file (or a link to one) is removed: a device or folder of
        // that name is none of the program's.
        const fs::file_status what = fs::symlink_status(path, ec);
        if (!fs::exists(what)) return true;
        if (!fs::is_regular_file(what) && !fs::is_symlink(what)) {
            error = "cannot remove " + path + ": it is not a file";
            return false;
        }
        if (!fs::remove(path, ec) && ec) {
            error = "cannot remove " + path + ": " + ec.message();
            return false;
        }
        return true;
    }
    ReplacingFile f;
    if (!f.open(path) || !f.write(text.data(), text.size()) || !f.commit()) {
        error = f.error().empty() ? "cannot write " + path : f.error();
        f.discard();
        return false;
    }
    return true;
}

CaptionsFile readCaptionsFile(const std::string& path)
{
    CaptionsFile out;
    std::error_code ec;
    const fs::file_status what = fs::status(path, ec);
    if (!fs::exists(what)) return out;
    out.present = true;
    if (!fs::is_regular_file(what)) {
        out.error = "cannot read " + path + ": it is not a file";
        return out;
    }
    errno = 0;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        out.error = "cannot read " + path + ": " + std::strerror(errno);
        return out;
    }
    std::string text;
    char piece[16384];
    std::size_t got = 0;
    while (text.size() <= kLargestCaptions && (got = std::fread(piece, 1, sizeof piece, fp)) > 0)
        text.append(piece, got);
    const bool failed = std::ferror(fp) != 0;
    const int e = errno;
    std::fclose(fp);
    if (failed) {
        out.error = "cannot read " + path + ": " + std::strerror(e ? e : EIO);
        return out;
    }
    if (text.size() > kLargestCaptions) {
        out.error = path + " is larger than 1 MiB: not a captions file";
        return out;
    }
    CaptionsRead read = parseCaptions(text);
    out.lines = std::move(read.lines);
    out.warnings = std::move(read.warnings);
    return out;
}

bool saveCaptions(const State& s, const std::string& dataFile, std::string& error)
{
    return saveCaptionsFile(captionsPath(dataFile), captionsText(s), error);
}

CaptionsFile loadCaptions(State& s, const std::string& dataFile)
{
    CaptionsFile f = readCaptionsFile(captionsPath(dataFile));
    if (!f.error.empty()) return f;
    // Without a file every key has its default label: the names of the
    // file opened before belong to another till.
    applyCaptions(s, f.lines, f.warnings);
    return f;
}

}  // namespace ptu
