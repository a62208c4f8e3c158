#!/usr/bin/env bash
# Fails when a library folder includes a header of a folder it may not use: the libraries depend
# one way (docs/architecture.md), and an include that points upward is refused here before it
# turns into a cycle.
set -euo pipefail
cd "$(dirname "$0")/.."

window_side="core net boards render controls commands flows mainwindow tools settings"
declare -A allowed=(
  [core]="core"
  [net]="core net"
  [boards]="core net boards"
  [render]="core net render"
  [controls]="$window_side"
  [commands]="$window_side"
  [flows]="$window_side"
  [mainwindow]="$window_side"
  [tools]="$window_side"
  [settings]="$window_side"
)

status=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r line; do
    target=${line#*#include \"}
    target=${target%%/*}
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "upward include: $line"
      status=1
    fi
  done < <(grep -Hn '^#include "[a-z]*/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
done
exit $status
