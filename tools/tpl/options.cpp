#include "tools/tpl/options.h"

#include "keydata/listing_text.h"
#include "keydata/models.h"
#include "legend/sheet_plan.h"
#include "tools/tpl/tpl.h"

#include <charconv>
#include <string_view>

namespace ptu::tpl {

Failure bad(std::string message) { return {EXIT_BAD_INPUT, std::move(message)}; }

namespace {

// The commands, as bits of the set of commands an option is for.
enum : unsigned { kDecode = 1, kEncode = 2, kDiff = 4, kLegends = 8, kCheck = 16, kEvery = 31 };

// What a command does with -o.
enum class Output { refused, required, file };  // file: required, and no standard output

struct CommandSpec {
    std::string_view name;
    unsigned bit;
    int inputs;                 // how many it reads: 1, or 2 for diff
    const char* inputMissing;   // said when an input is missing
    Output output;
    const char* outputMessage;  // said when -o is given where refused, or missing where required
};

constexpr CommandSpec kCommands[] = {
    {"decode", kDecode, 1, "decode needs a data file", Output::refused,
     "decode prints its listing; -o is for encode"},
    {"encode", kEncode, 1, "encode needs a listing", Output::required, "encode needs -o FILE"},
    {"diff", kDiff, 2, "diff needs two data files or listings", Output::refused,
     "diff prints its differences; -o is for encode"},
    {"legends", kLegends, 1, "legends needs a data file", Output::file, "legends needs -o OUT.pdf"},
    {"check", kCheck, 1, "check needs a data file or listing", Output::refused,
     "check lists the keys; -o is for encode"},
};

struct OptionSpec;
// Stores an option; `value` is the argument after it, or nullptr where the
// option takes none or none is left.
using Store = std::optional<Failure> (*)(const OptionSpec& spec, const std::string* value, Options& o);

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    unsigned commands;                // the commands that take it
    const char* elsewhere;            // said when another command is given it
    long lo, hi;                      // the range of a number
    Store store;
    bool (*given)(const Options& o);  // whether it was given, for commands that do not take it
};

template <bool Options::*Flag>
std::optional<Failure> flag(const OptionSpec&, const std::string*, Options& o)
{
    o.*Flag = true;
    return std::nullopt;
}

template <int Pad>
std::optional<Failure> pad(const OptionSpec&, const std::string*, Options& o)
{
    o.pad = Pad;
    return std::nullopt;
}

template <std::string Options::*Text>
std::optional<Failure> text(const OptionSpec& spec, const std::string* value, Options& o)
{
    if (!value) return bad(std::string(spec.name) + " needs a file name");
    o.*Text = *value;
    return std::nullopt;
}

template <std::optional<int> Options::*Number>
std::optional<Failure> number(const OptionSpec& spec, const std::string* value, Options& o)
{
    const auto n = value ? parseNumber(*value) : std::nullopt;
    if (!n || *n < spec.lo || *n > spec.hi)
        return bad(std::string(spec.name) + " needs a number " + std::to_string(spec.lo) + ".." +
                   std::to_string(spec.hi));
    o.*Number = int(*n);
    return std::nullopt;
}

std::optional<Failure> memory(const OptionSpec& spec, const std::string* value, Options& o)
{
    if (auto f = number<&Options::memory>(spec, value, o)) return f;
    if (*o.memory != 2048 && *o.memory != 4096 && *o.memory != 8192)
        return bad("--memory must be 2048, 4096 or 8192");
    return std::nullopt;
}

std::optional<Failure> locale(const OptionSpec&, const std::string* value, Options& o)
{
    o.locale = value ? tableSetByTag(*value) : std::nullopt;
    if (!o.locale) return bad("--locale must be us, uk, es, pt, no, it, de or fr");
    return std::nullopt;
}

std::optional<Failure> pitch(const OptionSpec&, const std::string* value, Options& o)
{
    const std::string v = value ? *value : std::string();
    double mm = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), mm);
    if (v.empty() || ec != std::errc() || end != v.data() + v.size() || !(mm >= legend::kMinPitch) ||
        !(mm <= legend::kMaxPitch))
        return bad("--pitch needs the key pitch in millimetres, 10 to 40 (19.05 unless given)");
    o.pitch = mm;
    return std::nullopt;
}

