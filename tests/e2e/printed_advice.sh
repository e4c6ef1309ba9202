#!/usr/bin/env bash
# Every command the programs advise when no driver serves the socket works
# as printed: for each batch switch and for ptu-drivercheck.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
unset PORTGATE_START
head -c 8192 /dev/urandom > image.bin
trap '"$BIN/kbdsim" --stop > /dev/null 2>&1; "$BIN/kbdsim" --stop --socket "$work/own" > /dev/null 2>&1; rm -rf "$work"' EXIT

# Without a driver the command advises; each advice, run as printed, works:
# kbdsim started by hand lets the command succeed, a " -K" line succeeds itself.
runs_as_advised() {
  "$BIN/kbdsim" --stop > /dev/null 2>&1
  "$@" > err 2>&1 && { check "$* fails without a driver" yes no; return; }
  mapfile -t said < <(grep -o -e 'emulated keyboard with "[^"]*"' -e 'or run "[^"]*"' err | sed 's/^[^"]*"//; s/"$//')
  check "$* advises" yes "$([ ${#said[@]} -gt 0 ] && echo yes || echo no)"
  for cmd in "${said[@]}"; do
    "$BIN/kbdsim" --stop > /dev/null 2>&1
    (eval "$cmd") > /dev/null 2>&1 && { [[ $cmd == *" -K" ]] || "$@" > /dev/null 2>&1; }
    check "$*: \"$cmd\" as printed" 0 $?
  done
}
runs_as_advised "$BIN/ptu" -R out.bin
runs_as_advised "$BIN/ptu" -W image.bin
runs_as_advised "$BIN/ptu" -r "out file.bin"
runs_as_advised "$BIN/ptu" -w image.bin
runs_as_advised "$BIN/ptu" -s -T
runs_as_advised "$BIN/ptu-drivercheck"
runs_as_advised "$BIN/ptu-drivercheck" --socket "$work/own"
check "-R, -W and ptu-drivercheck are offered no -K" 0 \
  "$(cat <("$BIN/ptu" -R out.bin 2>&1) <("$BIN/ptu" -W image.bin 2>&1) <("$BIN/ptu-drivercheck" 2>&1) | grep -c ' -K"')"
exit $fail
