#!/usr/bin/env bash
# Programming a key in the real window on a virtual display, as a person
# does: the pointer on the window, Return on the current key, type a macro,
# Return, drag the key one cell to the right, Ctrl+W. The emulated keyboard
# then holds the macro on the neighbour only. Once on a bare X server (a till
# that runs the program full screen: the keyboard focus is whatever the
# program takes itself) and once under a window manager. Then, with a German
# locale, typed national characters reach the data file as the German
# keyboard's bytes.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1

# Keys as a person types them: to whatever has the focus, no window chosen.
press() { sleep 0.5; xdotool key --delay 100 "$@"; }
typed() { sleep 0.3; xdotool type --delay 50 "$1"; }
# Quits through Escape and the question's OK.
quit() {
  press Escape
  window '^Tessaral POS Keyboard$' >/dev/null
  press Return
  ended "$1"
}

program() { # what the run is called
  start_sim_on "$work/mem.bin"
  "$BIN/ptu" 2>"err.$1" &
  local pid=$!
  local id; id=$(window '\.1$')
  check "$1: the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
  xdotool mousemove --window "$id" 600 300
  press Return
  typed 'Total{ enter }'
  press Return
  # Key 1A1 lies at the grid's top left, 1B1 right of it (below the menu bar).
  xdotool mousemove --window "$id" 40 45 mousedown 1
  for x in 50 60 70 80 90 100 110; do xdotool mousemove --window "$id" $x 45; sleep 0.05; done
  xdotool mouseup 1
  press ctrl+w
  # The write takes about three seconds: wait for the keyboard's memory.
  local listing=""
  for _ in $(seq 100); do
    listing=$("$BIN/ptu-tpl" decode "$work/mem.bin" --model 4 2>/dev/null | grep '^key ')
    [ -n "$listing" ] && break
    sleep 0.2
  done
  check "$1: the keyboard holds the macro on the neighbour only" "key 0 1 0 Total{ENTER}" "$listing"
  # Keys reach nothing while the write runs: wait for its progress box to go.
  for _ in $(seq 100); do
    [ -z "$(xdotool search --onlyvisible --name '^ *Tessaral Programmable Keyboard *$' 2>/dev/null)" ] && break
    sleep 0.2
  done
  quit $pid
  check "$1: the program ends with 0" 0 "$rc"
  [ "$rc" = 0 ] || cat "err.$1" >&2
}

program "bare X server"

# German characters, typed and saved on the bare server.
LANG=de_DE.UTF-8 "$BIN/ptu" 2>err.de &
pid=$!
id=$(window '\.1$')
xdotool mousemove --window "$id" 600 300
press Return
typed 'äöüß'
press Return
press ctrl+s
window '^Save Tessaral Keyboard Data File$' >/dev/null
typed "$work/de.tpl"
press Return
for _ in $(seq 50); do [ -s "$work/de.tpl" ] && break; sleep 0.2; done
check "the German letters are stored as the German keyboard's bytes" 'key 0 0 0 \xE4\xF6\xFC\xDF' \
  "$("$BIN/ptu-tpl" decode "$work/de.tpl" --locale de 2>/dev/null | grep '^key ')"
quit $pid
check "the German run ends with 0" 0 "$rc"

if command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  rm -f "$work/mem.bin"
  program "window manager"
  kill $wm 2>/dev/null
else
  echo "FAILED: openbox is not installed (make test installs it)"
  fail=1
fi
exit $fail
