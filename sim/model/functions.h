// The functions of the keyboard driver device and their request codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace kbdsim {

// Request codes: device type 0x80FF, buffered method, any access; the
// function number sits in bits 2..13.
constexpr uint32_t kDeviceType = 0x80FF;
constexpr uint32_t codeOf(uint32_t fn) { return kDeviceType << 16 | (fn & 0xFFF) << 2; }

enum Function : uint32_t {
    kInfo = 2,
    kRead = 3,
    kWrite = 4,
    kKeyP = 6,
    kDsab = 10,
    kEnab = 11,
    kDsab1 = 12,
    kEnab1 = 13,
    kCtl8042 = 14,
    kBlockRead = 17,
    kBlockWrite = 18,
    kCkmr = 19,
};

// The function number of a request code, or 0 when the code is not one of
// this device's (wrong device type, method or access bits).
uint32_t functionOf(uint32_t code);

// "info", "read", ..., "bread", "bwrite"; "?" for a function the keyboard
// does not have.
const char* functionName(uint32_t fn);

// A function name (any case) or number. "8042" is the controller function,
// not function number 8042.
bool parseFunction(std::string_view s, uint32_t& fn);

}  // namespace kbdsim
