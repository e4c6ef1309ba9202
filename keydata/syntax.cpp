#include "keydata/syntax.h"

#include "keydata/codec_index.h"

namespace ptu {

namespace {
constexpr std::size_t kMaxGathered = 98;  // a name gathered longer than this is no token
}

std::string syntex(State& s, std::string_view text, std::size_t* taken)
{
    const CodecIndex& ix = codecIndex(s.loc.tset);
    s.log.printf(" in syntex( %p ), lor=%d \n", static_cast<const void*>(text.data()),
                 int(text.size()));
    std::string out;
    out.reserve(std::min(text.size(), kMaxMacroText) + 8);
    std::string name;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && out.size() < kMaxMacroText) {
        const char c = text[i];
        if (c == '\\' && i + 1 < n && text[i + 1] == '{') {
            out += "\\{";
            i += 2;
            continue;
        }
        if (c == '{') {
            // Gather the name: blanks dropped, letters in upper case, up to the
            // first "}" that is not escaped by a backslash.
            name.clear();
            bool closed = false;
            std::size_t j = i + 1;
            for (; j < n && name.size() < kMaxGathered; ++j) {
                const char d = text[j];
                if (d == '}' && text[j - 1] != '\\') {
                    closed = true;
                    break;
                }
                if (d != ' ') name += upperAscii(d);
            }
            if (closed && name.size() <= kMaxTokenText && ix.findName(name) >= 0) {
                out += '{';
                out += name;
                out += '}';
                i = j + 1;
            } else {
                out += '{';
                ++i;
            }
            continue;
        }
        out += c;
        ++i;
    }
    if (taken) *taken = i;
    if (s.log.isOpen()) {
        s.log.printf(" ss=%p, j=%d \n", static_cast<const void*>(out.data()), int(out.size()));
        for (unsigned char b : out) s.log.printf(" %xh", b);
        s.log.printf("\n rr=%p, j=%d \n", static_cast<const void*>(out.data()), int(out.size()));
    }
    return out;
}

}  // namespace ptu
