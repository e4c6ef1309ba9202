// kbdsim as a daemon on a socket of its own, in a fresh temporary folder,
// for the benchmarks that run the real program against the emulated keyboard.
// The folder and the daemon go when the object does.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace ptu::bench {

// A path in single quotes for the shell (the benchmarks' own folders hold no
// quote).
inline std::string quote(const std::filesystem::path& p)
{
    return "'" + p.string() + "'";
}

struct SimFolder {
    std::filesystem::path dir;
    bool ok = false;

    explicit SimFolder(const std::string& prefix)
    {
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / (prefix + std::to_string(rd()));
        std::filesystem::create_directories(dir);
    }
    SimFolder(const SimFolder&) = delete;
    SimFolder& operator=(const SimFolder&) = delete;

    // Starts kbdsim from binDir on dir/portgate; extra: more of its options.
    void start(const std::filesystem::path& binDir, const std::string& extra = {})
    {
        const std::string cmd = quote(binDir / "kbdsim") + " --daemon --socket " + quote(dir / "portgate") +
                                " --pidfile " + quote(dir / "pid") + extra;
        ok = std::system(cmd.c_str()) == 0;
    }

    ~SimFolder()
    {
        if (ok) (void)std::system(("kill $(cat " + quote(dir / "pid") + ") 2>/dev/null; sleep 0.2").c_str());
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace ptu::bench
