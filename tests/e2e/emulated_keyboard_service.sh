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

# A second daemon on a socket of PORTGATE_SOCKET: a pid file and a memory
# file of its own, and --stop ends it alone.
kk() { PORTGATE_SOCKET=$work/kk "$@"; }
head -c 8192 /dev/urandom > other.bin
kk "$BIN/kbdsim" --daemon && kk "$BIN/ptu" -W other.bin 2> /dev/null; check "a write to a second daemon" 0 $?
check "... its pid file and memory file its own" "2 same" \
  "$(ls "$work" | grep -c '^kbdsim.*\.pid$') $(same other.bin "$XDG_STATE_HOME"/kbdsim/memory-*kk.bin)"
kk "$BIN/kbdsim" --stop 2> err && ! kk "$BIN/kbdsim" --probe; check "--stop of the second ends it" 0 $?
"$BIN/ptu" -R back2.bin 2> /dev/null; check "the first still serves its own memory" same "$(same back2.bin image.bin)"
kk "$BIN/kbdsim" --stop 2> err; check "--stop where nothing serves says so, exit 0" "0 1" \
  "$? $(grep -c "no kbdsim serves $work/kk; nothing was stopped" err)"
exit $fail
