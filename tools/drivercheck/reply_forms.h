// The forms of the driver's replies, checked strictly against the published
// interface: what a driver must send, which is sometimes more than the
// program itself insists on. Each check returns what is wrong with a reply
// in words, or "" when it has the form.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace ptu::drivercheck {

// Up to `max` bytes as hex, "FA D6 D0 ..." with " ..." when there are more.
std::string hexBytes(std::span<const uint8_t> bytes, size_t max = 16);

// INFO: the register frame (0xD6 and five nibble pairs) inside the reply,
// before its last byte, the end mark 0xC0; r2a not 0.
std::string infoFault(std::span<const uint8_t> reply);

// READ (and nothing else): at most three leading bytes, then the memory as
// kbb nibble pairs, then the end mark, then nothing.
std::string memoryFault(std::span<const uint8_t> reply, uint32_t kbb);

// A block read: exactly 16 nibble pairs and the end mark.
std::string blockReadFault(std::span<const uint8_t> reply);

// WRITE and the block writes: longer than the program's shortest accepted
// reply (`shortest` bytes or fewer fail), ending in the end mark.
std::string markedReplyFault(std::span<const uint8_t> reply, uint32_t shortest);

// Where two memories first differ, "" when they are the same.
std::string memoryDifference(std::span<const uint8_t> expected, std::span<const uint8_t> got);

}  // namespace ptu::drivercheck
