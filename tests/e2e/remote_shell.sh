#!/usr/bin/env bash
# ptu from a shell over ssh, sudo or cron: a stale DISPLAY, no driver yet, a
# French locale, a terminal for progress, --help and --version.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work"
export DISPLAY=:99  # no X server there

# The help and the batch roads work as if no display were set.
out=$("$BIN/ptu" -? 2> err); check "DISPLAY=:99 ptu -? exits 0" 0 $?
check "... prints the switch list" 1 "$(grep -c '^ p, 4, 6, m, j, c, x, n, r, w, s, k, b, u$' <<< "$out")"
"$BIN/ptu" -s 2> err; check "DISPLAY=:99 ptu -s exits with the operation's status" 0 $?
"$BIN/ptu" 2> err; check "DISPLAY=:99 ptu (the window) exits 1" 1 $?
check "... in one line saying why" 1 "$(grep -c '^ptu: cannot open the display ":99" that the main window needs' err)"

# No keyboard yet: the cause and the cure, once.
"$BIN/ptu" -R out.bin 2> err; check "no driver: -R exits 1" 1 $?
check "... names the socket and the reason once" 1 "$(grep -c "cannot reach the keyboard driver at $PORTGATE_SOCKET: No such file or directory" err)"
check "... says how to start the emulated keyboard" 1 "$(grep -c 'start the emulated keyboard with "[^"]*/kbdsim --daemon --socket' err)"
"$BIN/ptu" -s -T 2> err; check "no driver: -s -T exits 1" 1 $?
check "... and says why" 1 "$(grep -c 'cannot reach the keyboard driver' err)"
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  start_sim_on "$work/mem.bin"; chmod 755 "$work"
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$BIN/ptu" -s -T 2> err
  check "a socket of another user: the reason" 1 "$(grep -c "at $PORTGATE_SOCKET: Permission denied" err)"
else
  echo "skipped: another user's socket needs root and setpriv"
fi

# The log's date is English whatever the locale.
start_sim_on "$work/mem.bin"
mkdir -p "$work/locale"
if localedef -i fr_FR -f UTF-8 "$work/locale/fr_FR.UTF-8" 2> /dev/null; then
  : > "$work/ptu.log"
  LOCPATH=$work/locale LC_ALL=fr_FR.UTF-8 PTU_LOG=$work/ptu.log "$BIN/ptu" -s -T
  date_line=$(sed -n 2p "$work/ptu.log")
  check "the log date under fr_FR is the 24-character English one" 1 \
    "$(grep -cE '^ (Mon|Tue|Wed|Thu|Fri|Sat|Sun) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 1-3][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}$' <<< "$date_line")"
else
  echo "skipped: no fr_FR locale source to build"
fi

# On a terminal the percentages share one line; in a file, a line each.
if command -v script > /dev/null; then
  script -qec "'$BIN/ptu' -R tty.bin" /dev/null > tty.out; check "-R on a terminal exits 0" 0 $?
  check "... the percentages share one line" 17 "$(grep -o $'\r [0-9]*% Keyboard Reading' tty.out | wc -l)"
fi

check "ptu --version" "ptu 1.0" "$("$BIN/ptu" --version)"
out=$("$BIN/ptu" --help); check "ptu --help exits 0" 0 $?
for sw in -r -w -R -W -s -T -K -u -d -t -g -k -8 -7 -b -2 -4 -6 -c -m -j -f -x -n; do
  grep -q "^  $sw[ ,]" <<< "$out" || check "ptu --help explains $sw" yes no
done
check "kbdsim --version" "kbdsim 1.0" "$("$BIN/kbdsim" --version)"
check "ptu-tpl --version" "ptu-tpl 1.0" "$("$BIN/ptu-tpl" --version)"
exit $fail
