#include "sim/model/functions.h"

#include "sim/model/faults.h"

#include <cctype>
#include <string>

namespace kbdsim {

namespace {

struct Named {
    uint32_t fn;
    const char* name;
};

constexpr Named kNames[] = {
    {kInfo, "info"},       {kRead, "read"},   {kWrite, "write"},         {kKeyP, "keyp"},
    {kDsab, "dsab"},       {kEnab, "enab"},   {kDsab1, "dsab1"},         {kEnab1, "enab1"},
    {kCtl8042, "8042"},    {kCkmr, "ckmr"},   {kBlockRead, "bread"},     {kBlockWrite, "bwrite"},
};

}  // namespace

uint32_t functionOf(uint32_t code)
{
    if (code >> 16 != kDeviceType) return 0;
    if (code & 0xC003) return 0;  // access bits and method must be zero
    return code >> 2 & 0xFFF;
}

const char* functionName(uint32_t fn)
{
    for (const auto& n : kNames)
        if (n.fn == fn) return n.name;
    return "?";
}

bool parseFunction(std::string_view s, uint32_t& fn)
{
    std::string lower;
    for (char c : s) lower += char(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& n : kNames)
        if (lower == n.name) {
            fn = n.fn;
            return true;
        }
    uint32_t v = 0;
    if (!parseNumber(s, v) || v == 0 || v > 0xFFF) return false;
    fn = v;
    return true;
}

}  // namespace kbdsim
