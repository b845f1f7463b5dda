#!/usr/bin/env bash
# Installs what building and testing Pavuto needs (Debian packages), and the
# further packages named as arguments (scripts/package.sh: what packing needs).
set -euo pipefail
packages=(cmake g++ make pkg-config ccache libgtest-dev libgmock-dev libbenchmark-dev
          libmpv-dev libvterm-dev xdg-utils ffmpeg clang libclang-rt-14-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
