#!/usr/bin/env bash
# Installs what building and rendering need (scripts/setup.sh build), builds the plug-ins and
# the command-line host in build-demo/ (no tests, no benchmarks: a folder of its own, so that the
# README's build/ keeps the settings its own commands give it), renders the built-in excitation
# through the plug-in into a WAV file, and says where each plug-in format was built and where it
# goes to be installed.
#
#   scripts/demo.sh [OUT.wav]       (default out/chordwell-demo.wav)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-out/chordwell-demo.wav}
build="build-demo"

# Long quiet steps (apt-get, the build) say every half minute that they are still at work.
exec > >(bash scripts/progress.sh) 2>&1
progress=$!
trap 'exec >&- 2>&-; wait "$progress"' EXIT

echo "== Debian packages for building and rendering"
bash scripts/setup.sh build
echo "== building the plug-ins and chordwell in $build/"
bash scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHORDWELL_SANITIZER= \
  -DCHORDWELL_TESTS=OFF -DCHORDWELL_BENCH=OFF

echo "== rendering the built-in excitation through the plug-in"
mkdir -p "$(dirname "$out")"
"./$build/chordwell" render "$out" --preset "Almost reverb" --tail 3

# One line per plug-in format: where it was built, and the folders that hosts search for it
# (README, "Installing the plug-in"; cmake --install puts each into the first system folder).
echo "Built in $PWD/$build:"
echo "  VST 2.4  $build/QZA Chordwell.so      copy into /usr/local/lib/vst (all users) or ~/.vst (you; in Ardour add it in its Plugin Manager)"
echo "  VST3     $build/QZA Chordwell.vst3    copy the folder into /usr/local/lib/vst3 or ~/.vst3"
echo "  LV2      $build/qza-chordwell.lv2     copy the folder into /usr/local/lib/lv2 or ~/.lv2"
echo "  CLAP     $build/QZA Chordwell.clap     copy into /usr/local/lib/clap or ~/.clap"
echo "  host     $build/chordwell             the command-line host: $build/chordwell --help"
