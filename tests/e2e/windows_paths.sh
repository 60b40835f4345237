#!/usr/bin/env bash
# The Windows console program under Wine on the paths Windows users have: a
# start folder whose name holds characters of the ANSI code page, reserved
# device names given as input, and paths longer than 260 characters.
# Usage: windows_paths.sh WINDOWS_BUILD_DIR (win32 or win64)
set -u
win=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
exe="$win/peakgrid-console.exe"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0; pass=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then pass=$((pass + 1)); else echo "windows paths: $1"; fail=$((fail + 1)); fi
}
# Z: is the root of the Linux file system under Wine.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# Text in the ANSI code page (Wine's default is 1252, as on Western Windows).
ansi() { iconv -f UTF-8 -t CP1252; }
# Arguments go to Wine in UTF-8; the program receives them in the code page.
run() {  # run FOLDER ARGS...: the console program started in FOLDER
  (cd "$1" && timeout 60 "$root/tools/wine-run" "$exe" "${@:2}" </dev/null >"$tmp/out" 2>&1); local rc=$?; [ -z "${VERBOSE:-}" ] || cat "$tmp/out"; return $rc
}

# A start folder named "Données": a relative batch path, then an absolute
# input path; QOR4PREF.txt names the folder in the code page, not in UTF-8.
home="$tmp/Données"
mkdir -p "$home"
cp "$root/examples/export.txt" "$home/"
printf '.' >"$home/QOR4DIRP.txt"
printf 'accents\n1\n1\nexport.txt\n' >"$home/b.txt"
check "a start folder with é: -f b.txt fails" run "$home" -f b.txt
check "a start folder with é: no Chan1" test -s "$home/Chan1"
check "QOR4PREF.txt is not in the code page" \
  cmp -s "$home/QOR4PREF.txt" <(winpath "$home" | ansi)
rm -f "$home/Chan1"
{ printf 'accents\n1\n1\n'; winpath "$home/export.txt" | ansi; printf '\n'; } >"$home/abs.txt"
check "an absolute input path with é fails" run "$home" -f "$(winpath "$home/abs.txt")"
check "an absolute input path with é: no Chan1" test -s "$home/Chan1"

# A folder name with a character the code page lacks (Greek capital omega) is
# told, not written as another name.
greek="$tmp/Ωmega"
mkdir -p "$greek"
cp "$root/examples/export.txt" "$greek/"
printf '.' >"$greek/QOR4DIRP.txt"
printf 'greek\n1\n1\nexport.txt\n' >"$greek/b.txt"
run "$greek" -f b.txt
check "a folder name outside the code page is not told" grep -q "cannot be written in this system's code page" "$tmp/out"
check "a folder name outside the code page: QOR4PREF.txt written" test ! -e "$greek/QOR4PREF.txt"

# Reserved device names are devices in every folder: refused as inputs, and
# the earlier outputs stay as they were.
sums=$(cd "$home" && md5sum Chan* SampleNames*)
for dev in NUL COM1 aux.txt 'lpt1.dat'; do
  printf 'dev\n1\n1\n%s\n' "$dev" >"$home/dev.txt"
  run "$home" -f dev.txt; rc=$?
  check "device $dev as input: exit $rc, not 1" test $rc -eq 1
  check "device $dev as input: no message" grep -q "folder or a device" "$tmp/out"
  check "device $dev as input: earlier outputs changed" test "$(cd "$home" && md5sum Chan* SampleNames*)" = "$sums"
  check "device $dev as input: temporary files left" test -z "$(find "$home" -name '*.part~')"
done

# An input in a folder deeper than 260 characters is read (the outputs go to
# the start folder as usual).
deep="$tmp"
while [ ${#deep} -lt 300 ]; do deep="$deep/folder-of-a-long-path-name"; done
mkdir -p "$deep"
cp "$root/examples/export.txt" "$deep/"
cp "$home/Chan1" "$tmp/Chan1.short"
{ printf 'deep\n1\n1\n'; winpath "$deep/export.txt"; printf '\n'; } >"$home/deep.txt"
check "an input path of ${#deep} characters fails" run "$home" -f deep.txt
check "an input path of ${#deep} characters: Chan1 differs" cmp -s "$home/Chan1" "$tmp/Chan1.short"

echo "windows paths: $pass passed, $fail failed"
[ $fail -eq 0 ]
