// The real platform below the window system: sleeps, ALSA tones, the clock,
// the driver device as a Unix socket. The window-system parts (pump, boxes)
// are plain here and replaced by the Qt platform.
#pragma once

#include "platform/platform.h"

#include <string>

namespace ptu {

class PosixPlatform : public Platform {
public:
    void sleep(int ms) override;
    long now() override;
    long long clockMs() override;
    void beep(int freq, int ms) override;
    void messageBeep() override;
    void pump() override {}
    int messageBox(const std::string& text, const std::string& caption, int flags) override;
    int lastError() override { return last_; }
    void setLastError(int e) override { last_ = e; }
    DevHandle openDevice(Device d) override;
    bool request(DevHandle h, uint32_t code, uint8_t* buf, uint32_t inLen, uint32_t outLen,
                 uint32_t& returned) override;
    void closeDevice(DevHandle h) override;
    int runShell(const std::string& command) override;
    int interruption() override;
    void warning(const std::string& line) override;
    std::string deviceProblem() override;
    std::string deviceName() override;
    // $XDG_STATE_HOME/ptu/history, else ~/.local/state/ptu/history.
    std::string historyFolder() override;
    DlLibrary& library() override { return lib_; }
    unsigned long versionNumber() override;
    int runProgram(const std::string& path, const std::vector<std::string>& argv) override;

    // Where a library is looked up before the dynamic loader's search: the
    // executable's folder.
    void setLibraryDir(std::string dir) { lib_.setExeDir(std::move(dir)); }

    // The driver socket to connect to instead of $PORTGATE_SOCKET (and its
    // default); with one named, no second device is tried.
    void setDeviceSocket(std::string path) { socket_ = std::move(path); }

    // A command line that would start the driver itself (the run's own with
    // " -K"), offered by deviceProblem besides starting kbdsim by hand; ""
    // offers none.
    void setStartAdvice(std::string command) { startAdvice_ = std::move(command); }

    // How long a request with this code may take, sent and answered.
    virtual int requestDeadlineMs(uint32_t code) const;

private:
    int last_ = 0;
    // Why each device (portgate, vptu) failed to open the last time.
    struct OpenFailure {
        std::string path;
        int error = 0;
    };
    OpenFailure failed_[2];
    DlLibrary lib_;
    std::string socket_;
    std::string startAdvice_;
};

// A word as the shell reads it back unchanged: as it is when it holds only
// safe characters, else in single quotes.
std::string shellWord(const std::string& word);
// The folder of the running program's file ("" when it cannot be found).
std::string programFolder();
// The kbdsim to name in advice: the one beside the running program, else
// the one the shell finds on PATH.
std::string kbdsimCommand();

}  // namespace ptu
