#!/usr/bin/env bash
# Checks that the layers point one way: each folder of the core includes only
# the folders below it, and no core file includes a platform header.
# The frame's module.h is the one allowed upward include (a declaration the
# module defines).
set -u
cd "${1:-.}"
order=(base datafile framework peaks frame)
status=0
for i in "${!order[@]}"; do
  layer=${order[$i]}
  allowed=" ${order[*]:0:$((i + 1))} "
  for f in "$layer"/*.cpp "$layer"/*.h; do
    [ -e "$f" ] || continue
    while IFS= read -r inc; do
      dir=${inc%%/*}
      [ "$inc" = frame/module.h ] && continue
      if [[ "$allowed" != *" $dir "* ]]; then
        echo "$f includes $inc: $layer may not include $dir"
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$f")
    if grep -n -i -E '^#include <(windows|winuser|commdlg|shellapi|unistd|sys/)' "$f"; then
      echo "$f: platform header in the portable core"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "layering: all includes point down"
exit $status
