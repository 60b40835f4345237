#!/usr/bin/env bash
# Checks that the layers point one way, in every file of every folder:
#   fronts (win32/, console/) -> frame -> a module (peaks/) -> framework
#     -> datafile -> base (the port, the report stream, file access)
# The frame declares the module's entry points in framework/module.h and
# never includes a module header, so neither the frame, the fronts nor any
# lower layer names a module; os/ implements base/files.h; the companion
# programs use the core and their module, never a front.  No file of the
# portable core (base, datafile, framework, frame, the modules) includes a
# platform header.
set -u
cd "${1:-.}"
declare -A allowed=(
  [base]="base"
  [os]="base os"
  [datafile]="base datafile"
  [framework]="base datafile framework"
  [peaks]="base datafile framework peaks"
  [peakprep]="base datafile framework peakprep companion"
  [frame]="base datafile framework frame"
  [console]="base datafile framework frame console"
  [win32]="base datafile framework frame win32"
  [companion]="base datafile framework companion"
)
portable="base datafile framework peaks peakprep frame"
status=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS= read -r f; do
    while IFS= read -r inc; do
      dir=${inc%%/*}
      if [[ " ${allowed[$layer]} " != *" $dir "* ]]; then
        echo "$f includes $inc: $layer may not include $dir"
        status=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$f")
    if [[ " $portable " == *" $layer "* ]] &&
       grep -n -i -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows|winuser|winbase|commdlg|shellapi|io|fcntl|unistd|glob|sys/)' "$f"; then
      echo "$f: platform header in the portable core"
      status=1
    fi
  done < <(find "$layer" -type f \( -name '*.cpp' -o -name '*.h' \))
done
[ $status -eq 0 ] && echo "layering: all includes point down"
exit $status
