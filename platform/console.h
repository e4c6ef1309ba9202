// Texts for a person watching standard error during a batch run. On a
// terminal the progress percentages replace each other on one line; in a
// script or a log every text is a line of its own.
#pragma once

#include <cstdio>
#include <string>

namespace ptu {

class ConsoleLines {
public:
    ConsoleLines(std::FILE* fp, bool terminal) : fp_(fp), terminal_(terminal) {}

    // A progress text: a percentage (" 25% ...") stays on the terminal's
    // current line until the next text; anything else is a line.
    void progress(const std::string& text);
    // A line of its own (ending a percentage line first).
    void line(const std::string& text);
    // Ends a percentage line left open.
    void finish();

private:
    std::FILE* fp_;
    bool terminal_;
    bool open_ = false;
};

// The process's standard error, a terminal or not.
ConsoleLines& stderrLines();

}  // namespace ptu
