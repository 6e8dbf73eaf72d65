#!/usr/bin/env bash
# Times the window's start-up with the demo layout, from process start to the
# window shown with its layout loaded, on a fresh account (run by hand).
# Usage: bench/startup.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build}"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() { HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen CARDMINT_QUIT_WHEN_SHOWN=1 "$build/cardmint"; }
run 2>&1 | grep 'window shown'   # the first start also makes the demo logbook
for _ in 1 2 3 4 5; do run 2>&1 | grep 'window shown'; done
if command -v hyperfine >/dev/null; then
    HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen CARDMINT_QUIT_WHEN_SHOWN=1 \
        hyperfine --warmup 1 "$build/cardmint"
fi
