// Faults the emulated keyboard can be told to make, so that every failure
// path of the program can be driven from outside: failed requests, replies
// cut short, a wrong end mark, an INFO answer without its register frame, a
// refused CKMR, failing blocks, a connection dropped mid-way, a request
// never answered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kbdsim {

enum class FaultKind {
    Fail,        // the request fails (EIO), no bytes
    Short,       // the reply is cut to value bytes (or the longest length the program rejects)
    BadEndMark,  // the end mark 0xC0 becomes 0xC1
    NoFrame,     // INFO answers without a register frame
    CkmrNak,     // CKMR answers 0xFE
    BlockFail,   // a block request for address value fails (EIO)
    Drop,        // after value requests, the connection is closed without a reply
    Corrupt,     // block writes of address value store other bytes than they were sent
    NoReply,     // the request is never answered; the connection stays open
};

constexpr uint32_t kAnyFunction = 0;
constexpr long kAlways = -1;

struct Fault {
    FaultKind kind = FaultKind::Fail;
    uint32_t fn = kAnyFunction;  // function number it is limited to
    long count = 1;              // hits left, or kAlways
    uint32_t value = 0;
    bool hasValue = false;
};

class FaultPlan {
public:
    void add(const Fault& f) { faults_.push_back(f); }
    bool empty() const { return faults_.empty(); }
    const std::vector<Fault>& list() const { return faults_; }

    // The first armed fault of that kind that applies to a request of
    // function fn; one hit of it is used up. For BlockFail and Corrupt, addr must match
    // the fault's address; for Drop, served (requests answered so far) must
    // have reached the fault's value.
    std::optional<Fault> take(FaultKind kind, uint32_t fn, uint32_t addr = 0, uint64_t served = 0);

private:
    std::vector<Fault> faults_;
};

// Decimal or 0x hex, no sign, no trailing text.
bool parseNumber(std::string_view s, uint32_t& out);
// A number or "all" (kAlways).
bool parseCount(std::string_view s, long& out);

// Adds the fault of one command-line option (name without the leading
// dashes) to plan. Returns false with a message on a malformed value, and
// also when name is not a fault option (message empty then).
bool addFaultOption(std::string_view name, std::string_view value, FaultPlan& plan, std::string& error);

}  // namespace kbdsim
