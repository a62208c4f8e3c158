#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Only what is missing is installed.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache lld
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-webengine-dev qt6-multimedia-dev
  libqt6opengl6-dev libgl-dev
  zlib1g-dev libjpeg-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nginx curl openssl xvfb xauth fonts-ipafont qt6-translations-l10n
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
