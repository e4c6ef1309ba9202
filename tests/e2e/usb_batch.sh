#!/usr/bin/env bash
# The USB road of the real ptu in batch runs, against the emulated USB
# keyboard libhidpad.so beside it, without a display.
set -u
BIN=${1:?usage: $0 BINDIR}
unset DISPLAY WAYLAND_DISPLAY HIDPAD_LIBRARY HIDPAD_EMU_FAIL HIDPAD_EMU_TYPE
export PTU_NO_SOUND=1
work=$(mktemp -d /tmp/ptuXXXXXXXX)  # no "-" in paths that ptu scans for switches
export PTU_LOG=$work/ptu.log HIDPAD_EMU_MEMORY=$work/memory HIDPAD_EMU_TRACE=$work/trace
export XDG_STATE_HOME=$work/state
# No driver answers: every keyboard access must go through the USB library.
export PORTGATE_SOCKET=$work/portgate VPTU_SOCKET=$work/vptu
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
fail=0
check() { # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1 (expected '$2', got '$3')"; fail=1; fi
}
same() { cmp -s "$1" "$2" && echo same || echo different; }
calls() { [ -f trace ] && tr '\n' ',' < trace; rm -f trace; }

# A keyboard memory with something in every byte, the QX-63 model byte and
# the signature at the end.
head -c 8192 /dev/urandom > mem.bin
printf '\x10' | dd of=mem.bin bs=1 seek=0 conv=notrunc status=none
printf '\x02\x04\x01\x69\x55\xaa\xd6' | dd of=mem.bin bs=1 seek=8185 conv=notrunc status=none
cp mem.bin memory

: > ptu.log
"$BIN/ptu" -u -r out 2>err; check "ptu -u -r exits 0" 0 $?
check "the file is the keyboard memory" same "$(same out memory)"
check "library calls of a batch read" "OpenHidPad 0,ReadConfig 0,ReadData 0,CloseHidPad 0," "$(calls)"
check "the type is logged" 1 "$(grep -c '^ r2a & 0x1f = 9 $' ptu.log)"
check "no driver device was asked" 0 "$(grep -c 'CreateFile' ptu.log)"
check "nothing failed" 0 "$(grep -c 'failed' err)"

# -w writes without the model check: this file names another model.
head -c 8192 /dev/urandom > in
printf '\x6a\x55\xaa\xd6' | dd of=in bs=1 seek=8188 conv=notrunc status=none
"$BIN/ptu" -u -w in 2>err; check "ptu -u -w exits 0" 0 $?
check "the keyboard holds the file" same "$(same in memory)"
check "library calls of a batch write" "OpenHidPad 0,ReadConfig 0,WriteData 0,CloseHidPad 0," "$(calls)"
"$BIN/ptu" -u -r back 2>err; check "reading it back exits 0" 0 $?
check "read back equals what was written" same "$(same in back)"
calls >/dev/null

# The library's failures.
HIDPAD_EMU_FAIL=read "$BIN/ptu" -u -r failed 2>err; check "a failed read passes the library status on" 5 $?
check "the read failure is shown" 1 "$(grep -c '^Tessaral USB POS Keyboard Manager: Keyboard read/write failed!$' err)"
check "a failed read leaves no file" no "$([ -e failed ] && echo yes || echo no)"
check "the library is closed after a failed read" "CloseHidPad 0" "$(tail -n 1 trace)"
calls >/dev/null
cp memory before
HIDPAD_EMU_FAIL=write "$BIN/ptu" -u -w mem.bin 2>err; check "a failed write passes the library status on" 5 $?
check "a failed write changes nothing" same "$(same before memory)"
calls >/dev/null

# A status the exit code would cut to 0 still exits non-zero.
for status in 256 512 -256; do
  HIDPAD_EMU_FAIL=read HIDPAD_EMU_STATUS=$status "$BIN/ptu" -u -r failed 2>err
  check "a failed read with status $status exits 255" 255 $?
  HIDPAD_EMU_FAIL=write HIDPAD_EMU_STATUS=$status "$BIN/ptu" -u -w mem.bin 2>err
  check "a failed write with status $status exits 255" 255 $?
done
calls >/dev/null

# The batch run ends when the keyboard cannot be opened or reports nothing.
for f in open config; do
  HIDPAD_EMU_FAIL=$f "$BIN/ptu" -u -r none 2>err; check "batch run with $f failing exits 1" 1 $?
  check "no file after $f failing" no "$([ -e none ] && echo yes || echo no)"
done
check "calls with open and config failing" "OpenHidPad 1,CloseHidPad 2,OpenHidPad 0,ReadConfig 5,CloseHidPad 0," "$(calls)"
: > ptu.log
HIDPAD_LIBRARY=$work/nowhere.so "$BIN/ptu" -u -r none 2>err; check "batch run without a library exits 1" 1 $?
check "the failed load is logged" 1 "$(grep -c '^ hm=(nil), lerr=[1-9][0-9]* $' ptu.log)"
check "no file without a library" no "$([ -e none ] && echo yes || echo no)"
check "nothing of the library ran" "" "$(calls)"

# A keyboard of a type no model belongs to: the box, then the QX-63 values.
: > ptu.log
HIDPAD_EMU_TYPE=14 "$BIN/ptu" -u -s 2>err; check "controller road on an unknown type exits 0" 0 $?
check "no such type is shown" 1 "$(grep -c '^AskConfig, util: no such type$' err)"
check "the QX-63 values stay" 1 "$(grep -c '^ kbt_f=13, kbp_f=6, kbb_f=8192, lmt=8090 $' ptu.log)"
check "the controller road closes the library too" "OpenHidPad 0,ReadConfig 0,CloseHidPad 0," "$(calls)"

# Test mode: the fixed block, no library at all.
: > ptu.log
# The controller operation itself finds no library loaded: status 1.
HIDPAD_LIBRARY=$work/nowhere.so "$BIN/ptu" -u -t -s 2>err; check "ptu -u -t -s ends with the operation's status" 1 $?
check "test block: type 9" 1 "$(grep -c '^ r2a & 0x1f = 9 $' ptu.log)"
check "test block: QX-63" 1 "$(grep -c '^ kbt_f=13, kbp_f=6, kbb_f=8192, lmt=8090 $' ptu.log)"
check "test block: registers" 1 "$(grep -c '^ r2a=69, r2e=15, r27=4, r28=3, r29=2, ldt=10 $' ptu.log)"

# Without a display nobody can choose the model: the run ends with 1.
HIDPAD_LIBRARY=$work/nowhere.so "$BIN/ptu" -u 2>err; check "interactive run without library and display exits 1" 1 $?
check "it says why" 1 "$(grep -c 'cannot be chosen without a display' err)"

# "-u" inside another word (not a file name) takes the USB road as well.
"$BIN/ptu" -r xy.bin log-usb 2>err; check "-u inside a word takes the USB road" 0 $?
check "and reads through the library" same "$(same xy.bin memory)"

exit $fail
