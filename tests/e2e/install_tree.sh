#!/usr/bin/env bash
# cmake --install into a temporary prefix: exactly the programs, the private
# USB library, the data files, the driver interface and its header, man
# pages, desktop entry, icon, AppStream file and completions; the installed programs find their library and kbdsim; the
# desktop files validate, the man pages render without warnings, and the man
# pages and completions know every option the programs' --help names.
source "$(dirname "$0")/lib/common.sh" "$1"
unset PORTGATE_START HIDPAD_LIBRARY
build=$(cd "$BIN/.." && pwd)
p=$work/prefix
cmake --install "$build" --prefix "$p" >"$work/install.log" 2>&1
check "cmake --install exits 0" 0 $?

id=org.tessaral.ptu
{
  printf '%s\n' bin/ptu bin/ptu-tpl bin/ptu-drivercheck bin/kbdsim lib/ptu/libhidpad.so share/doc/ptu/copyright \
    share/doc/ptu/driver-interface.md share/doc/ptu/hidpad.h \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg
  for f in "$build"/share/ptu/*; do [ -f "$f" ] && echo "share/ptu/${f##*/}"; done
  for prog in ptu ptu-tpl ptu-drivercheck kbdsim; do
    echo "share/man/man1/$prog.1"
    echo "share/bash-completion/completions/$prog"
  done
} | sort >"$work/expected"
(cd "$p" && find . -type f -o -type l) | sed 's|^\./||' | sort >"$work/installed"
check "the installed tree is exactly the expected one (no tests, no benchmarks)" "" \
  "$(diff "$work/expected" "$work/installed" | grep '^[<>]' | tr '\n' ' ')"
check "the caption file is among the data files" yes "$(grep -qx share/ptu/ptu.ini "$work/installed" && echo yes)"

version=$("$BIN/ptu-tpl" --version)
check "ptu-tpl --version runs from the prefix" "$version" "$("$p/bin/ptu-tpl" --version)"
check "the AppStream file's newest release is this version" "ptu-tpl ${version##* }" \
  "ptu-tpl $(grep -o '<release version="[^"]*"' "$p/share/metainfo/$id.metainfo.xml" | head -n 1 | cut -d'"' -f2)"

desktop-file-validate "$p/share/applications/$id.desktop" >"$work/out" 2>&1
rc=$?; check "desktop-file-validate passes: $(cat "$work/out")" 0 $rc
check "the entry starts an installed program" yes \
  "$([ -x "$p/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$p/share/applications/$id.desktop")" ] && echo yes)"
check "the entry's icon is installed" yes \
  "$([ -f "$p/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$p/share/applications/$id.desktop").svg" ] && echo yes)"
appstreamcli validate --no-net "$p/share/metainfo/$id.metainfo.xml" >"$work/out" 2>&1
rc=$?; check "appstreamcli validate passes: $(tr '\n' ' ' <"$work/out")" 0 $rc

# Every option that a program's --help names is in its man page and, for the
# long ones of ptu-tpl and kbdsim, in its completion; the completion answers as bash would ask it.
options() { "$1" --help | grep -oE -- '(^|[[:space:],(])--?[A-Za-z0-9?][A-Za-z0-9-]*' | tr -d ' ,(\t' | sort -u; }
for prog in ptu ptu-tpl ptu-drivercheck kbdsim; do
  page=$p/share/man/man1/$prog.1
  groff -ww -man -Tutf8 "$page" >/dev/null 2>"$work/out"
  check "$prog.1 renders without warnings: $(head -c 300 "$work/out")" "" "$(cat "$work/out")"
  missing=
  for o in $(options "$p/bin/$prog"); do
    grep -qF -- "$(printf '%s' "$o" | sed 's/-/\\-/g')" "$page" || missing+=" $o"
    [[ $prog != ptu && $o == --* && $o != --help && $o != --version ]] && ! grep -qw -- "$o" "$p/share/bash-completion/completions/$prog" &&
      missing+=" $o(completion)"
  done
  check "$prog: the man page and completion name every option of --help" "" "$missing"
done

complete_line() { # program function words...: what the completion offers for the last word
  local prog=$1 fn=$2; shift 2
  bash -c 'source "$1"; shift; fn=$1; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); "$fn"; echo "${COMPREPLY[*]}"' \
    _ "$p/share/bash-completion/completions/$prog" "$fn" "$@" 2>&1
}
: >"$work/my keys.bin"
check "ptu-tpl: the commands" "decode diff" "$(complete_line ptu-tpl _ptu_tpl ptu-tpl d)"
check "ptu-tpl: the locales" "us uk es pt no it de fr" "$(complete_line ptu-tpl _ptu_tpl ptu-tpl decode x --locale '')"
check "ptu-tpl: encode options" "--strict" "$(complete_line ptu-tpl _ptu_tpl ptu-tpl encode x --st)"
check "ptu: a file after -R, blanks and all" "$work/my keys.bin" "$(complete_line ptu _ptu ptu -R "$work/my")"
check "ptu: --version only first" "--version|" "$(complete_line ptu _ptu ptu --v)|$(complete_line ptu _ptu ptu -s --v)"
check "kbdsim: functions of a fault" "bread bwrite" "$(complete_line kbdsim _kbdsim kbdsim --fail-code b)"
check "ptu-drivercheck: its options" "--deadline-ms" "$(complete_line ptu-drivercheck _ptu_drivercheck ptu-drivercheck --d)"

# The installed ptu loads the USB library from lib/ptu ...
head -c 8192 /dev/zero >"$work/usb.bin"
printf '\x10' | dd of="$work/usb.bin" bs=1 conv=notrunc status=none
HIDPAD_EMU_MEMORY=$work/usb.bin "$p/bin/ptu" -u -r "$work/fromusb.bin" 2>"$work/err"
rc=$?; check "installed ptu -u -r finds lib/ptu/libhidpad.so: $(tail -n 1 "$work/err")" 0 $rc
check "and reads the USB keyboard" same "$(same "$work/usb.bin" "$work/fromusb.bin")"
# The installed checker passes the installed USB library.
HIDPAD_EMU_MEMORY=$work/usb.bin "$p/bin/ptu-drivercheck" --library "$p/lib/ptu/libhidpad.so" >"$work/out" 2>&1
rc=$?; check "installed ptu-drivercheck --library lib/ptu/libhidpad.so: $(grep FAULT "$work/out")" 0 $rc
# ... and " -K" starts the kbdsim beside it, which serves the read.
"$p/bin/ptu" -r "$work/fromdriver.bin" -K 2>"$work/err"
rc=$?; check "installed ptu -r FILE -K starts its kbdsim: $(tail -n 1 "$work/err")" 0 $rc
check "and reads the whole memory" 8192 "$(stat -c %s "$work/fromdriver.bin" 2>/dev/null)"
"$p/bin/kbdsim" --stop >/dev/null 2>&1
check "that kbdsim stops" 0 $?

exit $fail
