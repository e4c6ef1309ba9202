#include "keydata/token_check.h"

#include "keydata/codec_index.h"
#include "keydata/syntax.h"

#include <algorithm>

namespace ptu {

std::vector<std::string> unknownTokens(TableSetId set, std::string_view text)
{
    const CodecIndex& ix = codecIndex(set);
    std::vector<std::string> out;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != '{') continue;
        // The encoder's reading: the token runs to the next "}" within 63
        // characters; without one the "{" is a stray brace, not a token.
        const std::size_t stop = std::min(n, i + 2 + kMaxTokenText);
        std::size_t close = i + 1;
        while (close < stop && text[close] != '}') ++close;
        if (close == stop) continue;
        const std::string_view tok = text.substr(i + 1, close - i - 1);
        const bool known = tok.empty() || (tok[0] >= '0' && tok[0] <= '9') || ix.findName(tok) >= 0;
        if (!known) {
            out.emplace_back(text.substr(i, close - i + 1));
            continue;  // the encoder goes on after the dropped "{"
        }
        i = close;
    }
    return out;
}

}  // namespace ptu
