#!/usr/bin/env bash
# Every command the programs advise when no driver serves the socket works
# when run as printed: each batch switch and ptu-drivercheck, with the
# default socket and with one of their own.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
unset PORTGATE_START
head -c 8192 /dev/urandom > image.bin
trap '"$BIN/kbdsim" --stop > /dev/null 2>&1; "$BIN/kbdsim" --stop --socket "$work/own" > /dev/null 2>&1; rm -rf "$work"' EXIT

# The commands in double quotes after "start the emulated keyboard with" and
# "or run", one a line.
advice() { grep -o -e 'start the emulated keyboard with "[^"]*"' -e 'or run "[^"]*"' "$1" | sed 's/^[^"]*"//; s/"$//'; }

# runs_as_advised DESCRIPTION COMMAND...: without a driver the command fails
# and advises; each advice, run as printed, lets the command succeed.
runs_as_advised() {
  local what=$1; shift
  "$BIN/kbdsim" --stop > /dev/null 2>&1
  "$@" > err 2>&1 && { check "$what fails without a driver" yes no; return; }
  mapfile -t said < <(advice err)
  check "$what advises something" yes "$([ ${#said[@]} -gt 0 ] && echo yes || echo no)"
  for cmd in "${said[@]}"; do
    "$BIN/kbdsim" --stop > /dev/null 2>&1
    if [[ $cmd == *" -K" ]]; then
      (eval "$cmd") > /dev/null 2> err2; check "$what: \"$cmd\" as printed" 0 $?
    else
      (eval "$cmd") 2> err2; check "$what: \"$cmd\" as printed" 0 $?
      "$@" > /dev/null 2> err2; check "$what, after \"$cmd\"" 0 $?
    fi
  done
}

runs_as_advised "ptu -R" "$BIN/ptu" -R out.bin
runs_as_advised "ptu -W" "$BIN/ptu" -W image.bin
runs_as_advised "ptu -r" "$BIN/ptu" -r "out file.bin"
runs_as_advised "ptu -w" "$BIN/ptu" -w image.bin
runs_as_advised "ptu -s -T" "$BIN/ptu" -s -T
runs_as_advised "ptu-drivercheck" "$BIN/ptu-drivercheck"
runs_as_advised "ptu-drivercheck --socket" "$BIN/ptu-drivercheck" --socket "$work/own"
check "-R and -W are offered no -K" 0 "$("$BIN/ptu" -R out.bin 2>&1 | grep -c ' -K"')"
check "ptu-drivercheck is offered no -K" 0 "$("$BIN/ptu-drivercheck" 2>&1 | grep -c ' -K"')"
exit $fail
