#!/usr/bin/env bash
# Cross-builds the Windows program build-windows/bin/pavuto.exe (static
# run-time: it runs from any folder) and its test programs with Debian's
# mingw-w64; installs the cross compiler, GoogleTest's sources and Wine
# first where they are missing, with the GStreamer plugins through which
# Wine's multimedia commands decode what they play.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" g++-mingw-w64-x86-64-posix googletest wine wine64 tmux \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good

cmake -S "$root" -B "$root/build-windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DPAVUTO_BENCH=OFF >/dev/null
cmake --build "$root/build-windows" -j"$(nproc)"
echo "built $root/build-windows/bin/pavuto.exe"
