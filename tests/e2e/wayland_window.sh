#!/usr/bin/env bash
# On Wayland (weston's headless backend; --debug lets its screenshooter work) the whole window lies on
# the screen: the teal client area starts below panel and title bar and leaves room for the status bar.
source "$(dirname "$0")/lib/common.sh" "$1"
cd "$work" || exit 1
command -v weston >/dev/null && command -v convert >/dev/null || { echo "FAILED: weston or ImageMagick missing (make test installs them)"; exit 1; }
w=1280 h=800
weston --backend=headless-backend.so --use-pixman --socket=wl-ptu --width=$w --height=$h --debug >weston.log 2>&1 &
wpid=$!
trap 'kill $pid $wpid 2>/dev/null; stop_sim; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/wl-ptu" ] || ! kill -0 $wpid 2>/dev/null && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/wl-ptu" ] || { echo "skipped: weston cannot run here:"; tail -n 5 weston.log; exit 77; }
export WAYLAND_DISPLAY=wl-ptu QT_QPA_PLATFORM=wayland
start_sim_on "$work/mem.bin"
PTU_QT_DEBUG=1 "$BIN/ptu" 2>err & pid=$!
shot() { rm -f wayland-screenshot-*.png; timeout 10 weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot-*.png shot.png; }
teal() { convert shot.png -crop "1x$h+$((w / 2))+0" txt:- | grep -n '#008080' | cut -d: -f1; }
# The window has come up once two screenshots in a row show the same teal rows.
rows= seen=
for _ in $(seq 120); do
  if shot; then
    now=$(teal)
    [ -n "$now" ] && [ "$now" = "$seen" ] && rows=$now && break
    seen=$now
  fi
  sleep 0.5
done
[ -n "$rows" ] || { echo "FAILED: the window did not come up on weston"; cat err weston.log >&2; exit 1; }
first=$(($(echo "$rows" | head -n 1) - 2)) last=$(($(echo "$rows" | tail -n 1) - 2))
check "the client area lies below panel and title bar, above the status bar ($first..$last of $h rows)" yes \
  "$([ $first -ge 40 ] && [ $((h - 1 - last)) -ge 15 ] && echo yes || echo no)"
check "the screen's last row is the status bar's" EFEFEF "$(convert shot.png -format "%[hex:p{$((w / 2)),$((h - 1))}]" info: | cut -c1-6)"
check "no warning about moving the pointer" "" "$(grep -i 'cursor position' err)"
exit $fail
