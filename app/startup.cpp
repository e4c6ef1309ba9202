#include "app/startup.h"

#include "app/command_line.h"
#include "device/rwkb.h"
#include "platform/posix_platform.h"

#include <cstdlib>
#include <filesystem>

namespace ptu {

std::string driverStartCommand(const std::string& exeDir)
{
    if (const char* c = std::getenv("PORTGATE_START"); c && *c) return c;
    // kbdsim beside the program (in a build tree and in an installed bin/),
    // else the one the shell finds on PATH.
    std::error_code ec;
    if (exeDir.empty() || !std::filesystem::is_regular_file(std::filesystem::path(exeDir) / "kbdsim", ec))
        return "kbdsim --daemon";
    std::string quoted = "'";
    for (char ch : exeDir + "/kbdsim") {
        if (ch == '\'') quoted += "'\\''";
        else quoted += ch;
    }
    return quoted + "' --daemon";
}

std::string driverStartAdvice(const std::string& exe, const std::vector<std::string>& args)
{
    std::vector<const char*> argv{exe.c_str()};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const std::string cp = commandLine(int(argv.size()), argv.data());
    argv.push_back("-K");
    const std::string withK = commandLine(int(argv.size()), argv.data());
    if (asksDriverStart(cp) || !asksDriverStart(withK)) return {};
    std::string advice = shellWord(exe);
    for (const std::string& a : args) advice += " " + shellWord(a);
    return advice + " -K";
}

void startDriver(Platform& pf, const std::string& command)
{
    for (int round = 0; round < 2; ++round) {
        pf.runShell(command);
        for (int i = 0; i < 5; ++i) {
            pf.pump();
            pf.sleep(100);
        }
    }
}

void openLog(State& st, const std::string& path, long now, const std::string& cp)
{
    if (!st.log.openIfExists(path)) return;
    st.log.printf("\n %s\n", logDate(now).c_str());
    st.log.printf("\n cp=%s \n", cp.c_str());
}

int controllerRoad(State& st, Platform& pf)
{
    const int status = rwkb(st, pf, MODE_8042, st.buf.obuf);
    if (status == RWKB_NO_DEVICE) {
        if (const std::string why = pf.deviceProblem(); !why.empty()) pf.warning(why);
    }
    return status;
}

}  // namespace ptu
