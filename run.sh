#!/usr/bin/env bash
# Installs what is missing, builds, and starts Varnelo.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

# Compiler results are shared between checkouts in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_BUILD_TESTS=OFF -DVARNELO_BUILD_BENCH=OFF \
  -DVARNELO_DEBUG_INFO=full
cmake --build "$BUILD_DIR" -j"$(nproc)" --target varnelo

# The browser views need this when the program runs as root.
if [ "$(id -u)" = 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Varnelo under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$BUILD_DIR/gui/varnelo" "$@"
fi
exec "$BUILD_DIR/gui/varnelo" "$@"
