#!/usr/bin/env bash
# The batch roads of the real ptu without a display against kbdsim on a
# private socket: -R -W -r -w move the memory exactly, the progress texts
# reach standard error, and bad command lines give their exit codes.
source "$(dirname "$0")/lib/common.sh" "$1"

cd "$work"
head -c 8192 /dev/urandom > mem.bin
cp mem.bin before.bin
start_sim_on mem.bin

# -R: the memory into a file, every mark shown.
"$BIN/ptu" -R out.bin 2> err; check "-R exits 0" 0 $?
check "-R file equals the memory" same "$(same out.bin before.bin)"
marks=$(grep -E '^ [0-9]+% Keyboard Reading has Completed $' err | awk '{print $1}' | tr '\n' ' ')
check "-R shows the marks" "0% 6% 12% 18% 25% 31% 37% 43% 50% 56% 62% 68% 75% 81% 87% 93% 100% " "$marks"
check "-R shows the detection text first" "Detecting Keyboad ..." "$(head -n 1 err)"
kept=$(ls "$XDG_STATE_HOME"/ptu/history/*-read-model4.tpl 2>/dev/null)
check "-R keeps one image in the history" 1 "$(echo "$kept" | grep -c .)"
check "the image kept is the memory" same "$(same "$kept" before.bin)"

# -W: a file into the memory.
head -c 8192 /dev/urandom > in.bin
"$BIN/ptu" -W in.bin 2> err; check "-W exits 0" 0 $?
check "-W memory equals the file" same "$(same mem.bin in.bin)"
check "-W shows the end" 1 "$(grep -c '^ 100% Keyboard Writing has Completed $' err)"
check "-W keeps what it wrote" same "$(same "$(ls "$XDG_STATE_HOME"/ptu/history/*-write-model4*.tpl | tail -n 1)" in.bin)"

# -r and -w: the single-request transfers; a name with a blank.
"$BIN/ptu" -r "out r.bin" 2> err; check "-r exits 0" 0 $?
check "-r file equals the memory" same "$(same "out r.bin" mem.bin)"
check "-r shows its text" 1 "$(grep -c '^Reading 8K Data from the Keyboard...$' err)"
head -c 8192 /dev/urandom > in2.bin
"$BIN/ptu" -w in2.bin 2> err; check "-w exits 0" 0 $?
check "-w memory equals the file" same "$(same mem.bin in2.bin)"

# Both -r and -w: the read alone.
cp in.bin untouched.bin
"$BIN/ptu" -w untouched.bin -r both.bin 2> err; check "-w -r exits 0" 0 $?
check "-w -r reads" same "$(same both.bin in2.bin)"
check "-w -r writes nothing" same "$(same mem.bin in2.bin)"

# A short -W file is no image: refused, the memory as it was.
head -c 100 /dev/urandom > short.bin
cp mem.bin mem-before.bin
"$BIN/ptu" -W short.bin 2> err; check "-W of a short file exits 3" 3 $?
check "-W of a short file leaves the memory" same "$(same mem.bin mem-before.bin)"
check "-W of a short file says its size" 1 "$(grep -c 'short.bin is no keyboard image: it holds 100 bytes' err)"

# Command lines the transfers refuse.
cp mem.bin mem-now.bin
"$BIN/ptu" -R no-such-folder/out.bin 2>/dev/null; check "-R into a missing folder exits 2" 2 $?
"$BIN/ptu" -W no-such-file.bin 2>/dev/null; check "-W of a missing file exits 3" 3 $?
"$BIN/ptu" -x -R x.bin 2>/dev/null; check "-R not first exits 1" 1 $?
check "no file for -R not first" no "$([ -e x.bin ] && echo yes || echo no)"
check "the refused runs left the memory alone" same "$(same mem.bin mem-now.bin)"

# A 2K keyboard: four marks.
head -c 2048 /dev/urandom > mem2k.bin
cp mem2k.bin before2k.bin
start_sim_on mem2k.bin --r2a 0x84
"$BIN/ptu" -R out2k.bin 2> err; check "2K -R exits 0" 0 $?
check "2K -R file equals the memory" same "$(same out2k.bin before2k.bin)"
marks=$(grep -E '^ [0-9]+% Keyboard Reading has Completed $' err | awk '{print $1}' | tr '\n' ' ')
check "2K -R shows the marks" "0% 25% 50% 75% 100% " "$marks"

check "no temporary files are left" "" "$(ls -A | grep '\.part$')"
exit $fail
