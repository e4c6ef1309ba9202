#include "platform/interruption.h"

#include <csignal>
#include <initializer_list>

namespace ptu {

namespace {

volatile std::sig_atomic_t g_caught = 0;

void onSignal(int sig)
{
    if (g_caught == 0) g_caught = sig;
}

}  // namespace

void catchInterruptions()
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old{};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction sa{};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        ::sigaction(sig, &sa, nullptr);
    }
}

int caughtInterruption() { return int(g_caught); }

}  // namespace ptu
