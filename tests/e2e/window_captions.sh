#!/usr/bin/env bash
# Key captions in the real window on a virtual display: a macro and a caption
# typed on the first key, Ctrl+S before and after the caption. The captions
# file beside the data file holds the caption, the data file is the same bytes
# either way, and a new window that opens it has the caption again. Then
# ptu-tpl: decode lists it, encode writes both files again, legends prints it.
source "$(dirname "$0")/lib/common.sh" "$1"
source "$(dirname "$0")/lib/display.sh"
cd "$work" || exit 1
command -v pdftotext >/dev/null || { echo "FAILED: pdftotext is not installed (make test installs poppler-utils)"; exit 1; }

# Types a file name into the file dialog titled $1. A Return that only
# closes the name box's completion list is followed by another.
file_dialog() {
  local d; d=$(window "$1")
  check "the dialog \"$1\" comes up" yes "$([ -n "$d" ] && echo yes || echo no)"
  keys "$d" ctrl+a
  xdotool type --delay 20 "$2"
  for _ in 1 2 3; do
    xdotool key --delay 100 Return
    gone "$1" 20 && return 0
  done
}
quit() { # window id, pid
  keys "$1" Escape
  keys "$(window '^Tessaral POS Keyboard$')" Return
  ended "$2"
  check "the program ends with 0" 0 "$rc"
}

start_sim_on "$work/mem.bin"
"$BIN/ptu" 2>err &
pid=$!
id=$(window '\.1$')
check "the window comes up" yes "$([ -n "$id" ] && echo yes || echo no)"
keys "$id" Return
xdotool type --delay 50 'coffee{ENTER}'
xdotool key Return ctrl+s
file_dialog "Save Tessaral Keyboard Data File" "$work/plain.tpl"
# The window takes the next key once the Save has ended.
keys "$id" ctrl+Return
logged 'In PanelEnter'
check "no captions file while every caption is its default" no "$([ -e plain.tpl.captions ] && echo yes || echo no)"
xdotool type --delay 50 'Coffee'
xdotool key Return ctrl+s
file_dialog "Save Tessaral Keyboard Data File" "$work/shop.tpl"
written shop.tpl.captions
check "the captions file holds the caption" "caption 0 0 0 Coffee" "$(grep -v '^#' shop.tpl.captions 2>/dev/null)"
check "shop.tpl is the bytes it is without captions" same "$(same plain.tpl shop.tpl)"
quit "$id" $pid

"$BIN/ptu" 2>>err &
pid=$!
id=$(window '\.1$')
keys "$id" ctrl+o
file_dialog "Open Tessaral Keyboard Data file" "$work/shop.tpl"
# What the new window holds goes into a file of its own.
keys "$id" ctrl+s
file_dialog "Save Tessaral Keyboard Data File" "$work/again.tpl"
written again.tpl.captions
check "a new window opens shop.tpl with its caption" same "$(same shop.tpl.captions again.tpl.captions)"
quit "$id" $pid

"$BIN/ptu-tpl" decode shop.tpl >shop.lst 2>/dev/null
check "decode lists the caption line" "caption 0 0 0 Coffee" "$(grep '^caption' shop.lst)"
mkdir copy
"$BIN/ptu-tpl" encode shop.lst -o copy/shop.tpl
check "encode writes the data file again" same "$(same shop.tpl copy/shop.tpl)"
check "encode writes the captions file again" same "$(same shop.tpl.captions copy/shop.tpl.captions)"
"$BIN/ptu-tpl" legends shop.tpl -o sheet.pdf 2>/dev/null
check "legends exits 0" 0 $?
text=$(pdftotext sheet.pdf - 2>/dev/null)
check "the legend shows the caption" yes "$(grep -q Coffee <<<"$text" && echo yes || echo no)"
for page in 1 2 3 4 P; do
  check "the legend has Page $page" yes "$(grep -q "Page $page\b" <<<"$text" && echo yes || echo no)"
done
check "the legend has no macro texts" no "$(grep -q 'coffee{ENTER}' <<<"$text" && echo yes || echo no)"
"$BIN/ptu-tpl" legends shop.tpl --texts -o texts.pdf 2>/dev/null
check "--texts adds the macro texts" yes "$(pdftotext texts.pdf - 2>/dev/null | grep -q 'coffee{ENTER}' && echo yes || echo no)"
[ $fail = 0 ] || cat err >&2
exit $fail
