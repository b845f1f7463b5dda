#!/usr/bin/env bash
# Builds the Windows program (scripts/build-windows.sh) and runs under Wine:
# the platform-neutral unit tests and the Win32 host tests as Windows
# programs, the exchange of files with the POSIX build both ways, then
# pavuto.exe itself in Wine's console (tests/windows/smoke.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build-windows.sh"

# A Wine prefix of its own below the build folder, made once.
export WINEPREFIX="$root/build-windows/wineprefix" WINEDEBUG=-all WINEARCH=win64
export LANG=C.UTF-8
# Wine plays through ALSA. The tests give it a default device that takes
# what is played and keeps nothing, so the multimedia commands find a wave
# device with or without a sound card (the smoke test keeps what it plays).
export HOME="$root/build-windows/home"
mkdir -p "$HOME"
printf 'pcm.!default {\n  type null\n}\n' >"$HOME/.asoundrc"
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
(cd "$root/build-windows" && ctest --output-on-failure --timeout 600)

# Files made on one host open unchanged on the other, both ways: the POSIX
# build's exchange test leaves its files for the Windows build and reads
# those the Windows build made (tests/exchange).
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target test_exchange
exchange="$root/build-windows/exchange"
rm -rf "$exchange"
# Runs one test of an exchange program and fails unless it really ran and passed.
run_exchange() {  # test name, then the command
  local name="$1" output; shift
  output="$("$@" --gtest_filter="ExchangeTest.$name" 2>&1)" || { echo "$output"; return 1; }
  echo "$output" | grep -F "[       OK ] ExchangeTest.$name" || { echo "$output"; return 1; }
}
PAVUTO_EXCHANGE_OUT="$exchange/posix" run_exchange FilesAreLeftForTheOtherHost "$root/build/bin/test_exchange"
PAVUTO_EXCHANGE_OUT="$(winepath -w "$exchange/win32")" run_exchange FilesAreLeftForTheOtherHost \
  wine "$root/build-windows/bin/test_exchange.exe"
PAVUTO_EXCHANGE_IN="$(winepath -w "$exchange/posix")" run_exchange FilesOfTheOtherHostOpenUnchangedAndAreTheSameBytes \
  wine "$root/build-windows/bin/test_exchange.exe"
PAVUTO_EXCHANGE_IN="$exchange/win32" run_exchange FilesOfTheOtherHostOpenUnchangedAndAreTheSameBytes \
  "$root/build/bin/test_exchange"

"$root/tests/windows/smoke.sh" "$root/build-windows/bin/pavuto.exe"
