// A fresh folder of the test's own under /tmp, removed with all it holds
// when the test is done. The random part of its name holds letters and
// digits only, so a stem without "-" gives a path that can stand in a
// scanned command line.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace ptu::test {

class TempDir {
public:
    explicit TempDir(const std::string& stem = "ptutest")
    {
        std::string name = "/tmp/" + stem + "XXXXXX";
        if (::mkdtemp(name.data())) dir_ = name;
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // The names of what the folder holds, sorted.
    std::vector<std::string> files() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace ptu::test
