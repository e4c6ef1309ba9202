// Shared helpers of the codec tests: byte strings, and the image build and
// load sequences of Save and Load (a fresh state for a model: test_state.h).
#pragma once

#include "keydata/decode.h"
#include "keydata/encode.h"
#include "keydata/fcode.h"
#include "keydata/image_build.h"
#include "keydata/image_tail.h"
#include "keydata/keypos.h"
#include "keydata/state.h"
#include "tests/support/test_state.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace ptu::test {

inline std::string bytes(std::initializer_list<int> list)
{
    std::string s;
    for (int b : list) s += char(b);
    return s;
}

inline std::vector<int> asInts(const std::string& s)
{
    std::vector<int> v;
    for (unsigned char c : s) v.push_back(c);
    return v;
}

// Save's image build.
inline std::vector<KeyRef> buildImage(State& s) { return buildImage(s, true); }

inline std::vector<uint8_t> image(const State& s)
{
    return {s.buf.ibuf.begin(), s.buf.ibuf.begin() + s.mv.kbb_f};
}

// Load's decoding of an image.
inline void loadImage(State& s, const std::vector<uint8_t>& img)
{
    s.buf.rbuf.fill(0);
    std::memcpy(s.buf.rbuf.data(), img.data(), img.size());
    rtoh(s, int(img.size()));
    if (s.fl.hide_f) fcode(s);
}

inline int word(const std::vector<uint8_t>& img, int off) { return img[off] | (img[off + 1] << 8); }

inline void clearTexts(State& s)
{
    for (auto& page : s.kd.hbuf)
        for (auto& row : page)
            for (auto& t : row) t.clear();
}

}  // namespace ptu::test
