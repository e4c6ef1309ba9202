// A keyboard behind the fake platform's driver: answers INFO with its
// register frame, READ and WRITE with the whole memory, block reads and
// writes with 32 nibble bytes and the end mark, and the one-byte operations
// with an acknowledgement. Blocks can be told to fail.
#pragma once

#include "keydata/state.h"
#include "tests/support/fake_platform.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace ptu::test {

struct FakeKeyboard {
    uint8_t r2a = 0xA4;  // 8192 bytes
    std::vector<uint8_t> mem;
    std::map<int, int> failBlock;  // block address -> failed answers left
    int infoFailures = 0;          // INFO answers without a register frame first
    int blockReplyExtra = 0;       // bytes added to every block read reply

    explicit FakeKeyboard(int size = 8192, uint8_t id = 0xA4) : r2a(id), mem(size_t(size), 0) {}

    static void pair(std::vector<uint8_t>& out, uint8_t b)
    {
        out.push_back(uint8_t(0xD0 | (b >> 4)));
        out.push_back(uint8_t(0xD0 | (b & 0x0F)));
    }

    ScriptedReply answer(uint32_t code, const std::vector<uint8_t>& in)
    {
        ScriptedReply r;
        switch (code) {
        case 0x80FF0008:  // INFO
            r.data = {0xFA};
            if (infoFailures > 0) {
                --infoFailures;
                r.data.resize(12, 0);  // as long as a good answer, without the frame
            } else {
                r.data.push_back(0xD6);
                for (uint8_t b : {r2a, uint8_t(0x01), uint8_t(0x9E), uint8_t(0xE8), uint8_t(4)}) pair(r.data, b);
            }
            r.data.push_back(0xC0);
            break;
        case 0x80FF000C:  // READ
            r.data = {0xFA};
            for (uint8_t b : mem) pair(r.data, b);
            r.data.push_back(0xC0);
            break;
        case 0x80FF0010:  // WRITE
            std::copy_n(in.begin(), std::min(in.size(), mem.size()), mem.begin());
            r.data = {0xFA};
            for (uint8_t b : in) pair(r.data, b);
            r.data.push_back(0xC0);
            break;
        case 0x80FF0044:    // block read
        case 0x80FF0048: {  // block write
            const int a = in[0] | (in[1] << 8);
            if (auto it = failBlock.find(a); it != failBlock.end() && it->second > 0) {
                --it->second;
                r.ok = false;
                r.error = 5;
                break;
            }
            if (code == 0x80FF0048) std::copy_n(in.begin() + 2, 16, mem.begin() + a);
            for (int i = 0; i < 16; ++i) pair(r.data, mem[size_t(a + i)]);
            for (int i = 0; i < blockReplyExtra; ++i) r.data.push_back(0x00);
            r.data.push_back(0xC0);
            break;
        }
        default:
            r.data = {0xFA};
            break;
        }
        return r;
    }

    void attach(FakePlatform& pf)
    {
        pf.handler = [this](uint32_t code, const std::vector<uint8_t>& in, uint32_t) { return answer(code, in); };
    }
};

// A fresh state, the fake platform, and a keyboard of `size` bytes behind
// its driver.
struct Rig {
    std::unique_ptr<State> st = std::make_unique<State>();
    FakePlatform pf;
    FakeKeyboard kb;

    explicit Rig(int size = 8192, uint8_t id = 0xA4) : kb(size, id) { kb.attach(pf); }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;
};

// Bytes that differ from one position to the next, so misplaced data shows.
inline std::vector<uint8_t> pattern(size_t n, unsigned seed = 7)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
    return v;
}

}  // namespace ptu::test
