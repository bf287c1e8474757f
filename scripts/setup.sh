#!/usr/bin/env bash
# Installs everything tavrel needs to build, run and test, from Debian's
# packages only. Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang llvm libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libsdl2-dev libx11-dev libfreetype-dev libharfbuzz-dev libfontconfig-dev
  fonts-dejavu-core fonts-liberation2 fonts-droid-fallback fonts-hanazono
  fonts-misaki
  fontconfig
  python3 python3-fonttools python3-brotli opentype-sanitizer
  xvfb xdotool x11-utils imagemagick xclip
  attr desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
