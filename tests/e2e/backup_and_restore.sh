#!/usr/bin/env bash
# A shop keeps backups of its keyboard under everyday file names and restores
# them: names holding "-d", "-u", "-help" or a quote, files that are no image
# of the keyboard, a folder the user may not write.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
head -c 8192 /dev/urandom > mem.bin
start_sim_on mem.bin

# Switch letters inside a file name are part of the name.
for name in 2024-demo.bin keys-usb.bin "store 3 -help.bin"; do
  "$BIN/ptu" -R "$name" > out 2> err; check "-R '$name' exits 0" 0 $?
  check "-R '$name' holds the memory" same "$(same "$name" mem.bin)"
  check "-R '$name' shows no help" "" "$(cat out)"
done
head -c 8192 /dev/urandom > shop-data.bin
"$BIN/ptu" -W shop-data.bin 2> err; check "-W shop-data.bin exits 0" 0 $?
check "-W shop-data.bin is in the keyboard" same "$(same mem.bin shop-data.bin)"

# Files that are no image of this keyboard never reach it.
cp mem.bin before.bin
"$BIN/ptu-tpl" decode shop-data.bin > back.txt 2>/dev/null
: > err-all
for args in "-W back.txt" "-W /dev/null" "-w /dev/zero" "-w ." ; do
  "$BIN/ptu" $args 2>> err-all; check "ptu $args exits 3" 3 $?
  check "ptu $args leaves the keyboard" same "$(same mem.bin before.bin)"
done
check "the sizes are said" 3 "$(grep -c 'is no keyboard image: it holds .* bytes, a keyboard.s memory 2048, 4096 or 8192' err-all)"
check "a folder is said" 1 "$(grep -c 'cannot read .: Is a directory' err-all)"
head -c 2048 /dev/urandom > mem2k.bin; cp mem2k.bin before2k.bin
start_sim_on mem2k.bin --r2a 0x84
"$BIN/ptu" -W shop-data.bin 2> err; check "an 8K image for a 2K keyboard exits 3" 3 $?
check "... names both sizes" 1 "$(grep -c 'holds 8192 bytes, the keyboard.s memory 2048 bytes' err)"
check "... leaves the keyboard" same "$(same mem2k.bin before2k.bin)"

# A name holding a double quote is refused; no other file is read or made.
start_sim_on mem.bin
ls > files-before
"$BIN/ptu" -r 'x"y z.bin' 2> err; check "-r with a quote in the name exits 2" 2 $?
cp shop-data.bin 'x"y.bin'; ls > files-before
"$BIN/ptu" -W 'x"y.bin' 2> err; check "-W with a quote in the name exits 3" 3 $?
check "... made no file" "" "$(ls | diff - files-before)"
check "... wrote nothing" same "$(same mem.bin before.bin)"

# A file the user may write in a folder the user may not: read in place;
# a failed read leaves it alone. Only root can play the other user here.
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  chmod 755 "$work"; mkdir locked; chmod 755 locked
  echo "old backup" > locked/keys.bin; chown nobody locked/keys.bin; chmod 666 "$PORTGATE_SOCKET"
  as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
  as_nobody "$BIN/ptu" -R locked/keys.bin 2> err; check "-R into a locked folder exits 0" 0 $?
  check "... the file holds the memory" same "$(same locked/keys.bin mem.bin)"
  echo "old backup" > locked/keys.bin
  as_nobody "$BIN/ptu" -r locked/keys.bin 2> err; check "-r into a locked folder exits 0" 0 $?
  check "... the file holds the memory" same "$(same locked/keys.bin mem.bin)"
  echo "old backup" > locked/keys.bin; cp locked/keys.bin old.bin
  start_sim_on mem.bin --block-fail 0x400:5; chmod 666 "$PORTGATE_SOCKET"
  as_nobody "$BIN/ptu" -R locked/keys.bin 2> err; check "a failed -R into a locked folder exits 4" 4 $?
  check "... leaves the file" same "$(same locked/keys.bin old.bin)"
  check "... leaves no temporary" "" "$(ls -A locked | grep -v '^keys.bin$')"
  # Written in place, a write failing half-way names the file, never cuts it.
  head -c 8192 /dev/urandom > locked/keys.bin; chown nobody locked/keys.bin
  start_sim_on mem.bin; chmod 666 "$PORTGATE_SOCKET"
  (trap '' XFSZ; ulimit -f 4; as_nobody "$BIN/ptu" -R locked/keys.bin) 2> err
  check "a failing write in place exits 2" 2 $?
  check "... names the file" 1 "$(grep -c 'cannot write locked/keys.bin: File too large' err)"
  check "... leaves the file its length" 8192 "$(stat -c %s locked/keys.bin)"
else
  echo "skipped: the locked folder needs root and setpriv"
fi
check "no temporary files are left" "" "$(ls -A | grep '\.part$')"
exit $fail
