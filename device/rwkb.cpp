#include "device/rwkb.h"

#include "device/driver_device.h"
#include "device/identify.h"
#include "device/usb.h"

#include <algorithm>
#include <cstring>

namespace ptu {

namespace {

using driver::kInfoArea;
constexpr size_t kInfoLen = driver::kOperations[MODE_INFO - 1].out.fixed;  // bytes of an INFO reply considered
constexpr size_t kFrameBytes = 1 + 2 * driver::kFrameValues;               // the mark and five nibble pairs

uint8_t nibblePair(uint8_t hi, uint8_t lo) { return driver::nibbleValue(hi, lo); }

void clear(std::span<uint8_t> buffer, size_t n) { std::fill_n(buffer.begin(), std::min(n, buffer.size()), 0); }

// INFO: the register frame is 0xD6 followed by ten nibble bytes whose first
// lies in 0xD0..0xDF. Returns the result code.
int takeRegisterFrame(State& st, Platform& pf, std::span<uint8_t> buffer, uint32_t returned)
{
    size_t n = std::min<size_t>(returned, kInfoLen);
    if (n == 0 || buffer[n - 1] != driver::kEndMark) {
        st.log.printf(" rwkb error 5\n");
        pf.beep(500, 500);
        return RWKB_BAD_ENDMARK;
    }
    // The frame may run past the reply into the zeroed rest of the INFO area,
    // never past the area or the buffer.
    size_t area = std::min<size_t>(buffer.size(), kInfoArea);
    for (size_t i = 0; i < n; ++i) {
        if (buffer[i] != driver::kFrameMark || i + kFrameBytes > area) continue;
        if (!driver::isHighNibbleByte(buffer[i + 1])) continue;
        const uint8_t* v = &buffer[i + 1];
        st.rg.r2a = nibblePair(v[0], v[1]);
        st.rg.r2e = nibblePair(v[2], v[3]);
        st.rg.r29 = nibblePair(v[4], v[5]);
        st.rg.r28 = nibblePair(v[6], v[7]);
        st.rg.r27 = nibblePair(v[8], v[9]);
        infoIdentify(st);
        return RWKB_OK;
    }
    st.log.printf(" rwkb error 6\n");
    pf.beep(500, 500);
    return RWKB_NO_FRAME;
}

// Whether a READ reply holds the whole memory: from its first byte that is
// 0 or lies in D0..F0 (where the unpacking starts) at least 2 x kbb reply
// bytes, so that no image byte comes from the cleared rest of the buffer.
bool carriesMemory(std::span<const uint8_t> buffer, uint32_t returned, uint32_t kbb)
{
    const auto reply = buffer.first(std::min<size_t>(returned, buffer.size()));
    const auto start = std::find_if(reply.begin(), reply.end(), driver::startsMemory);
    return size_t(reply.end() - start) >= 2 * size_t(kbb);
}

}  // namespace

void logReply(Log& log, bool ok, long mode, unsigned long inLen, std::span<const uint8_t> reply)
{
    if (!log.isOpen()) return;
    log.printf(" ok=%d, mode=%ld, in=%lu, ret=%lu:", ok ? 1 : 0, mode, inLen, (unsigned long)reply.size());
    for (size_t i = 0; i < reply.size(); ++i) {
        if (i % 20 == 0) log.printf(" \n");
        log.printf(" %x", reply[i]);
    }
    log.printf(" \n");
}

int rwkb(State& st, Platform& pf, int mode, std::span<uint8_t> buffer, RequestRecord* record)
{
    RequestRecord unused;
    RequestRecord& rec = record ? *record : unused;
    rec = RequestRecord{};
    Log& log = st.log;
    log.printf("\n in rwkb( %ld, %p ) at %ld \n", long(mode), static_cast<void*>(buffer.data()), pf.now());

    // USB keyboards are reached through the maker's library, not this driver.
    if (st.fl.usb_f) return rwkbu(st, pf, mode, buffer);
    if (st.fl.d_f) loadDemoValues(st);
    if (mode == MODE_8042 && !st.fl.kbc_f) return RWKB_OK;

    logDeviceAccess(st, pf, "");

    if (mode < MODE_INFO || mode > MODE_ENAB1) {
        log.printf(" Bad IoCtrl Code %ld \n", long(mode));
        return RWKB_BAD_MODE;
    }
    const driver::Operation& op = *driver::operationOf(mode);
    if (op.waitBeforeMs > 0) pf.sleep(op.waitBeforeMs);
    log.printf(" -> %s <- \n", op.name);

    const uint32_t kbb = uint32_t(std::max(st.mv.kbb_f, 0));
    uint32_t inLen = op.in.of(kbb), outLen = op.out.of(kbb);
    switch (mode) {
    case MODE_INFO:
        clear(buffer, kInfoArea);
        break;
    case MODE_READ:
    case MODE_WRITE:
    case MODE_KEYP:
        if (st.rg.r2a == 0) return RWKB_NOT_IDENTIFIED;
        // WRITE sends the image as it is.
        if (mode == MODE_READ) clear(buffer, inLen);
        else if (mode == MODE_KEYP) clear(buffer, 1);
        break;
    default:
        clear(buffer, 1);
        break;
    }
    // Never let the driver read or write past the caller's buffer.
    inLen = std::min<uint32_t>(inLen, uint32_t(buffer.size()));
    outLen = std::min<uint32_t>(outLen, uint32_t(buffer.size()));

    DevHandle h = openDriverDevice(st, pf);
    if (h == kNoDevice && !st.fl.d_f) {
        log.printf(" rwkb failed \n");
        pf.beep(2000, 100);
        pf.beep(2000, 100);
        return RWKB_NO_DEVICE;
    }
    pf.pump();
    pf.setLastError(0);

    bool ok = false;
    uint32_t returned = 0;
    if (st.fl.d_f) {
        ok = true;
        returned = std::min<uint32_t>(33, uint32_t(buffer.size()));
    } else {
        rec.sent = true;
        rec.code = op.code();
        rec.inLen = inLen;
        rec.outLen = outLen;
        const long long start = pf.clockMs();
        ok = pf.request(h, op.code(), buffer.data(), inLen, outLen, returned);
        rec.elapsedMs = pf.clockMs() - start;
        returned = std::min<uint32_t>(returned, outLen);
        rec.ok = ok;
        rec.error = pf.lastError();
        rec.returned = returned;
    }
    log.printf(" DeviceIoControl(%ld)= %lx \n", long(mode), (unsigned long)pf.lastError());
    if (h != kNoDevice) pf.closeDevice(h);
    pf.pump();
    logReply(log, ok, mode, inLen, buffer.first(returned));

    if (st.fl.d_f) return RWKB_OK;

    if (!ok) {
        log.printf(" rwkb error 1\n");
        pf.messageBeep();
        return RWKB_REQUEST_FAILED;
    }
    if ((mode == MODE_INFO || mode == MODE_READ || mode == MODE_WRITE) && returned <= driver::kShortReply) {
        log.printf(" rwkb error 2\n");
        pf.messageBeep();
        return RWKB_SHORT_REPLY;
    }
    if (mode == MODE_READ && (returned < driver::kMinReadReply || !carriesMemory(buffer, returned, kbb))) {
        log.printf(" rwkb error 3\n");
        pf.beep(500, 500);
        return RWKB_NOT_IDENTIFIED;
    }
    if (mode == MODE_CKMR) {
        if (returned >= 1 && buffer[0] == driver::kAck) return RWKB_OK;
        log.printf(" rwkb error 4\n");
        return RWKB_NO_ACK;
    }
    if (mode != MODE_INFO) return RWKB_OK;
    return takeRegisterFrame(st, pf, buffer, returned);
}

}  // namespace ptu
