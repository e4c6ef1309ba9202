#include "tools/drivercheck/reply_forms.h"

#include "platform/driver_protocol.h"

#include <algorithm>
#include <cstdio>

namespace ptu::drivercheck {

namespace {

constexpr size_t kMaxLeading = 3;  // the unpacking takes pairs only up to byte 2 x kbb + 1

std::string byteAt(size_t at, uint8_t b)
{
    char text[48];
    std::snprintf(text, sizeof text, "byte %zu is 0x%02X", at, unsigned(b));
    return text;
}

std::string endMarkFault(std::span<const uint8_t> reply, size_t at)
{
    if (reply[at] == driver::kEndMark) return {};
    char mark[8];
    std::snprintf(mark, sizeof mark, "0x%02X", unsigned(driver::kEndMark));
    return byteAt(at, reply[at]) + " where the end mark " + mark + " belongs";
}

// The first byte of every pair in reply[from .. from + 2 x pairs) must lie in D0..DF.
std::string pairsFault(std::span<const uint8_t> reply, size_t from, size_t pairs)
{
    for (size_t k = 0; k < pairs; ++k) {
        const size_t at = from + 2 * k;
        if (!driver::isHighNibbleByte(reply[at]))
            return byteAt(at, reply[at]) + ", not the first byte of a nibble pair (0xD0..0xDF)";
    }
    return {};
}

std::string count(size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

}  // namespace

std::string hexBytes(std::span<const uint8_t> bytes, size_t max)
{
    std::string out;
    char b[4];
    for (size_t i = 0; i < bytes.size() && i < max; ++i) {
        std::snprintf(b, sizeof b, "%02X", unsigned(bytes[i]));
        out += (i ? " " : "") + std::string(b);
    }
    if (bytes.size() > max) out += " ...";
    return out.empty() ? "nothing" : out;
}

std::string infoFault(std::span<const uint8_t> reply)
{
    const size_t frame = 1 + 2 * driver::kFrameValues;
    if (reply.size() < frame + 1)
        return "short reply: " + count(reply.size()) + " (" + hexBytes(reply) +
               "); the register frame and the end mark need " + std::to_string(frame + 1);
    if (std::string f = endMarkFault(reply, reply.size() - 1); !f.empty()) return f;
    size_t at = 0;
    while (at < reply.size() && !(reply[at] == driver::kFrameMark && at + 1 < reply.size() &&
                                  driver::isHighNibbleByte(reply[at + 1])))
        ++at;
    if (at == reply.size())
        return "no register frame (0xD6 and five nibble pairs) in " + hexBytes(reply);
    if (at + frame > reply.size() - 1)
        return "the register frame at byte " + std::to_string(at) + " runs into the end mark (" +
               hexBytes(reply) + ")";
    if (std::string f = pairsFault(reply, at + 1, driver::kFrameValues); !f.empty())
        return f + " in the register frame";
    if (driver::nibbleValue(reply[at + 1], reply[at + 2]) == 0)
        return "r2a is 0: the program takes that for no keyboard and refuses READ and WRITE";
    return {};
}

std::string memoryFault(std::span<const uint8_t> reply, uint32_t kbb)
{
    const size_t start = size_t(std::find_if(reply.begin(), reply.end(), driver::startsMemory) - reply.begin());
    const size_t need = start + 2 * size_t(kbb) + 1;
    if (start == reply.size())
        return "no nibble pairs: no byte of the " + count(reply.size()) + " is 0 or in 0xD0..0xF0 (" +
               hexBytes(reply) + ")";
    if (start > kMaxLeading)
        return std::to_string(start) + " bytes before the nibble pairs: the program keeps the whole memory "
               "only after at most " + std::to_string(kMaxLeading);
    if (reply.size() < need)
        return "short reply: " + count(reply.size()) + " where " + std::to_string(need) + " belong (" +
               std::to_string(start) + " leading, 2 x " + std::to_string(kbb) + " nibble bytes, the end mark)";
    if (std::string f = pairsFault(reply, start, kbb); !f.empty()) return f;
    if (std::string f = endMarkFault(reply, need - 1); !f.empty()) return f;
    if (reply.size() > need) return count(reply.size() - need) + " after the end mark";
    return {};
}

std::string blockReadFault(std::span<const uint8_t> reply)
{
    if (reply.size() != driver::kBlockReadReply)
        return count(reply.size()) + " where a block read reply has " + std::to_string(driver::kBlockReadReply) +
               " (16 nibble pairs and the end mark): " + hexBytes(reply);
    if (std::string f = pairsFault(reply, 0, driver::kBlockBytes); !f.empty()) return f;
    return endMarkFault(reply, reply.size() - 1);
}

std::string markedReplyFault(std::span<const uint8_t> reply, uint32_t shortest)
{
    if (reply.size() <= shortest)
        return "short reply: " + count(reply.size()) + " (" + hexBytes(reply) + "); the program needs more than " +
               std::to_string(shortest);
    return endMarkFault(reply, reply.size() - 1);
}

std::string memoryDifference(std::span<const uint8_t> expected, std::span<const uint8_t> got)
{
    if (expected.size() != got.size())
        return count(got.size()) + " where the memory has " + std::to_string(expected.size());
    size_t first = expected.size(), differ = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == got[i]) continue;
        if (first == expected.size()) first = i;
        ++differ;
    }
    if (differ == 0) return {};
    char text[96];
    std::snprintf(text, sizeof text, "%zu of %zu bytes differ, the first at 0x%04zX (0x%02X, not 0x%02X)", differ,
                  expected.size(), first, unsigned(got[first]), unsigned(expected[first]));
    return text;
}

}  // namespace ptu::drivercheck
