#include "platform/console.h"

#include <cctype>
#include <unistd.h>

namespace ptu {

namespace {

// " 6% Keyboard Reading has Completed ": a blank, digits, a percent sign.
bool isPercentage(const std::string& text)
{
    size_t i = 0;
    if (text.size() < 3 || text[i++] != ' ') return false;
    const size_t digits = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    return i > digits && i < text.size() && text[i] == '%';
}

}  // namespace

void ConsoleLines::progress(const std::string& text)
{
    if (!terminal_ || !isPercentage(text)) {
        line(text);
        return;
    }
    // Back to the line's start, the text, the rest of the old text cleared.
    std::fprintf(fp_, "\r%s\033[K", text.c_str());
    std::fflush(fp_);
    open_ = true;
}

void ConsoleLines::line(const std::string& text)
{
    finish();
    std::fprintf(fp_, "%s\n", text.c_str());
    std::fflush(fp_);
}

void ConsoleLines::finish()
{
    if (!open_) return;
    std::fputc('\n', fp_);
    std::fflush(fp_);
    open_ = false;
}

ConsoleLines& stderrLines()
{
    static ConsoleLines lines(stderr, ::isatty(STDERR_FILENO) == 1);
    return lines;
}

}  // namespace ptu
