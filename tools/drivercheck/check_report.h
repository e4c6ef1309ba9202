// The checker's output: one line per operation, its name in a column of its
// own, then OK and what was seen, or FAULT and what was wrong, or SKIPPED
// and why it was not run.
#pragma once

#include <ostream>
#include <string>

namespace ptu::drivercheck {

class Report {
public:
    explicit Report(std::ostream& out) : out_(out) {}

    void ok(const std::string& op, const std::string& seen) { line(op, "OK     ", seen); }
    void fault(const std::string& op, const std::string& wrong)
    {
        failed_ = true;
        line(op, "FAULT  ", wrong);
    }
    void skipped(const std::string& op, const std::string& why) { line(op, "SKIPPED", why); }
    // The closing line: what the keyboard said it is.
    void keyboard(const std::string& what) { line("keyboard", "", what); }

    bool failed() const { return failed_; }

private:
    void line(const std::string& op, const char* verdict, const std::string& text);

    std::ostream& out_;
    bool failed_ = false;
};

// "N ms" of a request.
std::string took(long long ms);

}  // namespace ptu::drivercheck
