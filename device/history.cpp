#include "device/history.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace ptu {

namespace fs = std::filesystem;

namespace {

// "20261208-140327-read-model4.tpl", with "_2", "_3" ... before ".tpl" when
// one second saw several images.
bool parseName(const std::string& name, HistoryEntry& e)
{
    int y, mo, d, h, mi, s, model;
    char dir[8] = {};
    if (std::sscanf(name.c_str(), "%4d%2d%2d-%2d%2d%2d-%5[a-z]-model%d", &y, &mo, &d, &h, &mi, &s, dir, &model) != 8)
        return false;
    const std::string direction = dir;
    if (direction != "read" && direction != "write") return false;
    char when[24];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", y, mo, d, h, mi, s);
    e.when = when;
    e.written = direction == "write";
    e.model = model;
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".tpl") == 0;
}

// The kept images, oldest first (the names sort by time).
std::vector<fs::path> keptFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        HistoryEntry e;
        if (it->is_regular_file(ec) && parseName(it->path().filename().string(), e)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::string keepImage(Platform& pf, bool written, int kbt_f, std::span<const uint8_t> image)
{
    const std::string folder = pf.historyFolder();
    if (folder.empty() || image.empty()) return {};
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        pf.warning("the image was not kept in the history: cannot create " + folder + ": " + ec.message());
        return {};
    }
    const std::time_t now = std::time_t(pf.now());
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    const std::string base = std::string(stamp) + (written ? "-write" : "-read") + "-model" + std::to_string(kbt_f);
    fs::path path = fs::path(folder) / (base + ".tpl");
    for (int n = 2; fs::exists(path, ec) && n < 1000; ++n) path = fs::path(folder) / (base + "_" + std::to_string(n) + ".tpl");

    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    f.close();
    if (!f) {
        fs::remove(path, ec);
        pf.warning("the image was not kept in the history: cannot write " + path.string());
        return {};
    }
    const std::vector<fs::path> files = keptFiles(folder);
    for (size_t i = 0; i + kHistoryKept < files.size(); ++i) fs::remove(files[i], ec);
    return path.string();
}

std::vector<HistoryEntry> listHistory(const std::string& folder)
{
    std::vector<HistoryEntry> out;
    if (folder.empty()) return out;
    const std::vector<fs::path> files = keptFiles(folder);
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        HistoryEntry e;
        parseName(it->filename().string(), e);
        e.path = it->string();
        out.push_back(std::move(e));
    }
    return out;
}

}  // namespace ptu
