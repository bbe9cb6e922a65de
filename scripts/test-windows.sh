#!/usr/bin/env bash
# Builds QZA Chordwell for 32-bit and 64-bit Windows (scripts/build-windows.sh) and runs the
# tests of both builds under Wine, in a fresh Wine prefix of their own: its wineserver is
# stopped and the prefix removed at the end. Then runs the VST3 SDK's validator on both VST3
# bundles under Wine (scripts/validate-vst3.sh). Then, when the Linux build in build/ is there,
# compares the output of the engine and of the plug-ins of the three builds
# (scripts/compare-windows-output.sh), and reports how long each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/build-windows.sh
built=$SECONDS

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/chordwell-wine-XXXXXX")
export WINEPREFIX
stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap stop_wine EXIT

# The editor's window tests need an X server for Wine to show windows on: a virtual one per
# build, with the prefix's wineserver (and its windows' display) ended after each.
for arch in win32 win64; do
  echo "== Windows $arch: tests under Wine"
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    ctest --test-dir "build-$arch" --no-tests=error --output-on-failure -j "$(nproc)"
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
done

tested=$SECONDS

# The VST3 SDK's validator, cross-built for each architecture, on that build's bundle under
# Wine (scripts/validate-vst3.sh). Both run before a failure of either fails the stage.
validation_failed=0
for arch in win64 win32; do
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    bash scripts/validate-vst3.sh "build-$arch/QZA Chordwell.vst3" "$arch" || validation_failed=1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
done
validated=$SECONDS

if [ -x build/tests/dsp/dsp_output_dump ]; then
  echo "== Windows against Linux: the output of the engine and of the plug-ins"
  bash scripts/compare-windows-output.sh
fi
echo "== Windows stage: $((SECONDS - started)) s (building $((built - started)) s, tests under Wine" \
  "$((tested - built)) s, VST3 validator $((validated - tested)) s, comparison with Linux $((SECONDS - validated)) s)"
[ "$validation_failed" -eq 0 ] || { echo "== Windows stage: the VST3 validator failed (see above)" >&2; exit 1; }
