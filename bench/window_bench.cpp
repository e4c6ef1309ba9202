// The main window's figures, against kbdsim on Qt's offscreen platform:
//  - BM_StartUp: process start to the main window shown (model 4, six pages),
//    each run a fresh process; "ratio" is that time divided by the 1.5 s of
//    waits the start-up sequence itself asks for (the INFO wait, ten settling
//    passes of 100 ms); "rss_MB" the resident memory of the open window.
//  - BM_PageChange: Page Down with every key holding a 20-character text in a
//    1920 x 1080 window: synckeys plus the repaint of all panels and boxes;
//    "median_ms" is the median over the iterations.
//  - BM_Read8K, BM_Write8K: the Keyboard menu's Read and Write of an 8K
//    keyboard; "ratio" is the wall time over the 2.6 s of tones and waits the
//    commands themselves ask for (their two tones of 500 ms, the transfer's
//    start tone of 100 ms, three INFO waits of 500 ms).
//  - BM_Save8K, BM_Load8K: File > Save and File > Open of a six-page 8K file
//    with every key holding a 20-character text, Open including the refresh
//    of the grid; "median_ms" as above.
//
// kbdsim and the data folder are the build tree's (its bin/ and share/ptu).
#include "bench_sim.h"

#include "app/application.h"
#include "app/window_road.h"
#include "platform/qt/qt_platform.h"
#include "ui/main_window.h"
#include "ui/usb_chooser.h"

#include <benchmark/benchmark.h>

#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace ptu;

namespace {

using bench::quote;

constexpr double kMandatedSeconds = 1.5;
constexpr double kMandatedCommandSeconds = 2.6;
fs::path binDir;
fs::path self;

// kbdsim on a socket of its own; the environment variables point ptu at it.
struct Sim : bench::SimFolder {
    Sim() : SimFolder("ptuwin")
    {
        setenv("PORTGATE_SOCKET", (dir / "portgate").c_str(), 1);
        setenv("VPTU_SOCKET", (dir / "vptu").c_str(), 1);
        setenv("PTU_LOG", (dir / "no-log").c_str(), 1);
        setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
        setenv("PTU_NO_SOUND", "1", 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        start(binDir, " --memory " + bench::quote(dir / "mem.bin"));
    }
};

// Seconds since this process started (10 ms resolution).
double secondsSinceStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(stat)), {});
    const size_t close = s.rfind(')');
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    unsigned long long start = 0;
    for (int i = 3; i <= 22 && rest >> field; ++i)
        if (i == 22) start = std::stoull(field);
    double uptime = 0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime - double(start) / double(sysconf(_SC_CLK_TCK));
}

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

void waitShown(QWidget* w)
{
    for (int i = 0; i < 1000 && !(w->windowHandle() && w->windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents();
        usleep(1000);
    }
}

// The child of BM_StartUp: the program's own start-up up to the shown window.
int startupChild(int argc, char** argv)
{
    PtuApplication app(argc, argv);
    auto st = std::make_unique<State>();
    QtPlatform pf(false);
    std::unique_ptr<TDialog2> usb;
    WindowForms forms;
    if (!openWindow(*st, pf, forms, usb, binDir.string())) return 1;
    waitShown(forms.form.get());
    std::printf("%f %ld\n", secondsSinceStart(), residentKb());
    return 0;
}

void BM_StartUp(benchmark::State& state)
{
    Sim sim;
    if (!sim.ok) return state.SkipWithError("kbdsim did not start");
    double total = 0;
    long rss = 0;
    for (auto _ : state) {
        FILE* p = popen((quote(self) + " --startup-child").c_str(), "r");
        double s = 0;
        long kb = 0;
        const bool got = p && std::fscanf(p, "%lf %ld", &s, &kb) == 2;
        if (p) pclose(p);
        if (!got) return state.SkipWithError("the window did not open");
        state.SetIterationTime(s);
        total += s;
        rss = std::max(rss, kb);
    }
    state.counters["ratio"] = total / double(state.iterations()) / kMandatedSeconds;
    state.counters["rss_MB"] = double(rss) / 1024.0;
}

// The real platform, with file dialogs that answer with one file and
// message boxes that are answered at once (six pages of 20-character texts
// do not all fit an 8K memory: Save and Write name the keys left out).
class BenchPlatform : public QtPlatform {
public:
    BenchPlatform() : QtPlatform(false) {}
    std::string file;
    std::string chooseFile(const FileChoice&) override { return file; }
    int messageBox(const std::string&, const std::string&, int) override { return IDOK; }
};

// A model 4 window on kbdsim, 1920 x 1080, every key holding a 20-character text.
struct OpenWindow {
    int argc = 1;
    char name[13] = "window_bench";
    char* argv[2] = {name, nullptr};
    PtuApplication app{argc, argv};
    std::unique_ptr<State> st = std::make_unique<State>();
    BenchPlatform pf;
    std::unique_ptr<TForm1> form;

    bool open()
    {
        TForm1::Setup setup;
        setup.screen = QRect(0, 0, 1920, 1080);
        setup.dataFolders = dataFolders(binDir.string());
        form = std::make_unique<TForm1>(*st, pf, setup);
        if (!form->FormCreate()) return false;
        for (auto& page : st->kd.hbuf)
            for (auto& row : page)
                for (auto& key : row) key = "{ESC}abcdefghij{F1}";
        form->synckeys();
        form->show();
        waitShown(form.get());
        return true;
    }
};

void reportMedian(benchmark::State& state, std::vector<double>& ms)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
}

// Times `step` per iteration into the manual time and the median.
template <typename F>
void timed(benchmark::State& state, F step)
{
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        step();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(s);
        ms.push_back(s * 1000);
    }
    reportMedian(state, ms);
}

void BM_PageChange(benchmark::State& state)
{
    Sim sim;
    if (!sim.ok) return state.SkipWithError("kbdsim did not start");
    OpenWindow w;
    if (!w.open()) return state.SkipWithError("no window");
    timed(state, [&] {
        w.form->FormKeyDown(VK_NEXT, false);
        w.form->repaint();
    });
}

void keyboardCommand(benchmark::State& state, bool write)
{
    Sim sim;
    if (!sim.ok) return state.SkipWithError("kbdsim did not start");
    OpenWindow w;
    if (!w.open()) return state.SkipWithError("no window");
    double total = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        write ? w.form->Write1Click() : w.form->Read1Click();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(s);
        total += s;
    }
    state.counters["ratio"] = total / double(state.iterations()) / kMandatedCommandSeconds;
}

void BM_Read8K(benchmark::State& state) { keyboardCommand(state, false); }
void BM_Write8K(benchmark::State& state) { keyboardCommand(state, true); }

void dataFile(benchmark::State& state, bool load)
{
    Sim sim;
    if (!sim.ok) return state.SkipWithError("kbdsim did not start");
    OpenWindow w;
    if (!w.open()) return state.SkipWithError("no window");
    w.pf.file = (sim.dir / "keys.tpl").string();
    w.form->Save1Click();
    timed(state, [&] { load ? w.form->Load1Click() : w.form->Save1Click(); });
}

void BM_Save8K(benchmark::State& state) { dataFile(state, false); }
void BM_Load8K(benchmark::State& state) { dataFile(state, true); }

}  // namespace

BENCHMARK(BM_StartUp)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageChange)->UseManualTime()->Iterations(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read8K)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write8K)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save8K)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load8K)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    self = fs::absolute(fs::path(argv[0]));
    binDir = PTU_BIN_DIR;
    if (argc > 1 && std::string(argv[1]) == "--startup-child") return startupChild(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
