#!/usr/bin/env bash
# Programming a key in the real window on a virtual display, as a person
# does: the pointer on the window, Return on the current key, type a macro,
# Return, drag the key one cell to the right, Ctrl+W. The emulated keyboard
# then holds the macro on the neighbour only. Once on a bare X server (a till
# that runs the program full screen: the keyboard focus is whatever the
# program takes itself) and once under a window manager. Then, with a German
# keyboard and locale, typed national characters reach the data file as the
# German keyboard's bytes. Every step waits for what the one before it does.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1

# Quits the window $1 of process $2 through Escape and the question's OK.
quit() {
  keys "$1" Escape
  keys "$(window '^Tessaral POS Keyboard$')" Return
  ended "$2"
}
# Drags with the left button from x=$2 to x=$3 at y=45 in window $1. The
# drag starts once the pointer has moved 10 pixels; from then on the program
# logs every move over a key: the pointer goes on to the target once the drag
# runs, and lets go once the drag is over the target.
drag() {
  xdotool mousemove --window "$1" "$2" 45 mousedown 1
  local x
  for ((x = $2 + 10; x < $2 + 30; x++)); do
    xdotool mousemove --window "$1" $x 45
    seen aKeyDragOver 0 10 && break
  done
  local over; over=$(count aKeyDragOver)
  xdotool mousemove --window "$1" "$3" 45
  logged aKeyDragOver "$over"
  xdotool mouseup 1
  logged 'In aKeyDragDrop'
}

program() { # what the run is called
  start_sim_on "$work/mem.bin"
  "$BIN/ptu" 2>"err.$1" &
  local pid=$!
  local id; id=$(window '\.1$')
  check "$1: the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
  xdotool mousemove --window "$id" 600 300
  keys "$id" Return
  logged 'In EditEnter'
  xdotool type --delay 50 'Total{ enter }'
  xdotool key Return
  # Key 1A1 lies at the grid's top left, 1B1 right of it (below the menu bar).
  drag "$id" 40 110
  xdotool key ctrl+w
  # The write takes about three seconds: wait for the keyboard's memory.
  local listing=""
  for _ in $(seq 100); do
    listing=$("$BIN/ptu-tpl" decode "$work/mem.bin" --model 4 2>/dev/null | grep '^key ')
    [ -n "$listing" ] && break
    sleep 0.2
  done
  check "$1: the keyboard holds the macro on the neighbour only" "key 0 1 0 Total{ENTER}" "$listing"
  # Keys reach nothing while the write runs: its progress box goes first.
  gone '^ *Tessaral Programmable Keyboard *$'
  quit "$id" $pid
  check "$1: the program ends with 0" 0 "$rc"
  [ "$rc" = 0 ] || cat "err.$1" >&2
}

program "bare X server"

# German characters, typed on a German keyboard and saved on the bare server.
# Each key is pressed again until the program has read its character: even on
# the German map xdotool now and then sends a character through a spare key
# code it maps for the moment, and the program may read that code unmapped.
german() {
  local pair keys chars
  for pair in adiaeresis:e4 odiaeresis:f6 udiaeresis:fc ssharp:df; do
    for _ in 1 2 3 4 5; do
      keys=$(count 'In FormKeyDown(') chars=$(count "In FormKeyPress ${pair#*:}h")
      xdotool key "${pair%:*}"
      logged 'In FormKeyDown(' "$keys"
      [ "$(count "In FormKeyPress ${pair#*:}h")" -gt "$chars" ] && break
    done
  done
}
command -v setxkbmap >/dev/null || { echo "FAILED: setxkbmap is not installed (Xvfb brings it)"; exit 1; }
setxkbmap de
LANG=de_DE.UTF-8 "$BIN/ptu" 2>err.de &
pid=$!
id=$(window '\.1$')
xdotool mousemove --window "$id" 600 300
keys "$id" Return
logged 'In EditEnter'
german
xdotool key Return ctrl+s
dialog=$(window '^Save Tessaral Keyboard Data File$')
setxkbmap us
keys "$dialog" ctrl+a
xdotool type --delay 50 "$work/de.tpl"
xdotool key Return
written "$work/de.tpl"
check "the German letters are stored as the German keyboard's bytes" 'key 0 0 0 \xE4\xF6\xFC\xDF' \
  "$("$BIN/ptu-tpl" decode "$work/de.tpl" --locale de 2>/dev/null | grep '^key ')"
gone '^Save Tessaral Keyboard Data File$'
quit "$id" $pid
check "the German run ends with 0" 0 "$rc"

if command -v openbox >/dev/null; then
  window_manager
  rm -f "$work/mem.bin"
  program "window manager"
  kill $wm 2>/dev/null
else
  echo "FAILED: openbox is not installed (make test installs it)"
  fail=1
fi
exit $fail
