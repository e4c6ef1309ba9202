#include "sim/model/faults.h"

#include "sim/model/functions.h"


namespace kbdsim {

std::optional<Fault> FaultPlan::take(FaultKind kind, uint32_t fn, uint32_t addr, uint64_t served)
{
    for (auto& f : faults_) {
        if (f.kind != kind || f.count == 0) continue;
        if (f.fn != kAnyFunction && f.fn != fn) continue;
        if ((kind == FaultKind::BlockFail || kind == FaultKind::Corrupt) && f.value != addr) continue;
        if (kind == FaultKind::Drop && served < f.value) continue;
        if (f.count > 0) --f.count;
        return f;
    }
    return std::nullopt;
}

bool parseNumber(std::string_view s, uint32_t& out)
{
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s.size() > 10) return false;
    uint64_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * uint64_t(base) + uint64_t(d);
        if (v > 0xFFFFFFFFu) return false;
    }
    out = uint32_t(v);
    return true;
}

bool parseCount(std::string_view s, long& out)
{
    if (s == "all") {
        out = kAlways;
        return true;
    }
    uint32_t v = 0;
    if (!parseNumber(s, v) || v > 0x7FFFFFFF) return false;
    out = long(v);
    return true;
}

namespace {

// Splits "head<sep>tail"; tail empty and had false when sep is absent.
std::string_view cut(std::string_view& s, char sep, bool& had)
{
    auto p = s.find(sep);
    had = p != std::string_view::npos;
    std::string_view head = s.substr(0, p);
    s = had ? s.substr(p + 1) : std::string_view();
    return head;
}

// "COUNT[@FN][:VALUE]" into f; value only where allowed.
bool countSpec(std::string_view v, Fault& f, bool valueAllowed, std::string& error)
{
    bool hasValue = false, hasFn = false;
    std::string_view rest = v;
    std::string_view head = cut(rest, ':', hasValue);
    std::string_view fnPart = head;
    std::string_view countPart = cut(fnPart, '@', hasFn);
    if (!parseCount(countPart, f.count)) {
        error = "bad count '" + std::string(countPart) + "' (a number or 'all')";
        return false;
    }
    if (hasFn && !parseFunction(fnPart, f.fn)) {
        error = "unknown function '" + std::string(fnPart) + "'";
        return false;
    }
    if (hasValue) {
        if (!valueAllowed || !parseNumber(rest, f.value)) {
            error = "bad value '" + std::string(rest) + "'";
            return false;
        }
        f.hasValue = true;
    }
    return true;
}

}  // namespace

bool addFaultOption(std::string_view name, std::string_view value, FaultPlan& plan, std::string& error)
{
    error.clear();
    Fault f;
    bool had = false;
    if (name == "fail-next") {
        f.kind = FaultKind::Fail;
        if (!countSpec(value, f, false, error)) return false;
    } else if (name == "fail-code") {
        f.kind = FaultKind::Fail;
        f.count = kAlways;
        std::string_view rest = value;
        std::string_view fn = cut(rest, ':', had);
        if (!parseFunction(fn, f.fn)) {
            error = "unknown function '" + std::string(fn) + "'";
            return false;
        }
        if (had && !parseCount(rest, f.count)) {
            error = "bad count '" + std::string(rest) + "'";
            return false;
        }
    } else if (name == "short-reply") {
        f.kind = FaultKind::Short;
        if (!countSpec(value, f, true, error)) return false;
    } else if (name == "no-reply") {
        f.kind = FaultKind::NoReply;
        if (!countSpec(value, f, false, error)) return false;
    } else if (name == "bad-endmark") {
        f.kind = FaultKind::BadEndMark;
        if (!countSpec(value, f, false, error)) return false;
    } else if (name == "no-frame") {
        f.kind = FaultKind::NoFrame;
        f.fn = kInfo;
        f.count = kAlways;
        if (!value.empty() && !parseCount(value, f.count)) {
            error = "bad count '" + std::string(value) + "'";
            return false;
        }
    } else if (name == "ckmr-nak") {
        f.kind = FaultKind::CkmrNak;
        f.fn = kCkmr;
        if (!parseCount(value, f.count)) {
            error = "bad count '" + std::string(value) + "'";
            return false;
        }
    } else if (name == "drop-after") {
        f.kind = FaultKind::Drop;
        if (!parseNumber(value, f.value)) {
            error = "bad request count '" + std::string(value) + "'";
            return false;
        }
        f.hasValue = true;
    } else if (name == "corrupt-block") {
        f.kind = FaultKind::Corrupt;
        f.fn = kBlockWrite;
        f.count = kAlways;
        if (!parseNumber(value, f.value) || f.value % 16 != 0) {
            error = "bad block address '" + std::string(value) + "' (a multiple of 16)";
            return false;
        }
        f.hasValue = true;
    } else if (name == "block-fail") {
        f.kind = FaultKind::BlockFail;
        std::string_view rest = value;
        std::string_view addr = cut(rest, ':', had);
        if (!parseNumber(addr, f.value) || f.value % 16 != 0) {
            error = "bad block address '" + std::string(addr) + "' (a multiple of 16)";
            return false;
        }
        f.hasValue = true;
        if (had && !parseCount(rest, f.count)) {
            error = "bad count '" + std::string(rest) + "'";
            return false;
        }
    } else {
        return false;
    }
    plan.add(f);
    return true;
}

}  // namespace kbdsim
