#!/usr/bin/env bash
# The Debian package as a user gets it: built by `make package` (unless one
# is named), its file list the same tree as `cmake --install`, installed with
# apt-get, and the installed programs run outside the source tree with a
# clean environment. Needs root; removes the package again unless it was
# installed before. Usage: tests/package/deb_install.sh [ptu_VERSION_ARCH.deb]
set -u
cd "$(dirname "$0")/../.." || exit 1
[ "$(id -u)" = 0 ] || { echo "deb_install.sh installs a package: run it as root" >&2; exit 1; }
if [ $# -ge 1 ]; then
  deb=$(realpath "$1")
else
  make package >/dev/null || { echo "FAILED: make package"; exit 1; }
  deb=$(ls -t "$PWD"/build/ptu_*.deb | head -n 1)
fi
echo "package: $deb"
work=$(mktemp -d /tmp/ptudebXXXXXXXX)
installed_before=$(dpkg-query -W -f '${Status}' ptu 2>/dev/null | grep -c 'ok installed')
cleanup() {
  [ -n "${run:-}" ] && "${run[@]}" kbdsim --stop >/dev/null 2>&1
  [ "$installed_before" = 0 ] && DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ptu >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail=0
check() { # description, expected, actual
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1 (expected '$2', got '$3')"; fail=1; fi
}

# The package holds the tree that cmake --install lays out under /usr.
cmake --install build --prefix "$work/tree" >/dev/null
(cd "$work/tree" && find . -type f -o -type l) | sed 's|^\.|/usr|' | sort >"$work/tree.list"
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./|/|' | sort >"$work/deb.list"
check "dpkg -c lists the installed tree" "" "$(diff "$work/tree.list" "$work/deb.list" | grep '^[<>]' | tr '\n' ' ')"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6gui6 libqt6core6 libasound2 libqt6svg6 libc6; do
  check "the package depends on $d" yes "$(grep -qw "$d" <<<"$depends" && echo yes)"
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1
rc=$?; check "apt-get install of the package: $(tail -n 3 "$work/apt.log" | tr '\n' ' ')" 0 $rc

# The installed programs, from a folder of their own, with none of the build's environment.
mkdir -p "$work/run" "$work/xdg" && chmod 700 "$work/xdg"
cd "$work/run" || exit 1
run=(env -i PATH=/usr/bin:/bin HOME="$work/run" XDG_RUNTIME_DIR="$work/xdg" XDG_STATE_HOME="$work/state"
  PTU_NO_SOUND=1)
version=$(sed -n 's/^Version: //p' <(dpkg-deb -f "$deb"))
check "ptu --version" "ptu $version" "$("${run[@]}" ptu --version)"
"${run[@]}" ptu-tpl --help >/dev/null; check "ptu-tpl --help exits 0" 0 $?
"${run[@]}" kbdsim --daemon; check "kbdsim --daemon exits 0" 0 $?
"${run[@]}" ptu -R x.bin 2>err; rc=$?; check "ptu -R x.bin exits 0: $(tail -n 1 err)" 0 $rc
check "x.bin holds the keyboard's memory" 8192 "$(stat -c %s x.bin 2>/dev/null)"
"${run[@]}" ptu-drivercheck >dc.out 2>&1; rc=$?
check "ptu-drivercheck finds the installed kbdsim conforming: $(grep FAULT dc.out)" 0 $rc
"${run[@]}" ptu-tpl decode x.bin >x.txt; check "ptu-tpl decode x.bin exits 0" 0 $?
"${run[@]}" kbdsim --stop >/dev/null; check "kbdsim --stop exits 0" 0 $?
"${run[@]}" ptu -r y.bin -K 2>err; rc=$?; check "ptu -r y.bin -K starts the installed kbdsim: $(tail -n 1 err)" 0 $rc
check "y.bin is the same memory" same "$(cmp -s x.bin y.bin && echo same)"
cp x.bin usb.bin && printf '\x10' | dd of=usb.bin bs=1 conv=notrunc status=none
"${run[@]}" HIDPAD_EMU_MEMORY="$work/run/usb.bin" ptu -u -r z.bin 2>err
rc=$?; check "ptu -u -r loads /usr/lib/ptu/libhidpad.so: $(tail -n 1 err)" 0 $rc
check "z.bin is the USB keyboard's memory" same "$(cmp -s usb.bin z.bin && echo same)"

[ "$fail" = 0 ] && echo "deb_install: passed" || echo "deb_install: FAILED"
exit $fail
