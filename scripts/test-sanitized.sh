#!/usr/bin/env bash
# Builds the headless core and its unit tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them; any report
# fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
CXX="${CXX:-clang++}" cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARDMINT_GUI=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
TESTS=(test_report test_layout test_expr test_engine test_logbook test_generation)
cmake --build build-asan --target "${TESTS[@]}" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Leaks are not checked: Qt keeps process-wide objects until exit.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Without the window (CARDMINT_GUI=OFF) only the headless test programs exist.
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
