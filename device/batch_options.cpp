#include "device/batch_options.h"

namespace ptu {

namespace {

constexpr char kMask = '\x01';

size_t skipBlanks(const std::string& text, size_t pos)
{
    while (pos < text.size() && text[pos] == ' ') ++pos;
    return pos;
}

// The first "-<c>" of the masked text that starts a word outside quotes.
size_t findOption(const std::string& masked, char c)
{
    bool quoted = false;
    for (size_t i = 0; i + 1 < masked.size(); ++i) {
        if (masked[i] == '"') quoted = !quoted;
        else if (!quoted && masked[i] == '-' && masked[i + 1] == c && (i == 0 || masked[i - 1] == ' ')) return i;
    }
    return std::string::npos;
}

FileOption optionAt(const std::string& text, size_t at)
{
    const Operand o = fileOperand(text, at);
    return FileOption{text[at + 1], text.substr(o.begin, o.end - o.begin), o.hasQuote};
}

}  // namespace

Operand fileOperand(const std::string& text, size_t at)
{
    Operand o;
    const size_t start = skipBlanks(text, at + 2);
    const bool block = at + 1 < text.size() && (text[at + 1] == 'R' || text[at + 1] == 'W');
    o.from = o.begin = start;
    o.end = o.next = text.size();
    if (start < text.size() && text[start] == '-') {
        // "-r -?", "-r -R x": another switch follows, not a name (a file
        // whose name begins with "-" is written "./-name").
        o.end = o.next = start;
    } else if (block) {
        // The command line wraps an argument holding a blank in quotes.
        if (o.end - o.begin >= 2 && text[o.begin] == '"' && text.back() == '"') {
            ++o.begin;
            --o.end;
        }
    } else if (start < text.size() && text[start] == '"') {
        // The closing quote is the one that ends the argument: followed by a
        // blank or the end of the line.
        o.begin = start + 1;
        for (size_t q = text.find('"', o.begin); q != std::string::npos; q = text.find('"', q + 1)) {
            if (q + 1 == text.size() || text[q + 1] == ' ') {
                o.end = q;
                o.next = q + 1;
                break;
            }
        }
        if (o.next == text.size() && (o.end == text.size())) o.hasQuote = true;  // never closed
    } else {
        const size_t blank = text.find(' ', start);
        o.end = o.next = blank == std::string::npos ? text.size() : blank;
    }
    if (text.find('"', o.begin) < o.end) o.hasQuote = true;
    return o;
}

std::string withoutFileNames(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '-' || !takesFileName(text[i + 1])) continue;
        const Operand o = fileOperand(text, i);
        for (size_t k = o.from; k < o.next; ++k) out[k] = kMask;
        i = o.next - 1;
    }
    return out;
}

std::optional<FileOption> blockOption(const std::string& text)
{
    if (text.size() < 2 || (text[1] != 'R' && text[1] != 'W')) return std::nullopt;
    return optionAt(text, 0);
}

std::optional<FileOption> singleOption(const std::string& text)
{
    const std::string masked = withoutFileNames(text);
    size_t at = findOption(masked, 'r');
    if (at == std::string::npos) at = findOption(masked, 'w');
    if (at == std::string::npos) return std::nullopt;
    return optionAt(text, at);
}

}  // namespace ptu
