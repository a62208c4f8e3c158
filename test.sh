#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless through CTest.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/install-deps.sh

# No library includes a header of a library above it.
bash scripts/check-includes.sh

# Compiler results are shared between checkouts in other folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

# Under CI the objects carry line tables only: backtraces still name file and line.
DEBUG_INFO=full
if [ -n "${CI:-}" ]; then
  DEBUG_INFO=lines
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_DEBUG_INFO="$DEBUG_INFO"
cmake --build "$BUILD_DIR" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --no-sandbox}"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" --timeout 300

# The libraries below the window side and their suites once more under AddressSanitizer and
# UndefinedBehaviorSanitizer: the first finding aborts its test (tests/SanitizerOptions.cpp).
SANITIZE_DIR=${SANITIZE_DIR:-build-sanitize}
cmake -S . -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_SANITIZE=ON -DVARNELO_BUILD_BENCH=OFF
cmake --build "$SANITIZE_DIR" -j"$(nproc)" --target test_core test_net test_boards test_render
ctest --test-dir "$SANITIZE_DIR" --output-on-failure -j"$(nproc)" --timeout 300 -L '^(core|net|boards|render)$'
