#!/usr/bin/env bash
# Sets everything up and cross-builds QZA Chordwell for Windows with mingw-w64:
#
#   scripts/build-windows.sh [win32] [win64] [-- extra cmake arguments...]
#
# builds 32-bit x86 into build-win32/ and 64-bit x86-64 into build-win64/ (both when no
# architecture is named), tests included. scripts/test-windows.sh runs the tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

architectures=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    win32 | win64) architectures+=("$1") ;;
    *) echo "usage: $0 [win32] [win64] [-- cmake arguments...]" >&2; exit 2 ;;
  esac
  shift
done
[ $# -gt 0 ] && shift
[ "${#architectures[@]}" -gt 0 ] || architectures=(win32 win64)

bash scripts/setup.sh
bash scripts/setup-windows.sh

# The VST3 bundle's resources (moduleinfo.json, snapshots) are written at build time by a tool
# that asks the plug-in's factory (vst3/bundle_resources_tool.cpp). A cross build cannot run a
# program of its own, so it takes the tool of a native build of the same source: that of the
# optimised build in build/ where one is configured (scripts/test.sh has made it by then; the
# tool is brought up to date with the source here), else one made here in build-tools/native,
# unoptimised, as the quickest to build, and of that one target only.
native=build
if [ ! -f build/CMakeCache.txt ] || grep -q '^CMAKE_TOOLCHAIN_FILE:' build/CMakeCache.txt; then
  native=build-tools/native
  cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCHORDWELL_SANITIZER= \
    -DCHORDWELL_TESTS=OFF -DCHORDWELL_BENCH=OFF -DCHORDWELL_WARNINGS_AS_ERRORS=ON >/dev/null
fi
echo "== native tool for the VST3 bundle's resources: $native"
cmake --build "$native" -j "$(nproc)" --target chordwell_vst3_resources
resources_tool=$PWD/$native/vst3/chordwell_vst3_resources

for arch in "${architectures[@]}"; do
  case "$arch" in
    win32) toolchain=cmake/toolchains/mingw-w64-i686.cmake ;;
    win64) toolchain=cmake/toolchains/mingw-w64-x86_64.cmake ;;
  esac
  echo "== $arch: build-$arch"
  bash scripts/build.sh "build-$arch" -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_VST3_RESOURCES_TOOL="$resources_tool" "$@"
done

# The VST3 libraries of the architectures built, together in one bundle as Windows hosts take
# it: build-windows/QZA Chordwell.vst3/Contents/x86-win and .../x86_64-win, with the resources
# (Contents/Resources), which both builds write alike.
bundle="build-windows/QZA Chordwell.vst3"
rm -rf "$bundle"
mkdir -p "$bundle/Contents"
for arch in "${architectures[@]}"; do
  cp -r "build-$arch/QZA Chordwell.vst3/Contents/." "$bundle/Contents/"
done
echo "== VST3 bundle: $bundle"
