#include "device/data_file.h"

#include "device/hid.h"
#include "device/identify.h"
#include "device/replacing_file.h"
#include "keydata/decode.h"
#include "keydata/fcode.h"
#include "keydata/image_build.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace ptu {

std::vector<KeyRef> buildDataFile(State& s)
{
    return buildImage(s, true, [](State& st) { sc2hid(st, st.buf.ibuf); });
}

bool saveDataFile(const State& s, const std::string& path, std::string& error, SaveTrace* trace)
{
    const int kbb = std::clamp(s.mv.kbb_f, 0, kImageBufSize);
    ReplacingFile f;
    const bool saved = f.open(path) && f.write(s.buf.ibuf.data(), size_t(kbb)) && f.commit();
    if (trace) {
        trace->written = long(f.written());
        trace->last = saved && kbb > 0 ? int(s.buf.ibuf[size_t(kbb - 1)]) : -1;
    }
    if (!saved) {
        error = f.error().empty() ? "cannot write " + path : f.error();
        f.discard();
    }
    return saved;
}

FileCheck checkDataFile(const State& s, std::span<const uint8_t> bytes, long long size)
{
    FileCheck out;
    const long long kbb = s.mv.kbb_f;
    const std::string sizes = std::to_string(size) + " bytes; an image of this keyboard has " + std::to_string(kbb);
    if (size < kbb || bytes.size() < size_t(kbb) || kbb < 3) {
        out.shortText = "The file holds " + sizes + ".";
        return out;
    }
    std::vector<std::string> doubts;
    if (size > kbb) doubts.push_back(sizes);
    const uint8_t* tail = bytes.data() + kbb - 3;
    if (tail[0] != 0x55 || tail[1] != 0xAA || tail[2] != 0xD6) doubts.push_back("no data-file signature at its end");
    for (const std::string& d : doubts) out.doubts += (out.doubts.empty() ? "" : "; ") + d;
    return out;
}

int readDataFile(State& s, const std::string& path, std::string& error, long long* size)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status what = fs::status(path, ec);
    if (ec || !fs::exists(what)) {
        error = "cannot open " + path + ": " + (ec ? ec.message() : std::string("no such file"));
        return -1;
    }
    if (!fs::is_regular_file(what)) {
        error = "cannot open " + path + ": it is not a file";
        return -1;
    }
    errno = 0;
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return -1;
    }
    const size_t n = std::fread(s.buf.rbuf.data(), 1, s.buf.rbuf.size(), fp);
    const bool failed = std::ferror(fp);
    const int e = errno;
    std::fclose(fp);
    if (failed) {
        error = "cannot read " + path + ": " + std::strerror(e ? e : EIO);
        return -1;
    }
    if (size) {
        const std::uintmax_t whole = fs::file_size(path, ec);
        *size = ec ? (long long)n : (long long)std::max<std::uintmax_t>(whole, n);
    }
    return int(n);
}

LoadOutcome loadDataFile(State& s, int n)
{
    LoadOutcome out;
    const int kbb = s.mv.kbb_f;
    if (n < kbb || kbb <= 16) return out;  // refused: nothing changes
    out.whole = true;
    const uint8_t* raw = s.buf.rbuf.data();
    Registers& rg = s.rg;
    rg.r29 = raw[kbb - 4];
    rg.r28 = raw[kbb - 5];
    rg.r27 = raw[kbb - 6];
    std::memcpy(s.kd.magcfg.data(), raw + kbb - 16, s.kd.magcfg.size());
    if (!s.fl.usb_f) {
        readNormalise(s);
        if (s.fl.m17_f) rg.r28 &= 0x7D;
    } else {
        rg.ldt = raw[0];
        out.otherModel = (rg.r2a & 0x1F) != (raw[kbb - 4] & 0x1F);
        rg.r29 = raw[kbb - 7];
    }
    hid2sc(s, s.buf.rbuf);
    rtoh(s, n);
    if (s.fl.hide_f) fcode(s);
    return out;
}

DecodedImage decodeImage(const State& s, std::span<const uint8_t> image)
{
    auto scratch = std::make_unique<State>();
    scratch->fl = s.fl;
    scratch->mv = s.mv;
    scratch->rg = s.rg;
    scratch->loc = s.loc;
    const size_t n = std::min(image.size(), scratch->buf.rbuf.size());
    std::copy_n(image.begin(), n, scratch->buf.rbuf.begin());
    DecodedImage out;
    out.whole = loadDataFile(*scratch, int(n)).whole;
    out.hbuf = std::move(scratch->kd.hbuf);
    out.rg = scratch->rg;
    out.magcfg = scratch->kd.magcfg;
    return out;
}

}  // namespace ptu
