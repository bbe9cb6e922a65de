#!/usr/bin/env bash
# Installs, with apt-get, those of the Debian packages QZA Chordwell needs that are missing:
#
#   scripts/setup.sh         what building, rendering and every test need (scripts/test.sh)
#   scripts/setup.sh build   only what building the plug-ins and chordwell and rendering need
#                            (scripts/demo.sh)
#
# Safe to run again: apt-get runs only when something is missing. The README names both lists
# (scripts/check-readme.sh holds it to them).
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config
  libsndfile1-dev
  libcairo2-dev libx11-dev libxext-dev libxkbcommon-dev
  fonts-liberation fontconfig
  lv2-dev                     # the LV2 headers the LV2 plug-in is built against
)
test_packages=(
  lintian                     # checks the Debian package
  clang libclang-rt-14-dev    # the fuzz targets: clang and its libFuzzer
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils   # a virtual X server for the editor's tests
  zenity                      # the file dialog the editor's tests open
  dragonfly-reverb-vst        # another plug-in, which chordwell's tests load
  lilv-utils sordi            # lv2info, lv2apply, lv2_validate: the LV2 bundle's tests
  meson liblilv-dev libelf-dev   # building lv2lint, the LV2 bundle's checker
)

case "${1:-all}" in
  build) packages=("${build_packages[@]}") ;;
  all) packages=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [build]" >&2; exit 2 ;;
esac

bash "$(dirname "$0")/install-missing-packages.sh" "${packages[@]}"
