#!/usr/bin/env bash
# Files written by the Linux build and by the Windows build (under Wine) must
# be byte-identical: binary tables exactly, text files once their line ends
# (CR LF on Windows) are made alike.
# Usage: cross_platform.sh NATIVE_BUILD_DIR WINDOWS_BUILD_DIR (win32 or win64)
set -u
native=$(cd "$1" && pwd); win=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
fail=0; pass=0
same() {  # same FILE [text] [SIDE: w console (default), g GUI]
  local a="$tmp/n/$1" b="$tmp/${3:-w}/$1"
  if [ "${2:-}" = text ]; then tr -d '\r' <"$b" >"$b.lf"; b="$b.lf"; fi
  if [ -e "$a" ] && cmp -s "$a" "$b"; then
    pass=$((pass + 1))
  else
    echo "cross-platform: $1 differs between the Linux and Windows (${3:-w}) builds"; fail=$((fail + 1))
  fi
}
for side in n w g; do
  mkdir -p "$tmp/$side"
  cp "$root/examples/export.txt" "$root/examples/peaks.batch" "$tmp/$side/"
  printf '.' >"$tmp/$side/QOR4DIRP.txt"
done
(cd "$tmp/n" && "$native/tests/table_writer" && "$native/peakgrid" peaks.batch \
   <"$root/examples/answers.txt" >/dev/null 2>&1) || { echo "cross-platform: Linux run failed"; fail=$((fail + 1)); }
(cd "$tmp/w" && "$root/tools/wine-run" "$win/tests/table_writer.exe" </dev/null &&
   "$root/tools/wine-run" "$win/peakgrid-console.exe" peaks.batch \
   <"$root/examples/answers.txt" >/dev/null 2>&1) || { echo "cross-platform: Windows run failed"; fail=$((fail + 1)); }
# The Windows GUI program runs option 1 from a batch file given with -f (a
# completed batch ends it with status 0); its outputs must be the same too.
printf 'gui\n1\n1\nexport.txt\n' >"$tmp/g/gui.batch"
(cd "$tmp/g" && "$root/tools/wine-run" "$win/Peakgrid.exe" -f gui.batch </dev/null >/dev/null 2>&1) ||
  { echo "cross-platform: Windows GUI run failed"; fail=$((fail + 1)); }
for f in Chan1 Chan2 Chan3 Chan4; do same "$f" "" g; done
for f in SampleNames SampleNamesCh1 SampleNamesCh2 SampleNamesCh3 SampleNamesCh4; do same "$f" text g; done
# The companion programs on the same files.
(cd "$tmp/n" && "$native/peakgrid-import" -o imported.txt export.txt 2>/dev/null &&
   "$native/peakgrid-export" -o Chan1_tabSH.exported.csv Chan1_tabSH) ||
   { echo "cross-platform: Linux companion run failed"; fail=$((fail + 1)); }
(cd "$tmp/w" && "$root/tools/wine-run" "$win/peakgrid-import.exe" -o imported.txt export.txt </dev/null >/dev/null &&
   "$root/tools/wine-run" "$win/peakgrid-export.exe" -o Chan1_tabSH.exported.csv Chan1_tabSH </dev/null) ||
   { echo "cross-platform: Windows companion run failed"; fail=$((fail + 1)); }
for f in matrix.bin scalars.bin Chan1 Chan2 Chan3 Chan4 Chan1_tabSH Chan1_tabtotSH Chan1_tabSH.exported.csv; do same "$f"; done
same imported.txt text
for f in SampleNames SampleNamesCh1 SampleNamesCh2 SampleNamesCh3 SampleNamesCh4; do same "$f" text; done
echo "cross-platform: $pass passed, $fail failed"
[ $fail -eq 0 ]
