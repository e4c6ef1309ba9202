#!/usr/bin/env bash
# The batch reads as a user who is not root, where write protection holds:
# a read-only destination is left alone with exit 2, and a destination of
# mode 600 keeps its mode when the read replaces it. Run as root, the script
# runs ptu and kbdsim as "nobody"; it skips when no such user can run them.
source "$(dirname "$0")/lib/common.sh" "$1"

if [ "$(id -u)" = 0 ]; then
  if ! id nobody >/dev/null 2>&1 || ! command -v setpriv >/dev/null; then
    echo "skipped: no user 'nobody' or no setpriv to run the test without root"; exit 0
  fi
  as_user() { setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups -- "$@"; }
else
  as_user() { "$@"; }
fi
chmod 711 "$work"
home=$work/user
mkdir "$home"
[ "$(id -u)" = 0 ] && chown nobody "$home"
if ! as_user test -x "$BIN/ptu" -a -x "$BIN/kbdsim" -a -w "$home"; then
  echo "skipped: $BIN is out of the unprivileged user's reach"; exit 0
fi
export PORTGATE_SOCKET=$home/portgate VPTU_SOCKET=$home/vptu XDG_RUNTIME_DIR=$home
cd "$home"
as_user sh -c 'head -c 8192 /dev/urandom > mem.bin'
as_user "$BIN/kbdsim" --daemon --socket "$PORTGATE_SOCKET" --pidfile "$home/pid" --memory mem.bin
check "kbdsim starts as the user" 0 $?
trap 'kill "$(cat "$home/pid")" 2>/dev/null; rm -rf "$work"' EXIT

for sw in -r -R; do
  as_user sh -c 'rm -f ro.bin p.bin; echo old > ro.bin; echo old > p.bin; chmod 444 ro.bin; chmod 600 p.bin'
  as_user "$BIN/ptu" $sw ro.bin 2>err; check "$sw onto a read-only file exits 2" 2 $?
  check "$sw leaves it alone and says why" "old 1" "$(cat ro.bin) $(grep -c 'Permission denied' err)"
  as_user "$BIN/ptu" $sw p.bin 2>err; check "$sw onto a mode-600 file exits 0" 0 $?
  check "$sw keeps mode 600 and reads the memory" "600 same" "$(stat -c %a p.bin) $(same p.bin mem.bin)"
done
exit $fail
