#!/usr/bin/env bash
# Builds the Debian package of Pavuto: a Release build in build-package/,
# packed by CPack (installing under /usr, run-time dependencies declared).
# Prints the path of the .deb; install it with
#   sudo apt install ./build-package/pavuto_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-package"
# dpkg-shlibdeps (dpkg-dev) and file find the libraries the programs need.
"$root/scripts/setup.sh" dpkg-dev file

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DPAVUTO_TESTS=OFF -DPAVUTO_BENCH=OFF -DPAVUTO_FUZZ=OFF -DPAVUTO_SANITIZE=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/pavuto_*.deb
if ! (cd "$build" && cpack -G DEB) > "$build/cpack.log" 2>&1; then
  cat "$build/cpack.log"
  exit 1
fi
deb="$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$build/cpack.log")"
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
  cat "$build/cpack.log"
  echo "package.sh: no .deb made" >&2
  exit 1
fi
echo "$deb"
