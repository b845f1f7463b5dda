#!/usr/bin/env bash
# Installs what is missing, builds Pavuto and starts it in this terminal.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVUTO_TESTS=OFF -DPAVUTO_BENCH=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target pavuto
exec "$root/build/bin/pavuto" "$@"
