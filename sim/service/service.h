// The kbdsim service loop: every connection at once on one thread, so that a
// client that connects and says nothing never keeps another waiting. One
// connection is one device handle and may carry several requests; the
// firmware answers them one at a time, in the order they become complete.
#pragma once

#include "sim/model/firmware.h"

#include <csignal>
#include <cstdint>
#include <string>

namespace kbdsim {

// A connection that sends no complete request for this long (after it was
// opened or after its last reply went out), or does not take its reply in
// that time, is closed. The program's own pauses between two requests on one
// handle (a failed block's five tones and waits) stay well below it.
constexpr int kIdleDeadlineMs = 5000;

struct ServiceOptions {
    bool verbose = false;   // one line per request on standard error
    uint32_t delayMs = 0;   // wait before every reply
};

// One diagnostic line on standard error: "kbdsim: " and the text.
void say(const std::string& s);

// Serves the listening socket `lfd` until `stop` is set.
void serve(int lfd, Firmware& fw, const ServiceOptions& o, const volatile std::sig_atomic_t& stop);

}  // namespace kbdsim
