// Wall time of the batch block transfers "ptu -R" and "ptu -W" of an 8K
// keyboard against kbdsim, set against the waits and tones the batch
// sequence itself asks for. The counter "ratio" is wall time divided by
// those mandated 3 s; everything above 1 is the program's own overhead
// (start-up, 512 block requests, the message pump passes, the file).
//
// ptu and kbdsim are the build tree's (its bin/).
#include "bench_sim.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

using ptu::bench::quote;

// Opening tone 500 ms and wait 500 ms, the one INFO attempt's 500 ms wait,
// the closing tone 500 ms, the two closing INFO waits of 500 ms.
constexpr double kMandatedSeconds = 3.0;

fs::path binDir;

// The memory file mem.bin and its copy in.bin hold the same 8K of noise;
// kbdsim keeps its memory in mem.bin (a write updates each block there in
// place), as a daemon always keeps it in some file.
struct Sim : ptu::bench::SimFolder {
    std::string env;

    Sim() : SimFolder("ptu-bench-")
    {
        std::ofstream mem(dir / "mem.bin", std::ios::binary);
        std::mt19937 gen(7);
        for (int i = 0; i < 8192; ++i) mem.put(char(gen() & 0xFF));
        mem.close();
        fs::copy_file(dir / "mem.bin", dir / "in.bin");
        env = "env -u DISPLAY -u WAYLAND_DISPLAY PTU_NO_SOUND=1 PTU_LOG=" + quote(dir / "no-log") +
              " XDG_STATE_HOME=" + quote(dir / "state") + " PORTGATE_SOCKET=" + quote(dir / "portgate") +
              " VPTU_SOCKET=" + quote(dir / "vptu") + " ";
        start(binDir, " --memory " + quote(dir / "mem.bin"));
    }
};

void batchTransfer(benchmark::State& state, const char* option, const char* file)
{
    Sim sim;
    if (!sim.ok) {
        state.SkipWithError("kbdsim did not start");
        return;
    }
    const std::string cmd = "cd " + quote(sim.dir) + " && " + sim.env + quote(binDir / "ptu") + " " + option + " " +
                            file + " 2>/dev/null";
    double total = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int rc = std::system(cmd.c_str());
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (rc != 0) {
            state.SkipWithError("ptu failed");
            return;
        }
        state.SetIterationTime(s);
        total += s;
    }
    state.counters["ratio"] = total / double(state.iterations()) / kMandatedSeconds;
}

void BM_BatchRead8K(benchmark::State& state) { batchTransfer(state, "-R", "out.bin"); }
void BM_BatchWrite8K(benchmark::State& state) { batchTransfer(state, "-W", "in.bin"); }

}  // namespace

BENCHMARK(BM_BatchRead8K)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchWrite8K)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    binDir = PTU_BIN_DIR;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
