// The Windows language identifiers that choose the key tables, derived from
// the POSIX locale: the system's from /etc/default/locale (else LANG), the
// user's from LC_ALL, else LC_CTYPE, else LANG.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ptu {

struct LanguageIds {
    uint32_t lcid;   // system default locale identifier
    uint16_t lgid;   // system default language identifier
    uint16_t ulgid;  // user default language identifier
};

// The language identifier of a locale name such as "de_DE.UTF-8" or
// "sr_RS@latin": en_US 0x0409, en_GB 0x0809, zh_TW 0x0404, zh_CN 0x0804,
// zh_SG 0x1004, de 0x0407, fr 0x040C, it 0x0410, nb and no 0x0414, pt_BR
// 0x0416, other pt 0x0816, es 0x0C0A (any territory where none is named);
// anything else, the empty name included, 0x0409.
uint16_t languageIdOfLocale(std::string_view locale);

// The value given to LANG in the text of /etc/default/locale (shell syntax:
// comments, "export", quotes; the last assignment counts), or "" when none.
std::string langOfLocaleFile(std::string_view text);

// Looks up an environment variable; nullptr when it is not set.
using EnvLookup = std::function<const char*(const char*)>;

// The identifiers from the text of /etc/default/locale ("" when the file is
// missing) and an environment. A variable set to "" counts as not set.
LanguageIds languageIds(std::string_view localeFileText, const EnvLookup& env);

// The identifiers of this machine and process: /etc/default/locale and the
// process environment.
LanguageIds systemLanguageIds();

}  // namespace ptu
