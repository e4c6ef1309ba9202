#!/usr/bin/env bash
# The help box and the controller road of the real ptu, without a display,
# against kbdsim on a private socket.
source "$(dirname "$0")/lib/common.sh" "$1"
export PTU_LOG=$work/ptu.log

for args in "-?" "-h" "-r -?"; do
  out=$("$BIN/ptu" $args 2>/dev/null); rc=$?
  check "ptu $args exits 0" 0 $rc
  check "ptu $args prints the switch list" 1 "$(grep -c '^ p, 4, 6, m, j, c, x, n, r, w, s, k, b, u$' <<<"$out")"
done

# Without the controller switch nothing reaches a device.
"$BIN/ptu" -s; check "ptu -s without a driver" 0 $?

# No driver: two failed opens, exit 1.
: > "$PTU_LOG"
"$BIN/ptu" -s -T; check "ptu -s -T without a driver" 1 $?
check "log says rwkb failed" 1 "$(grep -c '^ rwkb failed $' "$PTU_LOG")"

# With the emulated keyboard.
start_sim_on "$work/mem.bin"
: > "$PTU_LOG"
"$BIN/ptu" -s -T; check "ptu -s -T with kbdsim" 0 $?
check "log has the entry line" 1 "$(grep -c '^ in rwkb( 7, .* ) at [0-9]* $' "$PTU_LOG")"
check "log names the operation" 1 "$(grep -c '^ -> 8042 <- $' "$PTU_LOG")"
check "log has the reply line" 1 "$(grep -c '^ ok=1, mode=7, in=1, ret=1: $' "$PTU_LOG")"
check "log header has the command line" 1 "$(grep -c '^ cp=-s -T $' "$PTU_LOG")"

# The log is used only when it exists.
rm -f "$PTU_LOG"
"$BIN/ptu" -s -T >/dev/null 2>&1
check "no log file is created" no "$([ -e "$PTU_LOG" ] && echo yes || echo no)"

# " -K" starts the driver (twice) through PORTGATE_START; "-K" first does not.
export PORTGATE_START="echo started >> $work/starts"
"$BIN/ptu" -s -K; check "ptu -s -K" 0 $?
check "the start command ran twice" 2 "$(wc -l < "$work/starts")"
rm -f "$work/starts"
"$BIN/ptu" -K -s
check "-K without a blank before it starts nothing" no "$([ -e "$work/starts" ] && echo yes || echo no)"

exit $fail
