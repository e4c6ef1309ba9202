#!/usr/bin/env bash
# ptu-drivercheck against the emulated keyboard: a port keyboard of each
# memory size (reads only, then --write, which must leave the memory file as
# it was), kbdsim's faults (each named on its operation's line), the
# emulated USB library, and bad arguments.
source "$(dirname "$0")/lib/common.sh" "$1"
unset HIDPAD_LIBRARY HIDPAD_EMU_FAIL HIDPAD_EMU_TYPE HIDPAD_EMU_STATUS
cd "$work" || exit 1
dc=$BIN/ptu-drivercheck
op() { grep -m 1 "^$1  " out; }  # the report line of an operation
requests() { grep -c " $1 (0x" sim.log; }  # requests of one function kbdsim served

for keyboard in 2048:84 4096:94 8192:A4; do
  kbb=${keyboard%%:*} r2a=${keyboard##*:}
  head -c "$kbb" /dev/urandom >mem.bin
  cp mem.bin before.bin
  start_sim_on "$work/mem.bin" --r2a "0x$r2a" --verbose --log "$work/sim.log"
  "$dc" --socket "$PORTGATE_SOCKET" >out 2>err
  check "$kbb bytes: the reads conform" 0 $?
  check "$kbb bytes: a line for each read operation, all OK" "INFO DSAB 8042 READ block read " \
    "$(grep '  OK  ' out | cut -c1-18 | sed 's/ *$//' | tr '\n' ' ')"
  check "$kbb bytes: the last line names the keyboard" "keyboard           r2a 0x$r2a, r2e 0x01: $kbb bytes of memory" \
    "$(tail -n 1 out)"
  check "$kbb bytes: without --write nothing is written" "0 0" "$(requests write) $(requests bwrite)"
  check "$kbb bytes: every block was read" $((kbb / 16)) "$(requests bread)"

  "$dc" --socket "$PORTGATE_SOCKET" --write >out 2>err
  rc=$?; check "$kbb bytes: --write conforms: $(grep FAULT out)" 0 $rc
  check "$kbb bytes: --write leaves the memory file as it was" same "$(same mem.bin before.bin)"
  check "$kbb bytes: one WRITE and every block written" "1 $((kbb / 16))" "$(requests write) $(requests bwrite)"
  check "$kbb bytes: the read-backs compared" 2 "$(grep -c '^READ after WRITE .* OK .*the memory WRITE sent$\|^block read-back .* OK .*the memory the blocks sent$' out)"
  stop_sim
  rm -f sim.log
done

# Faults of the driver: exit 1, the operation's line names the fault, and
# with --write nothing is written after a read went wrong.
head -c 8192 /dev/urandom >mem.bin
cp mem.bin before.bin
faults=(
  "--short-reply 1@read|READ|short reply: 10 bytes"
  "--bad-endmark 1@read|READ|0xC1 where the end mark 0xC0 belongs"
  "--no-reply 1@read|READ|no reply within 1000 ms"
  "--drop-after 3|READ|no reply: the connection closed"
  "--no-frame|INFO|no register frame"
  "--block-fail 0x100:1|block read|block 0x0100, attempt 1: the driver reported failure, error 5"
)
for f in "${faults[@]}"; do
  IFS='|' read -r options name words <<<"$f"
  start_sim_on "$work/mem.bin" $options --verbose --log "$work/sim.log"
  SECONDS=0
  "$dc" --socket "$PORTGATE_SOCKET" --write --deadline-ms 1000 >out 2>err
  check "$options: exit 1" 1 $?
  check "$options: the $name line names the fault" yes "$(op "$name" | grep -q "FAULT .*$words" && echo yes)"
  check "$options: nothing written" "0 0" "$(requests write) $(requests bwrite)"
  check "$options: the run takes no driver's deadline" yes "$([ $SECONDS -lt 20 ] && echo yes)"
  stop_sim
  rm -f sim.log
done
check "the faults left the memory as it was" same "$(same mem.bin before.bin)"
"$dc" --socket "$work/nobody" >out 2>err
check "no driver at all: exit 1" 1 $?
check "no driver at all: INFO says why" yes "$(op INFO | grep -q "FAULT .*cannot reach the keyboard driver at $work/nobody" && echo yes)"
check "no driver at all: no keyboard" "keyboard           not identified" "$(tail -n 1 out)"

# The emulated USB library.
export HIDPAD_EMU_MEMORY=$work/usb.bin HIDPAD_EMU_TRACE=$work/trace
head -c 8192 /dev/urandom >usb.bin
printf '\x02\x04\x01\x69\x55\xaa\xd6' | dd of=usb.bin bs=1 seek=8185 conv=notrunc status=none
cp usb.bin usb-before.bin
"$dc" --library "$BIN/libhidpad.so" >out 2>err
check "USB: the reads conform" 0 $?
check "USB: the library calls of a check" "OpenHidPad 0,ReadConfig 0,ReadData 0,CloseHidPad 0," "$(tr '\n' , <trace)"
check "USB: the last line names the keyboard" "keyboard           USB type 9, r2a 0x69, r2e 0x15: 8192 bytes of memory" \
  "$(tail -n 1 out)"
rm -f trace
"$dc" --library "$BIN/libhidpad.so" --write >out 2>err
rc=$?; check "USB: --write conforms: $(grep FAULT out)" 0 $rc
check "USB: --write writes and reads back" "OpenHidPad 0,ReadConfig 0,ReadData 0,WriteData 0,ReadData 0,CloseHidPad 0," \
  "$(tr '\n' , <trace)"
check "USB: --write leaves the memory file as it was" same "$(same usb.bin usb-before.bin)"
rm -f trace
HIDPAD_EMU_FAIL=read "$dc" --library "$BIN/libhidpad.so" --write >out 2>err
check "USB: a failing ReadData exits 1" 1 $?
check "USB: its line names the status" yes "$(op ReadData | grep -q 'FAULT .*ReadData returned 5, not 0' && echo yes)"
check "USB: nothing written after a failed read" 0 "$(grep -c WriteData trace)"
"$dc" --library "$work/nowhere.so" >out 2>err
check "USB: a library that does not load exits 1" 1 $?
check "USB: its line says so" yes "$(op library | grep -q "FAULT .*cannot load $work/nowhere.so" && echo yes)"

# Bad arguments, and the help.
for bad in "--socket" "--socket a --library b" "--bogus" "--deadline-ms 0" "--write=1" "extra"; do
  "$dc" $bad >out 2>err
  check "'$bad' is a bad argument" 2 $?
  check "'$bad' gets a usage line" 1 "$(grep -c '^Usage: ptu-drivercheck' err)"
done
"$dc" --help >out 2>err
check "--help exits 0" 0 $?
check "--help points to the interface document" 1 "$(grep -c 'driver-interface.md' out)"
check "kbdsim --help points to it too" yes "$("$BIN/kbdsim" --help | grep -q 'driver-interface.md' && echo yes)"
exit $fail
