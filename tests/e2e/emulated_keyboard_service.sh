#!/usr/bin/env bash
# The emulated keyboard as a daemon: started by " -K" or by hand (twice does
# no harm), stopped with --stop, its memory kept across a restart.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
trap '"$BIN/kbdsim" --stop > /dev/null 2>&1; "$BIN/kbdsim" --stop --socket "$work/kk" > /dev/null 2>&1; rm -rf "$work"' EXIT
unset PORTGATE_START

# " -K" runs the start command twice: the second finds the first serving.
"$BIN/ptu" -s -T -K > out 2> err; check "ptu -s -T -K starts the daemon and reaches it" 0 $?
check "... without an error" "" "$(grep -iE 'error|cannot|fail|another process' err)"
check "the daemon noted its pid under XDG_RUNTIME_DIR" 1 "$(ls "$work" | grep -c '^kbdsim.*\.pid$')"
"$BIN/kbdsim" --daemon 2> err; check "kbdsim --daemon on a served socket exits 0" 0 $?
check "... and says so" 1 "$(grep -c 'already served by kbdsim' err)"

head -c 8192 /dev/urandom > image.bin
"$BIN/ptu" -W image.bin 2> /dev/null; check "a write to the daemon" 0 $?
check "its memory is kept under XDG_STATE_HOME" same "$(same "$XDG_STATE_HOME/kbdsim/memory.bin" image.bin)"

"$BIN/kbdsim" --stop 2> err; check "kbdsim --stop exits 0" 0 $?
"$BIN/kbdsim" --probe; check "... and nothing answers any more" 1 $?
check "... its pid file is gone" 0 "$(ls "$work" | grep -c '^kbdsim.*\.pid$')"

"$BIN/kbdsim" --daemon 2> /dev/null; check "a restart" 0 $?
"$BIN/ptu" -R back.bin 2> /dev/null; check "reading after the restart" 0 $?
check "... gives what was written before" same "$(same back.bin image.bin)"

# A second daemon on another socket, named the way the README names it:
# its own pid file and memory file, and --stop ends it alone.
kk() { PORTGATE_SOCKET=$work/kk "$@"; }
kk "$BIN/kbdsim" --daemon 2> err; check "a second daemon on another socket" 0 $?
check "... notes its pid in a file of its own" 2 "$(ls "$work" | grep -c '^kbdsim.*\.pid$')"
head -c 8192 /dev/urandom > other.bin
kk "$BIN/ptu" -W other.bin 2> /dev/null; check "a write to the second daemon" 0 $?
check "... lands in a memory file of its own" 1 "$(cmp -s other.bin "$XDG_STATE_HOME"/kbdsim/memory-*kk.bin && echo 1)"
check "... and the first daemon's memory is untouched" same "$(same "$XDG_STATE_HOME/kbdsim/memory.bin" image.bin)"
kk "$BIN/kbdsim" --stop 2> err; check "--stop of the second exits 0" 0 $?
check "... names its socket" 1 "$(grep -c "stopped the kbdsim on $work/kk\$" err)"
kk "$BIN/kbdsim" --probe; check "... which no longer answers" 1 $?
"$BIN/ptu" -R back2.bin 2> /dev/null; check "the first daemon still serves" 0 $?
check "... its own memory" same "$(same back2.bin image.bin)"
kk "$BIN/kbdsim" --stop 2> err; check "--stop where nothing serves exits 0" 0 $?
check "... and says that nothing was stopped" 1 "$(grep -c "no kbdsim serves $work/kk; nothing was stopped" err)"
exit $fail
