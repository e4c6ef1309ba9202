#include "sim/cli/options.h"

namespace kbdsim {

extern const char kHelp[] = R"(Usage: kbdsim [options]

The emulated keyboard: answers the keyboard driver requests (INFO, READ,
WRITE, the one-byte operations, the 16-byte block read and write) on a Unix
socket, from a firmware model whose memory can be kept in a file.

Service:
  --socket PATH        socket to listen on (default: $PORTGATE_SOCKET, else
                       $XDG_RUNTIME_DIR/portgate, else /tmp/portgate-<uid>).
                       Created with mode 0600. A stale socket file that
                       nobody answers on is replaced; a live one is an error.
  --memory FILE        keep the memory image in FILE: created zero-filled when
                       missing, resized (padded with zeros or cut) when of
                       another size, rewritten after every write. Without it
                       a daemon keeps it in $XDG_STATE_HOME/kbdsim/memory.bin
                       (default ~/.local/state/kbdsim/; another socket than the
                       default one gets a file of its own there), and a
                       service in the foreground starts zeroed and loses it.
  --daemon             go to the background once the socket is listening; the
                       caller may connect as soon as kbdsim returns. A socket
                       already served by a running kbdsim is left to it (exit
                       0). The daemon writes its process id to a file under
                       $XDG_RUNTIME_DIR (else /tmp), named after the socket.
  --stop               end the daemon serving the socket (through that file,
                       or --pidfile), and wait for it to go.
  --pidfile FILE       write the service's process id to FILE as well
                       (removed at exit).
  --log FILE           append diagnostics to FILE instead of standard error
                       (a daemon without --log is silent).
  --verbose, -v        one line per request on standard error.
  --probe              do not serve: send one "8042" request to the socket and
                       exit 0 when it is answered, 1 otherwise.
  --press PAGE:SLOT    do not serve: press a key of the keyboard on the socket.
                       Its macro (slot 0..175 on page 1, 2, 3, 4 or P, the
                       0-terminated strings of its memory counted from the
                       start) is typed into the X display named by DISPLAY
                       through the XTEST extension, as the keyboard types it:
                       each code a key stroke, a modifier held until its
                       release code, {DelayN} a pause of N x 100 ms, strokes
                       --press-gap-ms apart (default 10). Exit 1 without a
                       display or when the socket does not answer.
  --slots N            slots to a page for --press (default 176; 128 on the
                       models whose pages hold 128 keys).
  --help, -h           this text.
  --version            the version.

Keyboard (numbers decimal or 0x hex):
  --r2a N              identification byte (default 0xA4). It fixes the memory
                       size: bits 5..3 = 0x20 gives 8192 bytes, 0x10 gives 4096,
                       anything else 2048; 0xBC, 0xFC and 0xFD give 2048.
  --r2e N              second identification byte (default 0x01).
  --r29 N, --r28 N, --r27 N
                       configuration registers (defaults 0x9E, 0xE8, 4). When
                       not given, a memory file whose image ends in the
                       signature 55 AA D6 supplies them (r29 at end-4, r28 at
                       end-5, r27 at end-6); every write that reaches the last
                       16 bytes of a signed image updates them the same way.
  --low-nibble-base N  high four bits of the second byte of each nibble pair
                       (default 0xD0; the first byte is always 0xD0 + nibble).

Faults (each may be given more than once; COUNT is a number or "all"; FN is a
function name - info read write keyp dsab enab dsab1 enab1 8042 ckmr bread
bwrite - or its number; a fault without @FN hits requests of any function):
  --fail-next COUNT[@FN]
                       the next COUNT requests fail: no bytes, errno EIO.
  --fail-code FN[:COUNT]
                       requests of function FN fail (default: all of them).
  --short-reply COUNT[@FN][:LEN]
                       the next COUNT replies are cut to LEN bytes; without
                       LEN to the longest reply the program still turns down
                       (info/read/write 10, bread 32, bwrite 28, others 0).
  --bad-endmark COUNT[@FN]
                       the next COUNT replies that end in the end mark 0xC0
                       (info, read, write, bread, bwrite) end in 0xC1.
  --no-frame[=COUNT]   INFO answers without a register frame (default: all).
  --ckmr-nak COUNT     the next COUNT CKMR requests are answered 0xFE.
  --block-fail ADDR[:COUNT]
                       block reads and writes of address ADDR fail (EIO),
                       COUNT times (default 1).
  --corrupt-block ADDR block writes of address ADDR are echoed as sent but
                       stored with every byte but 0, FE and FF one higher
                       (a failing memory cell that only a read-back shows).
  --drop-after N       after N requests have been answered, close the
                       connection of the next one without a reply (once).
  --no-reply COUNT[@FN]
                       the next COUNT requests are never answered: the
                       connection stays open, without a reply, until the
                       caller gives up and closes it.
  --delay-ms N         wait N milliseconds before every reply.
  A connection that sends no complete request within 5 seconds (of opening
  it, or of its last reply) is closed; other connections are served meanwhile.
  Requests are counted from the start of the service, "--probe" requests
  included; a fault with a count is used up as it hits.

What a driver must answer, for anyone writing one for a real keyboard:
docs/driver-interface.md in the source tree, installed as
share/doc/ptu/driver-interface.md (ptu-drivercheck checks a driver against it).

Wire forms (nibble pair = 0xD0 + high nibble, low base + low nibble):
  INFO    FA D6 <r2a r2e r29 r28 r27 as nibble pairs> C0      (13 bytes)
  READ    FA <the whole memory as nibble pairs> C0            (2 x size + 2)
  WRITE   input: the memory image; reply: FA <echo as pairs> C0
  bread   input: address low, address high; reply: 32 nibble bytes, C0
  bwrite  input: address low, address high, 16 bytes; reply: the stored
          block as 32 nibble bytes, C0
  8042    55; ckmr FA; keyp dsab enab dsab1 enab1: FA
  A reply longer than the request's output length fails with ENOBUFS, an
  unknown code or a malformed block request with EINVAL.
)";

}  // namespace kbdsim
