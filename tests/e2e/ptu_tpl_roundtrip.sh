#!/usr/bin/env bash
# ptu-tpl end to end: a data file built from a listing, the decode | encode
# round trip, and the exit codes of malformed listings and full memories.
# Usage: ptu_tpl_roundtrip.sh BINDIR
set -u
BIN="$(cd "${1:?usage: $0 BINDIR}" && pwd)" || exit 1
TPL="$BIN/ptu-tpl"
[ -x "$TPL" ] || { echo "no ptu-tpl in $BIN" >&2; exit 1; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1

fails=0
fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }

# expect CODE DESCRIPTION COMMAND...: runs the command, checks its exit code.
expect() {
    local want="$1" what="$2"
    shift 2
    "$@" >out.txt 2>err.txt
    local got=$?
    [ "$got" -eq "$want" ] || { fail "$what: exit $got, wanted $want"; sed 's/^/  | /' err.txt >&2; }
}

cat >a.lst <<'LST'
# keys of a model 4 keyboard
model 4
locale us
ldt 16
r27 4
r28 0xE8
r29 0x9E
magcfg C6 08 25 3B 3B 3F 01
key 0 15 0 aB{ENTER}
key 0 14 0 {LSFT}ab{LSFB}
key 0 13 0 {Delay1}x
key 1 0 0 \\{ESC} and a {foo}
key 2 3 1 {F71}{131}\xE9
key 5 8 2 \x20leading and trailing blank\x20
LST

expect 0 "encode" "$TPL" encode a.lst -o a.tpl
[ "$(wc -c <a.tpl)" -eq 8192 ] || fail "a.tpl is $(wc -c <a.tpl) bytes"
[ "$(tail -c 3 a.tpl | od -An -tx1 | tr -d ' \n')" = "55aad6" ] || fail "no signature at the end of a.tpl"
# aB{ENTER} in slot 16: marker, 1E 2A 30 F0 2A 1C, end.
[ "$(head -c 25 a.tpl | tail -c 8 | od -An -tx1 | tr -d ' \n')" = "ff1e2a30f02a1c00" ] ||
    fail "slot 16 does not hold aB{ENTER}"

# decode | encode gives the file back, byte for byte.
"$TPL" decode a.tpl 2>/dev/null | "$TPL" encode - -o b.tpl 2>err.txt || fail "decode | encode failed"
cmp -s a.tpl b.tpl || fail "decode | encode changed a.tpl"
"$TPL" decode a.tpl >a.out 2>/dev/null
grep -qx 'key 0 15 0 aB{ENTER}' a.out || fail "aB{ENTER} not listed"
grep -qx 'key 0 14 0 {LSFT}ab{LSBRK}' a.out || fail "{LSFB} not read back as {LSBRK}"
grep -qx 'key 2 3 1 {F71}{131}{233}' a.out || fail "unknown bytes not shown as decimal tokens"

# Another model and locale, with the program's switch: -8 is model 9.
printf 'locale de\nkey 0 0 0 zy{LDlm}\nkey 3 1 1 Stra\\xDFe\n' >g.lst
expect 0 "encode -8" "$TPL" encode g.lst -o g.tpl -8
"$TPL" decode g.tpl -8 --locale de >g.out 2>err.txt || fail "decode -8"
grep -qx 'key 0 0 0 zy{LDLM}' g.out || fail "German text not read back"
"$TPL" encode g.out -o g2.tpl -8 2>err.txt || fail "encode of the decoded -8 listing"
cmp -s g.tpl g2.tpl || fail "the -8 round trip changed the file"

# Malformed listings: the line number and exit 2, never a crash.
bad() {
    local line="$1" text="$2"
    printf '%b' "$text" >bad.lst
    expect 2 "malformed listing (line $line)" "$TPL" encode bad.lst -o bad.tpl
    grep -q "^bad.lst:$line: " err.txt || { fail "no line $line in: $(cat err.txt)"; }
}
bad 2 'model 4\nkey 0 99 0 x\n'
bad 3 'model 4\n# fine\nkey 6 0 0 x\n'
bad 1 'modle 4\n'
bad 2 'model 4\nmagcfg 1 2 3\n'
bad 2 'model 4\nkey 0 1 1 broken \\q escape\n'
bad 3 'model 4\nkey 0 1 1 a\nkey 0 1 1 b\n'
bad 1 'memory 1234\n'
bad 1 'locale xx\n'
head -c 3000 /dev/urandom >noise.lst
"$TPL" encode noise.lst -o noise.tpl >/dev/null 2>&1
rc=$?
[ "$rc" -eq 0 ] || [ "$rc" -eq 2 ] || [ "$rc" -eq 3 ] || fail "random bytes as a listing: exit $rc"

# A full memory: the file is still written, the keys left out are listed, exit 3.
{
    echo "model 3"
    for p in 0 1 2 3 4 5; do
        for c in 0 1 2 3 4 5 6 7 8 9 10 11 12 13; do
            for r in 0 1 2 3 4 5 6 7; do echo "key $p $c $r a long macro text{ENTER}{Delay5}"; done
        done
    done
} >full.lst
expect 3 "full memory" "$TPL" encode full.lst -o full.tpl
[ "$(wc -c <full.tpl)" -eq 8192 ] || fail "full.tpl not written"
grep -q "page 5 column 0 row 0 (line [0-9]*): the memory is full" err.txt || fail "left-out keys not listed"
"$TPL" decode full.tpl --model 3 | "$TPL" encode - -o full2.tpl 2>/dev/null
cmp -s full.tpl full2.tpl || fail "decode | encode changed the full file"

# Usage and file errors.
expect 2 "no arguments" "$TPL"
expect 2 "encode without -o" "$TPL" encode a.lst
expect 1 "missing file" "$TPL" decode does-not-exist.tpl --model 4
grep -q "cannot read does-not-exist.tpl: No such file or directory" err.txt || fail "no reason for a missing file"
mkdir folder
expect 1 "a folder to decode" "$TPL" decode folder --model 4
grep -q "Is a directory" err.txt || fail "decode of a folder does not say why"
expect 1 "a folder to encode" "$TPL" encode folder -o x.tpl
# An endless input is read only as far as it can be used.
expect 2 "/dev/zero without a memory size" timeout 10 "$TPL" decode /dev/zero --model 4
expect 0 "/dev/zero as an 8K memory" timeout 10 "$TPL" decode /dev/zero --model 4 --memory 8192
expect 2 "/dev/zero as a listing" timeout 20 "$TPL" encode /dev/zero -o z.tpl
# A short listing to a full disk fails although the error shows only at the end.
"$TPL" decode a.tpl --model 4 >/dev/full 2>err.txt && fail "a listing to /dev/full exits 0"
grep -q "No space left" err.txt || fail "a listing to /dev/full does not say why"

if [ "$fails" -ne 0 ]; then
    echo "$fails check(s) failed" >&2
    exit 1
fi
echo "ptu-tpl round trip: all checks passed"
