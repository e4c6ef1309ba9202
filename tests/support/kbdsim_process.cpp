#include "tests/support/kbdsim_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef KBDSIM_PATH
#error "KBDSIM_PATH must name the kbdsim binary"
#endif

namespace ptu::test {

namespace fs = std::filesystem;

KbdsimProcess::KbdsimProcess()
{
    socket = dir + "/portgate";
    memory = dir + "/memory.bin";
    pidfile_ = dir + "/kbdsim.pid";
    ::setenv("PORTGATE_SOCKET", socket.c_str(), 1);
    ::setenv("VPTU_SOCKET", (dir + "/vptu").c_str(), 1);
}

KbdsimProcess::~KbdsimProcess()
{
    stop();
    ::unsetenv("PORTGATE_SOCKET");
    ::unsetenv("VPTU_SOCKET");
}

int KbdsimProcess::start(const std::string& args)
{
    std::string cmd = std::string(KBDSIM_PATH) + " --daemon --socket '" + socket + "' --pidfile '" + pidfile_ +
                      "' --memory '" + memory + "' " + args + " >/dev/null 2>&1";
    int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

void KbdsimProcess::stop()
{
    std::ifstream in(pidfile_);
    long pid = 0;
    if (!(in >> pid) || pid <= 0) return;
    ::kill(pid_t(pid), SIGTERM);
    for (int i = 0; i < 500 && fs::exists(pidfile_); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace ptu::test
