#!/usr/bin/env bash
# Installs every Debian package that building and testing need. Safe to run again:
# apt-get runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  lintian                     # checks the Debian package
  clang libclang-rt-14-dev    # the fuzz targets: clang and its libFuzzer
  libgtest-dev libgmock-dev libbenchmark-dev
  libsndfile1-dev
  libcairo2-dev libx11-dev libxext-dev libxkbcommon-dev
  fonts-liberation fontconfig
  xvfb xauth xdotool x11-utils x11-xserver-utils
  zenity
  dragonfly-reverb-vst
)

bash "$(dirname "$0")/install-missing-packages.sh" "${packages[@]}"
