#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail
PACKAGES=(g++ cmake ninja-build pkg-config ccache libgtest-dev qt6-base-dev qt6-base-dev-tools
  libqt6sql6-sqlite qt6-svg-dev libgl-dev pxlib-dev fonts-liberation fonts-dejavu-core
  fonts-wqy-microhei poppler-utils zlib1g-dev libjpeg62-turbo-dev)
# The sanitized test run (scripts/test-sanitized.sh) builds with clang.
if [ "${1:-}" = "--sanitizers" ]; then PACKAGES+=(clang libclang-rt-14-dev); fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
