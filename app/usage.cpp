#include "app/usage.h"

#include <cstdio>
#include <cstring>

namespace ptu {

std::string usageText()
{
    return R"(Usage: ptu [switches]
The Tessaral Programmable Keyboard Manager. Without batch switches it opens
the main window. A switch is "-" and one character, anywhere on the line;
case matters. The file name after -r, -w, -R and -W is never read for
switches.

  -r FILE   read the keyboard's memory into FILE in one request
  -w FILE   write FILE into the keyboard in one request
  -R FILE   read the keyboard into FILE in 16-byte blocks (first switch; FILE
            is the rest of the line)
  -W FILE   write FILE into the keyboard in 16-byte blocks (first switch; FILE
            is the rest of the line)
            A -w/-W FILE must be exactly as large as the keyboard's memory
            (2048, 4096 or 8192 bytes). A read replaces FILE only once the
            whole memory has been read; a failed one leaves FILE as it was.
  -s        run the keyboard-controller operation once, exit with its status
  -T        let that controller operation really reach the controller
  -K        (after a blank) start the driver service first ($PORTGATE_START,
            else kbdsim --daemon)
  -u        USB keyboard through the maker's library (libhidpad.so)
  -d        demonstration mode: no device, built-in values
  -t        USB test block instead of the library's configuration
  -g        do not check a data file against the attached USB keyboard
  -k N      highest key slot handled by the codec (0..175)
  -8        model QX-43 without asking
  -7        model QX-44 without asking
  -b        model QX-51 without asking
  -2        model QX-32 without asking
  -4, -p    choose among the small models; single-page operation
  -6        choose between the two large models; single-page operation
  -c        show the memory-type chooser even when the keyboard identified itself
  -m        window caption from ptu.ini
  -j        window caption from ptu.ini; hot-key bit cleared
  -f        store each key's default label as its macro text too
  -x        show hidden key slots; fixed-function keys get ordinary names
  -n        characters outside braces are stored as they stand
  -?, -h    the short switch list (later switches are not read)
  --help    this text
  --version the version

Exit codes of -r -w -R -W: 0 done; 1 no keyboard answered in five attempts,
the USB road failed, or the option is misplaced; 2 the destination cannot
be written (or its name holds a double quote); 3 the source cannot be read,
is not exactly the keyboard's memory size (or its name holds a double
quote); 4 a block failed five times; -r/-w: the driver operation's result
(1 to 9) when its one request failed; 130, 143, 129 when Ctrl+C, SIGTERM or
SIGHUP stopped the run (standard error says what it left).
)";
}

std::optional<int> answerInformationRequest(int argc, const char* const* argv)
{
    if (argc < 2 || !argv[1]) return std::nullopt;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("ptu %s\n", PTU_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

}  // namespace ptu
