# A virtual display for the window tests, and helpers that act on it as a
# person would. Source after common.sh.
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

# Waits for a visible window whose name matches; prints its id.
window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
# Types keys into a window, once it has settled.
keys() { sleep 0.5; xdotool windowfocus --sync "$1" 2>/dev/null; xdotool key --delay 100 "${@:2}"; }
# Waits (in this shell: it must be ptu's parent) for a process to end; its exit code goes to $rc.
ended() {
  for _ in $(seq 300); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && kill "$1"
  wait "$1"; rc=$?
}
