#include "sim/cli/options.h"

#include "sim/service/service.h"

#include <string_view>

namespace kbdsim {

namespace {

// How an option takes its value.
enum class Takes {
    alone,    // the whole argument: --help, -h
    nothing,  // --name, and --name=VALUE is an error
    value,    // --name VALUE or --name=VALUE
    maybe,    // --name or --name=VALUE
};

struct OptionSpec;
// Stores an option's value; returns what is wrong with it, or "".
using Store = std::string (*)(const OptionSpec& spec, std::string_view value, Options& o);

struct OptionSpec {
    std::string_view name;   // without the dashes
    std::string_view alias;  // the short form of an option taken alone, or empty
    Takes takes;
    Store store;
    uint32_t lo = 0, hi = 0;      // the range of a number
    const char* range = nullptr;  // what is said of a number outside it
};

template <bool Options::*Flag>
std::string flag(const OptionSpec&, std::string_view, Options& o)
{
    o.*Flag = true;
    return {};
}

template <std::string Options::*Text>
std::string text(const OptionSpec&, std::string_view value, Options& o)
{
    o.*Text = value;
    return {};
}

template <uint32_t Options::*Number>
std::string number(const OptionSpec& spec, std::string_view value, Options& o)
{
    uint32_t n = 0;
    const bool ok = parseNumber(value, n) && n >= spec.lo && n <= spec.hi;
    o.*Number = n;
    return ok ? "" : spec.range;
}

bool parseByte(std::string_view v, uint8_t& out)
{
    uint32_t n = 0;
    if (!parseNumber(v, n) || n > 0xFF) return false;
    out = uint8_t(n);
    return true;
}

template <uint8_t Registers::*Reg>
std::string reg(const OptionSpec&, std::string_view value, Options& o)
{
    return parseByte(value, o.cfg.regs.*Reg) ? "" : "a byte value";
}

// A register given here is kept over the one a memory file holds.
template <uint8_t Registers::*Reg, bool Config::*Pin>
std::string pinnedReg(const OptionSpec& spec, std::string_view value, Options& o)
{
    o.cfg.*Pin = true;
    return reg<Reg>(spec, value, o);
}

std::string lowNibbleBase(const OptionSpec&, std::string_view value, Options& o)
{
    if (!parseByte(value, o.cfg.lowNibbleBase) || (o.cfg.lowNibbleBase & 0x0F)) return "a multiple of 16 below 256";
    return {};
}

std::string fault(const OptionSpec& spec, std::string_view value, Options& o)
{
    std::string error;
    if (!addFaultOption(spec.name, value, o.cfg.faults, error) && error.empty()) error = "not understood";
    return error;
}

constexpr OptionSpec kOptions[] = {
    {"help", "-h", Takes::alone, flag<&Options::help>},
    {"version", "", Takes::alone, flag<&Options::version>},
    {"verbose", "-v", Takes::alone, flag<&Options::verbose>},
    {"daemon", "", Takes::nothing, flag<&Options::daemon>},
    {"probe", "", Takes::nothing, flag<&Options::probe>},
    {"stop", "", Takes::nothing, flag<&Options::stop>},
    {"socket", "", Takes::value, text<&Options::socket>},
    {"memory", "", Takes::value, text<&Options::memory>},
    {"pidfile", "", Takes::value, text<&Options::pidfile>},
    {"log", "", Takes::value, text<&Options::logfile>},
    {"r2a", "", Takes::value, reg<&Registers::r2a>},
    {"r2e", "", Takes::value, reg<&Registers::r2e>},
    {"r27", "", Takes::value, pinnedReg<&Registers::r27, &Config::pinR27>},
    {"r28", "", Takes::value, pinnedReg<&Registers::r28, &Config::pinR28>},
    {"r29", "", Takes::value, pinnedReg<&Registers::r29, &Config::pinR29>},
    {"low-nibble-base", "", Takes::value, lowNibbleBase},
    {"delay-ms", "", Takes::value, number<&Options::delayMs>, 0, 600000, "milliseconds up to 600000"},
    {"fail-next", "", Takes::value, fault},
    {"fail-code", "", Takes::value, fault},
    {"short-reply", "", Takes::value, fault},
    {"bad-endmark", "", Takes::value, fault},
    {"no-frame", "", Takes::maybe, fault},
    {"ckmr-nak", "", Takes::value, fault},
    {"block-fail", "", Takes::value, fault},
    {"corrupt-block", "", Takes::value, fault},
    {"drop-after", "", Takes::value, fault},
    {"no-reply", "", Takes::value, fault},
    {"press", "", Takes::value, text<&Options::press>},
    {"slots", "", Takes::value, number<&Options::slots>, 1, 176, "1..176"},
    {"press-gap-ms", "", Takes::value, number<&Options::pressGapMs>, 0, 1000, "milliseconds up to 1000"},
};

// The option an argument names: taken alone, as the whole argument; else
// by its name after "--", without its value.
const OptionSpec* find(std::string_view arg, bool alone)
{
    for (const OptionSpec& spec : kOptions) {
        if ((spec.takes == Takes::alone) != alone) continue;
        const bool aliased = alone && !spec.alias.empty() && arg == spec.alias;
        const bool named = alone ? arg.substr(0, 2) == "--" && arg.substr(2) == spec.name : arg == spec.name;
        if (named || aliased) return &spec;
    }
    return nullptr;
}

int usageError(const std::string& message)
{
    say(message);
    return 2;
}

}  // namespace

int parseArgs(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (const OptionSpec* spec = find(arg, true)) {
            spec->store(*spec, {}, o);
            continue;
        }
        if (arg.substr(0, 2) != "--") return usageError("unexpected argument '" + std::string(arg) + "' (try --help)");
        std::string_view name = arg.substr(2);
        std::string_view value;
        bool hasValue = false;
        if (auto eq = name.find('='); eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        const OptionSpec* spec = find(name, false);
        if (!spec) return usageError("unknown option --" + std::string(name) + " (try --help)");
        if (spec->takes == Takes::nothing && hasValue)
            return usageError("--" + std::string(name) + " takes no value");
        if (spec->takes == Takes::value && !hasValue) {
            if (i + 1 >= argc) return usageError("--" + std::string(name) + " needs a value (try --help)");
            value = argv[++i];
        }
        const std::string error = spec->store(*spec, value, o);
        if (!error.empty())
            return usageError("bad value in --" + std::string(name) + " " + std::string(value) + ": " + error);
    }
    return 0;
}

}  // namespace kbdsim
