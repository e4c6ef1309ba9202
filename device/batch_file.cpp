#include "device/batch_file.h"

#include "device/transfer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace ptu {

namespace {

constexpr size_t kLargestImage = 8192;

bool isImageSize(size_t n) { return n == 2048 || n == 4096 || n == 8192; }

// Reads at most one byte more than the largest image, so that /dev/zero or
// a huge file is told apart without reading it all.
bool readSource(Platform& pf, const std::string& name, std::vector<uint8_t>& out)
{
    errno = 0;
    std::FILE* fp = std::fopen(name.c_str(), "rb");
    if (!fp) {
        pf.warning("cannot open " + name + ": " + std::strerror(errno));
        return false;
    }
    out.assign(kLargestImage + 1, 0);
    errno = 0;
    const size_t got = std::fread(out.data(), 1, out.size(), fp);
    const int e = errno;
    const bool failed = std::ferror(fp) != 0;
    std::fclose(fp);
    if (failed) {
        pf.warning("cannot read " + name + ": " + std::strerror(e ? e : EIO));
        return false;
    }
    out.resize(got);
    return true;
}

}  // namespace

int prepareBatchFile(Platform& pf, const std::string& text, bool block, BatchFile& file)
{
    file.text = text;
    const std::optional<FileOption> opt = block ? blockOption(text) : singleOption(text);
    if (!opt) {
        pf.warning(block ? "-R or -W must be the first switch on the command line"
                         : "-r or -w must start a word of the command line");
        return XFER_NO_OPTION;
    }
    file.opt = *opt;
    const bool reading = opt->reads();
    const int refused = reading ? XFER_CANNOT_CREATE : XFER_CANNOT_OPEN;
    if (opt->name.empty()) {
        pf.warning(std::string("-") + opt->option + " needs a file name (one that begins with \"-\" is written ./-name)");
        return refused;
    }
    if (opt->hasQuote) {
        pf.warning("a file name holding a double quote is not taken (" + opt->name +
                   "): rename the file; nothing was transferred");
        return refused;
    }
    if (reading) {
        if (!file.out.open(opt->name)) {
            pf.warning(file.out.error());
            return refused;
        }
        return XFER_OK;
    }
    if (!readSource(pf, opt->name, file.source)) return refused;
    const size_t n = file.source.size();
    if (!isImageSize(n)) {
        pf.warning(opt->name + " is no keyboard image: it holds " +
                   (n > kLargestImage ? "more than 8192" : std::to_string(n)) +
                   " bytes, a keyboard's memory 2048, 4096 or 8192; nothing was written");
        return refused;
    }
    return XFER_OK;
}

int checkSourceSize(Platform& pf, const BatchFile& file, int kbb)
{
    if (file.source.size() == size_t(kbb)) return XFER_OK;
    pf.warning(file.opt.name + " holds " + std::to_string(file.source.size()) + " bytes, the keyboard's memory " +
               std::to_string(kbb) + " bytes: nothing was written");
    return XFER_CANNOT_OPEN;
}

}  // namespace ptu
