#!/usr/bin/env bash
# The real window under openbox: its frame on the screen; Save into a folder,
# a change, Save again (the dialog there, the name filled in), and Open of a
# data file without captions after one with them.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1
command -v openbox >/dev/null && command -v xwininfo >/dev/null || { echo "FAILED: make test installs openbox and x11-utils"; exit 1; }
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm $xpid 2>/dev/null; stop_sim; rm -rf "$work"' EXIT
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

logged() { for _ in $(seq 100); do grep -q "$1" ptu.log && echo yes && return; sleep 0.1; done; echo no; }
written() { for _ in $(seq 100); do [ "$1" -nt stamp ] && echo yes && return; sleep 0.1; done; echo no; }
# A file dialog: the name $2 typed, or the one filled in; "replace?" answered Yes.
file_dialog() {
  xdotool windowfocus --sync "$(window "$1")" 2>/dev/null; sleep 0.5
  if [ -n "${2:-}" ]; then xdotool key --delay 50 ctrl+a; xdotool type --delay 20 "$2"; fi
  xdotool key --delay 100 Return
  for _ in $(seq 100); do
    n=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l)
    [ "$n" = 0 ] && return
    [ "$n" -ge 2 ] && { sleep 0.3; xdotool key --delay 100 alt+y; }
    sleep 0.1
  done
}
edit() { keys "$id" "$1"; xdotool type --delay 50 "$2"; keys "$id" Return; }

start_sim_on "$work/mem.bin"
mkdir shop
: > ptu.log
PTU_LOG=$work/ptu.log "$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
# The client window widened by the frame the manager drew (_NET_FRAME_EXTENTS).
eval "$(xwininfo -frame -id "$id" | sed -n 's/^ *Absolute upper-left \([XY]\): *\(-*[0-9]*\)/c\1=\2/p; s/^ *\(Width\|Height\): *\([0-9]*\)/\1=\2/p')"
read -r el er et eb <<<"$(xprop -id "$id" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ,)"
check "the frame, title bar included, from the screen's corner to the task bar's 27 rows" "0 0 1280 773" \
  "$((cX - el)) $((cY - et)) $((Width + el + er)) $((Height + et + eb))"

edit Return coffee
edit ctrl+Return Coffee
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File" "$work/shop/till.tpl"
check "the window names the file saved" yes "$(logged ' data source: till.tpl $')"
edit Return tea
check "... and says it changed" yes "$(logged ' data source: till.tpl (changed) $')"
touch stamp
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File"
check "Save again: in that folder, the name filled in" yes "$(written shop/till.tpl)"
check "... with the change" "key 0 0 0 coffeetea" "$("$BIN/ptu-tpl" decode shop/till.tpl 2>/dev/null | grep '^key ')"

cp shop/till.tpl shop/plain.tpl
keys "$id" ctrl+o
file_dialog "Open Tessaral Keyboard Data file" "plain.tpl"
check "Open in the folder of the last data file" yes "$(logged ' data source: plain.tpl $')"
touch stamp
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File"
check "a data file without captions gives the keys their default names" "yes no" \
  "$(written shop/plain.tpl) $([ -e shop/plain.tpl.captions ] && echo yes || echo no)"

keys "$id" Escape
keys "$(window '^Tessaral POS Keyboard$')" Return
ended $pid
check "the program ends with 0" 0 "$rc"
[ $fail = 0 ] || cat err >&2
exit $fail
