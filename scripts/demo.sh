#!/usr/bin/env bash
# Prints the demo cards: makes the demo logbook (build/logbook/Demo.db) when
# it is missing and renders demo/Demo1.qr2 from it to build/demo-cards.pdf.
# Uses the cardmint-cli of build/ (or of $CARDMINT_BUILD), building it if needed.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${CARDMINT_BUILD:-build}"
cli="$build/tools/cardmint-cli"
if [[ ! -x "$cli" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target cardmint-cli
fi
mkdir -p build/logbook
log=build/logbook/Demo.db
if [[ ! -f "$log" ]]; then
    "$cli" make-demo-log "$log"
fi
out=build/demo-cards.pdf
"$cli" render --layout demo/Demo1.qr2 --log "$log" --pdf "$out" --progress
echo "cards written to $(pwd)/$out"
