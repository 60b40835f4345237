#!/usr/bin/env bash
# Files written by the Linux build and by the Windows build (under Wine) must
# be byte-identical.  Usage: cross_platform.sh NATIVE_BUILD_DIR WIN32_BUILD_DIR
set -u
native=$(cd "$1" && pwd); win=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/n" "$tmp/w"
fail=0; pass=0
(cd "$tmp/n" && "$native/tests/table_writer") || fail=$((fail + 1))
(cd "$tmp/w" && "$root/tools/wine-run" "$win/tests/table_writer.exe" </dev/null) || fail=$((fail + 1))
for f in matrix.bin scalars.bin; do
  if cmp -s "$tmp/n/$f" "$tmp/w/$f" && [ -s "$tmp/n/$f" ]; then
    pass=$((pass + 1))
  else
    echo "cross-platform: $f differs between the Linux and Windows builds"; fail=$((fail + 1))
  fi
done
echo "cross-platform: $pass passed, $fail failed"
[ $fail -eq 0 ]
