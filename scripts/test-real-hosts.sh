#!/usr/bin/env bash
# The VST3 and LV2 bundles in a real host: Ardour 7 (Debian's ardour) finds them in ~/.vst3 and
# ~/.lv2 of a home of its own, records white noise from its dummy engine on a stereo track,
# inserts the plug-in, sets two parameters and bounces the track through it
# (tests/vst3/ardour_render.lua). Each bounce must equal, to the bit, the VST 2.4 plug-in's
# render of the same input by chordwell. Then a factory preset is chosen from Ardour's preset
# menu with no editor open (tests/vst3/ardour_preset.lua), in each format, and Ardour's
# controls must show its values.
#
#   scripts/test-real-hosts.sh [BUILD_DIR]     (default build/; installs ardour if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash scripts/install-missing-packages.sh ardour
ninja -C "$build" chordwell chordwell_plugin chordwell_vst3 vst3_wav_tool >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/chordwell-ardour-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.vst3"
# Kept with its build time: Ardour takes a scan as current only when it is newer than the library.
cp -rp "$build/QZA Chordwell.vst3" "$work/home/.vst3/"

# Ardour scans new VST3 bundles with its scanner, which Debian keeps beside its libraries.
LD_LIBRARY_PATH=/usr/lib/ardour7 HOME="$work/home" \
  /usr/lib/ardour7/ardour-vst3-scanner -v -f "$work/home/.vst3/QZA Chordwell.vst3" >"$work/scan.log" 2>&1 || { cat "$work/scan.log"; exit 1; }

# Ardour bounces through one format's bundle (FORMAT for the Lua script); the bounce must equal
# chordwell's render of the same input through the VST 2.4 library.
bounce_check() {
  local format=$1 log="$work/ardour-$1.log"
  HOME="$work/home" SESSION_DIR="$work/session-$format" FORMAT=$format ardour7-lua tests/vst3/ardour_render.lua \
    >"$log" 2>&1 || true
  bounced() { sed -n "s/^BOUNCE $1 $2 //p" "$log"; }
  if [ -z "$(bounced output 1)" ]; then
    cat "$work/scan.log" "$log"
    echo "Ardour did not bounce the track through the $format plug-in" >&2
    exit 1
  fi
  "$build/tests/vst3/vst3_wav_tool" merge "$work/input-$format.wav" "$(bounced input 0)" "$(bounced input 1)"
  "$build/chordwell" render "$work/input-$format.wav" "$work/vst2-$format.wav" --plugin "$build/QZA Chordwell.so" \
    --param Decay=0.7 --param Damp=0.1 >/dev/null
  echo -n "Ardour 7 through the $format bundle against chordwell through the VST 2.4 library: "
  "$build/tests/vst3/vst3_wav_tool" compare "$work/vst2-$format.wav" "$(bounced output 0)" "$(bounced output 1)"
}
bounce_check VST3

# The same through the LV2 bundle, from the LV2 folder in the home folder. To the bit: Ardour
# tells the LV2 plug-in the bounce's block length before it bounces, and the plug-in starts
# afresh on it, as a VST3 plug-in is switched off and on for the same change.
ninja -C "$build" chordwell_lv2 >/dev/null
mkdir -p "$work/home/.lv2"
cp -rp "$build/qza-chordwell.lv2" "$work/home/.lv2/"
bounce_check LV2

# A factory preset chosen from Ardour's preset menu with no editor open: Ardour's controls must
# show its Decay, Damp and Transpose ("Low & Dark": 0.6, 0.75, and an octave down, which is
# Transpose's plain value -12), and Ardour must come back from its preset call.
# Through the LV2 bundle the same, its controls in percent: 60 %, 75 %, -12 semitones.
preset_check() {
  local format=$1 expected=$2 after
  HOME="$work/home" SESSION_DIR="$work/presets-$format" FORMAT=$format timeout 120 ardour7-lua \
    tests/vst3/ardour_preset.lua >"$work/preset-$format.log" 2>&1 || true
  after=$(sed -n 's/^PRESET after //p' "$work/preset-$format.log")
  echo -n "Ardour 7, a factory preset from its menu with no editor open ($format): "
  if [ "$after" != "$expected" ]; then
    cat "$work/preset-$format.log"
    echo "Ardour's controls show \"${after:-nothing}\" instead of the preset's values" >&2
    exit 1
  fi
  echo "its controls show the preset's values"
}
preset_check VST3 "0.6000 0.7500 -12.0000"
preset_check LV2 "60.0000 75.0000 -12.0000"
