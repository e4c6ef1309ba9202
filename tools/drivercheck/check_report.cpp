#include "tools/drivercheck/check_report.h"

namespace ptu::drivercheck {

namespace {
constexpr size_t kNameColumn = 18;
}

void Report::line(const std::string& op, const char* verdict, const std::string& text)
{
    std::string name = op;
    if (name.size() < kNameColumn) name.resize(kNameColumn, ' ');
    out_ << name << " " << verdict << (*verdict ? " " : "") << text << "\n";
    out_.flush();
}

std::string took(long long ms) { return "in " + std::to_string(ms) + " ms"; }

}  // namespace ptu::drivercheck
