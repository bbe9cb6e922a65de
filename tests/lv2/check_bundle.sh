#!/bin/bash
# The LV2 bundle as Debian's LV2 tools read it: lv2_validate (sord_validate with the LV2
# schemas) finds nothing; lv2info shows the eight control ports with their ranges and the six
# presets; lv2apply renders each factory preset, and one set of other port values, equal to the
# bit to chordwell's render through the VST 2.4 library (at one sample a block, as lv2apply runs).
#     check_bundle.sh BUNDLE_DIR CHORDWELL VST_LIBRARY WAV_TOOL
set -euo pipefail
bundle=$1 chordwell=$2 vst=$3 wav_tool=$4
uri=https://qza-tonefold.com/plugins/chordwell

work=$(mktemp -d "${TMPDIR:-/tmp}/chordwell-lv2-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/lv2"
ln -s "$(cd "$bundle" && pwd)" "$work/lv2/qza-chordwell.lv2"
export LV2_PATH="$work/lv2"

validation=$(lv2_validate "$bundle"/*.ttl 2>&1) || { echo "$validation"; exit 1; }
echo "$validation" | tail -1
if ! echo "$validation" | grep -q "^Found 0 errors"; then echo "$validation"; exit 1; fi

info=$(lv2info "$uri")
controls=$(echo "$info" | grep -c "lv2core#ControlPort")
presets=$(echo "$info" | sed -n '/Presets:/,/Port 0:/p' | grep -cE "^\s+(Default|Bright|High|Low & Dark|Almost reverb|Detuned)$")
echo "lv2info: $controls control ports, $presets presets"
[ "$controls" = 8 ] && [ "$presets" = 6 ] || { echo "$info"; exit 1; }

# The port values of a preset, as lv2apply's -c options.
preset_controls() {
  awk -v label="rdfs:label \"$1\"" 'index($0, label) {on = 1}
    on && /lv2:symbol/ {gsub(/"/, "", $2); symbol = $2}
    on && /pset:value/ {printf "-c %s %s ", symbol, $2}
    on && / \.$/ {on = 0}' "$bundle/presets.ttl"
}

"$chordwell" render "$work/input.wav" --plugin "$vst" --param Mix=1 --param Decay=0.1 >/dev/null
failed=0
render_pair() {  # NAME, lv2apply's -c options, chordwell's options
  local name=$1 controls=$2; shift 2
  # shellcheck disable=SC2086
  lv2apply -i "$work/input.wav" -o "$work/lv2.wav" $controls "$uri"
  "$chordwell" render "$work/input.wav" "$work/vst.wav" --plugin "$vst" --block-size 1 "$@" >/dev/null
  echo -n "$name: "
  "$wav_tool" same "$work/lv2.wav" "$work/vst.wav" || failed=1
}
for preset in "Default" "Bright" "High" "Low & Dark" "Almost reverb" "Detuned"; do
  render_pair "$preset" "$(preset_controls "$preset")" --preset "$preset"
done
# Port values in user units against the normalised values they stand for.
render_pair "other values" "-c output -6 -c decay 70 -c transpose 7 -c tune 25 -c detune 50 -c enabled 1" \
  --param Output=0.353972892 --param Decay=0.7 --param Transpose=0.645833333 --param Tune=0.625 --param Detune=0.5
exit $failed
