# A virtual display for the window tests, and helpers that act on it as a
# person would, each waiting for what a person waits for: a window to come
# up, to have the keyboard focus, the program to have done something (its
# diagnostic log says so). Source after common.sh.
for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "FAILED: $tool is not installed (make test installs it)"; exit 1; }
done
# Xvfb takes a free display number itself and writes it once it is ready:
# two window tests running side by side never share a display.
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 5>"$work/display" &
xpid=$!
trap 'kill $xpid 2>/dev/null; stop_sim; rm -rf "$work"' EXIT
for _ in $(seq 100); do grep -q . "$work/display" 2>/dev/null && break; sleep 0.1; done
n=$(head -n 1 "$work/display" 2>/dev/null)
[ -n "$n" ] || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$n
# The program logs only into a file that exists; every run empties it.
export PTU_LOG=$work/ptu.log
: > "$PTU_LOG"

# Waits for a visible window whose name matches; prints its id.
window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
# Whether no visible window's name matches within $2 tenths of a second (default 600).
gone() { for _ in $(seq "${2:-600}"); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
# Waits until a file is written (not empty).
written() { for _ in $(seq 600); do [ -s "$1" ] && return 0; sleep 0.1; done; return 1; }
# Waits until a window has the keyboard focus (the program or the window manager gives it).
focused() {
  for _ in $(seq 600); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0; sleep 0.1; done
  echo "FAILED: window $1 never got the keyboard focus"; fail=1; return 1
}
# Types keys into a window once it has the focus.
keys() { focused "$1"; xdotool key --delay 100 "${@:2}"; }
# Whether the program's log comes to hold more than $2 (default 0) lines
# with $1 within $3 tenths of a second (default 600); logged says when not.
count() { grep -c -- "$1" "$PTU_LOG" 2>/dev/null; }
seen() {
  for _ in $(seq "${3:-600}"); do [ "$(count "$1")" -gt "${2:-0}" ] && return 0; sleep 0.1; done
  return 1
}
logged() { seen "$@" || { echo "FAILED: the program never logged \"$1\""; fail=1; return 1; }; }
# Starts openbox and waits until it manages the display (it then names the
# current desktop, which a display without a window manager has not).
window_manager() {
  openbox >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 600); do xdotool get_desktop >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "FAILED: openbox did not come up"; fail=1
}
# Waits (in this shell: it must be ptu's parent) for a process to end; its exit code goes to $rc.
ended() {
  for _ in $(seq 300); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && kill "$1"
  wait "$1"; rc=$?
}
