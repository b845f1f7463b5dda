#!/usr/bin/env bash
# Builds the Windows program (scripts/build-windows.sh) and runs under Wine:
# the platform-neutral unit tests and the Win32 host tests as Windows
# programs, then pavuto.exe itself in Wine's console (tests/windows/smoke.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build-windows.sh"

# A Wine prefix of its own below the build folder, made once.
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all WINEARCH=win64
export LANG=C.UTF-8
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
(cd "$root/build-windows" && ctest --output-on-failure --timeout 600)
"$root/tests/windows/smoke.sh" "$root/build-windows/bin/pavuto.exe"
