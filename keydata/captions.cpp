#include "keydata/captions.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace ptu {

const std::array<const char*, kCaptionBuffers> kCaptionFileNames = {
    "uptu.ini", "ptu.ini",      "ptu84.ini",    "ptu.ini",     "ptu40.ini", "ptu40kp1.ini", "ptu102.ini",
    "ptu.ini",  "ptu.ini",      "ptu17.ini",    "ptu40kp2.ini", "ptu40dt.ini", "ptu70.ini",
};

std::string findDataFile(const std::vector<std::string>& folders, const std::string& name)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const std::string& f : folders) {
        fs::path p = fs::path(f) / name;
        if (fs::exists(p, ec)) return p.string();
    }
    return (fs::path(folders.empty() ? std::string(".") : folders.front()) / name).string();
}

FirstLine readFirstLine(const std::string& path, std::size_t maxRead)
{
    FirstLine out;
    // Only a regular file is read: a fifo would block and a device never end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return out;
    std::FILE* fp = std::fopen(path.c_str(), "r");
    if (!fp) return out;
    out.opened = true;
    out.fp = fp;
    std::string line(maxRead + 1, '\0');
    if (std::fgets(line.data(), int(line.size()), fp)) {
        out.hasLine = true;
        line.resize(std::char_traits<char>::length(line.c_str()));
        out.raw = line;
        for (char c : line) {
            if (c < 0x20 || c > 0x7E) break;
            out.text += c;
        }
    }
    std::fclose(fp);
    return out;
}

void getCaps(const std::string& path, std::string& cap, Log& log)
{
    FirstLine l = readFirstLine(path, kCaptionLineMax);
    log.printf(" in getCaps, fn=%s, fd=%p \n", path.c_str(), l.fp);
    if (!l.opened) {
        cap = kMissingCaption;
        return;
    }
    if (!l.hasLine) return;
    log.printf(" ss=%s| \n", l.raw.c_str());
    cap = l.text.substr(0, kCaptionMax);
    log.printf(" cap=%s| \n", cap.c_str());
}

CaptionBuffers readCaptions(const std::vector<std::string>& folders, Log& log)
{
    CaptionBuffers caps;
    for (int i = 0; i < kCaptionBuffers; ++i) {
        caps[size_t(i)] = i == CAP_USB ? kUsbBuiltInCaption : kBuiltInCaption;
        getCaps(findDataFile(folders, kCaptionFileNames[size_t(i)]), caps[size_t(i)], log);
    }
    return caps;
}

}  // namespace ptu
