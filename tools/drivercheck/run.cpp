#include "tools/drivercheck/drivercheck.h"

#include "tools/drivercheck/check_platform.h"
#include "tools/drivercheck/check_report.h"
#include "tools/drivercheck/socket_check.h"
#include "tools/drivercheck/usb_check.h"

namespace ptu::drivercheck {

namespace {

const char kUsage[] = "Usage: ptu-drivercheck [--socket PATH | --library PATH] [--write] [--deadline-ms N]\n";

const char kHelp[] = R"(
Checks a keyboard driver against the interface the Tessaral Programmable
Keyboard Manager uses, described in driver-interface.md (installed in
share/doc/ptu/). It makes every operation in the order the program makes
them, with the program's own transport code, checks each reply against the
interface (frame, count, nibble pairs, end marks, deadlines) and prints one
line per operation: OK and what came back, FAULT and what was wrong, or
SKIPPED and why. The last line names the keyboard's identification and
memory size.

On the driver socket: INFO, DSAB, 8042, READ, the block reads; with --write
also WRITE, READ, the block writes and the block reads. Through a USB
keyboard library: the six entry points, OpenHidPad, ReadConfig, ReadData;
with --write also WriteData and ReadData; CloseHidPad.

  --socket PATH      the driver socket (default: the one ptu uses,
                     $PORTGATE_SOCKET, else $XDG_RUNTIME_DIR/portgate, else
                     /tmp/portgate-<uid>, and after it $VPTU_SOCKET)
  --library PATH     check the USB keyboard library in the file PATH instead
  --write            write the memory that was read back to the keyboard,
                     unchanged, and compare what is read after it. Only a
                     memory that every read agreed on is written. Without
                     --write nothing is written to the keyboard.
  --deadline-ms N    give up on a reply after N ms instead of the program's
                     deadline (5 s, 90 s for READ and WRITE), to see a driver
                     that never answers without waiting that long; a driver
                     slower than N ms then counts as not answering
  --help, -h         this text
  --version          the version

Exit status: 0 when every operation held, 1 when one did not, 2 for bad
arguments.
)";

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Options o;
    std::string error;
    if (!parseOptions(args, o, error)) {
        err << "ptu-drivercheck: " << error << " (try --help)\n" << kUsage;
        return EXIT_USAGE;
    }
    if (o.help) {
        out << kUsage << kHelp;
        return EXIT_CONFORMS;
    }
    if (o.version) {
        out << "ptu-drivercheck " << PTU_VERSION << "\n";
        return EXIT_CONFORMS;
    }

    CheckPlatform pf(o.deadlineMs);
    Report report(out);
    if (!o.library.empty()) {
        // A bare file name means the file here, not a search of the loader's path.
        const std::string path = o.library.find('/') == std::string::npos ? "./" + o.library : o.library;
        checkLibrary(pf, path, o.write, report);
    } else {
        if (!o.socket.empty()) pf.setDeviceSocket(o.socket);
        checkSocket(pf, o.write, report);
    }
    return report.failed() ? EXIT_FAULT : EXIT_CONFORMS;
}

}  // namespace ptu::drivercheck
