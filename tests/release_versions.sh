#!/usr/bin/env bash
# Every place that names the version says the build's one: the programs'
# --version, the changelog's newest entry and each manual page's footer.
# Usage: release_versions.sh SOURCE_DIR VERSION PROGRAM...
set -u
root=$1 version=$2
shift 2
fail=0
differs() { echo "release versions: $1 says '$2', the build says '$version'"; fail=1; }
for program in "$@"; do
  said=$("$program" --version)
  [ "$said" = "$(basename "$program") $version" ] || differs "$program --version" "$said"
done
newest=$(sed -n 's/^## \([0-9][0-9.]*\).*/\1/p' "$root/CHANGELOG.md" | head -1)
[ "$newest" = "$version" ] || differs "CHANGELOG.md's newest entry" "$newest"
for page in "$root"/docs/man/*.1; do
  footer=$(sed -n 's/^\.TH [^"]*"[^"]*" "Peakgrid \([^"]*\)".*/\1/p' "$page")
  [ "$footer" = "$version" ] || differs "$(basename "$page")" "$footer"
done
[ $fail -eq 0 ] && echo "release versions: all say $version"
exit $fail
