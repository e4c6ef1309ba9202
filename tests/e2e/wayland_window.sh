#!/usr/bin/env bash
# The main window on Wayland, where the compositor places the window and adds
# its title bar and panel: under weston's headless backend the whole window,
# its status bar included, lies on the screen beside the panel. Judged from
# weston's own screenshot: the teal client area ends high enough above the
# screen's bottom edge for the status bar below it.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work" || exit 1
command -v weston >/dev/null || { echo "FAILED: weston is not installed (make test installs it)"; exit 1; }
command -v convert >/dev/null || { echo "FAILED: ImageMagick is not installed (make test installs it)"; exit 1; }
width=1280 height=800
# --debug lets weston-screenshooter take the screen.
weston --backend=headless-backend.so --use-pixman --socket=wl-ptu --width=$width --height=$height \
  --debug >weston.log 2>&1 &
wpid=$!
trap 'kill $pid $wpid 2>/dev/null; stop_sim; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wl-ptu" ] && break; kill -0 $wpid 2>/dev/null || break; sleep 0.1; done
if ! [ -S "$XDG_RUNTIME_DIR/wl-ptu" ]; then
  echo "skipped: weston cannot run here:"; tail -n 5 weston.log; exit 77
fi
export WAYLAND_DISPLAY=wl-ptu QT_QPA_PLATFORM=wayland

start_sim_on "$work/mem.bin"
PTU_QT_DEBUG=1 "$BIN/ptu" 2>err &
pid=$!
# The window is up once the screen shows its teal client area.
teal_rows() { convert shot.png -crop "1x$height+$((width / 2))+0" txt:- 2>/dev/null | grep -n '#008080' | cut -d: -f1; }
rows=
for _ in $(seq 60); do
  sleep 0.5
  rm -f wayland-screenshot-*.png
  timeout 10 weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot-*.png shot.png 2>/dev/null || continue
  rows=$(teal_rows)
  [ -n "$rows" ] && sleep 1 && timeout 10 weston-screenshooter >/dev/null 2>&1 &&
    mv wayland-screenshot-*.png shot.png && rows=$(teal_rows) && break
done
check "the window comes up on weston" yes "$([ -n "$rows" ] && echo yes || echo no)"
[ -n "$rows" ] || { cat err weston.log >&2; exit 1; }
first=$(( $(echo "$rows" | head -n 1) - 2 )) last=$(( $(echo "$rows" | tail -n 1) - 2 ))
check "the client area starts below the panel and the title bar" yes "$([ $first -ge 40 ] && echo yes || echo no)"
check "the status bar fits below the client area ($last of $height rows)" yes \
  "$([ $((height - 1 - last)) -ge 15 ] && echo yes || echo no)"
check "the screen's last row is the status bar's, not teal" EFEFEF \
  "$(convert shot.png -format "%[hex:p{$((width / 2)),$((height - 1))}]" info: 2>/dev/null | cut -c1-6)"
check "no warning about moving the pointer" "" "$(grep -i 'cursor position' err)"
kill $pid 2>/dev/null
exit $fail
