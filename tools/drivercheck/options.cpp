#include "tools/drivercheck/drivercheck.h"

#include <charconv>
#include <string_view>

namespace ptu::drivercheck {

namespace {

// Stores an option's value (empty for one that takes none); false with what
// is wrong in `error`.
using Store = bool (*)(Options& o, const std::string& value, std::string& error);

struct OptionSpec {
    std::string_view name;
    std::string_view alias;  // a short name, or empty
    bool takesValue;         // --name VALUE or --name=VALUE
    Store store;
};

template <bool Options::*Flag>
bool flag(Options& o, const std::string&, std::string&)
{
    o.*Flag = true;
    return true;
}

template <std::string Options::*Text>
bool text(Options& o, const std::string& value, std::string&)
{
    o.*Text = value;
    return true;
}

bool deadline(Options& o, const std::string& value, std::string& error)
{
    const char* end = value.data() + value.size();
    auto [p, ec] = std::from_chars(value.data(), end, o.deadlineMs);
    if (ec == std::errc() && p == end && o.deadlineMs > 0) return true;
    error = "--deadline-ms needs a number of milliseconds above 0, not '" + value + "'";
    return false;
}

constexpr OptionSpec kOptions[] = {
    {"--help", "-h", false, flag<&Options::help>},
    {"--version", "", false, flag<&Options::version>},
    {"--write", "", false, flag<&Options::write>},
    {"--socket", "", true, text<&Options::socket>},
    {"--library", "", true, text<&Options::library>},
    {"--deadline-ms", "", true, deadline},
};

const OptionSpec* find(std::string_view arg)
{
    for (const OptionSpec& spec : kOptions)
        if (arg == spec.name || (!spec.alias.empty() && arg == spec.alias)) return &spec;
    return nullptr;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error)
{
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        const OptionSpec* spec = find(arg);
        const bool takesValue = spec && spec->takesValue;
        if (!takesValue && hasValue) {
            error = arg + " takes no value";
            return false;
        }
        if (takesValue && !hasValue) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!spec) {
            error = "unknown argument '" + arg + "'";
            return false;
        }
        if (!spec->store(o, value, error)) return false;
        if (takesValue && value.empty()) {
            error = arg + " needs a value";
            return false;
        }
    }
    if (!o.socket.empty() && !o.library.empty()) {
        error = "--socket and --library name two drivers: give one";
        return false;
    }
    return true;
}

}  // namespace ptu::drivercheck
