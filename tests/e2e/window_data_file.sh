#!/usr/bin/env bash
# The real window under a window manager (openbox) on a virtual display: its
# frame, title bar included, lies on the screen; Save to a folder, a change,
# Save again (the dialog opens in that folder with the name filled in), and
# Open of a data file without a captions file after one with captions.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1
for tool in openbox xwininfo xprop; do
  command -v $tool >/dev/null || { echo "FAILED: $tool is not installed (make test installs it)"; exit 1; }
done
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm $xpid 2>/dev/null; stop_sim; rm -rf "$work"' EXIT
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

# Waits until the log holds a line matching $1.
logged() { for _ in $(seq 100); do grep -q "$1" ptu.log && return 0; sleep 0.1; done; return 1; }
# Waits until file $1 is newer than the stamp file.
written() { for _ in $(seq 100); do [ "$1" -nt stamp ] && return 0; sleep 0.1; done; return 1; }
# A file dialog titled $1: the name typed ($2), or the one filled in. The
# question whether to replace a file (a box of the same title) is answered
# Yes.
file_dialog() {
  local d n; d=$(window "$1")
  check "the dialog \"$1\" comes up" yes "$([ -n "$d" ] && echo yes || echo no)"
  sleep 0.5
  xdotool windowfocus --sync "$d" 2>/dev/null
  if [ -n "${2:-}" ]; then xdotool key --delay 50 ctrl+a; xdotool type --delay 20 "$2"; fi
  xdotool key --delay 100 Return
  for _ in $(seq 100); do
    n=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l)
    [ "$n" = 0 ] && return 0
    if [ "$n" -ge 2 ]; then sleep 0.3; xdotool key --delay 100 alt+y; fi
    sleep 0.1
  done
}

start_sim_on "$work/mem.bin"
mkdir shop
: > ptu.log
PTU_LOG=$work/ptu.log "$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"

# The frame, title bar included, from the screen's top left, within the
# screen: the client window's place (xwininfo) widened by the frame the
# window manager drew around it (its _NET_FRAME_EXTENTS).
eval "$(xwininfo -frame -id "$id" | sed -n 's/^ *Absolute upper-left X: *\(-*[0-9]*\)/cx=\1/p; s/^ *Absolute upper-left Y: *\(-*[0-9]*\)/cy=\1/p; s/^ *Width: *\([0-9]*\)/cw=\1/p; s/^ *Height: *\([0-9]*\)/ch=\1/p')"
read -r el er et eb <<<"$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,)"
fx=$((cx - ${el:-0})) fy=$((cy - ${et:-0})) fw=$((cw + ${el:-0} + ${er:-0})) fh=$((ch + ${et:-0} + ${eb:-0}))
check "the window manager framed the window" yes "$([ "${et:-0}" -gt 0 ] && echo yes || echo no)"
check "the frame's top left is the screen's" "0 0" "${fx:-} ${fy:-}"
check "the frame lies within the 1280 x 800 screen" yes \
  "$([ "${fx:-1}" -ge 0 ] && [ "${fy:-1}" -ge 0 ] && [ $((fx + fw)) -le 1280 ] && [ $((fy + fh)) -le 800 ] && echo yes || echo no)"
check "the frame leaves the task bar's 27 rows" yes "$([ $((fy + fh)) -ge 760 ] && [ $((fy + fh)) -le 773 ] && echo yes || echo no)"

# A macro and a caption on the first key, saved into a folder of its own.
keys "$id" Return
xdotool type --delay 50 'coffee'
keys "$id" Return
keys "$id" ctrl+Return
xdotool type --delay 50 'Coffee'
keys "$id" Return
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File" "$work/shop/till.tpl"
check "the window names the file saved" yes "$(logged ' data source: till.tpl $' && echo yes || echo no)"

# A change: the window says so.
keys "$id" Return
xdotool type --delay 50 'tea'
keys "$id" Return
check "the window says the key data changed" yes "$(logged ' data source: till.tpl (changed) $' && echo yes || echo no)"

# Save again: the dialog in that folder, the name filled in; Return saves there.
touch stamp  # file times to the nanosecond
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File"
check "the second Save writes the same file" yes "$(written shop/till.tpl && echo yes || echo no)"
check "... with the changed key" "key 0 0 0 coffeetea" "$("$BIN/ptu-tpl" decode shop/till.tpl 2>/dev/null | grep '^key ')"
check "... and the caption" "caption 0 0 0 Coffee" "$(grep -v '^#' shop/till.tpl.captions 2>/dev/null)"

# A data file without captions, opened after the one with them: default
# names, so saving it writes no captions file.
cp shop/till.tpl shop/plain.tpl
keys "$id" ctrl+o
file_dialog "Open Tessaral Keyboard Data file" "plain.tpl"
check "Open takes the name in the folder of the last data file" yes "$(logged ' data source: plain.tpl $' && echo yes || echo no)"
touch stamp
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File"
check "plain.tpl is saved again" yes "$(written shop/plain.tpl && echo yes || echo no)"
check "... without a captions file: the keys have their default names" no "$([ -e shop/plain.tpl.captions ] && echo yes || echo no)"

keys "$id" Escape
keys "$(window '^Tessaral POS Keyboard$')" Return
ended $pid
check "the program ends with 0" 0 "$rc"
[ $fail = 0 ] || cat err >&2
exit $fail
