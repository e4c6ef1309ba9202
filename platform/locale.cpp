#include "platform/locale.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ptu {

uint16_t languageIdOfLocale(std::string_view locale)
{
    // Drop the codeset and the modifier: "de_DE.UTF-8@euro" is "de_DE".
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string_view language = locale.substr(0, locale.find('_'));

    if (locale == "en_US") return 0x0409;
    if (locale == "en_GB") return 0x0809;
    if (locale == "zh_TW") return 0x0404;
    if (locale == "zh_CN") return 0x0804;
    if (locale == "zh_SG") return 0x1004;
    if (locale == "pt_BR") return 0x0416;
    if (language == "de") return 0x0407;
    if (language == "fr") return 0x040C;
    if (language == "it") return 0x0410;
    if (language == "nb" || language == "no") return 0x0414;
    if (language == "pt") return 0x0816;
    if (language == "es") return 0x0C0A;
    return 0x0409;
}

namespace {

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// A shell word: quotes removed, an unquoted '#' starting a comment.
std::string unquote(std::string_view word)
{
    std::string out;
    char quote = 0;
    for (char c : word) {
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '#' || c == ' ' || c == '\t') {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

// The variable's value when set and not empty, else nullptr.
const char* lookup(const EnvLookup& env, const char* name)
{
    const char* v = env(name);
    return (v && *v) ? v : nullptr;
}

}  // namespace

std::string langOfLocaleFile(std::string_view text)
{
    std::string lang;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        std::string_view line = trim(text.substr(0, nl));
        text = (nl == std::string_view::npos) ? std::string_view{} : text.substr(nl + 1);

        if (line.starts_with("export ") || line.starts_with("export\t"))
            line = trim(line.substr(7));
        if (line.starts_with("LANG=")) lang = unquote(line.substr(5));
    }
    return lang;
}

LanguageIds languageIds(std::string_view localeFileText, const EnvLookup& env)
{
    std::string system = langOfLocaleFile(localeFileText);
    if (system.empty()) {
        if (const char* lang = lookup(env, "LANG")) system = lang;
    }

    const char* user = lookup(env, "LC_ALL");
    if (!user) user = lookup(env, "LC_CTYPE");
    if (!user) user = lookup(env, "LANG");

    const uint16_t lgid = languageIdOfLocale(system);
    return {lgid, lgid, languageIdOfLocale(user ? user : "")};
}

LanguageIds systemLanguageIds()
{
    std::ifstream in("/etc/default/locale");
    std::ostringstream text;
    if (in) text << in.rdbuf();
    return languageIds(text.str(), [](const char* name) { return std::getenv(name); });
}

}  // namespace ptu
