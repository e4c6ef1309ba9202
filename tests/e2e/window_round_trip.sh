#!/usr/bin/env bash
# A key text the keyboard would not give back, typed in the real window under
# a window manager: the window names the slip, Write lists the key first and
# Escape there leaves the keyboard alone; corrected, the key is written at
# once, without a box. A text of two lines pasted from the clipboard keeps
# its first line. Every step waits for a state: a line of the program's log,
# a window, the keyboard's memory.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
for tool in openbox xclip; do
  command -v $tool >/dev/null || { echo "FAILED: $tool is not installed (make test installs it)"; exit 1; }
done
cd "$work" || exit 1

# The keys the emulated keyboard holds, once they are $1 (or after 30 s).
holds() {
  local l=""
  for _ in $(seq 150); do
    l=$("$BIN/ptu-tpl" decode "$work/mem.bin" --model 4 --locale us 2>/dev/null | grep '^key ')
    [ "$l" = "$1" ] && break
    sleep 0.2
  done
  echo "$l"
}
memory() { if [ -f "$work/mem.bin" ]; then cksum <"$work/mem.bin"; else echo none; fi; }
# Return on the current key, its text replaced by what the command types, Return.
retype() {
  local begun; begun=$(count "In EditEnter")
  keys "$id" Return
  logged "In EditEnter" "$begun"
  xdotool key ctrl+a
  "$@"
  local ended; ended=$(count "In EditExit")
  xdotool key Return
  logged "In EditExit" "$ended"
}

start_sim_on "$work/mem.bin"
window_manager
LANG=C.UTF-8 "$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
before=$(memory)

retype xdotool type --delay 40 'Void{ENTR}'
check "the status bar names the key name meant" yes \
  "$(seen '1A1: {ENTR} is no key name: did you mean {ENTER}?' && echo yes || echo no)"

keys "$id" ctrl+w
box=$(window '^Tessaral Programmable Keyboard Manager$')
check "Write lists the key first" yes "$([ -n "$box" ] && echo yes || echo no)"
keys "$box" Escape
gone '^Tessaral Programmable Keyboard Manager$'
check "Escape leaves the keyboard as it was" "$before" "$(memory)"

retype xdotool type --delay 40 'Void{ENTER}'
keys "$id" ctrl+w
check "corrected, the key is written at once" "key 0 0 0 Void{ENTER}" "$(holds 'key 0 0 0 Void{ENTER}')"
gone '^ *Tessaral Programmable Keyboard *$'  # the progress box

printf 'first\nsecond' | xclip -selection clipboard 2>/dev/null
retype xdotool key ctrl+v
keys "$id" ctrl+w
check "a pasted text keeps its first line" "key 0 0 0 first" "$(holds 'key 0 0 0 first')"
gone '^ *Tessaral Programmable Keyboard *$'

keys "$id" Escape
window '^Tessaral POS Keyboard$' >/dev/null
xdotool key Return
ended $pid
check "the program ends with 0" 0 "$rc"
[ "$rc" = 0 ] || cat err >&2
kill $wm 2>/dev/null
exit $fail
