#!/usr/bin/env bash
# Ctrl+C or SIGTERM during a transfer from a slow keyboard: the block in
# flight ends, standard error says what is left, the shell's exit status.
source "$(dirname "$0")/lib/common.sh" "$1"
set -m  # background runs keep Ctrl+C (a shell without job control ignores it for them)
cd "$work"
head -c 8192 /dev/urandom > mem.bin
cp mem.bin before.bin
start_sim_on mem.bin --delay-ms 4  # about 2 s for the 512 blocks

# Runs ptu in the background, sends the signal once the transfer shows its
# first percentage, and gives the exit status.
interrupt() { # signal, ptu arguments...
  local sig=$1; shift
  : > err  # emptied here: the background run empties it only once it has started
  "$BIN/ptu" "$@" 2> err & local pid=$!
  for _ in $(seq 100); do grep -q '% ' err && break; sleep 0.05; done
  sleep 0.3
  kill -"$sig" "$pid"; wait "$pid"
}

echo "the old backup" > keep.bin; cp keep.bin keep-before.bin
interrupt INT -R keep.bin; check "Ctrl+C during -R exits 130" 130 $?
check "... leaves the old file" same "$(same keep.bin keep-before.bin)"
check "... says so" 1 "$(grep -c '^ptu: interrupted: keep.bin was left as it was$' err)"

head -c 8192 /dev/urandom > new.bin
interrupt TERM -W new.bin; check "SIGTERM during -W exits 143" 143 $?
check "... says the keyboard is half written" 1 "$(grep -c 'the keyboard holds a partial image (.* of 8192 bytes written): write it again' err)"
written=$(grep -o '([0-9]* of' err | tr -dc 0-9)
check "... the keyboard holds exactly the blocks it says" same \
  "$(same <(head -c "$written" new.bin; tail -c +$((written + 1)) before.bin) mem.bin)"

# While the keyboard is still being looked for: nothing is transferred.
stop_sim
"$BIN/ptu" -R none.bin 2> err & pid=$!; sleep 1; kill -INT $pid; wait $pid
check "Ctrl+C during detection exits 130" 130 $?
check "... says nothing was transferred" 1 "$(grep -c '^ptu: interrupted: nothing was transferred$' err)"
check "... makes no file" no "$([ -e none.bin ] && echo yes || echo no)"
check "no temporary files are left" "" "$(ls -A | grep '\.part$')"
exit $fail
