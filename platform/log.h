// The diagnostic log. It is used only when its file already exists at start:
// the file is then emptied and every trace line of the run goes into it.
#pragma once

#include <cstdio>
#include <string>

namespace ptu {

class Log {
public:
    Log() = default;
    ~Log() { close(); }
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Where the log lives: $PTU_LOG, else "/ptu.log".
    static std::string defaultPath();

    // Opens `path` for writing (emptying it) only if it already exists.
    // Returns whether the log is open.
    bool openIfExists(const std::string& path);
    // Writes into an already open stream (tests use a memory stream).
    void attach(FILE* fp) { close(); log_fp = fp; owned_ = false; }
    void close();
    bool isOpen() const { return log_fp != nullptr; }

    void printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    FILE* log_fp = nullptr;

private:
    bool owned_ = true;
};

// The 24-character local date and time of the log header,
// "Mon Dec  7 20:38:51 2026".
std::string logDate(long t);

}  // namespace ptu
