// A diagnostic log written to memory, so that a test can read its lines.
// Attach it to a log that outlives it.
#pragma once

#include "platform/log.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ptu::test {

class MemoryLog {
public:
    explicit MemoryLog(Log& log) : log_(log), fp_(open_memstream(&text_, &size_)) { log_.attach(fp_); }
    ~MemoryLog()
    {
        if (log_.log_fp == fp_) log_.close();
        if (fp_) std::fclose(fp_);
        std::free(text_);
    }
    MemoryLog(const MemoryLog&) = delete;

    // Everything written so far, also after the log was closed.
    std::string text()
    {
        std::fflush(fp_);
        return std::string(text_, size_);
    }
    bool has(const std::string& line) { return text().find(line) != std::string::npos; }

private:
    Log& log_;
    char* text_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* fp_;
};

}  // namespace ptu::test
