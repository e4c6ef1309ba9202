#!/usr/bin/env bash
# The emulated keyboard as a daemon: started by " -K" or by hand (twice does
# no harm), stopped with --stop, its memory kept across a restart.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
trap '"$BIN/kbdsim" --stop > /dev/null 2>&1; rm -rf "$work"' EXIT
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
exit $fail