bool captionsGiven(const Options& o) { return !o.captions.empty(); }
bool pitchGiven(const Options& o) { return o.pitch.has_value(); }
bool textsGiven(const Options& o) { return o.texts; }

constexpr OptionSpec kOptions[] = {
    {"-o", true, kEvery, nullptr, 0, 0, text<&Options::output>, nullptr},
    {"--model", true, kEvery, nullptr, 0, kModels - 1, number<&Options::model>, nullptr},
    {"--memory", true, kEvery, nullptr, 0, 8192, memory, nullptr},
    {"--kmax", true, kEvery, nullptr, 0, 175, number<&Options::kmax>, nullptr},
    {"--locale", true, kEvery, nullptr, 0, 0, locale, nullptr},
    {"--captions", true, kDecode | kLegends, "--captions is for decode and legends", 0, 0,
     text<&Options::captions>, captionsGiven},
    {"--pitch", true, kLegends, "--pitch and --texts are for legends", 0, 0, pitch, pitchGiven},
    {"--texts", false, kLegends, "--pitch and --texts are for legends", 0, 0, flag<&Options::texts>, textsGiven},
    {"--usb", false, kEvery, nullptr, 0, 0, flag<&Options::usb>, nullptr},
    {"--strict", false, kEvery, nullptr, 0, 0, flag<&Options::strict>, nullptr},
    // The program's model switches.
    {"-8", false, kEvery, nullptr, 0, 0, flag<&Options::m84>, nullptr},
    {"-7", false, kEvery, nullptr, 0, 0, flag<&Options::m70>, nullptr},
    {"-b", false, kEvery, nullptr, 0, 0, flag<&Options::m17>, nullptr},
    {"-2", false, kEvery, nullptr, 0, 0, pad<2>, nullptr},
    {"-4", false, kEvery, nullptr, 0, 0, pad<1>, nullptr},
    {"-6", false, kEvery, nullptr, 0, 0, flag<&Options::m60>, nullptr},
    {"-x", false, kEvery, nullptr, 0, 0, flag<&Options::noHide>, nullptr},
    {"-n", false, kEvery, nullptr, 0, 0, flag<&Options::raw>, nullptr},
};

template <typename Spec, std::size_t N>
const Spec* find(const Spec (&table)[N], std::string_view name)
{
    for (const Spec& s : table)
        if (s.name == name) return &s;
    return nullptr;
}

// An argument that is no option: the first input, or diff's second.
std::optional<Failure> addInput(const CommandSpec& cmd, const std::string& a, Options& o)
{
    if (o.input.empty()) o.input = a;
    else if (cmd.inputs == 2 && o.input2.empty()) o.input2 = a;
    else
        return bad(std::string(cmd.inputs == 2 ? "two inputs" : "one input") + " only (\"" + a +
                   "\" is one too many)");
    return std::nullopt;
}

// What the command needs and refuses, once every argument is read.
std::optional<Failure> checkCommand(const CommandSpec& cmd, const Options& o)
{
    if (cmd.inputs == 2 && o.input2.empty()) return bad(cmd.inputMissing);
    for (const OptionSpec& spec : kOptions)
        if (!(spec.commands & cmd.bit) && spec.given(o)) return bad(spec.elsewhere);
    if (o.input.empty()) return bad(cmd.inputMissing);
    const bool refused = cmd.output == Output::refused && !o.output.empty();
    const bool missing = cmd.output != Output::refused && o.output.empty();
    if (refused || missing || (cmd.output == Output::file && o.output == "-")) return bad(cmd.outputMessage);
    return std::nullopt;
}

}  // namespace

std::optional<Failure> parseArgs(const std::vector<std::string>& args, Options& o)
{
    if (args.empty()) return bad("a command is needed");
    o.command = args[0];
    const CommandSpec* cmd = find(kCommands, o.command);
    if (!cmd) return bad("unknown command \"" + o.command + "\"");
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const OptionSpec* spec = find(kOptions, a)) {
            const std::string* value = spec->takesValue && i + 1 < args.size() ? &args[++i] : nullptr;
            if (auto f = spec->store(*spec, value, o)) return f;
        } else if (a.size() > 1 && a[0] == '-') {
            return bad("unknown option \"" + a + "\"");
        } else if (auto f = addInput(*cmd, a, o)) {
            return f;
        }
    }
    return checkCommand(*cmd, o);
}

}  // namespace ptu::tpl
