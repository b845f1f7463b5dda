#!/usr/bin/env bash
# Installs what is missing, builds Pavuto with its tests and runs them all
# (among them the installed program: `cmake --install` into build/stage, and
# the staged pavuto started once in a pseudo-terminal), then cross-builds the
# Windows program and runs its tests under Wine (scripts/test-windows.sh),
# runs the unit tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, and last the fuzz targets (clang, libFuzzer)
# for a bounded time each (scripts/fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"
"$root/scripts/setup.sh"

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && ctest --output-on-failure -j"$jobs" --timeout 600)

# The Windows program, cross-built, with its tests under Wine.
"$root/scripts/test-windows.sh"

cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DPAVUTO_SANITIZE=ON -DPAVUTO_BENCH=OFF >/dev/null
cmake --build "$root/build-sanitize" -j"$jobs"
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$jobs" --timeout 900 -L unit)

"$root/scripts/fuzz.sh"
