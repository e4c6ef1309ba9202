// Runs the real kbdsim as a daemon on a socket in a fresh temporary folder,
// and points the program's device paths at it for the life of the object.
#pragma once

#include "tests/support/temp_dir.h"

#include <string>

namespace ptu::test {

class KbdsimProcess {
    TempDir folder_{"ptu-kbdsim-"};

public:
    KbdsimProcess();
    ~KbdsimProcess();
    KbdsimProcess(const KbdsimProcess&) = delete;
    KbdsimProcess& operator=(const KbdsimProcess&) = delete;

    // Starts kbdsim with `args`; returns its exit status (0: it is serving).
    int start(const std::string& args = "");
    void stop();

    std::string dir = folder_.dir().string(), socket, memory;

private:
    std::string pidfile_;
};

}  // namespace ptu::test
