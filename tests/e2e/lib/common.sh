# Shared by the end-to-end scripts: the binaries, a private work folder and
# sockets, no display, no sound, the check helper and kbdsim control.
# Usage in a script: source "$(dirname "$0")/lib/common.sh" "$1"
set -u
BIN=$(cd "${1:?usage: $0 BINDIR}" && pwd)
unset DISPLAY WAYLAND_DISPLAY
export PTU_NO_SOUND=1
work=$(mktemp -d /tmp/ptuXXXXXXXX)  # no "-" in paths that ptu scans for switches
export PORTGATE_SOCKET=$work/portgate VPTU_SOCKET=$work/vptu PTU_LOG=$work/no-log
export XDG_RUNTIME_DIR=$work XDG_STATE_HOME=$work/state
trap 'stop_sim; rm -rf "$work"' EXIT
fail=0

check() { # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1 (expected '$2', got '$3')"; fail=1; fi
}
same() { cmp -s "$1" "$2" && echo same || echo different; }

stop_sim() {
  if [ -f "$work/pid" ]; then
    local pid; pid=$(cat "$work/pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$work/pid"
  fi
}

start_sim_on() { # memory file, kbdsim options...
  stop_sim
  local mem=$1; shift
  "$BIN/kbdsim" --daemon --socket "$PORTGATE_SOCKET" --pidfile "$work/pid" --memory "$mem" "$@"
  check "kbdsim starts $*" 0 $?
}
