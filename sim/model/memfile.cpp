#include "sim/model/memfile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kbdsim {

namespace fs = std::filesystem;

int saveMemoryFile(const std::string& path, const std::vector<uint8_t>& mem)
{
    const std::string tmp = path + ".tmp";
    {
        errno = 0;
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return errno ? errno : EIO;
        out.write(reinterpret_cast<const char*>(mem.data()), std::streamsize(mem.size()));
        out.flush();
        if (!out) {
            std::error_code ignore;
            fs::remove(tmp, ignore);
            return EIO;
        }
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignore;
        fs::remove(tmp, ignore);
        return ec.value() ? ec.value() : EIO;
    }
    return 0;
}

int saveMemoryBlock(const std::string& path, size_t offset, const uint8_t* data, size_t n)
{
    errno = 0;
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!f) return errno ? errno : ENOENT;
    f.seekp(std::streamoff(offset));
    f.write(reinterpret_cast<const char*>(data), std::streamsize(n));
    f.flush();
    return f ? 0 : (errno ? errno : EIO);
}

bool loadMemoryFile(const std::string& path, size_t size, std::vector<uint8_t>& mem,
                    std::vector<std::string>& notes, std::string& error)
{
    std::error_code ec;
    const bool exists = fs::exists(path, ec);
    if (ec) {
        error = path + ": " + ec.message();
        return false;
    }
    if (!exists) {
        mem.assign(size, 0);
        if (int e = saveMemoryFile(path, mem)) {
            error = path + ": cannot create: " + std::generic_category().message(e);
            return false;
        }
        notes.push_back("created " + path + " (" + std::to_string(size) + " zero bytes)");
        return true;
    }
    if (!fs::is_regular_file(path, ec)) {
        error = path + ": not a regular file";
        return false;
    }
    std::ifstream inp(path, std::ios::binary);
    if (!inp) {
        error = path + ": cannot open";
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(inp)), std::istreambuf_iterator<char>());
    if (inp.bad()) {
        error = path + ": read error";
        return false;
    }
    if (bytes.size() != size) {
        notes.push_back(path + " holds " + std::to_string(bytes.size()) + " bytes, resized to " +
                        std::to_string(size) + (bytes.size() < size ? " (padded with zeros)" : " (cut)"));
        bytes.resize(size, 0);
        if (int e = saveMemoryFile(path, bytes)) {
            error = path + ": cannot rewrite: " + std::generic_category().message(e);
            return false;
        }
    }
    mem = std::move(bytes);
    return true;
}

}  // namespace kbdsim
