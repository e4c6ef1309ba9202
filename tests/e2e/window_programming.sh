#!/usr/bin/env bash
# Programming a key in the real window on a virtual display, as a person
# does: Return on the current key, type a macro, Return, drag the key one cell
# to the right, Ctrl+W. The emulated keyboard then holds the macro on the
# neighbour only.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1

start_sim_on "$work/mem.bin"
"$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
keys "$id" Return
xdotool type --delay 50 'Total{ enter }'
keys "$id" Return
# Key 1A1 lies at the grid's top left, 1B1 right of it (below the menu bar).
xdotool mousemove --sync 40 45 mousedown 1
for x in 50 60 70 80 90 100 110; do xdotool mousemove --sync $x 45; sleep 0.05; done
xdotool mouseup 1
sleep 0.5
keys "$id" ctrl+w
# The write takes about three seconds: wait for the keyboard's memory.
for _ in $(seq 100); do
  listing=$("$BIN/ptu-tpl" decode "$work/mem.bin" --model 4 2>/dev/null | grep '^key ')
  [ -n "$listing" ] && break
  sleep 0.2
done
check "the keyboard holds the macro on the neighbour only" "key 0 1 0 Total{ENTER}" "$listing"
sleep 3  # the closing operations of the write (keys reach nothing while it runs)
keys "$id" Escape
box=$(window '^Tessaral POS Keyboard$')
keys "$box" Return
ended $pid
check "the program ends with 0" 0 "$rc"
[ $fail = 0 ] || cat err >&2
exit $fail
