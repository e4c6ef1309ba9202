#!/usr/bin/env bash
# The batch roads of the real ptu when things go wrong: blocks that fail
# once are retried, a block that fails five times ends the run with exit 4
# and leaves the old file, a failed single read leaves the old file, and a
# missing keyboard gives exit 1. Each failed block attempt waits 2.5 s, so
# only a handful are injected here; the rest is tested on the virtual clock.
source "$(dirname "$0")/lib/common.sh" "$1"
start_sim() { start_sim_on "$work/mem.bin" "$@"; }

cd "$work"
head -c 8192 /dev/urandom > mem.bin
cp mem.bin before.bin

# No keyboard at all: five attempts, then exit 1 with a line saying so.
"$BIN/ptu" -R none.bin 2> err; check "no keyboard exits 1" 1 $?
check "no keyboard is said on standard error" 1 "$(grep -c 'did not identify itself' err)"
check "no keyboard is shown in the progress box" 1 "$(grep -c '^No keyboard answered: nothing was transferred.$' err)"
check "no keyboard writes no file" no "$([ -e none.bin ] && echo yes || echo no)"

# Two blocks fail once each: two pauses, then the exact memory.
start_sim --block-fail 0x100:1 --block-fail 0x1ff0:1
"$BIN/ptu" -R out.bin 2> err; check "-R with two failing blocks exits 0" 0 $?
check "-R with two failing blocks reads exactly" same "$(same out.bin before.bin)"

# One block fails five times: exit 4, the old file stays.
echo "the previous image" > keep.bin
cp keep.bin keep-before.bin
start_sim --block-fail 0x800:5
"$BIN/ptu" -R keep.bin 2> err; check "-R with a dead block exits 4" 4 $?
check "-R with a dead block reports rwkf16 error" 1 "$(grep -c 'rwkf16 error' err)"
check "-R with a dead block is not shown completed" 0 "$(grep -c '100%' err)"
check "-R with a dead block leaves the old file" same "$(same keep.bin keep-before.bin)"

# A write that stops part-way: exit 4, and after "rwkf16 error" standard error
# says how much of the new image the keyboard holds, and why.
start_sim --block-fail 0x100:all
head -c 8192 /dev/urandom > new.bin
"$BIN/ptu" -W new.bin 2> err; check "-W with a dead block exits 4" 4 $?
check "... after rwkf16 error names the part that reached the keyboard, and why" 1 "$(grep -A1 'rwkf16 error' err |
  grep -c 'the first 256 of 8,192 bytes are the new programming, the rest is the old. Write it again. Cause: the block at 0x0100')"
check "... the progress said which attempt ran" 1 "$(grep -c '^block 17 of 512, attempt 5 of 5$' err)"
stop_sim
check "... which is so" same "$(cat <(head -c 256 new.bin) <(tail -c +257 before.bin) | cmp -s - mem.bin && echo same)"
cp before.bin mem.bin

# The single READ fails: a non-zero exit, the old file stays.
start_sim --fail-code read
"$BIN/ptu" -r keep.bin 2> err; rc=$?
check "-r with a failing READ exits non-zero" yes "$([ $rc -ne 0 ] && echo yes || echo no)"
check "-r with a failing READ leaves the old file" same "$(same keep.bin keep-before.bin)"

# A READ reply that does not carry the whole memory: result 6, no file.
start_sim --short-reply 1@read:4096
"$BIN/ptu" -r half.bin 2> err; check "-r with half the memory exits 6" 6 $?
check "-r with half the memory writes no file" no "$([ -e half.bin ] && echo yes || echo no)"

check "no temporary files are left" "" "$(ls -A | grep '\.part$')"
exit $fail
