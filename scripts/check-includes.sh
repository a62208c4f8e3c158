#!/usr/bin/env bash
# Fails when a library folder includes a header of a folder it may not use: the libraries depend
# one way (docs/architecture.md), and an include that points upward is refused here before it
# turns into a cycle. The build refuses them too (a library sees only the folders it links), but
# this names them all at once, before anything compiles.
set -euo pipefail
cd "$(dirname "$0")/.."

below_window="core net boards render"
declare -A allowed=(
  [core]="core"
  [net]="core net"
  [boards]="core net boards"
  [render]="core net render"
  [services]="$below_window services"
  [controls]="$below_window services controls"
  [tools]="$below_window services controls tools settings"
  [settings]="$below_window services controls tools settings"
  [flows]="$below_window services controls tools settings flows"
  [commands]="$below_window services controls tools settings flows commands"
  [mainwindow]="$below_window services controls tools settings flows commands mainwindow"
)

status=0
for folder in "${!allowed[@]}"; do
  [[ -d $folder ]] || continue
  while IFS= read -r line; do
    target=${line#*#include \"}
    target=${target%%/*}
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "upward include: $line"
      status=1
    fi
  done < <(grep -Hn '^#include "[a-z]*/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
  # A path that climbs out of the folder would slip past both checks.
  if grep -Hn '^#include "\.\./' "$folder"/*.cpp "$folder"/*.h 2>/dev/null; then
    status=1
  fi
done
exit $status
