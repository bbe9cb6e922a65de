#!/usr/bin/env bash
# Installs every Debian package that building and testing need. Safe to run again:
# apt-get runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  file                        # cpack reads the programs' library dependencies with it
  clang libclang-rt-14-dev    # the fuzz targets: clang and its libFuzzer
  libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev
  libcairo2-dev libx11-dev libxext-dev libxkbcommon-dev
  fonts-liberation fontconfig
  xvfb xauth xdotool x11-utils
  zenity
  dragonfly-reverb-vst
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
