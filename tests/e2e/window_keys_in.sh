#!/usr/bin/env bash
# Keys in, on a bare X server: a page of three programmed keys (one with a
# modifier sequence, one with a delay) tested key by key, each pressed by the
# emulated keyboard itself and one unprogrammed key by xdotool, the report
# saved; then a macro recorded by pressing the keys, saved and written.
# Holding Escape for a second is the user's action itself; every other step
# waits for a state (a line of the program's log, a window, a file).
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1

holdEscape() { xdotool keydown Escape; sleep 1.3; xdotool keyup Escape; }

start_sim_on "$work/mem.bin"
printf 'model 4\nlocale us\nkey 0 15 0 Coffee{ENTER}\nkey 0 14 0 {LSFT}{F7}{LSFB}\nkey 0 13 0 Tea{Delay10}{ENTER}\n' >p.lst
"$BIN/ptu-tpl" encode p.lst -o p.tpl 2>/dev/null && "$BIN/ptu" -W p.tpl >/dev/null 2>&1
check "the keyboard is programmed" 0 $?

LANG=C.UTF-8 "$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
keys "$id" ctrl+r
logged "In rtoh"
gone '^ *Tessaral Programmable Keyboard *$'  # the progress box

keys "$id" ctrl+t
logged "key test: 0 of 3 programmed keys tested"
for slot in 16 17 18; do  # 1P1, 1O1, 1N1
  n=$(count "key test:")
  "$BIN/kbdsim" --press "1:$slot" --socket "$PORTGATE_SOCKET"
  logged "key test:" "$n"
done
n=$(count "key test:")
xdotool key x
logged "key test:" "$n"
check "the three keys are tested as programmed" 3 "$(count 'as programmed\.')"
check "the unprogrammed key is named" 1 "$(count 'key test: "x" matches no key on page 1; nearest')"

holdEscape
box=$(window '^Tessaral Programmable Keyboard Manager$')  # "Save a report of the key test?"
keys "$box" Return
dialog=$(window '^Save Key Test Report$')
focused "$dialog"
xdotool type --delay 20 "$work/report.txt"
xdotool key Return
written "$work/report.txt"
check "the report counts the keys" yes "$(grep -q '^3 of 3 programmed keys tested, 1 wrong$' report.txt && echo yes || echo no)"
check "the report names the burst that matched none" 1 \
  "$(sed -n '/^Bursts that matched no key:/,$p' report.txt | grep -c '^  "x" matches no key')"
gone '^Save Key Test Report$'

# Recording: Return on 1A1, F11, the strokes, Escape held, Return.
focused "$id"
n=$(count "In EditEnter")
xdotool key Return
logged "In EditEnter" "$n"
xdotool key F11
logged "key recording: on"
xdotool key shift+a ctrl+c F7
holdEscape
logged "key recording: off"
n=$(count "In EditExit")
xdotool key Return
logged "In EditExit" "$n"
keys "$id" ctrl+s
dialog=$(window '^Save Tessaral Keyboard Data File$')
focused "$dialog"
xdotool type --delay 20 "$work/rec.tpl"
xdotool key Return
written "$work/rec.tpl"
check "the recording is the text the keyboard needs" 'key 0 0 0 A{LCTL}c{LCTLB}{F7}' \
  "$("$BIN/ptu-tpl" decode "$work/rec.tpl" --model 4 --locale us 2>/dev/null | grep '^key 0 0 0 ')"
keys "$id" ctrl+w
l=""
for _ in $(seq 150); do
  l=$("$BIN/ptu-tpl" decode "$work/mem.bin" --model 4 --locale us 2>/dev/null | grep '^key 0 0 0 ')
  [ -n "$l" ] && break
  sleep 0.2
done
check "the keyboard holds the recorded strokes" 'key 0 0 0 A{LCTL}c{LCTLB}{F7}' "$l"
gone '^ *Tessaral Programmable Keyboard *$'

keys "$id" Escape
keys "$(window '^Tessaral POS Keyboard$')" Return
ended $pid
check "the program ends with 0" 0 "$rc"
[ "$rc" = 0 ] || cat err >&2
exit $fail
