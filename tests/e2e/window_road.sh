#!/usr/bin/env bash
# The interactive road of the real ptu on a virtual display: the window comes
# up on the emulated keyboard with its caption, Escape asks before quitting,
# a cancelled chooser ends the run without a window, and without a display
# the road says so.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1

start_sim_on "$work/mem.bin"
"$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up with the caption ending in .1" yes "$([ -n "$id" ] && echo yes || echo no)"
check "the caption is the shipped one" "Tessaral Programmable Keyboard Manager  v5.17.1" \
  "$(xdotool getwindowname "$id" 2>/dev/null | sed 's/^ *//')"
check "the window fills the screen less the task bar" "1280x773" \
  "$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {print $2}')"
keys "$id" Escape
box=$(window '^Tessaral POS Keyboard$')
check "Escape asks before quitting" yes "$([ -n "$box" ] && echo yes || echo no)"
keys "$box" Escape                      # Cancel: the window stays
gone '^Tessaral POS Keyboard$'
focused "$id"
check "Cancel keeps the program running" yes "$(kill -0 $pid 2>/dev/null && echo yes || echo no)"
keys "$id" Escape
box=$(window '^Tessaral POS Keyboard$')
keys "$box" Return                      # OK
ended $pid
check "OK ends the program with 0" 0 "$rc"

# A keyboard that names no model: the memory-type chooser; Esc ends the run.
start_sim_on "$work/mem2.bin" --r2a 0
"$BIN/ptu" 2>err &
pid=$!
# The progress box carries the same title until the model decision renames
# it: the chooser is the visible window of that name that is not 380 x 190.
chooser=
for _ in $(seq 600); do
  for w in $(xdotool search --onlyvisible --name '^Tessaral Programmable Keyboard$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 380x190' || chooser=$w
  done
  [ -n "$chooser" ] && break
  sleep 0.1
done
check "an unidentified keyboard brings the memory-type chooser" yes "$([ -n "$chooser" ] && echo yes || echo no)"
[ -n "$chooser" ] || cat err
keys "$chooser" Escape
ended $pid
check "a cancelled chooser ends with 0" 0 "$rc"
check "and no main window was shown" "" "$(xdotool search --name 'v5.17' 2>/dev/null)"

# Without a display the road says so in one line and ends with 1.
env -u DISPLAY -u WAYLAND_DISPLAY "$BIN/ptu" 2>err
check "no display: exit 1" 1 $?
check "no display: one line on standard error" 1 "$(wc -l < err)"
[ $fail = 0 ] || cat err >&2
exit $fail
